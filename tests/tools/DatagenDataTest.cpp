// Checks the data directory the build generated: every fixed file the game
// names exists and reads back the way the game reads it, and a fresh run of
// the generator writes the very same bytes.
#ifdef BRIMVALE_DATAGEN_DATA_DIR

#include "tools/DatagenLoadFixture.h"
#include "datagen/Generator.h"
#include "datagen/PictureFiles.h"
#include "datagen/TemplateFile.h"

#include "core/TaggedFile.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "platform/AudioDevice.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "sound/GMSoundSystem.h"
#include "ui/HelpPages.h"
#include "ui/Widgets.h"
#include "world/GMObjectArray.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <tuple>
#include <set>
#include <sstream>

namespace {

const std::string kData = BRIMVALE_DATAGEN_DATA_DIR;

const char* const kFixedTemplates[] = {
    "Halvenport\\splash1.img", "Halvenport\\splash2.img", "Loading.img", "Logo.img", "FontStd.img", "Font16.img",
    "FontBig.img", "Menu\\MainMenuBk.img", "Menu\\HighscoresBk.img", "Menu\\HelpBk.img", "Menu\\LevelBk.img",
    "Menu\\PauseBk.img", "Menu\\ContinueWindow.img", "Menu\\OptionsWindow.img", "Menu\\ExitWindow.img",
    "Menu\\ProfileWindow.img", "Menu\\NewProfWindow.img", "Menu\\ScrollThumb.img", "Halvenport\\logo_na.img",
    "Halvenport\\logo_a.img", "Halvenport\\copyright.img", "UfoI.img", "UfoH.img", "BuyBtnI.img", "BuyBtnH.img",
    "Zzz.img", "FlashRating.img", "FlashStar.img", "PathMarker.img", "RatingBk.img", "Rating.img", "BonusBuyBk.img",
    "DiaryBtnI.img", "DiaryBtnH.img", "ComboBk.img", "EndLevelBk.img", "CongratulationBk.img", "RoadLineBtnI.img",
    "RoadLineBtnH.img", "MGRangeBk.img", "MGRange.img",
};

const char* const kButtonStems[] = {
    "PlayBtn", "HighBtn", "HelpBtn", "OptionsBtn", "ExitBtn", "ProfileMenuBtn", "ContinueBtn", "NewGameBtn",
    "MainBtn", "LeftArrowBtn", "RightArrowBtn", "DoneBtn", "NoBtn", "YesBtn", "ProfileBtn", "ProfileDeleteBtn",
    "ProfileCreateBtn", "DownArrowBtn", "UpArrowBtn", "CancelBtn", "OkBtn", "StartBtn", "ResumeBtn", "CheckBtn",
    "UnCheckBtn",
};

const char* const kSounds[] = {
    "ButtonHover", "ButtonClick", "MGBtnHover", "JobPerfect", "JobGood", "JobTerrible", "Combo1", "Combo2", "Combo3",
    "Police", "Thief", "ThiefCatch", "Mayor", "TVReporter", "Cafe", "MayorShow", "TVShow", "CafeShow", "ThiefShow",
    "OrderShow", "OrderComplete", "OrderFail", "OrderWarning", "RatingWarning", "RatingRise", "BonusFreeze",
    "BonusSpeed", "BonusSupply", "BonusTolerance", "BonusEnd", "UFOWarning", "UFO", "UFOClick", "MGMotor", "MGTurn",
    "mainmenu", "ingame",
};

const std::set<std::string> kLoops = {"OrderWarning", "RatingWarning", "BonusFreeze", "BonusSpeed", "UFO",
                                      "MGMotor", "mainmenu", "ingame", "BonusSupply", "BonusTolerance"};

std::vector<std::string> AllFixedTemplates()
{
    std::vector<std::string> all(std::begin(kFixedTemplates), std::end(kFixedTemplates));
    for (const char* stem : kButtonStems) {
        all.push_back(std::string("Menu\\") + stem + "I.img");
        all.push_back(std::string("Menu\\") + stem + "H.img");
    }
    for (int level = 1; level <= 14; ++level) {
        all.push_back("Levels\\level" + std::to_string(level) + "I.img");
        all.push_back("Levels\\level" + std::to_string(level) + "H.img");
    }
    return all;
}

bool IsPowerOfTwo(int v)
{
    return v > 0 && (v & (v - 1)) == 0;
}

struct Loaded {
    TemplateInfo info;
    std::vector<Picture> pictures;
};

// Reads a template and every frame picture; failures are reported as test failures.
Loaded Load(const std::string& tpl)
{
    Loaded l;
    EXPECT_TRUE(ReadTemplateFile(kData, tpl, l.info)) << tpl;
    for (const auto& fr : l.info.frames) {
        Picture p;
        EXPECT_TRUE(ReadPictureFile(DataFilePath(kData, fr.file), p)) << tpl << ": " << fr.file;
        l.pictures.push_back(std::move(p));
    }
    return l;
}

} // namespace

