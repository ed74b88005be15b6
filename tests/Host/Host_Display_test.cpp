// The first display's modes on the test video driver.
#include "Host/Host_Display.h"

#include <gtest/gtest.h>

#include "Host/Host_Window.h"

TEST(HostDisplayTest, ModesAreReadOnceVideoRuns)
{
    ASSERT_TRUE(HostWindow_InitVideo());
    int width = 0, height = 0;
    ASSERT_TRUE(HostDisplay_GetDesktopSize(&width, &height));
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    int bits = 0;
    ASSERT_TRUE(HostDisplay_GetCurrentBitsPerPixel(&bits));
    EXPECT_TRUE(bits == 16 || bits == 24 || bits == 32) << bits;
}

TEST(HostDisplayTest, ModeTestsMatchTheCurrentModeAndRefuseOthers)
{
    ASSERT_TRUE(HostWindow_InitVideo());
    int width = 0, height = 0, hertz = 0, bits = 0;
    ASSERT_TRUE(HostDisplay_GetCurrentMode(&width, &height, &hertz, &bits));
    EXPECT_TRUE(HostDisplay_TestMode(width, height, hertz, bits));
    EXPECT_TRUE(HostDisplay_TestMode(0, 0, 0, 0)) << "every field kept";
    EXPECT_TRUE(HostDisplay_TestMode(0, 0, 0, 32)) << "only the depth changes (a packed 24-bit mode counts as 32)";
    EXPECT_FALSE(HostDisplay_TestMode(width + 7, height, 0, 0));
    EXPECT_FALSE(HostDisplay_SetMode(nullptr, 3, 3, 0, 0));
    EXPECT_TRUE(HostDisplay_SetMode(nullptr, width, height, 0, 0));
}
