#include "platform/Clock.h"
#include "platform/Messages.h"
#include "platform/System.h"
#include "platform/Window.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <signal.h>

#include <vector>

namespace {
class MessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(StartPlatform());
        window = Window::Create("Brimvale", WindowStyle::Framed, {100, 50, 900, 650}, true);
        ASSERT_NE(window, nullptr);
        MessageQueue::Clear();
    }
    void TearDown() override
    {
        delete window;
        MessageQueue::Clear();
    }

    void PushKey(SDL_Keycode sym, SDL_Scancode scan, bool down, bool repeat = false, Uint16 mod = 0)
    {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(Sdl());
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.sym = sym;
        e.key.keysym.scancode = scan;
        e.key.keysym.mod = mod;
        SDL_PushEvent(&e);
    }
    void PushButton(Uint8 button, bool down, int x, int y)
    {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = SDL_GetWindowID(Sdl());
        e.button.button = button;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
    void PushMotion(int x, int y)
    {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(Sdl());
        e.motion.x = x;
        e.motion.y = y;
        SDL_PushEvent(&e);
    }
    SDL_Window* Sdl();

    std::vector<Message> Drain()
    {
        std::vector<Message> out;
        Message m;
        while (MessageQueue::Peek(&m, true))
            out.push_back(m);
        return out;
    }
    // The first key message of the queue (others dropped).
    Message NextKey()
    {
        for (const Message& m : Drain())
            if (m.type >= WM_KEYDOWN && m.type <= WM_SYSKEYUP)
                return m;
        return Message{};
    }

    Window* window = nullptr;
};
}  // namespace

#include "platform/SdlBackend.h"
SDL_Window* MessageTest::Sdl() { return window->GetBackend()->sdl; }

