#pragma once
#include "core/TaggedFile.h"
#include "game/GMLevelRun.h"
#include "platform/AudioDevice.h"
#include "player/GMProfile.h"
#include "sound/GMSoundSystem.h"
#include "support/gfx/GfxTestSupport.h"
#include "support/gfx/TemplateWriter.h"
#include "world/GMMessage.h"

#include <filesystem>
#include <string>

// A small town the tests write themselves: a road along row 1 from column 1
// to 9 (driven both ways), houses standing above it, a delivery car at (1, 1).
// Cells are 40 pixels, the grid's origin (0, 100), so a house in column c has
// its order bubble centred at (40 c + 20, 74), standing on the roof at 100.
class LevelTest : public DeviceTest {
protected:
    void SetUp() override
    {
        DeviceTest::SetUp();
        std::filesystem::create_directories("Menu");
        WriteSolidTemplate("road", 1, 40, 40, 0xFF808080);
        WriteSolidTemplate("house", 3, 40, 40, 0xFFA05020);
        WriteSolidTemplate("car", 1, 30, 20, 0xFF2020F0);
        WriteSolidTemplate("goods", 1, 30, 30, 0xFF20F020);
        WriteSolidTemplate("goodsh", 1, 30, 30, 0xFF80FF80);
        WriteSolidTemplate("cus", 1, 30, 30, 0xFFF0C080);
        WriteSolidTemplate("bubble", 1, 60, 40, 0xFFFFFFFF);
        WriteSolidTemplate("lit", 1, 8, 8, 0xFFFFFF00);
        WriteSolidTemplate("unlit", 1, 8, 8, 0xFF404040);
        WriteSolidTemplate("post", 1, 30, 30, 0xFF0000FF);
        WriteSolidTemplate("deco", 4, 20, 20, 0xFF00A000);
        for (const char* hud : {"RatingBk", "Rating", "BonusBuyBk", "UfoI", "UfoH", "DiaryBtnI", "DiaryBtnH",
                                "EndLevelBk", "CongratulationBk", "Menu/MainBtnI", "Menu/MainBtnH"})
            WriteSolidTemplate(hud, 1, 100, 40, 0xFF606060);
        WriteBlockFont("FontStd", {});
        WriteBlockFont("FontBig", {}, 30);
        m_profile.SetDisplayName("Tess");
        m_profile.SetFileName("Tess.prf");
        m_run.SetProfile(&m_profile);
        m_run.FixSeed(7);
    }

    void TearDown() override
    {
        m_run.Reset();
        DeviceTest::TearDown();
    }

    // Writes a level file scrambled with its own name, as the data set keeps them.
    void WriteLevel(const std::string& name, const std::string& text)
    {
        FileKey key(name.c_str());
        std::string bytes = text;
        for (char& c : bytes)
            c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
        m_dir.Write(name, bytes);
    }

    // The town with `houses` houses in columns 2, 5, 8, 3 (in that order).
    static std::string Town(int houses = 1, const std::string& car = "\"TR\" \"car.img\" \"car.img\" \"car.img\" \"car.img\" 1 1 0 10 1 R\n")
    {
        std::string t = "\"ORX\" 0 \"ORY\" 100 \"CLW\" 40 \"CLH\" 40 \"FLW\" 10 \"FLH\" 5 \"FLL\" 2\n";
        for (int x = 1; x <= 9; ++x) {
            t += "\"RN\" \"road.img\" " + std::to_string(x) + " 1 0\n";
            if (x > 1)
                t += "\"RNL\" " + std::to_string(x - 1) + " 1 0\n";
            if (x < 9)
                t += "\"RNR\" " + std::to_string(x + 1) + " 1 0\n";
        }
        const int columns[] = {2, 5, 8, 3};
        for (int i = 0; i < houses && i < 4; ++i)
            t += "\"BL\" \"house.img\" " + std::to_string(columns[i]) + " 0 0 Y\n";
        t += car;
        t += "\"OIT\" \"bubble.img\" \"OHT\" \"bubble.img\" \"ASI\" \"lit.img\" \"GSI\" \"unlit.img\"\n";
        t += "\"OTD\" 0 \"OTM\" 0 \"OTI\" 0\n";
        return t;
    }

