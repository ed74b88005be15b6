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
