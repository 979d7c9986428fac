// Template files, the image cache and animation.
#include "support/gfx/GfxTestSupport.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageSurface.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "gfx/ImageResult.h"
#include "platform/DisplayDriver.h"
#include "platform/Texture.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

class ImageTemplateTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        ASSERT_TRUE(WritePng("a.png", TestPicture(20, 10, 0xFFFF0000u)));
        ASSERT_TRUE(WritePng("b.png", TestPicture(40, 8, 0xFF00FF00u)));
        ASSERT_TRUE(WritePng("c.png", TestPicture(12, 30, 0xFF0000FFu)));
    }
    GMImageTemplate* Load(const char* name)
    {
        return m_manager->GetTemplate(m_manager->LoadTemplate(name, m_device));
    }
};

}  // namespace

TEST_F(ImageTemplateTest, FramesSpeedLoopStartAndAdditiveFlag)
{
    WriteText("t.img", "remarks without quotes are skipped\n"
                       "\"FR\" 3 \"a.png\" \"b.png\"\n\"c.png\"\n\"sp\" -25\n\"FF\" 1\n\"UNKNOWN\" 99\n\"INT\"\n");
    GMImageTemplate* t = Load("t.img");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetType(), kTypeImageTemplate);
    EXPECT_EQ(t->GetFrameCount(), 3);
    EXPECT_FLOAT_EQ(t->GetSpeed(), 0.025f);
    EXPECT_EQ(t->GetLoopStart(), 1);
    EXPECT_TRUE(t->IsAdditive());
    // Without IMW/IMH the template is as large as its largest texture.
    EXPECT_EQ(t->GetWidth(), 40.0f);
    EXPECT_EQ(t->GetHeight(), 30.0f);
    EXPECT_EQ(t->GetFrameInfo(1)->imageWidth, 40.0f);
    EXPECT_EQ(t->GetFrameInfo(2)->textureHeight, 30.0f);
    // Clamped indices.
    int32_t clamped = -5;
    EXPECT_EQ(t->GetFrameTexture(7, &clamped), t->GetFrameTexture(2));
    EXPECT_EQ(clamped, 2);
    EXPECT_EQ(t->GetFrameInfo(-3), t->GetFrameInfo(0));
}

TEST_F(ImageTemplateTest, DefaultsNegativeLoopStartAndShortFrameLists)
{
    WriteText("d.img", "\"FR\" 3 \"a.png\" \"b.png\"\n\"FF\" -4\n");
    GMImageTemplate* t = Load("d.img");
    ASSERT_NE(t, nullptr);
    // The quoted "FF" is taken as the third picture name, which does not load:
    // two frames, and the reading stops there.
    EXPECT_EQ(t->GetFrameCount(), 2);
    EXPECT_FLOAT_EQ(t->GetSpeed(), 0.03f);
    EXPECT_EQ(t->GetLoopStart(), 0);
    EXPECT_FALSE(t->IsAdditive());
    t->SetLoopStart(-1);
    EXPECT_EQ(t->GetLoopStart(), 0);

    WriteText("e.img", "\"FF\" -4 \"FR\" 0 \"c.png\"");
    GMImageTemplate* e = Load("e.img");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->GetFrameCount(), 1);  // a count below 1 counts as 1
    EXPECT_EQ(e->GetLoopStart(), 0);

    // A picture that fails shortens the template to the frames before it.
    WriteText("f.img", "\"FR\" 3 \"a.png\" \"nothing.png\" \"b.png\" \"SP\" 10");
    GMImageTemplate* f = Load("f.img");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetFrameCount(), 1);
    EXPECT_FLOAT_EQ(f->GetSpeed(), 0.03f);
}

