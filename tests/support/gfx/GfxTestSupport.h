#pragma once
#include "gfx/GMImageManager.h"
#include "support/gfx/PictureWriters.h"
#include "platform/DisplayDevice.h"
#include "support/TempDir.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

// A headless 800 x 600 device over a fresh data directory (the working
// directory while the test runs), with an image manager.
class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Clears to opaque black and begins a scene.
    void BeginFrame(uint32_t clearColor = 0xFF000000u);
    void EndFrame();
    // Reads the back buffer (call inside or right after a frame).
    void ReadBack();
    uint32_t Pixel(int x, int y) const { return m_pixels[size_t(y) * m_width + size_t(x)]; }

    void WriteText(const std::string& name, const std::string& text) const { m_dir.Write(name, text); }

    TempDir m_dir;
    std::unique_ptr<ScopedChdir> m_chdir;
    DisplayDevice* m_device = nullptr;
    std::unique_ptr<GMImageManager> m_manager;
    std::vector<uint32_t> m_pixels;
    uint32_t m_width = 0, m_height = 0;
};

// Channel helpers for 0xAARRGGBB.
inline int Red(uint32_t c) { return int((c >> 16) & 0xFF); }
inline int Green(uint32_t c) { return int((c >> 8) & 0xFF); }
inline int Blue(uint32_t c) { return int(c & 0xFF); }
inline int Alpha(uint32_t c) { return int(c >> 24); }

// A font of block glyphs, written into the current directory as "<name>.img"
// with its per-frame size file: frame i is the character 32 + i, a solid white
// rectangle of width widths[c] (default 6) and `above` pixels high standing on
// the baseline; the space is transparent. 96 frames.
void WriteBlockFont(const std::string& name, const std::map<char, int>& widths, int above = 20);

// A digit picture for DrawNumber: frames 0-9, "-", "$", "x", ":" as block
// glyphs of widths 10, 11 ... 23 and height 16.
void WriteDigitFont(const std::string& name);
