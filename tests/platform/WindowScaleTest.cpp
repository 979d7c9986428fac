#include "platform/DisplayDevice.h"
#include "platform/DisplayDriver.h"
#include "platform/DisplaySurface.h"
#include "platform/InputInjection.h"
#include "platform/Letterbox.h"
#include "platform/Messages.h"
#include "platform/SdlBackend.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <vector>

TEST(WindowScale, FitsWholeMultiplesIntoTheDesktop)
{
    EXPECT_EQ(FitWindowScale(2, 800, 600, 1920, 1440), 2);
    EXPECT_EQ(FitWindowScale(2, 800, 600, 1920, 1080), 1) << "1200 rows do not fit 1080";
    EXPECT_EQ(FitWindowScale(4, 800, 600, 2560, 1600), 2);
    EXPECT_EQ(FitWindowScale(3, 800, 600, 1024, 768), 1);
    EXPECT_EQ(FitWindowScale(1, 800, 600, 640, 480), 1) << "never below 1";
    EXPECT_EQ(FitWindowScale(0, 800, 600, 1920, 1440), 1);
    EXPECT_EQ(FitWindowScale(-3, 800, 600, 1920, 1440), 1);
    EXPECT_EQ(FitWindowScale(3, 800, 600, 0, 0), 3) << "no desktop size known: as asked";
}

TEST(WindowScale, AScaledWindowIsPlacedWhollyOnTheDesktop)
{
    // 1920 x 1440: a 1600 x 1200 window grown around the 800 x 600 place
    // centred on the screen lies inside; one grown from the top left is moved in.
    EXPECT_EQ(PlaceWithin(160, 1600, 0, 1920), 160);
    EXPECT_EQ(PlaceWithin(120, 1200, 0, 1440), 120);
    EXPECT_EQ(PlaceWithin(420, 1200, 0, 1440), 240) << "its bottom 180 rows would hang below the screen";
    EXPECT_EQ(PlaceWithin(-400, 1600, 0, 1920), 0);
    EXPECT_EQ(PlaceWithin(0, 1200, 0, 1200), 0) << "exactly as tall as the screen";
    EXPECT_EQ(PlaceWithin(50, 1300, 0, 1200), 0) << "too tall: its top (title bar) stays reachable";
    // A usable area below a 32-pixel panel.
    EXPECT_EQ(PlaceWithin(0, 1200, 32, 1408), 32);
    EXPECT_EQ(PlaceWithin(300, 1200, 32, 1408), 240);
}

class ScaledWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        MessageQueue::Clear();
        // The dummy desktop is 1024 x 768: a 400 x 300 frame fits twice.
        window = Window::Create("Brimvale", WindowStyle::Popup, {0, 0, 400, 300}, true);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        delete window;
        MessageQueue::Clear();
    }
    std::vector<Message> Clicks()
    {
        std::vector<Message> clicks;
        Message m;
        while (MessageQueue::Peek(&m, true))
            if (m.type == WM_LBUTTONDOWN)
                clicks.push_back(m);
        return clicks;
    }
    void PushClick(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.windowID = SDL_GetWindowID(window->GetBackend()->sdl);
        e.button.button = SDL_BUTTON_LEFT;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    Window* window = nullptr;
};