TEST_F(ImageTemplateTest, LoadFailuresAndTheirCodes)
{
    GMImageTemplate* t = new GMImageTemplate;
    EXPECT_EQ(t->LoadFromFile(nullptr, m_manager.get(), m_device), kResultInvalidParameter);
    EXPECT_EQ(t->LoadFromFile("x.img", m_manager.get(), nullptr), kResultInvalidParameter);
    EXPECT_EQ(t->LoadFromFile("absent.img", m_manager.get(), m_device), kResultNotFound);
    WriteText("none.img", "\"SP\" 12");
    EXPECT_EQ(t->LoadFromFile("none.img", m_manager.get(), m_device), kResultInvalidArg);
    WriteText("bad.img", "\"FR\" 1 \"missing.png\"");
    EXPECT_EQ(t->LoadFromFile("bad.img", m_manager.get(), m_device), kResultInvalidArg);
    EXPECT_EQ(t->GetName(), nullptr);
    EXPECT_EQ(t->GetFrameCount(), 0);
    t->Release();
    EXPECT_EQ(m_manager->LoadTemplate("bad.img", m_device), -1);
    EXPECT_EQ(m_manager->GetTemplateCount(), 0);

    // A number that cannot be read ends the file; what came before stays.
    WriteText("n.img", "\"FR\" 1 \"a.png\" \"SP\" fast \"INT\"");
    GMImageTemplate* n = Load("n.img");
    ASSERT_NE(n, nullptr);
    EXPECT_FLOAT_EQ(n->GetSpeed(), 0.03f);
    EXPECT_FALSE(n->IsAdditive());
}

TEST_F(ImageTemplateTest, SizeAndPlacementTagsApplyToEveryFrame)
{
    WriteText("s.img", "\"FR\" 2 \"a.png\" \"b.png\" \"IMW\" 0 \"IMH\" 17.5 \"IMX\" -16 \"IMY\" -16 \"SIY\" 3");
    GMImageTemplate* t = Load("s.img");
    ASSERT_NE(t, nullptr);
    // IMW 0 changes nothing: width stays the largest texture width.
    EXPECT_EQ(t->GetWidth(), 40.0f);
    EXPECT_EQ(t->GetHeight(), 17.5f);
    for (int i = 0; i < 2; ++i) {
        const ImageFrameInfo* f = t->GetFrameInfo(i);
        EXPECT_EQ(f->imageHeight, 17.5f);
        EXPECT_EQ(f->offsetX, -16.0f);
        EXPECT_EQ(f->offsetY, -16.0f);
        EXPECT_EQ(f->extraX, 0.0f);  // SIX not given
        EXPECT_EQ(f->extraY, 3.0f);
    }
    EXPECT_EQ(t->GetFrameInfo(0)->imageWidth, 20.0f);
    EXPECT_EQ(t->GetFrameInfo(1)->imageWidth, 40.0f);

    // Given before the frames, IMW keeps the larger textures from widening the template.
    WriteText("w.img", "\"IMW\" 25 \"FR\" 2 \"a.png\" \"b.png\"");
    GMImageTemplate* w = Load("w.img");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetWidth(), 25.0f);
    EXPECT_EQ(w->GetHeight(), 10.0f);
    EXPECT_EQ(w->GetFrameInfo(1)->imageWidth, 25.0f);
    EXPECT_EQ(w->GetFrameInfo(1)->textureWidth, 40.0f);
}

