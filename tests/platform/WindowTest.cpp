#include "platform/Cursor.h"
#include "platform/Letterbox.h"
#include "platform/Messages.h"
#include "platform/SdlBackend.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

TEST(Letterbox, KeepsTheAspectInEveryShape)
{
    LetterboxRect wide = ComputeLetterbox(800, 600, 1920, 1080);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    LetterboxRect tall = ComputeLetterbox(800, 600, 1280, 1024);
    EXPECT_EQ(tall.width, 1280);
    EXPECT_EQ(tall.height, 960);
    EXPECT_EQ(tall.y, 32);
    LetterboxRect exact = ComputeLetterbox(800, 600, 1024, 768);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.width, 1024);
    LetterboxRect none = ComputeLetterbox(800, 600, 0, 768);
    EXPECT_EQ(none.width, 0);
}

TEST(Letterbox, MapsOutputPixelsBackIntoTheFrame)
{
    LetterboxRect box = ComputeLetterbox(800, 600, 1920, 1080);
    int32_t x = 0, y = 0;
    MapOutputToFrame(box, 800, 600, 240, 0, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    MapOutputToFrame(box, 800, 600, 960, 540, &x, &y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    MapOutputToFrame(box, 800, 600, 1679, 1079, &x, &y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    MapOutputToFrame(box, 800, 600, 100, 10, &x, &y);  // on the left bar: outside the frame
    EXPECT_LT(x, 0);
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        MessageQueue::Clear();
    }
    void TearDown() override { MessageQueue::Clear(); }
};

TEST_F(WindowTest, DesktopModeIsReported)
{
    DisplayMode mode;
    ASSERT_TRUE(GetDesktopDisplayMode(&mode));
    EXPECT_GT(mode.width, 0);
    EXPECT_GT(mode.height, 0);
    EXPECT_EQ(mode.bitsPerPixel, 32);  // dummy: 1024 x 768 with 4 bytes a pixel
}

TEST_F(WindowTest, ClientAreaAndStyles)
{
    Window* w = Window::Create("Brimvale", WindowStyle::Framed, {112, 84, 912, 684}, false);
    ASSERT_NE(w, nullptr);
    WindowRect r = w->GetClientRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 800);
    EXPECT_EQ(r.bottom, 600);
    EXPECT_FALSE(w->IsVisible());
    EXPECT_STREQ(SDL_GetWindowTitle(w->GetBackend()->sdl), "Brimvale");
    w->SetPlacement(WindowStyle::Popup, {0, 0, 640, 480}, true);
    EXPECT_TRUE(w->IsVisible());
    EXPECT_EQ(w->GetClientRect().right, 640);
    EXPECT_FALSE(w->GetBackend()->framed);
    EXPECT_TRUE(w->SetIcon(true, IDI_LARGE_ICON));
    EXPECT_TRUE(w->SetIcon(false, IDI_SMALL_ICON));
    EXPECT_FALSE(w->SetIcon(true, 109));
    delete w;
}

TEST_F(WindowTest, FullScreenMapsThePointerIntoTheFrame)
{
    Window* w = Window::Create("Brimvale", WindowStyle::Popup, {0, 0, 800, 600}, true);
    ASSERT_NE(w, nullptr);
    w->SetFullScreen(true, 800, 600);
    EXPECT_TRUE(w->IsFullScreen());
    int ow = 0, oh = 0;
    SDL_GetWindowSize(w->GetBackend()->sdl, &ow, &oh);
    LetterboxRect box = ComputeLetterbox(800, 600, ow, oh);
    // The client area stays the 800 x 600 frame.
    EXPECT_EQ(w->GetClientRect().right, 800);
    EXPECT_EQ(w->GetClientRect().bottom, 600);
    MessageQueue::Clear();
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(w->GetBackend()->sdl);
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = box.x + box.width / 2;
    e.button.y = box.y + box.height / 2;
    SDL_PushEvent(&e);
    e.button.x = box.x + box.width - 1;
    e.button.y = box.y + box.height - 1;
    SDL_PushEvent(&e);
    std::vector<Message> clicks;
    Message m;
    while (MessageQueue::Peek(&m, true))
        if (m.type == WM_LBUTTONDOWN)
            clicks.push_back(m);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(MouseX(clicks[0].lParam), 400);
    EXPECT_EQ(MouseY(clicks[0].lParam), 300);
    EXPECT_EQ(MouseX(clicks[1].lParam), 799);
    EXPECT_EQ(MouseY(clicks[1].lParam), 599);
    int32_t x, y;
    w->GetCursorPos(&x, &y);
    EXPECT_EQ(x, 799);
    // Back to a window: client coordinates are window pixels again.
    w->SetFullScreen(false);
    e.button.x = 30;
    e.button.y = 40;
    SDL_PushEvent(&e);
    while (MessageQueue::Peek(&m, true))
        if (m.type == WM_LBUTTONDOWN) {
            EXPECT_EQ(MouseX(m.lParam), 30);
            EXPECT_EQ(MouseY(m.lParam), 40);
        }
    delete w;
}

TEST_F(WindowTest, CursorsAreOurOwnPictures)
{
    for (int32_t id : {IDC_ARROW, IDC_WAIT, IDC_GAME_CURSOR, IDC_SECOND_CURSOR}) {
        Cursor* c = Cursor::Load(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(Cursor::Load(id), c);  // loaded once
        int opaque = 0;
        for (int i = 0; i < 32 * 32; ++i)
            opaque += (c->GetPixels()[i] >> 24) == 0xFF;
        EXPECT_GT(opaque, 40) << id;
        EXPECT_EQ(c->GetPixels()[c->GetHotY() * 32 + c->GetHotX()] >> 24, 0xFFu) << id;
    }
    EXPECT_EQ(Cursor::Load(112), nullptr);
    Cursor* wait = Cursor::Load(IDC_WAIT);
    Cursor* before = SetCursor(wait);
    EXPECT_EQ(GetCurrentCursor(), wait);
    SetCursor(before);
}

TEST_F(WindowTest, ClassCursorComesBackWhenThePointerMoves)
{
    Window* w = Window::Create("Brimvale", WindowStyle::Framed, {0, 0, 800, 600}, true);
    Cursor* game = Cursor::Load(IDC_GAME_CURSOR);
    w->SetClassCursor(game);
    SetCursor(Cursor::Load(IDC_WAIT));
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(w->GetBackend()->sdl);
    e.motion.x = 5;
    e.motion.y = 6;
    SDL_PushEvent(&e);
    Message m;
    bool moved = false;
    while (MessageQueue::Peek(&m, true))
        moved = moved || (m.type == WM_MOUSEMOVE && MouseX(m.lParam) == 5 && MouseY(m.lParam) == 6);
    EXPECT_TRUE(moved);
    EXPECT_EQ(GetCurrentCursor(), game);
    delete w;
}
