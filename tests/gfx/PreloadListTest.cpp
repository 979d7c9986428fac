// The preload list fills the image cache at start-up.
#include "support/gfx/GfxTestSupport.h"
#include "gfx/PreloadList.h"

#include <vector>

namespace {

class PreloadListTest : public DeviceTest {};

void Record(float fill, void* context)
{
    static_cast<std::vector<float>*>(context)->push_back(fill);
}

}  // namespace

TEST_F(PreloadListTest, LoadsEveryNamedTemplateAndReportsProgressEveryTen)
{
    ASSERT_TRUE(WritePng("p.png", TestPicture(4, 4)));
    std::string list;
    for (int i = 0; i < 23; ++i) {
        std::string img = "t" + std::to_string(i) + ".img";
        WriteText(img, "\"FR\" 1 \"p.png\"");
        list += "\"" + img + "\"\n";
    }
    list += "\"missing.img\"\n";
    WriteText("preload.cfg", list);
    std::vector<float> fills;
    EXPECT_EQ(PreloadTemplates("preload.cfg", m_manager.get(), m_device, Record, &fills), 24);
    EXPECT_EQ(m_manager->GetTemplateCount(), 23);
    EXPECT_EQ(m_manager->GetSurfaceCount(), 1);
    ASSERT_EQ(fills.size(), 3u);  // after 10, after 20, and at the end (24)
    EXPECT_GT(fills[0], 0.0f);
    EXPECT_LT(fills[0], fills[1]);
    EXPECT_FLOAT_EQ(fills[2], 0.8f);
}

TEST_F(PreloadListTest, ExactlyTenNamesReportOnceAndAMissingListIsReported)
{
    ASSERT_TRUE(WritePng("p.png", TestPicture(4, 4)));
    std::string list;
    for (int i = 0; i < 10; ++i) {
        WriteText("t" + std::to_string(i) + ".img", "\"FR\" 1 \"p.png\"");
        list += "\"t" + std::to_string(i) + ".img\" ";
    }
    WriteText("preload.cfg", list);
    std::vector<float> fills;
    EXPECT_EQ(PreloadTemplates("preload.cfg", m_manager.get(), m_device, Record, &fills), 10);
    EXPECT_EQ(fills.size(), 1u);
    EXPECT_EQ(PreloadTemplates("none.cfg", m_manager.get(), m_device), -1);
}
