#include "platform/Window.h"

#include "platform/Cursor.h"
#include "platform/Letterbox.h"
#include "platform/ResourcePictures.h"
#include "platform/SdlBackend.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<Window*>& AllWindows()
{
    static std::vector<Window*> windows;
    return windows;
}
Window* s_captured = nullptr;

// Our icon: a red-roofed house on a green field inside a rounded frame.
std::vector<uint32_t> DrawIcon(int size)
{
    std::vector<uint32_t> px(size * size, 0);
    auto put = [&](int x, int y, uint32_t c) {
        if (x >= 0 && y >= 0 && x < size && y < size)
            px[y * size + x] = c;
    };
    const float s = size / 32.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Rounded square: skip the corners.
            int cx = std::min(x, size - 1 - x), cy = std::min(y, size - 1 - y);
            int r = size / 6;
            if (cx < r && cy < r && (r - cx) * (r - cx) + (r - cy) * (r - cy) > r * r)
                continue;
            uint32_t sky = 0xFF6EC6F0u, grass = 0xFF3FA34Du;
            put(x, y, y < int(22 * s) ? sky : grass);
        }
    // Walls.
    for (int y = int(15 * s); y < int(25 * s); ++y)
        for (int x = int(9 * s); x < int(23 * s); ++x)
            put(x, y, 0xFFF3E3C0u);
    // Door.
    for (int y = int(19 * s); y < int(25 * s); ++y)
        for (int x = int(14 * s); x < int(18 * s); ++x)
            put(x, y, 0xFF7A4A22u);
    // Roof: a triangle over the walls.
    int top = int(6 * s), base = int(15 * s);
    for (int y = top; y < base; ++y) {
        float t = float(y - top) / float(base - top);
        int half = int((4 + 10 * t) * s);
        for (int x = size / 2 - half; x < size / 2 + half; ++x)
            put(x, y, 0xFFC8322Bu);
    }
    return px;
}

// The window's own size when not full screen.
void ApplyWindowedSize(WindowBackend* b)
{
    SDL_SetWindowSize(b->sdl, b->clientWidth * b->scale, b->clientHeight * b->scale);
}

// The part of the window's desktop that windows may take (no panels).
SDL_Rect UsableArea(const WindowBackend* b)
{
    SDL_Rect area{0, 0, 0, 0};
    int display = SDL_GetWindowDisplayIndex(b->sdl);
    if (SDL_GetDisplayUsableBounds(display < 0 ? 0 : display, &area) != 0) {
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            area.w = desktop.w;
            area.h = desktop.h;
        }
    }
    return area;
}

// Centres the windowed window on (cx, cy) where the whole of it, frame
// included, lies on the desktop; moved in as little as needed where not.
void PlaceOnDesktop(WindowBackend* b, int32_t cx, int32_t cy)
{
    SDL_Rect area = UsableArea(b);
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(b->sdl, &top, &left, &bottom, &right) != 0)
        top = left = bottom = right = 0;
    const int32_t w = b->clientWidth * b->scale, h = b->clientHeight * b->scale;
    int32_t x = PlaceWithin(cx - w / 2 - left, w + left + right, area.x, area.w) + left;
    int32_t y = PlaceWithin(cy - h / 2 - top, h + top + bottom, area.y, area.h) + top;
    SDL_SetWindowPosition(b->sdl, x, y);
    b->placed = true;
    b->placedX = x;
    b->placedY = y;
}

}  // namespace

LetterboxRect PlatformFrameBox(const WindowBackend* b)
{
    if (!b->fullScreen && b->scale <= 1)
        return {0, 0, b->clientWidth, b->clientHeight};
    int w = b->clientWidth * b->scale, h = b->clientHeight * b->scale;
    if (b->sdl)
        SDL_GetWindowSize(b->sdl, &w, &h);
    if (b->fullScreen)
        return ComputeLetterbox(b->frameWidth, b->frameHeight, w, h);
    return ComputeLetterbox(b->clientWidth, b->clientHeight, w, h);
}