TEST_F(ScaledWindowTest, PointerIsMappedBackIntoTheFrame)
{
    EXPECT_EQ(window->SetScale(2, false), 2);
    int w = 0, h = 0;
    SDL_GetWindowSize(window->GetBackend()->sdl, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    // The game still draws and reads coordinates in its 400 x 300 frame.
    EXPECT_EQ(window->GetClientRect().right, 400);
    EXPECT_EQ(window->GetClientRect().bottom, 300);

    MessageQueue::Clear();
    PushClick(0, 0);
    PushClick(201, 101);
    PushClick(799, 599);
    std::vector<Message> clicks = Clicks();
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(MouseX(clicks[0].lParam), 0);
    EXPECT_EQ(MouseX(clicks[1].lParam), 100);
    EXPECT_EQ(MouseY(clicks[1].lParam), 50);
    EXPECT_EQ(MouseX(clicks[2].lParam), 399);
    EXPECT_EQ(MouseY(clicks[2].lParam), 299);
    int32_t x = 0, y = 0;
    window->GetCursorPos(&x, &y);
    EXPECT_EQ(x, 399);
    EXPECT_EQ(y, 299);

    // Injected in frame coordinates or in window pixels, clicks land alike.
    InjectMouseButton(window, 1, true, 123, 45);
    InjectMouseButton(window, 1, true, 246, 90, true);
    clicks = Clicks();
    ASSERT_EQ(clicks.size(), 2u);
    for (const Message& m : clicks) {
        EXPECT_EQ(MouseX(m.lParam), 123);
        EXPECT_EQ(MouseY(m.lParam), 45);
    }
}

TEST_F(ScaledWindowTest, ScaleIsCutToTheDesktopAndCanGoBack)
{
    EXPECT_EQ(window->SetScale(5, true), 2);
    EXPECT_EQ(window->GetScale(), 2);
    EXPECT_EQ(window->SetScale(1, true), 1);
    int w = 0, h = 0;
    SDL_GetWindowSize(window->GetBackend()->sdl, &w, &h);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    PushClick(30, 40);
    std::vector<Message> clicks = Clicks();
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(MouseX(clicks[0].lParam), 30);
    EXPECT_EQ(MouseY(clicks[0].lParam), 40);

    // Full screen and back keeps the scale of the window.
    window->SetScale(2, true);
    window->SetFullScreen(true, 400, 300);
    EXPECT_EQ(window->GetClientRect().right, 400);
    window->SetFullScreen(false);
    SDL_GetWindowSize(window->GetBackend()->sdl, &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
}

// The picture a scaled window shows: sharp repeats each frame pixel, smooth
// blends neighbours.
class ScaledPresentTest : public ::testing::Test {
protected:
    static constexpr int32_t kSize = 32;
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        window = Window::Create("Brimvale", WindowStyle::Popup, {0, 0, kSize, kSize}, true);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(DisplayDriver::Create(&driver), DD_OK);
        ASSERT_EQ(driver->SetCooperativeLevel(window, DDSCL_NORMAL), DD_OK);
        ASSERT_EQ(driver->CreatePrimarySurface(false, &primary), DD_OK);
        ASSERT_EQ(driver->CreateBackBuffer(kSize, kSize, &back), DD_OK);
        ASSERT_EQ(driver->CreateDevice(IID_IDirect3DRGBDevice, back, &device), DD_OK);
    }
    void TearDown() override
    {
        if (device)
            device->Release();
        if (back)
            back->Release();
        if (primary)
            primary->Release();
        if (driver)
            driver->Release();
        delete window;
        MessageQueue::Clear();
    }
    // A white square from (8, 8) to (16, 16) on black, presented.
    void ShowSquare()
    {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0), DD_OK);
        DisplayDevice::ClearRect square{8, 8, 16, 16};
        ASSERT_EQ(device->Clear(1, &square, D3DCLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0), DD_OK);
        ASSERT_EQ(primary->BltFast(0, 0, back), DD_OK);
    }
    // Red of a pixel of what the window shows.
    int Shown(int x, int y)
    {
        SDL_Surface* s = SDL_GetWindowSurface(window->GetBackend()->sdl);
        if (!s || x >= s->w || y >= s->h)
            return -1;
        SDL_LockSurface(s);
        uint32_t px = static_cast<uint32_t*>(s->pixels)[y * (s->pitch / 4) + x];
        SDL_UnlockSurface(s);
        uint8_t r, g, b;
        SDL_GetRGB(px, s->format, &r, &g, &b);
        return r;
    }
    Window* window = nullptr;
    DisplayDriver* driver = nullptr;
    DisplaySurface* primary = nullptr;
    DisplaySurface* back = nullptr;
    DisplayDevice* device = nullptr;
};

TEST_F(ScaledPresentTest, SharpRepeatsPixelsSmoothBlendsThem)
{
    ASSERT_EQ(window->SetScale(2, false), 2);
    ShowSquare();
    SDL_Surface* s = SDL_GetWindowSurface(window->GetBackend()->sdl);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->w, 2 * kSize);
    // Frame pixel (8, 8) is output pixels (16..17, 16..17).
    EXPECT_EQ(Shown(16, 16), 255);
    EXPECT_EQ(Shown(17, 17), 255);
    EXPECT_EQ(Shown(15, 16), 0);
    EXPECT_EQ(Shown(31, 31), 255);
    EXPECT_EQ(Shown(32, 31), 0);

    window->SetScale(2, true);
    ShowSquare();
    int edge = Shown(16, 20);
    EXPECT_GT(edge, 20);
    EXPECT_LT(edge, 235) << "a smooth edge lies between black and white";
    EXPECT_EQ(Shown(24, 24), 255) << "inside the square it stays white";
}