TEST(DatagenData, EveryFixedTemplateLoadsAndStatesItsSize)
{
    auto all = AllFixedTemplates();
    EXPECT_EQ(all.size(), 91u + 28u);  // 91 fixed templates and 14 level marker pairs
    for (const auto& tpl : all) {
        Loaded l = Load(tpl);
        ASSERT_FALSE(l.info.frames.empty()) << tpl;
        for (size_t i = 0; i < l.info.frames.size(); ++i) {
            // Sizes come from the template, never from texture rounding.
            EXPECT_GT(l.info.frames[i].imageWidth, 0) << tpl << " frame " << i;
            EXPECT_GT(l.info.frames[i].imageHeight, 0) << tpl << " frame " << i;
            EXPECT_GT(l.pictures[i].width, 0) << tpl;
        }
    }
}

TEST(DatagenData, CentredWidgetsArePowerOfTwoAndFillTheirHitBox)
{
    // Widgets are centred on their frame size and the whole texture is drawn.
    // PNG textures keep the picture's size, but power-of-two pictures line up
    // whatever a loader rounds; only the wide rows (ProfileBtn, BuyBtn) are not.
    std::vector<std::string> centred = {"Menu\\PauseBk.img", "Menu\\ContinueWindow.img", "Menu\\OptionsWindow.img",
                                        "Menu\\ExitWindow.img", "Menu\\ProfileWindow.img", "Menu\\NewProfWindow.img",
                                        "Menu\\ScrollThumb.img", "Halvenport\\logo_na.img", "Halvenport\\logo_a.img",
                                        "Halvenport\\copyright.img", "UfoI.img", "UfoH.img",
                                        "DiaryBtnI.img", "RoadLineBtnI.img", "Logo.img", "Levels\\level5I.img"};
    for (const char* stem : kButtonStems)
        if (std::string(stem) != "ProfileBtn")
            centred.push_back(std::string("Menu\\") + stem + "I.img");
    for (const auto& tpl : centred) {
        Loaded l = Load(tpl);
        for (size_t i = 0; i < l.pictures.size(); ++i) {
            EXPECT_TRUE(IsPowerOfTwo(l.pictures[i].width) && IsPowerOfTwo(l.pictures[i].height))
                << tpl << " is " << l.pictures[i].width << "x" << l.pictures[i].height;
            EXPECT_EQ(l.info.frames[i].imageWidth, l.pictures[i].width) << tpl;
            EXPECT_EQ(l.info.frames[i].imageHeight, l.pictures[i].height) << tpl;
        }
    }
}

TEST(DatagenData, ButtonPairsMatchInSizeAndHoverIsClearlyDifferent)
{
    for (const char* stem : kButtonStems) {
        Loaded idle = Load(std::string("Menu\\") + stem + "I.img");
        Loaded hover = Load(std::string("Menu\\") + stem + "H.img");
        ASSERT_EQ(idle.pictures.size(), 1u) << stem;
        ASSERT_EQ(hover.pictures.size(), 1u) << stem;
        const Picture& a = idle.pictures[0];
        const Picture& b = hover.pictures[0];
        ASSERT_EQ(a.width, b.width) << stem;
        ASSERT_EQ(a.height, b.height) << stem;
        double diff = 0;
        for (size_t i = 0; i < a.rgba.size(); ++i)
            diff += std::abs(a.rgba[i] - b.rgba[i]);
        diff /= a.rgba.size();
        EXPECT_GT(diff, 8.0) << stem << ": idle and hover look almost the same";
    }
}

