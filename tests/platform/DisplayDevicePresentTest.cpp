#include "platform/DisplayDevice.h"
#include "platform/DisplayDriver.h"
#include "platform/DisplaySurface.h"
#include "platform/InputInjection.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Texture.h"
#include "platform/Window.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

// A windowed display as the game makes it: window, primary, back buffer and
// device, presented with BltFast. Frames equal to the one shown must not be
// drawn or copied again; anything that changes the picture, or the window's
// need for it, must be.
class PresentTest : public ::testing::Test {
protected:
    static constexpr uint32_t kSize = 32;

    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        window = Window::Create("Brimvale", WindowStyle::Popup, {0, 0, int32_t(kSize), int32_t(kSize)}, true);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(DisplayDriver::Create(&driver), DD_OK);
        ASSERT_EQ(driver->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        ASSERT_EQ(driver->CreatePrimarySurface(false, &primary), DD_OK);
        ASSERT_EQ(driver->CreateBackBuffer(kSize, kSize, &back), DD_OK);
        ASSERT_EQ(driver->CreateDevice(IID_IDirect3DRGBDevice, back, &device), DD_OK);
        device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 1);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
        Pump();
    }
    void TearDown() override
    {
        for (Texture* t : textures)
            t->Release();
        if (device) {
            device->SetTexture(0, nullptr);
            device->Release();
        }
        if (back)
            back->Release();
        if (primary)
            primary->Release();
        if (driver)
            driver->Release();
        delete window;
        Pump();
    }

    static void Pump()
    {
        Message m;
        while (MessageQueue::Peek(&m, true)) {
        }
    }

    Texture* MakeTexture(uint32_t fill)
    {
        Texture* t = nullptr;
        EXPECT_EQ(device->CreateTexture(4, 4, &t), DD_OK);
        Fill(t, fill);
        textures.push_back(t);
        return t;
    }
    static void Fill(Texture* t, uint32_t fill)
    {
        LockedRect rect;
        ASSERT_EQ(t->Lock(&rect), DD_OK);
        for (uint32_t i = 0; i < 16; ++i)
            static_cast<uint32_t*>(rect.bits)[i] = fill;
        t->Unlock();
    }

    void Quad(float x, float y, float size, uint32_t colour, Texture* tex)
    {
        TLVertex q[4] = {
            {x, y, 0.5f, 1, colour, 0, 0, 0},
            {x + size, y, 0.5f, 1, colour, 0, 1, 0},
            {x, y + size, 0.5f, 1, colour, 0, 0, 1},
            {x + size, y + size, 0.5f, 1, colour, 0, 1, 1},
        };
        device->SetTexture(0, tex);
        ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, kTLVertexFormat, q, 4, 0), DD_OK);
    }

    // A frame as the game's loop draws it: clear, scene, present.
    struct Frame {
        float x = 4.0f;
        uint32_t colour = 0xFFFFFFFFu;
        Texture* texture = nullptr;
    };
    void Draw(const Frame& f)
    {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), DD_OK);
        ASSERT_EQ(device->BeginScene(), DD_OK);
        Quad(f.x, 4.0f, 8.0f, f.colour, f.texture);
        ASSERT_EQ(device->EndScene(), DD_OK);
    }
    void Present() { ASSERT_EQ(primary->BltFast(0, 0, back), DD_OK); }
    // Presents made by drawing and presenting the frame.
    uint64_t Shows(const Frame& f)
    {
        uint64_t before = window->GetPresentCount();
        Draw(f);
        Present();
        return window->GetPresentCount() - before;
    }

    uint32_t Pixel(uint32_t x, uint32_t y)
    {
        std::vector<uint32_t> px;
        EXPECT_EQ(device->ReadBackBuffer(&px, nullptr, nullptr), DD_OK);
        return px.size() == kSize * kSize ? px[y * kSize + x] : 0u;
    }

    Window* window = nullptr;
    DisplayDriver* driver = nullptr;
    DisplaySurface* primary = nullptr;
    DisplaySurface* back = nullptr;
    DisplayDevice* device = nullptr;
    std::vector<Texture*> textures;
};

TEST_F(PresentTest, IdenticalConsecutiveFramesArePresentedOnce)
{
    Frame f;
    f.texture = MakeTexture(0xFFFF0000u);
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);
    EXPECT_EQ(Shows(f), 0u);
    // The back buffer still holds the picture.
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Pixel(20, 20), 0xFF000000u);
    // The device still counts every call the game made.
    EXPECT_EQ(device->GetCallCounts().drawPrimitive, 3u);
}