TEST_F(MessageTest, KeysComeOutAsVirtualKeyCodes)
{
    struct Case {
        SDL_Keycode sym;
        SDL_Scancode scan;
        uint32_t vk;
    } cases[] = {
        {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},    {SDLK_F4, SDL_SCANCODE_F4, 115},
        {SDLK_F5, SDL_SCANCODE_F5, 116},           {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
        {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},    {SDLK_a, SDL_SCANCODE_A, 65},
        {SDLK_z, SDL_SCANCODE_Z, 90},              {SDLK_q, SDL_SCANCODE_A, 81},  // layout: the letter decides
        {SDLK_0, SDL_SCANCODE_0, 48},              {SDLK_9, SDL_SCANCODE_9, 57},
        {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},        {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
        {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106}, {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
        {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109}, {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
        {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111}, {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
        {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187},   {SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
        {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},     {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190},
        {SDLK_SLASH, SDL_SCANCODE_SLASH, 191},     {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192},
        {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219}, {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
        {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221}, {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
        {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8}, {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
        {SDLK_SPACE, SDL_SCANCODE_SPACE, 32},
    };
    for (const Case& c : cases) {
        PushKey(c.sym, c.scan, true);
        Message down = NextKey();
        EXPECT_EQ(down.type, WM_KEYDOWN) << c.vk;
        EXPECT_EQ(down.wParam, c.vk);
        EXPECT_FALSE(IsKeyRepeat(down.lParam));
        PushKey(c.sym, c.scan, false);
        Message up = NextKey();
        EXPECT_EQ(up.type, WM_KEYUP) << c.vk;
        EXPECT_EQ(up.wParam, c.vk);
        EXPECT_TRUE(up.lParam & (intptr_t(1) << 31));
    }
}

TEST_F(MessageTest, RepeatsCarryThePreviousStateBit)
{
    PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, true);
    PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, true, true);
    PushKey(SDLK_LEFT, SDL_SCANCODE_LEFT, true, true);
    auto msgs = Drain();
    std::vector<Message> keys;
    for (const Message& m : msgs)
        if (m.type == WM_KEYDOWN)
            keys.push_back(m);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].wParam, 37u);
    EXPECT_FALSE(IsKeyRepeat(keys[0].lParam));
    EXPECT_TRUE(IsKeyRepeat(keys[1].lParam));
    EXPECT_TRUE(IsKeyRepeat(keys[2].lParam));
    EXPECT_EQ(keys[2].lParam & 0xFFFF, 1);
}

TEST_F(MessageTest, SystemKeysAndAltF4)
{
    PushKey(SDLK_F10, SDL_SCANCODE_F10, true);
    Message f10 = NextKey();
    EXPECT_EQ(f10.type, WM_SYSKEYDOWN);
    EXPECT_EQ(f10.wParam, 121u);
    PushKey(SDLK_F10, SDL_SCANCODE_F10, false);
    EXPECT_EQ(NextKey().type, WM_SYSKEYUP);

    PushKey(SDLK_LALT, SDL_SCANCODE_LALT, true, false, KMOD_LALT);
    Message alt = NextKey();
    EXPECT_EQ(alt.type, WM_SYSKEYDOWN);
    EXPECT_EQ(alt.wParam, 18u);
    PushKey(SDLK_F4, SDL_SCANCODE_F4, true, false, KMOD_LALT);
    Message f4 = NextKey();
    EXPECT_EQ(f4.type, WM_SYSKEYDOWN);
    EXPECT_EQ(f4.wParam, 115u);
    EXPECT_TRUE(f4.lParam & (1 << 29));
    // Passed on to default processing, Alt+F4 closes the window.
    DefaultWindowProc(f4);
    Message close;
    ASSERT_TRUE(MessageQueue::Peek(&close, true));
    EXPECT_EQ(close.type, WM_CLOSE);
    EXPECT_EQ(close.window, window);
    PushKey(SDLK_LALT, SDL_SCANCODE_LALT, false);
    EXPECT_EQ(NextKey().type, WM_SYSKEYUP);
    // Without Alt, F4 is a plain key and default processing does nothing.
    PushKey(SDLK_F4, SDL_SCANCODE_F4, true);
    Message plain = NextKey();
    EXPECT_EQ(plain.type, WM_KEYDOWN);
    DefaultWindowProc(plain);
    EXPECT_FALSE(MessageQueue::Peek(nullptr, false));
}

TEST_F(MessageTest, MouseButtonsWithClientCoordinates)
{
    PushButton(SDL_BUTTON_LEFT, true, 10, 20);
    PushButton(SDL_BUTTON_RIGHT, true, 11, 21);
    PushButton(SDL_BUTTON_LEFT, false, 12, 22);
    PushButton(SDL_BUTTON_MIDDLE, true, 799, 599);
    PushButton(SDL_BUTTON_MIDDLE, false, 13, 23);
    PushButton(SDL_BUTTON_RIGHT, false, 14, 24);
    std::vector<Message> buttons;
    for (const Message& m : Drain())
        if (m.type >= WM_LBUTTONDOWN && m.type <= WM_MBUTTONUP)
            buttons.push_back(m);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_EQ(buttons[0].type, WM_LBUTTONDOWN);
    EXPECT_EQ(MouseX(buttons[0].lParam), 10);
    EXPECT_EQ(MouseY(buttons[0].lParam), 20);
    EXPECT_EQ(buttons[0].wParam, MK_LBUTTON);
    EXPECT_EQ(buttons[1].type, WM_RBUTTONDOWN);
    EXPECT_EQ(buttons[1].wParam, MK_LBUTTON | MK_RBUTTON);
    EXPECT_EQ(buttons[2].type, WM_LBUTTONUP);
    EXPECT_EQ(buttons[3].type, WM_MBUTTONDOWN);
    EXPECT_EQ(MouseX(buttons[3].lParam), 799);
    EXPECT_EQ(MouseY(buttons[3].lParam), 599);
    EXPECT_EQ(buttons[4].type, WM_MBUTTONUP);
    EXPECT_EQ(buttons[5].type, WM_RBUTTONUP);
    EXPECT_EQ(buttons[5].wParam, 0u);
    int32_t x = 0, y = 0;
    window->GetCursorPos(&x, &y);
    EXPECT_EQ(x, 14);
    EXPECT_EQ(y, 24);
}

TEST_F(MessageTest, PostedMessagesKeepTheirOrderAndQuitComesLast)
{
    MessageQueue::PostQuit(1);
    MessageQueue::Post(window, WM_USER + 1, 8, 0);
    MessageQueue::Post(window, WM_USER + 1, 2, 0);
    Message m;
    ASSERT_TRUE(MessageQueue::Peek(&m, false));
    EXPECT_EQ(m.type, 1025u);  // peeking leaves it there
    ASSERT_EQ(MessageQueue::Get(&m), 1);
    EXPECT_EQ(m.type, 1025u);
    EXPECT_EQ(m.wParam, 8u);
    EXPECT_EQ(m.window, window);
    ASSERT_EQ(MessageQueue::Get(&m), 1);
    EXPECT_EQ(m.wParam, 2u);
    EXPECT_EQ(MessageQueue::Get(&m), 0);
    EXPECT_EQ(m.type, WM_QUIT);
    EXPECT_EQ(m.wParam, 1u);
    EXPECT_FALSE(MessageQueue::Peek(&m, true));
}

TEST_F(MessageTest, WaitWithTimeOut)
{
    VirtualClock clock(5000);
    EXPECT_FALSE(MessageQueue::Wait(250));
    EXPECT_EQ(timeGetTime(), 5250u);  // the time-out passed on the virtual clock
    MessageQueue::Post(window, WM_USER + 1, 3, 0);
    EXPECT_TRUE(MessageQueue::Wait(250));
    EXPECT_EQ(timeGetTime(), 5250u);  // a waiting message returns at once
}

TEST_F(MessageTest, GetUnderAVirtualClockNeverBlocks)
{
    VirtualClock clock(0);
    Message m;
    m.type = 99;
    EXPECT_EQ(MessageQueue::Get(&m), 1);
    EXPECT_EQ(m.type, WM_NULL);
}

TEST_F(MessageTest, RealWaitReturnsOnAnEvent)
{
    PushKey(SDLK_a, SDL_SCANCODE_A, true);
    uint32_t start = timeGetTime();
    EXPECT_TRUE(MessageQueue::Wait(2000));
    EXPECT_LT(timeGetTime() - start, 1000u);
    uint32_t before = timeGetTime();
    Drain();
    EXPECT_FALSE(MessageQueue::Wait(60));
    EXPECT_GE(timeGetTime() - before, 60u);
}

TEST_F(MessageTest, CloseButtonBecomesCloseMessage)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    e.window.windowID = SDL_GetWindowID(Sdl());
    SDL_PushEvent(&e);
    bool closed = false;
    for (const Message& m : Drain())
        closed = closed || (m.type == WM_CLOSE && m.window == window);
    EXPECT_TRUE(closed);
}

TEST_F(MessageTest, SigtermBecomesCloseMessage)
{
    // SDL takes SIGTERM as a quit request, which arrives as the window being
    // closed: a session ended that way shuts the game down normally, saving
    // what it has shown.
    struct sigaction current {};
    sigaction(SIGTERM, nullptr, &current);
    ASSERT_NE(current.sa_handler, SIG_DFL) << "without SDL's handler the signal would end the process at once";
    raise(SIGTERM);
    bool closed = false;
    for (const Message& m : Drain())
        closed = closed || (m.type == WM_CLOSE && m.window == window);
    EXPECT_TRUE(closed);
}

namespace {
// Activation messages only, waiting up to a second for each (a real X server
// reports focus a little later; SDL's dummy driver at once).
std::vector<Message> Activations(size_t count)
{
    std::vector<Message> out;
    uint32_t start = timeGetTime();
    Message m;
    while (out.size() < count && timeGetTime() - start < 1000) {
        if (MessageQueue::Peek(&m, true)) {
            if (m.type == WM_ACTIVATEAPP)
                out.push_back(m);
        } else {
            MessageQueue::Wait(20);
        }
    }
    return out;
}
}  // namespace

TEST(Activation, ShownWindowCountsAsActiveWithoutWindowManager)
{
    ASSERT_TRUE(StartPlatform());
    MessageQueue::Clear();
    Window* game = Window::Create("Brimvale", WindowStyle::Framed, {0, 0, 800, 600}, false);
    ASSERT_NE(game, nullptr);
    EXPECT_TRUE(Activations(1).empty());  // hidden: no activation
    EXPECT_FALSE(game->IsForeground());
    game->Show(SW_SHOW);
    auto a = Activations(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].wParam, 1u);
    EXPECT_EQ(a[0].window, game);
    EXPECT_TRUE(game->IsForeground());
    game->Show(SW_SHOW);  // already shown: nothing new
    EXPECT_TRUE(Activations(1).empty());

    Window* other = Window::Create("Other", WindowStyle::Framed, {0, 0, 200, 200}, true);
    a = Activations(2);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].window, game);
    EXPECT_EQ(a[0].wParam, 0u);
    EXPECT_EQ(a[1].window, other);
    EXPECT_EQ(a[1].wParam, 1u);
    EXPECT_FALSE(game->IsForeground());

    game->SetForeground();
    a = Activations(2);
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[1].window, game);
    EXPECT_EQ(a[1].wParam, 1u);

    game->Show(SW_SHOWMINIMIZED);
    a = Activations(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].wParam, 0u);
    EXPECT_TRUE(game->IsMinimized());
    game->Show(SW_SHOWNORMAL);
    a = Activations(1);
    ASSERT_EQ(a.size(), 1u);
    EXPECT_EQ(a[0].wParam, 1u);
    delete other;
    delete game;
    EXPECT_EQ(Window::GetForegroundWindow(), nullptr);
    MessageQueue::Clear();
}
