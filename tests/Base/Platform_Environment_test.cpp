#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Base/MemoryManager.h"
#include "Base/Platform_Environment.h"

TEST(PlatformEnvironment, ReturnsAnOwnedCopyOrNull)
{
    ::setenv("QS_TEST_VARIABLE", "h\xC3\xA9llo w\xC3\xB6rld", 1);
    char* value = Platform_GetEnvironmentVariable("QS_TEST_VARIABLE");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::string(value), "h\xC3\xA9llo w\xC3\xB6rld");
    EXPECT_NE(value, std::getenv("QS_TEST_VARIABLE"));
    QS_FREE(value);

    ::setenv("QS_TEST_VARIABLE", "", 1);
    value = Platform_GetEnvironmentVariable("QS_TEST_VARIABLE");
    ASSERT_NE(value, nullptr) << "set but empty is not unset";
    EXPECT_EQ(std::string(value), "");
    QS_FREE(value);

    ::unsetenv("QS_TEST_VARIABLE");
    EXPECT_EQ(Platform_GetEnvironmentVariable("QS_TEST_VARIABLE"), nullptr);
    EXPECT_EQ(Platform_GetEnvironmentVariable(nullptr), nullptr);
}