    // Goods 1 (price 20) and 2 (price 30) at (100, 500) and (200, 500); one
    // ordinary customer kind with 60 s of patience.
    static std::string Trade()
    {
        return "\"SHG\" \"goods.img\" \"goodsh.img\" 1 20 1 100 500\n"
               "\"SHG\" \"goods.img\" \"goodsh.img\" 2 30 0 200 500\n"
               "\"CUS\" \"cus.img\" \"cus.img\" 0 60 1 1 1\n";
    }

    int32_t Load(const std::string& name)
    {
        return m_run.LoadLevel(name.c_str(), m_manager.get(), m_device, m_hasSound ? &m_sound : nullptr, nullptr,
                               &m_notes);
    }

    // The days loaded from now on hear the generated sound effects, over a
    // device that mixes only when asked (what was started stays "playing"),
    // and the sound system keeps its log. False without the generated data.
    bool UseGeneratedSounds()
    {
#ifdef BRIMVALE_GOLDEN_DATA_DIR
        namespace fs = std::filesystem;
        fs::create_directory("sfx");
        for (const auto& e : fs::directory_iterator(std::string(BRIMVALE_GOLDEN_DATA_DIR) + "/sfx")) {
            const std::string name = e.path().filename().string();
            if (e.path().extension() == ".ogg" && name != "ingame.ogg" && name != "mainmenu.ogg" &&
                !fs::exists("sfx/" + name))
                fs::copy_file(e.path(), "sfx/" + name);
        }
        m_sound.SetErrorLog("");
        m_hasSound = m_sound.UseDevice(AudioDevice::OpenManual(44100, 2)) == 0;
        m_sound.KeepLog(m_hasSound);
#endif
        return m_hasSound;
    }

    bool Playing(const char* name)
    {
        GMSoundEntry* e = m_sound.FindEntry(name);
        return e && e->buffer && e->buffer->IsPlaying();
    }

    // How often the log has this sound started once ("play") or looping ("loop").
    int32_t Heard(const char* name) { return m_sound.CountLog(std::string("play ") + name); }
    int32_t Looped(const char* name) { return m_sound.CountLog(std::string("loop ") + name); }

    int32_t LoadText(const std::string& text, const std::string& name = "level3.lvl")
    {
        WriteLevel(name, text);
        return Load(name);
    }

    // Frames of 16 ms with the pointer off every object; the last result.
    int32_t Run(float ms, uint32_t buttons = 0)
    {
        int32_t r = 0;
        for (float t = 0.0f; t < ms; t += 16.0f) {
            r = m_run.Frame(-500.0f, -500.0f, buttons, 16.0f);
            if (r != 0)
                return r;
        }
        return r;
    }

    // Runs until the fade-in and the title are over and play has begun.
    void UntilPlay()
    {
        for (int i = 0; i < 1000 && m_run.GetStateWord() != 0; ++i)
            m_run.Frame(-500.0f, -500.0f, 0, 16.0f);
        ASSERT_EQ(m_run.GetStateWord(), 0u);
    }

    int32_t Click(float x, float y, uint32_t buttons = 1) { return m_run.Frame(x, y, buttons, 16.0f); }

    // How many floating texts of the day read exactly `text`.
    int CountTexts(const std::string& text)
    {
        int n = 0;
        for (size_t i = 0; i < m_run.GetFloatingTextCount(); ++i)
            n += text == m_run.GetFloatingText(i)->GetText();
        return n;
    }

    // Draws the day and reads the frame back, for Pixel.
    void Shoot()
    {
        BeginFrame();
        m_run.Draw(m_device);
        ReadBack();
        EndFrame();
    }

    double Value(const char* name)
    {
        double v = -1.0;
        EXPECT_TRUE(m_run.QueryValue(name, &v)) << name;
        return v;
    }

    GMSoundSystem m_sound;  // outlives the day, which borrows it
    bool m_hasSound = false;
    GMProfile m_profile;
    GMLevelRun m_run;
    LevelLoadNotes m_notes;
};
