#include "platform/Letterbox.h"

#include <gtest/gtest.h>

TEST(Letterbox, FitsWiderOutputWithSideBars)
{
    LetterboxRect box = ComputeLetterbox(800, 600, 1920, 1080);
    EXPECT_EQ(box.height, 1080);
    EXPECT_EQ(box.width, 1440);
    EXPECT_EQ(box.x, 240);
    EXPECT_EQ(box.y, 0);
}
