#include "support/gfx/GfxTestSupport.h"

#include "platform/System.h"

#include <cstdio>
#include <set>

void DeviceTest::SetUp()
{
    ASSERT_TRUE(StartPlatform());
    ASSERT_EQ(DisplayDevice::CreateOffscreen(800, 600, &m_device), DD_OK);
    ASSERT_NE(m_device, nullptr);
    m_chdir = std::make_unique<ScopedChdir>(m_dir.Path());
    m_manager = std::make_unique<GMImageManager>();
    // Pictures that fail are logged inside the test's own directory.
    m_manager->SetErrorLogPath(m_dir.File("Error.log").c_str());
}

void DeviceTest::TearDown()
{
    m_manager.reset();
    if (m_device)
        m_device->Release();
    m_device = nullptr;
    m_chdir.reset();
}

void DeviceTest::BeginFrame(uint32_t clearColor)
{
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, clearColor, 1.0f, 0), DD_OK);
    ASSERT_EQ(m_device->BeginScene(), DD_OK);
}

void DeviceTest::EndFrame()
{
    m_device->EndScene();
    ReadBack();
}

void DeviceTest::ReadBack()
{
    ASSERT_EQ(m_device->ReadBackBuffer(&m_pixels, &m_width, &m_height), DD_OK);
    ASSERT_EQ(m_width, 800u);
    ASSERT_EQ(m_height, 600u);
}

namespace {

std::string BlockPicture(int w, int h, bool solid)
{
    std::string name = "blk" + std::to_string(w) + "x" + std::to_string(h) + (solid ? "" : "t") + ".png";
    FILE* probe = std::fopen(name.c_str(), "rb");
    if (probe) {
        std::fclose(probe);
        return name;
    }
    TestPicture p(w, h, solid ? 0xFFFFFFFFu : 0x00000000u);
    WritePng(name, p, PngKind::Rgba);
    return name;
}

}  // namespace

void WriteBlockFont(const std::string& name, const std::map<char, int>& widths, int above)
{
    std::string img = "\"FR\" 96\n";
    std::string sizes;
    for (int i = 0; i < 96; ++i) {
        char c = char(32 + i);
        auto it = widths.find(c);
        int w = it != widths.end() ? it->second : 6;
        img += "\"" + BlockPicture(w, above, c != ' ') + "\"\n";
        sizes += "\"IMW\" " + std::to_string(i) + " " + std::to_string(w) + "\n";
        sizes += "\"IMH\" " + std::to_string(i) + " " + std::to_string(above) + "\n";
    }
    img += "\"IMF\" \"" + name + ".siz\"\n";
    FILE* f = std::fopen((name + ".img").c_str(), "wb");
    std::fputs(img.c_str(), f);
    std::fclose(f);
    f = std::fopen((name + ".siz").c_str(), "wb");
    std::fputs(sizes.c_str(), f);
    std::fclose(f);
}

void WriteDigitFont(const std::string& name)
{
    std::string img = "\"FR\" 14\n";
    for (int i = 0; i < 14; ++i)
        img += "\"" + BlockPicture(10 + i, 16, true) + "\"\n";
    FILE* f = std::fopen((name + ".img").c_str(), "wb");
    std::fputs(img.c_str(), f);
    std::fclose(f);
}