bool GetDesktopDisplayMode(DisplayMode* out)
{
    SDL_DisplayMode mode;
    if (!out || SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return false;
    out->width = mode.w;
    out->height = mode.h;
    int bits = SDL_BITSPERPIXEL(mode.format);
    // An XRGB desktop keeps 4 bytes a pixel: Windows calls that 32 bits.
    if (bits == 24 && SDL_BYTESPERPIXEL(mode.format) == 4)
        bits = 32;
    out->bitsPerPixel = bits;
    return true;
}

Window* Window::Create(const char* title, WindowStyle style, const WindowRect& client, bool visible)
{
    if (!SDL_WasInit(SDL_INIT_VIDEO))
        return nullptr;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (style == WindowStyle::Popup)
        flags |= SDL_WINDOW_BORDERLESS;
    int w = std::max(1, client.Width()), h = std::max(1, client.Height());
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", client.left, client.top, w, h, flags);
    if (!sdl)
        return nullptr;
    auto* window = new Window;
    window->m_backend = new WindowBackend;
    window->m_backend->sdl = sdl;
    window->m_backend->owner = window;
    window->m_backend->framed = style == WindowStyle::Framed;
    window->m_backend->clientWidth = w;
    window->m_backend->clientHeight = h;
    SDL_SetWindowData(sdl, "brimvale", window);
    AllWindows().push_back(window);
    if (visible)
        window->Show(SW_SHOW);
    return window;
}

Window::~Window()
{
    if (s_captured == this)
        ReleaseCapture();
    PlatformForgetWindow(this);
    PlatformDetachDevicesOf(this);  // SDL takes the window's renderer with it
    auto& all = AllWindows();
    all.erase(std::remove(all.begin(), all.end(), this), all.end());
    if (m_backend) {
        if (m_backend->sdl)
            SDL_DestroyWindow(m_backend->sdl);
        delete m_backend;
    }
}

void Window::SetPlacement(WindowStyle style, const WindowRect& client, bool visible)
{
    WindowBackend* b = m_backend;
    b->framed = style == WindowStyle::Framed;
    b->clientWidth = std::max(1, client.Width());
    b->clientHeight = std::max(1, client.Height());
    b->needsPresent = true;
    if (!b->fullScreen) {
        SDL_SetWindowBordered(b->sdl, b->framed ? SDL_TRUE : SDL_FALSE);
        ApplyWindowedSize(b);
        // A scaled window grows around the place asked for, kept on the desktop.
        PlaceOnDesktop(b, client.left + b->clientWidth / 2, client.top + b->clientHeight / 2);
    }
    if (visible)
        Show(SW_SHOW);
}

void Window::SetFullScreen(bool fullScreen, int32_t frameWidth, int32_t frameHeight)
{
    WindowBackend* b = m_backend;
    b->frameWidth = frameWidth > 0 ? frameWidth : 800;
    b->frameHeight = frameHeight > 0 ? frameHeight : 600;
    if (b->fullScreen == fullScreen)
        return;
    b->fullScreen = fullScreen;
    b->needsPresent = true;
    if (fullScreen) {
        // Cover the desktop ourselves first: without a window manager (a bare X
        // server) the full-screen request alone leaves the window as it was.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(SDL_GetWindowDisplayIndex(b->sdl) < 0 ? 0 : SDL_GetWindowDisplayIndex(b->sdl),
                                      &desktop) == 0) {
            SDL_SetWindowBordered(b->sdl, SDL_FALSE);
            SDL_SetWindowPosition(b->sdl, 0, 0);
            SDL_SetWindowSize(b->sdl, desktop.w, desktop.h);
        }
    }
    SDL_SetWindowFullscreen(b->sdl, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (!fullScreen) {
        SDL_SetWindowBordered(b->sdl, b->framed ? SDL_TRUE : SDL_FALSE);
        ApplyWindowedSize(b);
    }
}

bool Window::IsFullScreen() const { return m_backend->fullScreen; }

int32_t Window::SetScale(int32_t scale, bool smooth)
{
    WindowBackend* b = m_backend;
    SDL_Rect area = UsableArea(b);
    int32_t fitted = FitWindowScale(scale, b->clientWidth, b->clientHeight, area.w, area.h);
    b->smooth = smooth;
    b->needsPresent = true;
    if (fitted == b->scale)
        return fitted;
    int x = 0, y = 0;
    SDL_GetWindowPosition(b->sdl, &x, &y);
    // Keep the window's centre where it was.
    int32_t cx = x + b->clientWidth * b->scale / 2, cy = y + b->clientHeight * b->scale / 2;
    b->scale = fitted;
    if (!b->fullScreen) {
        ApplyWindowedSize(b);
        PlaceOnDesktop(b, cx, cy);
    }
    return fitted;
}

int32_t Window::GetScale() const { return m_backend->scale; }

void Window::Show(ShowCommand command)
{
    WindowBackend* b = m_backend;
    b->needsPresent = true;
    switch (command) {
    case SW_HIDE:
        SDL_HideWindow(b->sdl);
        b->visible = false;
        b->awaitingFocus = false;
        PlatformDeactivate(this);
        break;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
        if (!b->visible)
            SDL_ShowWindow(b->sdl);
        SDL_MinimizeWindow(b->sdl);
        b->visible = true;
        b->minimized = true;
        b->awaitingFocus = false;
        PlatformDeactivate(this);
        break;
    default: {
        bool wasShown = b->visible && !b->minimized;
        SDL_ShowWindow(b->sdl);
        if (!wasShown && !b->fullScreen && b->placed) {
            // Making an OpenGL renderer makes the X11 window anew where it was
            // first made; without a window manager it stays there: move it back.
            SDL_SetWindowPosition(b->sdl, b->placedX, b->placedY);
            b->placed = false;  // from now on where the player puts it
        }
        if (b->minimized || command == SW_RESTORE || command == SW_SHOWNORMAL)
            SDL_RestoreWindow(b->sdl);
        b->visible = true;
        b->minimized = false;
        if (!wasShown) {
            if (PlatformDriverGivesFocus()) {
                // A window manager will say when we have the focus; if none does, the
                // message queue counts the window as active after a short while.
                SDL_RaiseWindow(b->sdl);
                SDL_SetWindowInputFocus(b->sdl);  // a bare X server gives focus only when asked
                b->shownAt = SDL_GetTicks();
                b->awaitingFocus = true;
            } else {
                PlatformActivate(this);
            }
        }
        break;
    }
    }
}