TEST(DatagenData, LevelMarkersSitOnTheMapInsideTheScreen)
{
    std::set<std::pair<int, int>> spots;
    for (int level = 1; level <= 14; ++level) {
        TemplateInfo idle, hover;
        ASSERT_TRUE(ReadTemplateFile(kData, "Levels\\level" + std::to_string(level) + "I.img", idle));
        ASSERT_TRUE(ReadTemplateFile(kData, "Levels\\level" + std::to_string(level) + "H.img", hover));
        const auto& f = idle.frames[0];
        EXPECT_EQ(f.offsetX, hover.frames[0].offsetX);
        EXPECT_EQ(f.offsetY, hover.frames[0].offsetY);
        EXPECT_GE(f.offsetX - f.imageWidth / 2, 0);
        EXPECT_LE(f.offsetX + f.imageWidth / 2, 800);
        EXPECT_GE(f.offsetY - f.imageHeight / 2, 0);
        // Clear of the Menu and Start buttons at the bottom.
        EXPECT_LE(f.offsetY + f.imageHeight / 2, 536);
        EXPECT_TRUE(spots.insert({static_cast<int>(f.offsetX), static_cast<int>(f.offsetY)}).second)
            << "two levels share a spot";
    }
}

TEST(DatagenData, FontsHaveAFrameWithSizesForEveryCharacter)
{
    for (const char* font : {"FontStd.img", "Font16.img", "FontBig.img"}) {
        Loaded l = Load(font);
        ASSERT_EQ(l.info.frames.size(), 95u) << font;
        EXPECT_TRUE(l.info.imfRead) << font;
        EXPECT_GT(l.info.height, 0) << font;
        for (size_t i = 0; i < 95; ++i) {
            EXPECT_GT(l.info.frames[i].imageWidth, 0) << font << " char " << (32 + i);
            EXPECT_LE(l.info.frames[i].imageHeight, l.info.height) << font;
        }
        // Glyphs are white so the game can tint them: the "A" has opaque white pixels.
        const Picture& a = l.pictures['A' - 32];
        int white = 0;
        for (size_t i = 0; i < a.rgba.size(); i += 4)
            if (a.rgba[i + 3] == 255 && a.rgba[i] > 240 && a.rgba[i + 1] > 240 && a.rgba[i + 2] > 240)
                ++white;
        EXPECT_GT(white, 10) << font;
        // Digits share one advance so numbers do not wobble.
        for (char d = '1'; d <= '9'; ++d)
            EXPECT_EQ(l.info.frames[d - 32].imageWidth, l.info.frames['0' - 32].imageWidth) << font;
    }
    // The big font is big, the highscore font about 16 pixels.
    TemplateInfo big, f16;
    ASSERT_TRUE(ReadTemplateFile(kData, "FontBig.img", big));
    ASSERT_TRUE(ReadTemplateFile(kData, "Font16.img", f16));
    EXPECT_GT(big.height, 40);
    EXPECT_GE(f16.height, 12);
    EXPECT_LE(f16.height, 20);
    // Ten highscore rows from y 150, stepping by line height + 10, fit above the Main button.
    EXPECT_LT(150 + 9 * (f16.height + 10), 520);

    Loaded digits = Load("Hud\\Digits.img");
    ASSERT_EQ(digits.info.frames.size(), 14u);
    for (const auto& f : digits.info.frames)
        EXPECT_EQ(f.imageHeight, digits.info.frames[0].imageHeight);
}