TEST_F(ImageTemplateTest, PerFrameSizeFileSetsSingleFramesAndTheTemplateSize)
{
    WriteText("font.siz", "\"IMW\" 0 7.5 \"IMW\" 1 11 \"IMH\" 2 21 \"IMW\" 2 -3 \"IMX\" 1 -2 \"IMY\" 2 4 "
                          "\"SIX\" 0 9 \"SIY\" 1 8 \"IMW\" 5 99 \"IMH\" -1 50\n");
    WriteText("font.img", "\"FR\" 3 \"a.png\" \"b.png\" \"c.png\" \"IMF\" \"FONT.SIZ\"");
    GMImageTemplate* t = Load("font.img");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->GetFrameInfo(0)->imageWidth, 7.5f);
    EXPECT_EQ(t->GetFrameInfo(1)->imageWidth, 11.0f);
    EXPECT_EQ(t->GetFrameInfo(2)->imageWidth, 12.0f);  // -3 ignored: the load's value stays
    EXPECT_EQ(t->GetFrameInfo(2)->imageHeight, 21.0f);
    EXPECT_EQ(t->GetFrameInfo(1)->offsetX, -2.0f);
    EXPECT_EQ(t->GetFrameInfo(2)->offsetY, 4.0f);
    EXPECT_EQ(t->GetFrameInfo(0)->extraX, 9.0f);
    EXPECT_EQ(t->GetFrameInfo(1)->extraY, 8.0f);
    // Largest per-frame values; out-of-range indices are ignored.
    EXPECT_EQ(t->GetWidth(), 11.0f);
    EXPECT_EQ(t->GetHeight(), 21.0f);

    // Without heights in the per-frame file the height falls back to IMH, then
    // to the largest texture.
    WriteText("w.siz", "\"IMW\" 0 5");
    WriteText("w.img", "\"FR\" 2 \"a.png\" \"c.png\" \"IMH\" 14 \"IMF\" \"w.siz\"");
    GMImageTemplate* w = Load("w.img");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->GetWidth(), 5.0f);
    EXPECT_EQ(w->GetHeight(), 14.0f);
    WriteText("v.img", "\"FR\" 2 \"a.png\" \"c.png\" \"IMF\" \"w.siz\"");
    GMImageTemplate* v = Load("v.img");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->GetHeight(), 30.0f);
    // A per-frame file that is missing is no error.
    WriteText("m.img", "\"FR\" 1 \"a.png\" \"IMF\" \"gone.siz\"");
    EXPECT_NE(Load("m.img"), nullptr);
}

