#pragma once
#include <cstdint>

class Cursor;
struct WindowBackend;

// The game window over an SDL window. Coordinates given to and by the game are
// client coordinates of the frame the game draws (800 x 600): in full screen the
// window covers the desktop, the frame is shown scaled with its aspect kept
// (letterboxed, black bars) and the pointer is mapped back into the frame; a
// scaled window does the same at a whole multiple of the frame.

struct WindowRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
};

// The desktop's current display mode (EnumDisplaySettings).
struct DisplayMode {
    int32_t width = 0, height = 0, bitsPerPixel = 0;
};
bool GetDesktopDisplayMode(DisplayMode* out);

enum class WindowStyle {
    Popup,   // no frame
    Framed,  // caption and system menu, no sizing border, no minimise/maximise box
};

// ShowWindow commands.
enum ShowCommand : int32_t {
    SW_HIDE = 0,
    SW_SHOWNORMAL = 1,
    SW_SHOWMINIMIZED = 2,
    SW_SHOW = 5,
    SW_MINIMIZE = 6,
    SW_RESTORE = 9,
};

// Resources compiled into the executable (our own drawings).
constexpr int32_t IDI_LARGE_ICON = 108;
constexpr int32_t IDI_SMALL_ICON = 110;

class Window {
public:
    // `client` is the client area in desktop coordinates. A window starts hidden
    // unless `visible`; showing it activates it (see MessageQueue).
    static Window* Create(const char* title, WindowStyle style, const WindowRect& client, bool visible);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Re-style and move an existing window (shows it when `visible`).
    void SetPlacement(WindowStyle style, const WindowRect& client, bool visible);
    // Full screen covers the desktop and letterboxes the frame; `frameWidth` x
    // `frameHeight` is the picture shown (the display mode the game asked for).
    void SetFullScreen(bool fullScreen, int32_t frameWidth = 800, int32_t frameHeight = 600);
    bool IsFullScreen() const;
    // In a window the frame is shown `scale` times its size (whole multiples,
    // cut to what fits the desktop), drawn sharp (nearest) or smooth (linear);
    // the pointer is mapped back into the frame. `smooth` also filters the
    // letterboxed full-screen picture. Returns the scale in force.
    int32_t SetScale(int32_t scale, bool smooth);
    int32_t GetScale() const;

    void Show(ShowCommand command);
    void Update() {}
    void SetForeground();
    bool IsForeground() const;
    bool IsVisible() const;
    bool IsMinimized() const;

    // (0, 0, width, height) of the frame the game draws into.
    WindowRect GetClientRect() const;
    // Client (0, 0) on the desktop.
    void ClientToScreen(int32_t* x, int32_t* y) const;
    // Pointer position in client coordinates (outside the frame it may be
    // negative or beyond the size, as on Windows).
    void GetCursorPos(int32_t* x, int32_t* y) const;

    void SetCapture();
    static void ReleaseCapture();

    // large: IDI_LARGE_ICON (SDL shows one icon, the large one); small: IDI_SMALL_ICON.
    bool SetIcon(bool large, int32_t resourceId);
    // The cursor shown while the pointer is over the window; SetCursor may
    // change it until the pointer next moves (as WM_SETCURSOR does).
    void SetClassCursor(Cursor* cursor);
    Cursor* GetClassCursor() const;

    // Writes the next presented picture, as the window shows it (letterboxed in
    // full screen), to a PNG file.
    void CaptureNextPresent(const char* path);

    // Frames that reached the screen (presents while this window was in front).
    uint64_t GetPresentCount() const;

    static Window* GetForegroundWindow();
    static Window* FromId(uint32_t sdlWindowId);
    WindowBackend* GetBackend() const { return m_backend; }

private:
    Window() = default;
    WindowBackend* m_backend = nullptr;
};