TEST(DatagenData, StartUpPicturesFollowTheLoadingRules)
{
    for (const char* page : {"Halvenport\\splash1.img", "Halvenport\\splash2.img"}) {
        Loaded l = Load(page);
        EXPECT_EQ(l.info.frames[0].imageWidth, 800) << page;
        EXPECT_EQ(l.info.frames[0].imageHeight, 600) << page;
        EXPECT_EQ(l.pictures[0].width, 800);
    }
    Loaded loading = Load("Loading.img");
    ASSERT_EQ(loading.info.frames.size(), 2u);
    const auto& bar = loading.info.frames[1];
    const Picture& barPic = loading.pictures[1];
    EXPECT_TRUE(loading.info.imfRead);
    EXPECT_EQ(bar.imageWidth, barPic.width);
    EXPECT_TRUE(IsPowerOfTwo(barPic.height)) << "the bar is drawn texture-high";
    // The bar starts at its texture's left edge, and the backdrop covers it opaquely.
    EXPECT_EQ(barPic.rgba[(static_cast<size_t>(barPic.height / 2) * barPic.width + 1) * 4 + 3], 255);
    const Picture& back = loading.pictures[0];
    for (int x = static_cast<int>(bar.offsetX); x < bar.offsetX + bar.imageWidth; x += 7)
        for (int y = static_cast<int>(bar.offsetY); y < bar.offsetY + barPic.height; y += 5)
            ASSERT_EQ(back.rgba[(static_cast<size_t>(y) * back.width + x) * 4 + 3], 255) << x << "," << y;
    EXPECT_LE(bar.offsetX + bar.imageWidth, 800);
    EXPECT_LE(bar.offsetY + barPic.height, 600);

    TemplateInfo logo;
    ASSERT_TRUE(ReadTemplateFile(kData, "Logo.img", logo));
    EXPECT_GE(logo.frames.size(), 1u);
    EXPECT_GE(1.0 / logo.fps, 2.0) << "a logo page shows for at least two seconds";
    EXPECT_LE(1.0 / logo.fps, 6.0);
}

