#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "ui/Widgets.h"
#include "world/GMInteractiveObj.h"
#include "world/GMObjectArray.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct CountingSounds : WidgetSounds {
    int hovers = 0;
    int clicks = 0;
    void PlayHover() override { ++hovers; }
    void PlayClick() override { ++clicks; }
};

class WidgetsTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ::mkdir("Menu", 0755);
        const std::string box = "\"IMW\" 100\n\"IMH\" 40\n";
        for (const char* name : {"Menu/PlayBtnI", "Menu/PlayBtnH", "Menu/HelpBtnI", "Menu/HelpBtnH",
                                 "Menu/ExitWindow", "Menu/CheckBtnI", "Menu/CheckBtnH", "Menu/UnCheckBtnI",
                                 "Menu/UnCheckBtnH"})
            WriteSolidTemplate(name, 1, 128, 64, 0xFF806040, box);
        m_list.Reserve(10);
    }

    int32_t Button(const char* base, float x, float y, int32_t id, GMInteractiveObj** out = nullptr)
    {
        std::string idle = std::string("Menu\\") + base + "I.img";
        std::string hover = std::string("Menu\\") + base + "H.img";
        return CreateMenuButton(&m_list, idle.c_str(), hover.c_str(), x, y, id, m_manager.get(), m_device, out);
    }

    GMObjectArray m_list;
};

}  // namespace

TEST_F(WidgetsTest, BuildersReportWhatFailed)
{
    GMInteractiveObj* play = nullptr;
    EXPECT_EQ(Button("PlayBtn", 400, 200, 2, &play), kWidgetOk);
    ASSERT_NE(play, nullptr);
    EXPECT_EQ(play->GetMark(), 2);
    EXPECT_FLOAT_EQ(play->GetX(), 400.0f);
    EXPECT_STREQ(play->GetImageName(1), "Menu\\PlayBtnI.img");
    EXPECT_STREQ(play->GetImageName(0), "Menu\\PlayBtnH.img");
    EXPECT_EQ(Button("NoSuchBtn", 400, 260, 5), kWidgetPictureFailed);
    EXPECT_EQ(m_list.GetCount(), 1) << "a widget whose picture failed is not added";
    EXPECT_EQ(CreateMenuButton(nullptr, "Menu\\PlayBtnI.img", "Menu\\PlayBtnH.img", 0, 0, 1, m_manager.get(),
                               m_device),
              kWidgetListFull);

    GMInteractiveObj* window = nullptr;
    EXPECT_EQ(CreateDialogWindow(&m_list, "Menu\\ExitWindow.img", kGroupExit, m_manager.get(), m_device, &window),
              kWidgetOk);
    EXPECT_FALSE(window->IsEnabled());
    EXPECT_FLOAT_EQ(window->GetX(), 400.0f);
    EXPECT_FLOAT_EQ(window->GetY(), 300.0f);
}

TEST_F(WidgetsTest, OneHoverSoundPerNewlyHighlightedButton)
{
    Button("PlayBtn", 200, 100, 2);
    Button("HelpBtn", 200, 200, 39);
    CountingSounds sounds;
    EXPECT_EQ(UpdateScreenObjects(&m_list, 200, 100, 0, 16, &sounds), 0);
    EXPECT_EQ(sounds.hovers, 1);
    UpdateScreenObjects(&m_list, 210, 105, 0, 16, &sounds);
    UpdateScreenObjects(&m_list, 190, 95, 0, 16, &sounds);
    EXPECT_EQ(sounds.hovers, 1) << "staying on a button plays nothing more";
    UpdateScreenObjects(&m_list, 200, 200, 0, 16, &sounds);
    EXPECT_EQ(sounds.hovers, 2) << "moving to the next button plays once";
    UpdateScreenObjects(&m_list, 600, 500, 0, 16, &sounds);
    UpdateScreenObjects(&m_list, 200, 200, 0, 16, &sounds);
    EXPECT_EQ(sounds.hovers, 3);
    EXPECT_EQ(UpdateScreenObjects(&m_list, 200, 200, 1, 16, &sounds), 39);
    EXPECT_EQ(sounds.clicks, 1);
    EXPECT_EQ(sounds.hovers, 3);
    EXPECT_EQ(UpdateScreenObjects(&m_list, 200, 200, 3, 16, &sounds), 0) << "a click is the left button alone";
}

