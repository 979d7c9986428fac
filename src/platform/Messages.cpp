#include "platform/Messages.h"

#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Letterbox.h"
#include "platform/SdlBackend.h"
#include "platform/Window.h"

#include <deque>

namespace {
std::deque<Message> s_queue;
bool s_quitPending = false;
int32_t s_quitCode = 0;
Window* s_foreground = nullptr;
bool s_keyDown[256] = {};
uintptr_t s_buttons = 0;  // MK_ bits
// A window shown under a window manager that has not had the focus after this
// long counts as active: a bare X server gives no focus at all.
constexpr uint32_t kNoFocusGraceMs = 300;

void Queue(Window* window, uint32_t type, uintptr_t wParam, intptr_t lParam)
{
    Message m;
    m.window = window;
    m.type = type;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = timeGetTime();
    s_queue.push_back(m);
}

Window* WindowOf(Uint32 id)
{
    Window* w = Window::FromId(id);
    if (!w)
        w = s_foreground;
    return w;
}

void FramePoint(Window* w, int32_t x, int32_t y, int32_t* fx, int32_t* fy)
{
    WindowBackend* b = w->GetBackend();
    b->pointerX = x;
    b->pointerY = y;
    w->GetCursorPos(fx, fy);
}

void TranslateKey(const SDL_KeyboardEvent& key, bool down)
{
    uint32_t vk = PlatformVirtualKey(key.keysym.sym, key.keysym.scancode);
    if (vk == 0 || vk > 255)
        return;
    bool wasDown = s_keyDown[vk];
    s_keyDown[vk] = down;
    bool alt = s_keyDown[VK_MENU] || (key.keysym.mod & KMOD_ALT) != 0;
    bool system = vk == VK_F10 || vk == VK_MENU || alt;
    uint32_t type = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    intptr_t lParam = 1;  // repeat count
    lParam |= static_cast<intptr_t>(key.keysym.scancode & 0xFF) << 16;
    if (alt && vk != VK_MENU)
        lParam |= intptr_t(1) << 29;
    if (!down || key.repeat || wasDown)
        lParam |= intptr_t(1) << 30;
    if (!down)
        lParam |= intptr_t(1) << 31;
    lParam &= 0xFFFFFFFF;
    Queue(WindowOf(key.windowID), type, vk, lParam);
}

void TranslateButton(const SDL_MouseButtonEvent& button, bool down)
{
    uint32_t type;
    uintptr_t bit;
    switch (button.button) {
    case SDL_BUTTON_LEFT: type = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; bit = MK_LBUTTON; break;
    case SDL_BUTTON_RIGHT: type = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; bit = MK_RBUTTON; break;
    case SDL_BUTTON_MIDDLE: type = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; bit = MK_MBUTTON; break;
    default: return;
    }
    Window* w = WindowOf(button.windowID);
    if (!w)
        return;
    s_buttons = down ? (s_buttons | bit) : (s_buttons & ~bit);
    int32_t fx, fy;
    FramePoint(w, button.x, button.y, &fx, &fy);
    Queue(w, type, s_buttons, MakeMouseLParam(fx, fy));
}

void TranslateWindowEvent(const SDL_WindowEvent& e)
{
    Window* w = Window::FromId(e.windowID);
    if (!w)
        return;
    switch (e.event) {
    case SDL_WINDOWEVENT_CLOSE: Queue(w, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        w->GetBackend()->awaitingFocus = false;
        PlatformActivate(w);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        if (PlatformDriverGivesFocus())
            PlatformDeactivate(w);
        break;
    case SDL_WINDOWEVENT_MINIMIZED: w->GetBackend()->minimized = true; break;
    case SDL_WINDOWEVENT_RESTORED:
        w->GetBackend()->minimized = false;
        w->GetBackend()->needsPresent = true;
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_RESIZED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_MAXIMIZED: w->GetBackend()->needsPresent = true; break;
    default: break;
    }
}

void Translate(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_KEYDOWN: TranslateKey(e.key, true); break;
    case SDL_KEYUP: TranslateKey(e.key, false); break;
    case SDL_MOUSEBUTTONDOWN: TranslateButton(e.button, true); break;
    case SDL_MOUSEBUTTONUP: TranslateButton(e.button, false); break;
    case SDL_MOUSEMOTION: {
        Window* w = WindowOf(e.motion.windowID);
        if (!w)
            break;
        int32_t fx, fy;
        FramePoint(w, e.motion.x, e.motion.y, &fx, &fy);
        if (w->GetClassCursor() && GetCurrentCursor() != w->GetClassCursor())
            SetCursor(w->GetClassCursor());
        Queue(w, WM_MOUSEMOVE, s_buttons, MakeMouseLParam(fx, fy));
        break;
    }
    case SDL_WINDOWEVENT: TranslateWindowEvent(e.window); break;
    case SDL_QUIT: {
        // Ctrl+C or the last window closed: ask the game to close, once.
        Window* w = s_foreground ? s_foreground : (PlatformAllWindows().empty() ? nullptr : PlatformAllWindows()[0]);
        bool queued = false;
        for (const Message& m : s_queue)
            queued = queued || m.type == WM_CLOSE;
        if (w && !queued)
            Queue(w, WM_CLOSE, 0, 0);
        break;
    }
    case SDL_RENDER_DEVICE_RESET:
    case SDL_RENDER_TARGETS_RESET: PlatformLoseAllDisplays(); break;
    default: break;
    }
}

void Pump()
{
    if (!SDL_WasInit(SDL_INIT_EVENTS))
        return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        Translate(e);
    if (PlatformDriverGivesFocus()) {
        Uint32 now = SDL_GetTicks();
        for (Window* w : PlatformAllWindows()) {
            WindowBackend* b = w->GetBackend();
            if (b->awaitingFocus && b->visible && !b->minimized && now - b->shownAt >= kNoFocusGraceMs) {
                b->awaitingFocus = false;
                if (!s_foreground)
                    PlatformActivate(w);
            }
        }
    }
}

bool TakeFirst(Message* out, bool remove)
{
    if (!s_queue.empty()) {
        if (out)
            *out = s_queue.front();
        if (remove)
            s_queue.pop_front();
        return true;
    }
    if (s_quitPending) {
        if (out) {
            *out = Message{};
            out->type = WM_QUIT;
            out->wParam = static_cast<uintptr_t>(s_quitCode);
            out->time = timeGetTime();
        }
        if (remove)
            s_quitPending = false;
        return true;
    }
    return false;
}
}  // namespace

