#include "Base/TextCopy.h"

#include <gtest/gtest.h>

#include "Base/MemoryManager.h"

TEST(TextCopyTest, TrimStringCases)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"  x y  ", "x y"},
        {"   ", ""},
        {"", ""},
        {"\t\r\nname\n", "name"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},      // a UTF-8 character at the end stays
        {"\xC3\xA9t\xC3\xA9 ", "\xC3\xA9t\xC3\xA9"},
        {nullptr, ""},
    };
    for (const Case& c : cases) {
        char* slot = nullptr;
        TrimString(&slot, c.in);
        ASSERT_NE(slot, nullptr);
        EXPECT_STREQ(slot, c.out);
        QS_FREE(slot);
    }
}

TEST(TextCopyTest, TrimStringReplacesAndMayTrimItsOwnText)
{
    char* slot = nullptr;
    TrimString(&slot, " first ");
    char* old = slot;
    TrimString(&slot, slot);  // the slot's own text
    EXPECT_NE(slot, old);
    EXPECT_STREQ(slot, "first");
    TrimString(&slot, "second");
    EXPECT_STREQ(slot, "second");
    QS_FREE(slot);
}

TEST(TextCopyTest, WideToNarrowKeepsTheLowBytes)
{
    char* narrow = WideToNarrow(u"Ab\u00e9\u20ac");
    ASSERT_NE(narrow, nullptr);
    EXPECT_STREQ(narrow, "Ab\xE9\xAC");
    QS_FREE(narrow);
    EXPECT_EQ(WideToNarrow(nullptr), nullptr);
}
