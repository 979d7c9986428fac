#include "platform/Cursor.h"
#include "platform/ResourcePictures.h"
#include "platform/System.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ResourcePictures, TheGamesOwnCursorPicturesReplaceTheBuiltInShapes)
{
    ASSERT_TRUE(StartPlatform());
    static std::vector<uint8_t> rgba(32 * 32 * 4, 0);
    rgba[0] = 0x11;  // pixel (0, 0): red 0x11, green 0x22, blue 0x33, alpha 0xFF
    rgba[1] = 0x22;
    rgba[2] = 0x33;
    rgba[3] = 0xFF;
    SetResourcePictures([](int32_t id, ResourcePicture* out) {
        if (id != IDC_SECOND_CURSOR)
            return false;
        *out = {32, 32, 7, 9, rgba.data()};
        return true;
    });
    Cursor::FreeAll();
    Cursor* drawn = Cursor::Load(IDC_SECOND_CURSOR);
    ASSERT_NE(drawn, nullptr);
    EXPECT_EQ(drawn->GetPixels()[0], 0xFF112233u);
    EXPECT_EQ(drawn->GetHotX(), 7);
    EXPECT_EQ(drawn->GetHotY(), 9);
    Cursor* arrow = Cursor::Load(IDC_ARROW);
    ASSERT_NE(arrow, nullptr);
    EXPECT_NE(arrow->GetPixels()[0], 0u) << "ids without a picture keep the built-in shape";

    SetResourcePictures(nullptr);
    Cursor::FreeAll();
    EXPECT_NE(Cursor::Load(IDC_SECOND_CURSOR)->GetPixels()[0], 0xFF112233u);
    Cursor::FreeAll();
}