TEST(DatagenData, OtherPictureFormatsServeRealScreens)
{
    auto frames = [](const char* tpl) {
        TemplateInfo t;
        EXPECT_TRUE(ReadTemplateFile(kData, tpl, t));
        std::string all;
        for (const auto& f : t.frames)
            all += f.file + " ";
        return all;
    };
    EXPECT_NE(frames("Menu\\LevelBk.img").find(".jpg"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(kData + "/Menu/LevelClouds_A.jpg"));
    EXPECT_NE(frames("Menu\\HighscoresBk.img").find(".gif"), std::string::npos);
    EXPECT_NE(frames("Halvenport\\copyright.img").find(".bmp"), std::string::npos);
    // The JPEG's alpha companion makes its layer partly transparent.
    Picture clouds;
    ASSERT_TRUE(ReadPictureFile(kData + "/Menu/LevelClouds.jpg", clouds));
    int clear = 0, solid = 0;
    for (size_t i = 3; i < clouds.rgba.size(); i += 4)
        (clouds.rgba[i] < 16 ? clear : clouds.rgba[i] > 200 ? solid : clear) += 1;
    EXPECT_GT(clear, static_cast<int>(clouds.rgba.size() / 8));
    EXPECT_GT(solid, 1000);
}

TEST(DatagenData, PreloadListNamesTemplatesThatExist)
{
    std::ifstream in(kData + "/preload.cfg");
    ASSERT_TRUE(in);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::set<std::string> listed;
    for (size_t q = text.find('"'); q != std::string::npos;) {
        size_t e = text.find('"', q + 1);
        ASSERT_NE(e, std::string::npos);
        listed.insert(text.substr(q + 1, e - q - 1));
        q = text.find('"', e + 1);
    }
    for (const auto& name : listed) {
        TemplateInfo t;
        EXPECT_TRUE(ReadTemplateFile(kData, name, t)) << name;
    }
    for (const auto& tpl : AllFixedTemplates()) {
        bool startUpOnly = tpl.find("splash") != std::string::npos || tpl == "Loading.img" || tpl == "Logo.img" ||
                           tpl.rfind("Levels\\", 0) == 0;
        EXPECT_EQ(listed.count(tpl), startUpOnly ? 0u : 1u) << tpl;
    }
}

TEST(DatagenData, HelpFileReadsBackOnlyUnderItsOwnName)
{
    auto read = [](const char* keyName, int& pages, std::vector<std::string>& pictures) {
        FILE* f = std::fopen((kData + "/Help.txt").c_str(), "rb");
        EXPECT_NE(f, nullptr);
        if (!f)
            return 0;
        FileKey key(keyName);
        char tag[kValueBufferSize], value[kValueBufferSize];
        int entries = 0;
        pages = 0;
        while (ReadQuoted(f, '"', '"', tag, &key) >= 0) {
            bool img = std::string(tag) == "IMG";
            if (!img && std::string(tag) != "TXT")
                continue;
            float x, y, scale;
            int32_t page;
            if (!ReadTokenFloat(f, &key, &x) || !ReadTokenFloat(f, &key, &y) || !ReadTokenInt(f, &key, &page) ||
                !ReadTokenFloat(f, &key, &scale) || ReadQuoted(f, '"', '"', value, &key) < 0)
                break;
            ++entries;
            pages = std::max(pages, page + 1);
            EXPECT_LT(std::strlen(value), static_cast<size_t>(kValueBufferSize - 1)) << "text cut by the buffer";
            if (img)
                pictures.push_back(value);
        }
        std::fclose(f);
        return entries;
    };
    int pages = 0;
    std::vector<std::string> pictures;
    EXPECT_GT(read("help.TXT", pages, pictures), 20);
    EXPECT_GE(pages, 6);
    EXPECT_GE(pictures.size(), 6u);
    for (const auto& p : pictures) {
        TemplateInfo t;
        EXPECT_TRUE(ReadTemplateFile(kData, p, t)) << p;
    }
    int otherPages = 0;
    std::vector<std::string> none;
    EXPECT_LT(read("Help.dat", otherPages, none), 3);
}

namespace {

struct Decoded {
    int channels = 0;
    long rate = 0;
    std::vector<float> samples;  // interleaved
};

bool DecodeOgg(const std::string& path, Decoded& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    OggVorbis_File vf;
    if (ov_open(f, &vf, nullptr, 0) != 0) {
        std::fclose(f);
        return false;
    }
    vorbis_info* vi = ov_info(&vf, -1);
    out.channels = vi->channels;
    out.rate = vi->rate;
    char buf[4096];
    int section = 0;
    long n;
    while ((n = ov_read(&vf, buf, sizeof buf, 0, 2, 1, &section)) > 0)
        for (long i = 0; i + 1 < n; i += 2)
            out.samples.push_back(static_cast<int16_t>((buf[i] & 0xFF) | (buf[i + 1] << 8)) / 32768.f);
    ov_clear(&vf);
    return true;
}

} // namespace

TEST(DatagenData, AllStartUpSoundsDecodeAndLoopsJoinWithoutAClick)
{
    for (const char* name : kSounds) {
        Decoded d;
        ASSERT_TRUE(DecodeOgg(kData + "/sfx/" + name + ".ogg", d)) << name;
        ASSERT_GT(d.samples.size(), 100u) << name;
        double seconds = static_cast<double>(d.samples.size()) / d.channels / d.rate;
        bool music = std::string(name) == "mainmenu" || std::string(name) == "ingame";
        if (music) {
            EXPECT_EQ(d.channels, 2) << name;
            EXPECT_GE(seconds, 30) << name;
            EXPECT_LE(seconds, 60) << name;
        } else {
            EXPECT_LE(seconds, 2.5) << name << " is too long for an effect";
        }
        float peak = 0;
        double sum = 0;
        for (float s : d.samples) {
            peak = std::max(peak, std::fabs(s));
            sum += s * s;
        }
        EXPECT_LT(peak, 0.99f) << name << " clips";
        EXPECT_GT(std::sqrt(sum / d.samples.size()), 0.01) << name << " is nearly silent";
        if (std::string(name) == "OrderWarning" || std::string(name) == "MGMotor") {
            EXPECT_EQ(d.samples.size(), 44100u * d.channels) << name << ": a loop decodes to exactly its length";
        }
        if (kLoops.count(name)) {
            // The jump from the last sample to the first is no bigger than the
            // sound's own largest step from one sample to the next.
            int ch = d.channels;
            double largest = 0;
            for (size_t i = ch; i < d.samples.size(); ++i)
                largest = std::max(largest, static_cast<double>(std::fabs(d.samples[i] - d.samples[i - ch])));
            for (int c = 0; c < ch; ++c) {
                double jump = std::fabs(d.samples[c] - d.samples[d.samples.size() - ch + c]);
                EXPECT_LE(jump, largest * 1.05 + 0.002) << name << " clicks at its loop point";
            }
        }
    }
    // Volume files hold one number between 0 and 1.
    int volumeFiles = 0;
    for (const char* name : kSounds) {
        FILE* f = std::fopen((kData + "/sfx/" + name + ".snd").c_str(), "r");
        if (!f)
            continue;
        ++volumeFiles;
        float v = -1;
        EXPECT_TRUE(ReadPlainFloat(f, &v)) << name;
        EXPECT_GT(v, 0) << name;
        EXPECT_LE(v, 1) << name;
        std::fclose(f);
    }
    EXPECT_GT(volumeFiles, 0);
}


TEST_F(DatagenGameLoad, EveryFixedTemplateLoadsWithTheSizesItStates)
{
    for (const auto& name : AllFixedTemplates()) {
        int32_t index = m_manager->LoadTemplate(name.c_str(), m_device);
        ASSERT_GE(index, 0) << name;
        GMImageTemplate* t = m_manager->GetTemplate(index);
        TemplateInfo stated;
        ASSERT_TRUE(ReadTemplateFile(kData, name, stated));
        ASSERT_EQ(t->GetFrameCount(), static_cast<int32_t>(stated.frames.size())) << name << ": a frame failed to load";
        for (int32_t i = 0; i < t->GetFrameCount(); ++i) {
            const ImageFrameInfo* info = t->GetFrameInfo(i);
            ASSERT_NE(info, nullptr) << name;
            EXPECT_EQ(info->imageWidth, static_cast<float>(stated.frames[i].imageWidth)) << name << " frame " << i;
            EXPECT_EQ(info->imageHeight, static_cast<float>(stated.frames[i].imageHeight)) << name << " frame " << i;
            EXPECT_EQ(info->offsetX, static_cast<float>(stated.frames[i].offsetX)) << name;
            EXPECT_EQ(info->offsetY, static_cast<float>(stated.frames[i].offsetY)) << name;
        }
    }
    for (const char* font : {"FontStd.img", "Font16.img", "FontBig.img"}) {
        GMImageTemplate* t = m_manager->GetTemplate(m_manager->LoadTemplate(font, m_device));
        ASSERT_NE(t, nullptr);
        EXPECT_EQ(t->GetFrameCount(), 95) << font;
        EXPECT_GT(t->GetHeight(), 0) << font;
    }
    GMImageTemplate* digits = m_manager->GetTemplate(m_manager->LoadTemplate("Hud\\Digits.img", m_device));
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->GetFrameCount(), 14);
}

