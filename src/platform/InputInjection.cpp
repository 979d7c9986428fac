#include "platform/InputInjection.h"

#include "platform/Letterbox.h"
#include "platform/SdlBackend.h"
#include "platform/Window.h"

#include <cstdlib>

static uint32_t WindowId(Window* window)
{
    return window && window->GetBackend() && window->GetBackend()->sdl ? SDL_GetWindowID(window->GetBackend()->sdl) : 0;
}

// Frame coordinates to window pixels: in full screen the frame is letterboxed
// into the window, and the events must land where the player would click.
static void FrameToWindow(Window* window, int32_t* x, int32_t* y)
{
    WindowBackend* b = window ? window->GetBackend() : nullptr;
    if (!b || !b->sdl || (!b->fullScreen && b->scale <= 1))
        return;
    LetterboxRect box = PlatformFrameBox(b);
    int32_t fw = b->fullScreen ? b->frameWidth : b->clientWidth;
    int32_t fh = b->fullScreen ? b->frameHeight : b->clientHeight;
    if (fw <= 0 || fh <= 0)
        return;
    // The centre of the output pixels that show frame pixel (x, y).
    *x = box.x + static_cast<int32_t>((2 * *x + 1) * static_cast<int64_t>(box.width) / (2 * fw));
    *y = box.y + static_cast<int32_t>((2 * *y + 1) * static_cast<int64_t>(box.height) / (2 * fh));
}

void InjectMouseMove(Window* window, int32_t x, int32_t y, bool windowPixels)
{
    if (!windowPixels)
        FrameToWindow(window, &x, &y);
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = WindowId(window);
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
}

void InjectMouseButton(Window* window, int32_t button, bool down, int32_t x, int32_t y, bool windowPixels)
{
    if (!windowPixels)
        FrameToWindow(window, &x, &y);
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = WindowId(window);
    e.button.button = static_cast<uint8_t>(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    e.button.x = x;
    e.button.y = y;
    SDL_PushEvent(&e);
}

bool InjectKey(Window* window, uint32_t virtualKey, bool down)
{
    // The key whose translation gives this code, found the way the translation runs.
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        auto scancode = static_cast<SDL_Scancode>(sc);
        SDL_Keycode sym = SDL_GetKeyFromScancode(scancode);
        if (PlatformVirtualKey(sym, scancode) != virtualKey)
            continue;
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = WindowId(window);
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = scancode;
        e.key.keysym.sym = sym;
        SDL_PushEvent(&e);
        return true;
    }
    return false;
}

void UseHeadlessDrivers()
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
}

void InjectWindowExposed(Window* window)
{
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_EXPOSED;
    e.window.windowID = WindowId(window);
    SDL_PushEvent(&e);
}