void Window::SetForeground()
{
    if (!m_backend->visible || m_backend->minimized)
        return;
    if (PlatformDriverGivesFocus()) {
        SDL_RaiseWindow(m_backend->sdl);
        SDL_SetWindowInputFocus(m_backend->sdl);
    } else
        PlatformActivate(this);
}

bool Window::IsForeground() const { return GetForegroundWindow() == this; }
bool Window::IsVisible() const { return m_backend->visible; }
bool Window::IsMinimized() const { return m_backend->minimized; }

WindowRect Window::GetClientRect() const
{
    WindowRect r;
    if (m_backend->fullScreen) {
        r.right = m_backend->frameWidth;
        r.bottom = m_backend->frameHeight;
    } else {
        r.right = m_backend->clientWidth;
        r.bottom = m_backend->clientHeight;
    }
    return r;
}

void Window::ClientToScreen(int32_t* x, int32_t* y) const
{
    int wx = 0, wy = 0;
    SDL_GetWindowPosition(m_backend->sdl, &wx, &wy);
    if (m_backend->fullScreen || m_backend->scale > 1) {
        LetterboxRect box = PlatformFrameBox(m_backend);
        wx += box.x;
        wy += box.y;
    }
    if (x)
        *x += wx;
    if (y)
        *y += wy;
}

void Window::GetCursorPos(int32_t* x, int32_t* y) const
{
    int32_t fx = m_backend->pointerX, fy = m_backend->pointerY;
    const WindowBackend* b = m_backend;
    if (b->fullScreen)
        MapOutputToFrame(PlatformFrameBox(b), b->frameWidth, b->frameHeight, b->pointerX, b->pointerY, &fx, &fy);
    else if (b->scale > 1)
        MapOutputToFrame(PlatformFrameBox(b), b->clientWidth, b->clientHeight, b->pointerX, b->pointerY, &fx, &fy);
    if (x)
        *x = fx;
    if (y)
        *y = fy;
}

void Window::SetCapture()
{
    s_captured = this;
    SDL_CaptureMouse(SDL_TRUE);
}

void Window::ReleaseCapture()
{
    if (!s_captured)
        return;
    s_captured = nullptr;
    SDL_CaptureMouse(SDL_FALSE);
}

bool Window::SetIcon(bool large, int32_t resourceId)
{
    if (resourceId != IDI_LARGE_ICON && resourceId != IDI_SMALL_ICON)
        return false;
    if (!large)
        return true;  // SDL shows one icon; the large one is the sharper
    int size = resourceId == IDI_LARGE_ICON ? 32 : 16;
    std::vector<uint32_t> px;
    ResourcePicture drawn;
    if (FindResourcePicture(resourceId, &drawn)) {
        size = drawn.width;
        px.resize(size_t(drawn.width) * size_t(drawn.height));
        ResourcePictureToArgb(drawn, px.data());
    } else {
        px = DrawIcon(size);
    }
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), size, static_cast<int>(px.size() / size_t(size)), 32,
                                                        size * 4, SDL_PIXELFORMAT_ARGB8888);
    if (!s)
        return false;
    SDL_SetWindowIcon(m_backend->sdl, s);
    SDL_FreeSurface(s);
    return true;
}

void Window::SetClassCursor(Cursor* cursor)
{
    m_backend->classCursor = cursor;
    if (cursor)
        SetCursor(cursor);
}

Cursor* Window::GetClassCursor() const { return m_backend->classCursor; }

void Window::CaptureNextPresent(const char* path) { m_backend->capturePath = path ? path : ""; }

uint64_t Window::GetPresentCount() const { return m_backend->presents; }

Window* Window::FromId(uint32_t sdlWindowId)
{
    SDL_Window* sdl = SDL_GetWindowFromID(sdlWindowId);
    if (!sdl)
        return nullptr;
    for (Window* w : AllWindows())
        if (w->m_backend->sdl == sdl)
            return w;
    return nullptr;
}

// Used by the message queue to walk windows waiting for focus.
std::vector<Window*>& PlatformAllWindows() { return AllWindows(); }