TEST_F(DatagenGameLoad, AllStartUpSoundsLoadWithTheirVolumes)
{
    GMSoundSystem sound;
    ASSERT_EQ(sound.UseDevice(AudioDevice::OpenManual(44100, 2)), 0);
    for (const char* name : kSounds) {
        std::string path = std::string("sfx\\") + name + ".ogg";
        bool music = std::string(name) == "mainmenu" || std::string(name) == "ingame";
        SoundBuffer* handle = sound.LoadSound(path.c_str(), music ? 100 : 0, false, music ? 130 : 128, music);
        ASSERT_NE(handle, nullptr) << path;
        GMSoundEntry* entry = sound.FindEntry(handle);
        ASSERT_NE(entry, nullptr);
        FILE* snd = std::fopen((kData + "/sfx/" + name + ".snd").c_str(), "r");
        float expected = 1.0f;
        if (snd) {
            ASSERT_TRUE(ReadPlainFloat(snd, &expected));
            std::fclose(snd);
        }
        EXPECT_FLOAT_EQ(entry->relativeVolume, expected) << name;
    }
    EXPECT_EQ(sound.GetSoundCount(), 37);
}

namespace {

struct Shot {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// True when the pixel is within `tolerance` of the colour in every channel.
bool Near(uint32_t pixel, uint32_t rgb, int tolerance)
{
    for (int shift : {16, 8, 0})
        if (std::abs(static_cast<int>((pixel >> shift) & 255) - static_cast<int>((rgb >> shift) & 255)) > tolerance)
            return false;
    return true;
}

} // namespace

TEST_F(DatagenGameLoad, ScreensDrawnByTheGameShowOurPictures)
{
    std::filesystem::create_directories(BRIMVALE_DATAGEN_SHOT_DIR);
    auto save = [&](const char* name, Shot& shot) {
        ASSERT_EQ(m_device->ReadBackBuffer(&shot.pixels, &shot.width, &shot.height), DD_OK);
        m_device->EndScene();
        EXPECT_TRUE(m_device->SaveBackBufferPng((std::string(BRIMVALE_DATAGEN_SHOT_DIR) + "/" + name).c_str()));
    };
    GMImage background, font;
    ASSERT_EQ(font.LoadTemplate("FontStd.img", m_manager.get(), m_device), 0);

    // Main menu with the pointer on Highscores, and the options dialog over it.
    ASSERT_EQ(background.LoadTemplate("Menu\\MainMenuBk.img", m_manager.get(), m_device), 0);
    GMObjectArray widgets;
    const char* stems[] = {"Play", "High", "Help", "Options", "Exit", "ProfileMenu"};
    const float ys[] = {300, 350, 400, 450, 500, 249};
    for (int i = 0; i < 6; ++i) {
        std::string idle = std::string("Menu\\") + stems[i] + "BtnI.img", hover = std::string("Menu\\") + stems[i] + "BtnH.img";
        ASSERT_EQ(CreateMenuButton(&widgets, idle.c_str(), hover.c_str(), 616, ys[i], i + 1, m_manager.get(), m_device), 0);
    }
    ASSERT_EQ(CreateMenuButton(&widgets, "Halvenport\\logo_na.img", "Halvenport\\logo_a.img", 109.3f, 540.3f, 42,
                               m_manager.get(), m_device), 0);
    ASSERT_EQ(CreateMenuButton(&widgets, "Halvenport\\copyright.img", "Halvenport\\copyright.img", 261, 595, 0,
                               m_manager.get(), m_device), 0);
    UpdateScreenObjects(&widgets, 616, 350, 0, 0, nullptr);
    auto drawMenu = [&] {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), DD_OK);
        ASSERT_EQ(m_device->BeginScene(), DD_OK);
        background.DrawAllFrames(0, 0, m_device);
        float w = 0;
        font.DrawText(0, 0, 0, 1, 0xFFFFB600u, "Annabel", nullptr, &w);
        font.DrawText(616 - w / 2, 230, 0, 1, 0xFFFFB600u, "Annabel", m_device);
        DrawScreenObjects(&widgets, m_device);
        font.DrawText(725.5f, 598.5f, 0, 0.7f, 0xFF808080u, "ver. 0.10", m_device);
    };
    drawMenu();
    Shot menu;
    save("main_menu.png", menu);
    EXPECT_TRUE(Near(menu.At(616 - 90, 356), 0xFFC53D, 40)) << "Highscores is lit gold under the pointer";
    EXPECT_TRUE(Near(menu.At(616 - 90, 306), 0xC9553B, 40)) << "Play is brick red";
    EXPECT_TRUE(Near(menu.At(616 - 90, 456), 0xFFF3D6, 40)) << "Options is cream";

    ASSERT_EQ(CreateDialogWindow(&widgets, "Menu\\OptionsWindow.img", 26, m_manager.get(), m_device), 0);
    ASSERT_EQ(CreateMenuButton(&widgets, "Menu\\DoneBtnI.img", "Menu\\DoneBtnH.img", 400, 354, 27, m_manager.get(), m_device), 0);
    const float arrows[4][2] = {{395, 187}, {499, 187}, {395, 242}, {499, 242}};
    for (int i = 0; i < 4; ++i) {
        const char* idle = i % 2 ? "Menu\\RightArrowBtnI.img" : "Menu\\LeftArrowBtnI.img";
        const char* hover = i % 2 ? "Menu\\RightArrowBtnH.img" : "Menu\\LeftArrowBtnH.img";
        ASSERT_EQ(CreateMenuButton(&widgets, idle, hover, arrows[i][0], arrows[i][1], 28 + i, m_manager.get(), m_device), 0);
    }
    ASSERT_EQ(CreateMenuButton(&widgets, "Menu\\CheckBtnI.img", "Menu\\CheckBtnH.img", 333, 297, 32, m_manager.get(), m_device), 0);
    UpdateScreenObjects(&widgets, 400, 354, 0, 0, nullptr);
    drawMenu();
    for (auto [text, x, y] : {std::tuple{"Music", 295.f, 195.f}, std::tuple{"Sound", 295.f, 249.f},
                              std::tuple{"Fullscreen", 353.f, 303.f}, std::tuple{"8", 440.f, 195.f},
                              std::tuple{"10", 435.f, 249.f}})
        font.DrawText(x, y, 0, 1, 0xFFFFB600u, text, m_device);
    Shot options;
    save("options.png", options);
    EXPECT_TRUE(Near(options.At(400 + 40, 354 + 6), 0xFFC53D, 40)) << "Done is lit under the pointer";
    EXPECT_TRUE(Near(options.At(300, 230), 0x4A2C1B, 30)) << "the options board is behind the labels";

    // A help page as the help screen draws it.
    GMImage helpBack;
    ASSERT_EQ(helpBack.LoadTemplate("Menu\\HelpBk.img", m_manager.get(), m_device), 0);
    HelpPages help;
    ASSERT_EQ(help.LoadFromFile("Help.txt", m_manager.get(), m_device), 0);
    EXPECT_EQ(help.GetPageCount(), 8);
    help.SetFont(&font);
    GMObjectArray helpWidgets;
    ASSERT_EQ(CreateMenuButton(&helpWidgets, "Menu\\MainBtnI.img", "Menu\\MainBtnH.img", 56, 560, 8, m_manager.get(), m_device), 0);
    ASSERT_EQ(CreateMenuButton(&helpWidgets, "Menu\\LeftArrowBtnI.img", "Menu\\LeftArrowBtnH.img", 160, 561, 41, m_manager.get(), m_device), 0);
    ASSERT_EQ(CreateMenuButton(&helpWidgets, "Menu\\RightArrowBtnI.img", "Menu\\RightArrowBtnH.img", 231, 561, 40, m_manager.get(), m_device), 0);
    for (int page : {0, 5}) {
        help.SetPage(page);
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), DD_OK);
        ASSERT_EQ(m_device->BeginScene(), DD_OK);
        helpBack.Draw(0, 0, m_device);
        help.Draw(0, 0, m_device);
        DrawScreenObjects(&helpWidgets, m_device);
        Shot shot;
        save(page == 0 ? "help1.png" : "help6.png", shot);
        int white = 0;
        for (int y = 110; y < 300; ++y)
            for (int x = 320; x < 700; ++x)
                white += Near(shot.At(x, y), 0xFFFFFF, 20);
        EXPECT_GT(white, 800) << "page " << page << " shows its white text";
        EXPECT_TRUE(Near(shot.At(60, 130), 0xFFF3D6, 20)) << "page " << page << " shows its picture";
    }
}

TEST(DatagenData, ASecondRunWritesIdenticalBytes)
{
    TempDir tmp;
    DataDir dir(tmp.Path(), BRIMVALE_DATAGEN_SRC_DIR);
    ASSERT_TRUE(GenerateAll(dir)) << dir.Error();
    ASSERT_GT(dir.Written().size(), 500u);
    for (const auto& f : dir.Written()) {
        std::ifstream a(DataFilePath(tmp.Path(), f), std::ios::binary), b(DataFilePath(kData, f), std::ios::binary);
        ASSERT_TRUE(a && b) << f;
        std::stringstream sa, sb;
        sa << a.rdbuf();
        sb << b.rdbuf();
        EXPECT_TRUE(sa.str() == sb.str()) << f << " differs between two runs";
        // An installed data set is read by players other than the one who generated it.
        auto perms = std::filesystem::status(DataFilePath(tmp.Path(), f)).permissions();
        EXPECT_NE(perms & std::filesystem::perms::others_read, std::filesystem::perms::none) << f << " is not readable by others";
    }
}

#endif