TEST_F(ImageTemplateTest, TwoTemplatesNamingOnePictureShareOneSurface)
{
    ASSERT_TRUE(WriteGif("shared.gif", TestPicture(300, 20, 0xFF808080u)));
    WriteText("one.img", "\"FR\" 1 \"shared.gif\"");
    WriteText("two.img", "\"FR\" 2 \"a.png\" \"SHARED.GIF\"");
    GMImageTemplate* one = Load("one.img");
    GMImageTemplate* two = Load("two.img");
    ASSERT_NE(one, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(m_manager->GetSurfaceCount(), 2);
    EXPECT_EQ(one->GetFrameSurface(0), two->GetFrameSurface(1));
    EXPECT_EQ(one->GetFrameTexture(0), two->GetFrameTexture(1));
    // The first load reports the picture's size, the cached surface its texture's.
    EXPECT_EQ(one->GetFrameInfo(0)->imageWidth, 300.0f);
    EXPECT_EQ(two->GetFrameInfo(1)->imageWidth, 512.0f);
    // Held by the manager's list and by each frame naming it.
    EXPECT_EQ(one->GetFrameSurface(0)->GetRefCount(), 3);
}

TEST_F(ImageTemplateTest, CacheFindsNamesWithoutRegardToCaseAndRemovesAndReleases)
{
    WriteText("Menu.img", "\"FR\" 1 \"a.png\"");
    int32_t index = m_manager->LoadTemplate("Menu.img", m_device);
    ASSERT_GE(index, 0);
    EXPECT_EQ(m_manager->LoadTemplate("MENU.IMG", m_device), index);
    EXPECT_EQ(m_manager->FindTemplate("menu.img"), index);
    EXPECT_EQ(m_manager->FindTemplate(""), -1);
    EXPECT_EQ(m_manager->FindTemplate(nullptr), -1);
    EXPECT_EQ(m_manager->FindSurface("A.PNG", nullptr), 0);
    EXPECT_EQ(m_manager->GetTemplateCount(), 1);

    // An image keeps its template alive after the manager lets go of it.
    GMImage* image = new GMImage;
    ASSERT_EQ(image->LoadTemplate("menu.img", m_manager.get(), m_device), 0);
    GMImageTemplate* t = m_manager->GetTemplate(index);
    EXPECT_EQ(t->GetRefCount(), 2);
    m_manager->RemoveTemplate(t);
    EXPECT_EQ(m_manager->GetTemplateCount(), 0);
    EXPECT_EQ(m_manager->FindTemplate("Menu.img"), -1);
    EXPECT_EQ(image->GetFrameCount(), 1);
    EXPECT_STREQ(image->GetTemplateName(), "Menu.img");

    WriteText("b.img", "\"FR\" 1 \"b.png\"");
    int32_t b = m_manager->LoadTemplate("b.img", m_device);
    ASSERT_GE(b, 0);
    m_manager->RemoveTemplate(b);
    EXPECT_EQ(m_manager->GetTemplate(b), nullptr);
    EXPECT_EQ(m_manager->FindTemplate("B.img"), -1);
    // Names keep finding their own entries as others come and go.
    WriteText("c.img", "\"FR\" 1 \"a.png\"");
    int32_t c = m_manager->LoadTemplate("c.img", m_device);
    b = m_manager->LoadTemplate("B.IMG", m_device);
    ASSERT_GE(c, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(b, c);
    EXPECT_EQ(m_manager->FindTemplate("b.img"), b);
    EXPECT_EQ(m_manager->FindTemplate("C.Img"), c);
    EXPECT_STREQ(m_manager->GetTemplate(m_manager->FindTemplate("c.img"))->GetName(), "c.img");

    m_manager->ReleaseAll();
    EXPECT_EQ(m_manager->GetSurfaceCount(), 0);
    EXPECT_EQ(m_manager->FindTemplate("c.img"), -1);
    EXPECT_EQ(m_manager->FindSurface("a.png", nullptr), -1);
    // Still drawable data: the image holds the template, the template its surface.
    EXPECT_NE(image->GetFrameTexture(), nullptr);
    image->Release();
}

TEST_F(ImageTemplateTest, RestoreAllRestoresEverySurface)
{
    WriteText("r.img", "\"FR\" 3 \"a.png\" \"b.png\" \"c.png\"");
    GMImageTemplate* t = Load("r.img");
    ASSERT_NE(t, nullptr);
    ForceDisplayLoss(m_device->GetDriver());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t->GetFrameTexture(i)->IsLost(), DDERR_SURFACELOST);
    m_manager->RestoreAll(m_device);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(t->GetFrameTexture(i)->IsLost(), DD_OK);

    // Through the display's hook, with the manager as its context.
    ForceDisplayLoss(m_device->GetDriver());
    GMImageManager::RestoreImages(m_device, m_manager.get());
    EXPECT_EQ(t->GetFrameTexture(1)->IsLost(), DD_OK);
    GMImageManager::RestoreImages(m_device, nullptr);  // no manager: nothing to do
}

TEST_F(ImageTemplateTest, ImageLoadTemplateResults)
{
    GMImage image;
    EXPECT_EQ(image.LoadTemplate("x.img", nullptr, m_device), 2);
    EXPECT_EQ(image.LoadTemplate("missing.img", m_manager.get(), m_device), 1);
    EXPECT_EQ(image.SetTemplate(nullptr), 1);
    EXPECT_EQ(image.SetFrame(3), -1);
    EXPECT_EQ(image.Advance(100.0f), 0);
    EXPECT_EQ(image.GetImageWidth(), 0.0f);
    EXPECT_EQ(image.GetTemplate(), nullptr);
}

// ---- Animation ----

class ImageAnimationTest : public ImageTemplateTest {
protected:
    void SetUp() override
    {
        ImageTemplateTest::SetUp();
        std::string names;
        for (int i = 0; i < 10; ++i) {
            std::string n = "f" + std::to_string(i) + ".png";
            ASSERT_TRUE(WritePng(n, TestPicture(4 + i, 4)));
            names += " \"" + n + "\"";
        }
        WriteText("anim.img", "\"FR\" 10" + names + " \"FF\" 4");
        ASSERT_EQ(m_image.LoadTemplate("anim.img", m_manager.get(), m_device), 0);
    }
    GMImage m_image;
};

TEST_F(ImageAnimationTest, AdvanceWrapsIntoTheLoopKeepingTheFraction)
{
    EXPECT_FLOAT_EQ(m_image.GetSpeed(), 0.03f);
    EXPECT_EQ(m_image.GetLoopStart(), 4);
    m_image.SetFramePosition(9.5f);
    EXPECT_EQ(m_image.Advance(400.0f), 1);  // 9.5 + 12 = 21.5 -> 4 + (17 mod 6) + 0.5
    EXPECT_NEAR(m_image.GetFramePosition(), 9.5f, 1e-4);
    EXPECT_EQ(m_image.GetTextureWidth(), 13.0f);  // frame 9
}

TEST_F(ImageAnimationTest, AdvanceWithinTheFramesAndWithoutAFrameChange)
{
    EXPECT_EQ(m_image.GetFramePosition(), 0.0f);
    EXPECT_EQ(m_image.Advance(20.0f), 0);  // 0.6: same frame
    EXPECT_NEAR(m_image.GetFramePosition(), 0.6f, 1e-5);
    EXPECT_EQ(m_image.GetTextureWidth(), 4.0f);
    EXPECT_EQ(m_image.Advance(1.0f / 0.03f), 0);  // one frame exactly
    EXPECT_NEAR(m_image.GetFramePosition(), 1.6f, 1e-4);
    EXPECT_EQ(m_image.GetTextureWidth(), 5.0f);
    EXPECT_EQ(m_image.Advance(0.0f), 0);  // frozen
    EXPECT_NEAR(m_image.GetFramePosition(), 1.6f, 1e-4);
    // Several frames in one step; exactly the frame count wraps to the loop start.
    m_image.SetSpeed(0.5f);
    m_image.SetFramePosition(2.5f);
    EXPECT_EQ(m_image.Advance(11.0f), 0);
    EXPECT_EQ(m_image.GetFramePosition(), 8.0f);
    EXPECT_EQ(m_image.GetTextureWidth(), 12.0f);
    EXPECT_EQ(m_image.Advance(4.0f), 1);
    EXPECT_EQ(m_image.GetFramePosition(), 4.0f);
    EXPECT_EQ(m_image.GetTextureWidth(), 8.0f);
    // Far past the end: 4 + (31 - 4) mod 6 = 7, fraction kept.
    m_image.SetFramePosition(9.25f);
    EXPECT_EQ(m_image.Advance(44.0f), 1);
    EXPECT_EQ(m_image.GetFramePosition(), 7.25f);
}

TEST_F(ImageAnimationTest, SetFrameClampsSetFramePositionDoesNot)
{
    EXPECT_EQ(m_image.SetFrame(25), 9);
    EXPECT_EQ(m_image.GetFramePosition(), 9.0f);
    EXPECT_EQ(m_image.GetTextureWidth(), 13.0f);
    EXPECT_EQ(m_image.SetFrame(-2), 0);
    m_image.SetFramePosition(25.75f);
    EXPECT_EQ(m_image.GetFramePosition(), 25.75f);
    EXPECT_EQ(m_image.GetTextureWidth(), 13.0f);
    m_image.SetFramePosition(3.9f);
    EXPECT_EQ(m_image.GetTextureWidth(), 7.0f);
}

TEST_F(ImageAnimationTest, ALoopStartAtTheEndHoldsTheLastFrame)
{
    GMImageTemplate* t = m_image.PeekTemplate();
    t->SetLoopStart(10);
    ASSERT_EQ(m_image.SetTemplate(t), 0);
    m_image.SetFramePosition(9.25f);
    EXPECT_EQ(m_image.Advance(100.0f), 1);
    EXPECT_NEAR(m_image.GetFramePosition(), 9.25f, 1e-4);
    EXPECT_EQ(m_image.GetTextureWidth(), 13.0f);
}

TEST_F(ImageAnimationTest, SetTemplateToItsOwnTemplateKeepsItAlive)
{
    GMImageTemplate* t = m_image.PeekTemplate();
    int32_t refs = t->GetRefCount();
    EXPECT_EQ(m_image.SetTemplate(t), 0);
    EXPECT_EQ(t->GetRefCount(), refs);
    GMImageTemplate* held = m_image.GetTemplate();
    EXPECT_EQ(held, t);
    EXPECT_EQ(t->GetRefCount(), refs + 1);
    held->Release();
}

namespace {

// The messages of the error log, without their date and time.
std::vector<std::string> LogMessages(const std::string& text)
{
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
        size_t dash = line.find(" -- ");
        out.push_back(dash == std::string::npos ? line : line.substr(dash + 4));
        if (end == std::string::npos)
            break;
        at = end + 1;
    }
    return out;
}

}  // namespace

