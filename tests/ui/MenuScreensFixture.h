#pragma once
// Pictures for every menu screen, written by the tests, and a fixture with
// a headless device and a menu context over them.
#include "ui/MenuScreens.h"

#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"
#include "player/GMHighscoreTable.h"
#include "player/GMProfile.h"
#include "player/GMProfileList.h"
#include "support/TempDir.h"
#include "ui/HelpPages.h"
#include "ui/Widgets.h"
#include "world/GMInteractiveObj.h"
#include "world/GMObjectArray.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>


namespace menutest {


// A 24-bit BMP of one colour (0xRRGGBB).
inline void WriteBmp(const std::string& path, int w, int h, uint32_t rgb)
{
    int rowBytes = (w * 3 + 3) & ~3;
    uint32_t size = 54 + static_cast<uint32_t>(rowBytes * h);
    std::vector<uint8_t> b(size, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<uint32_t>(w));
    put32(22, static_cast<uint32_t>(h));
    b[26] = 1;
    b[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t at = 54 + static_cast<size_t>(y * rowBytes + x * 3);
            b[at] = static_cast<uint8_t>(rgb);
            b[at + 1] = static_cast<uint8_t>(rgb >> 8);
            b[at + 2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), size);
}

inline std::string Slashes(std::string s)
{
    for (char& c : s)
        if (c == '\\')
            c = '/';
    return s;
}

// The pictures every menu screen names, written by the test into dir.
class MenuData {
public:
    explicit MenuData(const TempDir& dir) : m_dir(dir)
    {
        for (const char* sub : {"Menu", "Levels", "Halvenport"})
            std::filesystem::create_directories(dir.File(sub));
        WriteBmp(dir.File("button.bmp"), 40, 20, 0x606060);
        WriteBmp(dir.File("window.bmp"), 300, 200, 0x203040);
        WriteBmp(dir.File("back.bmp"), 800, 600, 0x102010);
        WriteBmp(dir.File("glyph.bmp"), 8, 12, 0xFFFFFF);
        WriteBmp(dir.File("level.bmp"), 30, 30, 0x808000);
        for (const char* stem :
             {"PlayBtn", "HighBtn", "HelpBtn", "OptionsBtn", "ExitBtn", "ProfileMenuBtn", "ContinueBtn",
              "NewGameBtn", "MainBtn", "LeftArrowBtn", "RightArrowBtn", "DoneBtn", "CheckBtn", "UnCheckBtn", "NoBtn",
              "YesBtn", "ProfileBtn", "ProfileDeleteBtn", "ProfileCreateBtn", "DownArrowBtn", "UpArrowBtn",
              "CancelBtn", "OkBtn", "StartBtn", "ResumeBtn"}) {
            Template(std::string("Menu\\") + stem + "I.img", "button.bmp");
            Template(std::string("Menu\\") + stem + "H.img", "button.bmp");
        }
        for (const char* window :
             {"ContinueWindow", "OptionsWindow", "ExitWindow", "ProfileWindow", "NewProfWindow", "PauseBk"})
            Template(std::string("Menu\\") + window + ".img", "window.bmp");
        for (const char* back : {"MainMenuBk", "HighscoresBk", "HelpBk", "LevelBk"})
            Template(std::string("Menu\\") + back + ".img", "back.bmp");
        for (const char* logo : {"logo_na", "logo_a", "copyright"})
            Template(std::string("Halvenport\\") + logo + ".img", "button.bmp");
        Template("FontStd.img", "glyph.bmp", "\"IMW\" 9 \"IMH\" 12\n");
        Template("Font16.img", "glyph.bmp", "\"IMW\" 9 \"IMH\" 12\n");
        Template("Menu\\ScrollThumb.img", "button.bmp");
        // Level pictures placed by their offsets: level k at (100 k, 300).
        for (int k = 1; k <= 3; ++k) {
            std::string extra = "\"IMX\" " + std::to_string(100 * k) + " \"IMY\" 300\n";
            Template("Levels\\level" + std::to_string(k) + "I.img", "level.bmp", extra);
            Template("Levels\\level" + std::to_string(k) + "H.img", "level.bmp", extra);
        }
    }

    void Template(const std::string& name, const std::string& picture, const std::string& extra = "")
    {
        std::ofstream(m_dir.File(Slashes(name))) << "\"FR\" 1 \"" << picture << "\"\n" << extra;
    }
    void Remove(const std::string& name) { std::filesystem::remove(m_dir.File(Slashes(name))); }

private:
    const TempDir& m_dir;
};

class MenuScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        ASSERT_EQ(DisplayDevice::CreateOffscreen(800, 600, &device), DD_OK);
        ctx.widgets = &widgets;
        manager.SetErrorLogPath(dir.File("Error.log").c_str());  // not beside the shared /tmp
        ctx.manager = &manager;
        ctx.device = device;
        ctx.profile = &profile;
        ctx.profileList = &profileList;
        ctx.highscores = &highscores;
        ctx.help = &help;
        ctx.progress = &progress;
        ctx.desktopWidth = 1280;
        ctx.desktopHeight = 1024;
        ctx.windowed = true;
    }
    void TearDown() override
    {
        DiscardMenuInterface(ctx);
        help.Clear();
        highscores.ClearHighscores();
        profileList.ClearList();
        manager.ReleaseAll();
        if (device)
            device->Release();
    }

    struct Seen {
        float x, y;
        bool enabled;
    };
    // Command id -> position and state of every widget in the list.
    std::map<int32_t, Seen> Widgets() const
    {
        std::map<int32_t, Seen> seen;
        int32_t cursor = -1;
        while (auto* obj = static_cast<GMObject*>(widgets.GetNext(cursor))) {
            GMInteractiveObj* w = AsInteractive(obj);
            if (w)
                seen[obj->GetMark()] = {w->GetX(), w->GetY(), w->IsEnabled()};
        }
        return seen;
    }
    void ExpectAt(int32_t id, float x, float y)
    {
        auto all = Widgets();
        ASSERT_TRUE(all.count(id)) << "no widget " << id;
        EXPECT_FLOAT_EQ(all[id].x, x) << "widget " << id;
        EXPECT_FLOAT_EQ(all[id].y, y) << "widget " << id;
    }
    uint32_t Pixel(int x, int y)
    {
        std::vector<uint32_t> pixels;
        uint32_t w = 0, h = 0;
        EXPECT_EQ(device->ReadBackBuffer(&pixels, &w, &h), DD_OK);
        return pixels.empty() ? 0 : pixels[static_cast<size_t>(y) * w + static_cast<size_t>(x)] & 0xFFFFFF;
    }
    template <class Fn>
    void Frame(Fn draw)
    {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        draw();
        device->EndScene();
    }
    static bool Orange(uint32_t rgb) { return rgb >> 16 > 0xF0 && ((rgb >> 8) & 0xFF) > 0xA0 && (rgb & 0xFF) < 0x20; }

    TempDir dir;
    ScopedChdir cd{dir.Path()};
    MenuData data{dir};
    DisplayDevice* device = nullptr;
    GMImageManager manager;
    GMObjectArray widgets;
    GMProfile profile;
    GMProfileList profileList;
    GMHighscoreTable highscores;
    HelpPages help;
    float progress = 0.0f;
    MenuContext ctx;
};

}  // namespace menutest