TEST_F(WidgetsTest, DisabledObjectsDeliverNoCommand)
{
    GMInteractiveObj* play = nullptr;
    Button("PlayBtn", 400, 300, 2, &play);
    CreateDialogWindow(&m_list, "Menu\\ExitWindow.img", kGroupExit, m_manager.get(), m_device);
    Button("PlayBtn", 400, 300, 36);  // "yes" of the exit question, on top of the window
    SetDialogGroup(kDialogOpen, &m_list, kGroupExit);
    EXPECT_FALSE(play->IsEnabled());
    CountingSounds sounds;
    EXPECT_EQ(UpdateScreenObjects(&m_list, 400, 300, 1, 16, &sounds), 36) << "only the dialog's button answers";

    SetDialogGroup(kDialogClose, &m_list, kGroupExit);
    EXPECT_EQ(m_list.GetCount(), 1) << "closing removes the window and its members";
    EXPECT_EQ(UpdateScreenObjects(&m_list, 400, 300, 1, 16, &sounds), 0) << "the screen button stays disabled";
}

TEST_F(WidgetsTest, DialogGroupModes)
{
    Button("PlayBtn", 100, 100, 2);
    Button("HelpBtn", 100, 200, 39);
    CreateDialogWindow(&m_list, "Menu\\ExitWindow.img", kGroupOptions, m_manager.get(), m_device);
    Button("PlayBtn", 400, 250, 27);
    Button("PlayBtn", 400, 350, 32);
    SetDialogGroup(kDialogKeepOnly, &m_list, kGroupOptions);
    ASSERT_EQ(m_list.GetCount(), 3);
    EXPECT_EQ(m_list.GetObject(0)->GetMark(), kGroupOptions) << "the order of what stays is kept";
    EXPECT_EQ(m_list.GetObject(2)->GetMark(), 32);
    EXPECT_TRUE(IsInDialogGroup(kGroupProfiles, 24));
    EXPECT_FALSE(IsInDialogGroup(kGroupProfiles, 19));
    EXPECT_FALSE(IsInDialogGroup(99, 1));
}

TEST_F(WidgetsTest, CheckBoxesSwapBothPictures)
{
    GMInteractiveObj* box = nullptr;
    CreateMenuButton(&m_list, "Menu\\UnCheckBtnI.img", "Menu\\UnCheckBtnH.img", 300, 300, 32, m_manager.get(),
                     m_device, &box);
    EXPECT_EQ(SetCheckBox(box, true, m_manager.get(), m_device), kWidgetOk);
    EXPECT_STREQ(box->GetImageName(1), "Menu\\CheckBtnI.img");
    EXPECT_STREQ(box->GetImageName(0), "Menu\\CheckBtnH.img");
    EXPECT_EQ(SetCheckBox(box, false, m_manager.get(), m_device), kWidgetOk);
    EXPECT_STREQ(box->GetImageName(1), "Menu\\UnCheckBtnI.img");
}

TEST(TextEntry, TheCaretBlinksEveryHalfSecond)
{
    EXPECT_FALSE(CaretVisible(0));
    EXPECT_FALSE(CaretVisible(250)) << "hidden for the first half of every period";
    EXPECT_TRUE(CaretVisible(251));
    EXPECT_TRUE(CaretVisible(499));
    EXPECT_FALSE(CaretVisible(500));
    EXPECT_TRUE(CaretVisible(1000251));
}

TEST_F(WidgetsTest, TheCaretStandsAfterTheTypedName)
{
    WriteBlockFont("font", {{'A', 10}, {'b', 7}});
    GMImage font;
    ASSERT_EQ(font.LoadTemplate("font.img", m_manager.get(), m_device), 0);
    BeginFrame(0xFFFFFFFF);
    DrawTextEntry(&font, "Ab", 251, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(289 + 17, 296), 0xFF000000u) << "a black caret right after 17 pixels of text";
    EXPECT_EQ(Pixel(289 + 18, 304), 0xFF000000u);
    EXPECT_EQ(Pixel(289 + 19, 296), 0xFFFFFFFFu);
    BeginFrame(0xFFFFFFFF);
    DrawTextEntry(&font, "Ab", 100, m_device);
    EndFrame();
    EXPECT_EQ(Pixel(289 + 17, 296), 0xFFFFFFFFu) << "no caret in the first half period";
}