void PlatformActivate(Window* window)
{
    if (s_foreground == window)
        return;
    if (s_foreground)
        Queue(s_foreground, WM_ACTIVATEAPP, 0, 0);
    s_foreground = window;
    Queue(window, WM_ACTIVATEAPP, 1, 0);
}

void PlatformDeactivate(Window* window)
{
    if (s_foreground != window)
        return;
    s_foreground = nullptr;
    Queue(window, WM_ACTIVATEAPP, 0, 0);
}

void PlatformForgetWindow(Window* window)
{
    if (s_foreground == window)
        s_foreground = nullptr;
    for (auto it = s_queue.begin(); it != s_queue.end();)
        it = it->window == window ? s_queue.erase(it) : it + 1;
}

Window* Window::GetForegroundWindow() { return s_foreground; }

bool MessageQueue::Peek(Message* out, bool remove)
{
    Pump();
    return TakeFirst(out, remove);
}

int32_t MessageQueue::Get(Message* out)
{
    Message m;
    while (!Peek(&m, true)) {
        if (GetVirtualClock() || !SDL_WasInit(SDL_INIT_EVENTS)) {
            // Nothing can arrive while time stands still: report a null message.
            m = Message{};
            break;
        }
        SDL_WaitEventTimeout(nullptr, 50);
    }
    if (out)
        *out = m;
    return m.type == WM_QUIT ? 0 : 1;
}

bool MessageQueue::Wait(uint32_t timeoutMs)
{
    if (Peek(nullptr, false))
        return true;
    if (VirtualClock* clock = GetVirtualClock()) {
        clock->Advance(timeoutMs);
        return Peek(nullptr, false);
    }
    uint32_t start = timeGetTime();
    for (;;) {
        uint32_t spent = timeGetTime() - start;
        if (spent >= timeoutMs)
            return Peek(nullptr, false);
        uint32_t slice = timeoutMs - spent;
        if (slice > 50)
            slice = 50;
        if (SDL_WasInit(SDL_INIT_EVENTS))
            SDL_WaitEventTimeout(nullptr, static_cast<int>(slice));
        else
            Sleep(slice);
        if (Peek(nullptr, false))
            return true;
    }
}

bool MessageQueue::Post(Window* window, uint32_t type, uintptr_t wParam, intptr_t lParam)
{
    Queue(window, type, wParam, lParam);
    return true;
}

void MessageQueue::PostQuit(int32_t exitCode)
{
    s_quitPending = true;
    s_quitCode = exitCode;
}

void MessageQueue::Clear()
{
    if (SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    s_queue.clear();
    s_quitPending = false;
    s_quitCode = 0;
    for (bool& k : s_keyDown)
        k = false;
    s_buttons = 0;
}

intptr_t DefaultWindowProc(const Message& message)
{
    if (message.type == WM_SYSKEYDOWN && message.wParam == VK_F4 && (message.lParam & (1 << 29)))
        Queue(message.window, WM_CLOSE, 0, 0);
    return 0;
}