TEST_F(ImageTemplateTest, FailedPicturesFramesAndTemplatesAreNamedOnceInTheErrorLogWithTheirReason)
{
    WriteText("zero.png", "");
    WriteText("font.img", "\"FR\" 4 \"a.png\" \"b.png\" \"Zero.PNG\" \"c.png\"");
    WriteText("other.img", "\"FR\" 2 \"a.png\" \"zero.png\"");
    WriteText("short.img", "\"FR\" 3 \"a.png\"");
    WriteText("empty.img", "\"FR\" 1 \"missing.png\"");
    // A 35-byte GIF whose image claims 16384 x 16384.
    static const char kHugeGif[] = "GIF89a\x00\x40\x00\x40\x80\x00\x00\0\0\0\xFF\xFF\xFF"
                                   "\x2C\0\0\0\0\x00\x40\x00\x40\x00\x02\x02\x44\x01\x00\x3B";
    WriteText("huge.gif", std::string(kHugeGif, sizeof kHugeGif - 1));
    WriteText("big.img", "\"FR\" 1 \"huge.gif\"");
    m_manager->SetErrorLogPath("log/Error.log");
    std::filesystem::create_directory("log");
    for (int round = 0; round < 2; ++round) {
        GMImageTemplate* font = Load("font.img");
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->GetFrameCount(), 2);  // the log changes nothing of the loading
        EXPECT_EQ(Load("other.img")->GetFrameCount(), 1);
        EXPECT_EQ(Load("short.img")->GetFrameCount(), 1);
        EXPECT_EQ(Load("empty.img"), nullptr);
        EXPECT_EQ(Load("gone.img"), nullptr);
        EXPECT_EQ(Load("big.img"), nullptr);
        m_manager->ReleaseAll();  // the next round asks for every file again
    }
    std::vector<std::string> got = LogMessages(m_dir.Read("log/Error.log"));
    std::vector<std::string> want = {
        "Can't load picture \"Zero.PNG\": the file is empty",
        "Can't load frame 2 of template \"font.img\": picture \"Zero.PNG\" did not load",
        "Can't load frame 1 of template \"other.img\": picture \"zero.png\" did not load",
        "Can't load frame 1 of template \"short.img\": the file names no picture for it",
        "Can't load picture \"missing.png\": file not found",
        "Can't load frame 0 of template \"empty.img\": picture \"missing.png\" did not load",
        "Can't load template \"empty.img\": no frame loaded",
        "Can't load template \"gone.img\": file not found",
        "Can't load picture \"huge.gif\": its header claims more pixels than the file holds",
        "Can't load frame 0 of template \"big.img\": picture \"huge.gif\" did not load",
        "Can't load template \"big.img\": no frame loaded",
    };
    EXPECT_EQ(got, want);

    // No log path: nothing is written anywhere.
    m_manager->SetErrorLogPath(nullptr);
    WriteText("late.img", "\"FR\" 1 \"late.png\"");
    EXPECT_EQ(Load("late.img"), nullptr);
    EXPECT_EQ(LogMessages(m_dir.Read("log/Error.log")).size(), want.size());
}