TEST_F(PresentTest, AnyChangeOfVertexStateOrTextureIsPresented)
{
    Frame f;
    f.texture = MakeTexture(0xFFFF0000u);
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);

    f.x = 5.0f;  // one pixel to the right
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(4, 5), 0xFF000000u);
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Shows(f), 0u);

    f.colour = 0x80FFFFFFu;  // half transparent
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_NEAR((Pixel(5, 5) >> 16) & 0xFF, 128, 2);
    EXPECT_EQ(Shows(f), 0u);

    device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);  // the quad replaces what is under it
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(5, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Shows(f), 0u);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);

    Fill(f.texture, 0xFF00FF00u);  // new pixels in the same texture
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(5, 5) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Shows(f), 0u);

    f.texture = MakeTexture(0xFF00FF00u);  // another texture with the same pixels
    EXPECT_EQ(Shows(f), 1u);
    f.texture = nullptr;
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(PresentTest, TextureChangedWithinAFrameShowsOldPixelsInEarlierDraws)
{
    Texture* t = MakeTexture(0xFFFF0000u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    Quad(0, 0, 8, 0xFFFFFFFFu, t);
    Fill(t, 0xFF0000FFu);
    Quad(16, 0, 8, 0xFFFFFFFFu, t);
    device->EndScene();
    Present();
    EXPECT_EQ(Pixel(2, 2), 0xFFFF0000u);
    EXPECT_EQ(Pixel(18, 2), 0xFF0000FFu);
}

TEST_F(PresentTest, ReleasedTextureStillDrawsItsRecordedPixels)
{
    Texture* t = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, &t), DD_OK);
    Fill(t, 0xFF00FF00u);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    Quad(0, 0, 8, 0xFFFFFFFFu, t);
    device->SetTexture(0, nullptr);
    t->Release();  // the game lets go of it before the frame is shown
    device->EndScene();
    Present();
    EXPECT_EQ(Pixel(2, 2), 0xFF00FF00u);
}

TEST_F(PresentTest, ExposedResizedOrRestoredWindowIsPresentedAgain)
{
    Frame f;
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);

    InjectWindowExposed(window);
    Pump();
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);

    window->SetPlacement(WindowStyle::Popup, {0, 0, int32_t(kSize) + 8, int32_t(kSize) + 8}, true);
    Pump();
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);

    window->Show(SW_MINIMIZE);
    window->Show(SW_RESTORE);
    Pump();
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);
}

TEST_F(PresentTest, LostDisplayIsPresentedAgain)
{
    Frame f;
    f.texture = MakeTexture(0xFFFF0000u);
    EXPECT_EQ(Shows(f), 1u);
    ForceDisplayLoss(driver);
    ASSERT_EQ(primary->Restore(), DD_OK);
    ASSERT_EQ(back->Restore(), DD_OK);
    ASSERT_EQ(f.texture->Restore(), DD_OK);
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(5, 5), 0xFFFF0000u);
    EXPECT_EQ(Shows(f), 0u);
}

TEST_F(PresentTest, ReadBackInsideAndAfterASkippedFrame)
{
    Frame f;
    EXPECT_EQ(Shows(f), 1u);

    // The same frame, read part way: the reader sees only what is drawn so far.
    uint64_t before = window->GetPresentCount();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    EXPECT_EQ(Pixel(5, 5), 0xFF000000u);
    device->BeginScene();
    Quad(f.x, 4.0f, 8.0f, f.colour, nullptr);
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    device->EndScene();
    Present();
    EXPECT_EQ(window->GetPresentCount(), before);  // still the picture on the window
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(20, 20), 0xFF000000u);

    // A skipped frame leaves the back buffer as drawn.
    EXPECT_EQ(Shows(f), 0u);
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 5), 0xFF000000u);

    // A frame read and then never shown: the next frame equal to the shown one
    // must still be drawn and presented, the back buffer no longer holds it.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0);
    EXPECT_EQ(Pixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(20, 20), 0xFF000000u);
}

TEST_F(PresentTest, FramesNotStartingWithAClearAreAlwaysPresented)
{
    Frame f;
    EXPECT_EQ(Shows(f), 1u);
    // Drawing on top of the last picture: each frame adds to it.
    for (int i = 0; i < 3; ++i) {
        uint64_t before = window->GetPresentCount();
        device->BeginScene();
        Quad(20, 20, 4, 0x40FFFFFFu, nullptr);
        device->EndScene();
        Present();
        EXPECT_EQ(window->GetPresentCount(), before + 1);
    }
    EXPECT_NEAR(int(Pixel(21, 21) & 0xFF), 147, 3);  // three quarter-alpha layers: 255 * (1 - 0.75^3)
    // A clear of part of the viewport does not open a frame either.
    Viewport half{0, 0, kSize / 2, kSize};
    ASSERT_EQ(device->SetViewport(half), DD_OK);
    for (int i = 0; i < 2; ++i) {
        uint64_t before = window->GetPresentCount();
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0);
        Present();
        EXPECT_EQ(window->GetPresentCount(), before + 1);
    }
    EXPECT_EQ(Pixel(4, 20), 0xFF00FF00u);
    EXPECT_NEAR(int(Pixel(21, 21) & 0xFF), 147, 3);  // outside the viewport: kept
}

TEST_F(PresentTest, FramesDrawnWhileNotPresentedDoNotPileUp)
{
    Frame shown;
    EXPECT_EQ(Shows(shown), 1u);
    // Another window in front: the game draws frames it does not present.
    Frame other;
    other.colour = 0xFF00FF00u;
    for (int i = 0; i < 5; ++i)
        Draw(other);
    // Back in front with the picture already shown: nothing was drawn into the
    // back buffer meanwhile, so nothing needs showing.
    EXPECT_EQ(Shows(shown), 0u);
    EXPECT_EQ(Pixel(5, 5), 0xFFFFFFFFu);
    Draw(other);
    Present();
    EXPECT_EQ(Pixel(5, 5), 0xFF00FF00u);
}

TEST_F(PresentTest, CapturedPresentIsCopiedEvenWhenUnchanged)
{
    Frame f;
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_EQ(Shows(f), 0u);
    TempDir dir;
    window->CaptureNextPresent(dir.File("shown.png").c_str());
    EXPECT_EQ(Shows(f), 1u);
    EXPECT_FALSE(dir.Read("shown.png").empty());
}
