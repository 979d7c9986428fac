#pragma once
// Private to src/platform: what the platform objects keep of SDL.
#include "platform/DisplayTypes.h"
#include "platform/Letterbox.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

class Cursor;
class DisplayDevice;
class DisplayDriver;
class DisplaySurface;
class Texture;
class Window;

struct WindowBackend {
    SDL_Window* sdl = nullptr;
    Window* owner = nullptr;
    bool framed = false;
    bool visible = false;
    bool minimized = false;
    bool fullScreen = false;
    int32_t clientWidth = 800;   // windowed client size
    int32_t clientHeight = 600;
    int32_t frameWidth = 800;    // picture shown in full screen
    int32_t frameHeight = 600;
    int32_t scale = 1;           // windowed: the frame shown this many times its size
    bool placed = false;         // moved to (placedX, placedY) so that the whole of it is on the desktop
    int32_t placedX = 0, placedY = 0;
    bool smooth = true;          // a scaled frame is filtered linearly, else nearest
    int32_t pointerX = 0;        // last pointer position in window pixels
    int32_t pointerY = 0;
    Cursor* classCursor = nullptr;
    uint64_t presents = 0;
    uint32_t shownAt = 0;        // SDL ticks when last shown, for the no-focus rule
    bool awaitingFocus = false;
    SDL_Renderer* renderer = nullptr;  // the device's renderer on this window
    std::string capturePath;
    // The window's contents may be gone (shown, exposed, resized, restored):
    // the next present copies the back buffer even when the frame is unchanged.
    bool needsPresent = true;
};

struct TextureBackend {
    SDL_Texture* sdl = nullptr;      // the pixels on the renderer
    SDL_Texture* derived = nullptr;  // white (silhouette) or inverted-alpha copy
    int derivedKind = 0;
    uint32_t derivedVersion = 0;
    SDL_Renderer* renderer = nullptr;
    bool dirty = true;
    SDL_ScaleMode scale = SDL_ScaleModeNearest;
    SDL_ScaleMode derivedScale = SDL_ScaleModeNearest;
    uint64_t serial = 0;  // unique per texture ever made: an address can be reused
};

// The states of the device that decide how a draw comes out.
struct DrawStates {
    uint32_t blendEnable, srcBlend, destBlend;
    uint32_t colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    uint32_t magFilter, minFilter;
    bool operator==(const DrawStates&) const = default;
};

// One drawing command into the back buffer, as recorded for the frame.
struct DrawCommand {
    enum Kind : uint32_t { Clear, Draw };
    Kind kind = Clear;
    uint32_t clip[4] = {};      // the viewport in force: x, y, width, height
    uint32_t color = 0;         // Clear
    uint32_t primitive = 0;     // Draw: D3DPT_
    DrawStates states{};
    uint64_t textureSerial = 0;  // 0: untextured
    uint32_t textureVersion = 0;
    uint32_t first = 0, count = 0;  // vertices (Draw) or rectangles (Clear, 0: the viewport)
    Texture* texture = nullptr;     // held until carried out, then null; not compared
    bool SameAs(const DrawCommand& o) const
    {
        return kind == o.kind && clip[0] == o.clip[0] && clip[1] == o.clip[1] && clip[2] == o.clip[2] &&
               clip[3] == o.clip[3] && color == o.color && primitive == o.primitive && states == o.states &&
               textureSerial == o.textureSerial && textureVersion == o.textureVersion && first == o.first &&
               count == o.count;
    }
};

// The drawing of one frame (from one present to the next).
struct DrawList {
    std::vector<DrawCommand> commands;
    std::vector<TLVertex> vertices;
    std::vector<SDL_Rect> rects;
    size_t done = 0;      // commands carried out so far
    bool opens = false;   // starts with a clear of the whole back buffer: needs nothing drawn before
    bool broken = false;  // commands were carried out and forgotten (too long a frame)
};

struct DeviceBackend {
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* target = nullptr;  // the back buffer
    uint32_t width = 0;
    uint32_t height = 0;
    bool accelerated = false;
    Window* window = nullptr;
    // What CreateOffscreen made for the device, released with it.
    Window* ownWindow = nullptr;
    DisplayDriver* ownDriver = nullptr;
    DisplaySurface* ownPrimary = nullptr;
    // Drawing is recorded and carried out when the back buffer is read or
    // presented; a frame equal to the one shown is neither redrawn nor copied.
    DrawList frame;
    DrawList shown;          // the last presented frame (commands and data only)
    bool shownValid = false;  // the back buffer and the window hold what `shown` draws
    bool clipApplied = false;
    uint32_t appliedClip[4] = {};
    int shownOutputW = 0, shownOutputH = 0;
    bool shownFullScreen = false;
    // What reached the renderer (DisplayDevice::GetRendererCounts).
    uint64_t draws = 0, textureSwitches = 0, flushes = 0, presents = 0;
    SDL_Texture* lastTexture = nullptr;
};

struct DriverBackend {
    std::vector<Texture*> textures;
    std::vector<DisplaySurface*> surfaces;
    std::vector<DisplayDevice*> devices;
};

struct CursorBackend {
    SDL_Cursor* sdl = nullptr;
    std::vector<uint32_t> pixels;
    int32_t hotX = 0, hotY = 0;
};

// Shared between the platform's files.
// Where the frame lies in the window's pixels: letterboxed in full screen and
// in a scaled window, else the client area itself.
LetterboxRect PlatformFrameBox(const WindowBackend* b);
bool PlatformDriverGivesFocus();        // false for dummy/offscreen: shown counts as active
void PlatformActivate(Window* window);  // becomes the foreground window, posts activation
void PlatformDeactivate(Window* window);
void PlatformForgetWindow(Window* window);
std::vector<Window*>& PlatformAllWindows();
// Windows virtual-key code of an SDL key (0 when it has none).
uint32_t PlatformVirtualKey(SDL_Keycode sym, SDL_Scancode scancode);
void PlatformRegisterDriver(DisplayDriver* driver, bool add);
void PlatformLoseAllDisplays();
// Copies the device's back buffer to its window, letterboxed in full screen.
int32_t PlatformPresent(DisplayDevice* device);
// Carries out the recorded drawing that uses the texture, before its pixels change.
void PlatformFlushDrawsWith(DisplayDriver* driver, Texture* texture);
// The back buffers' contents are gone or suspect: the next frames draw and present.
void PlatformForgetShownFrames(DisplayDriver* driver);
// The device's renderer goes (with its window): it draws nothing from then on.
void PlatformDetachDevice(DisplayDevice* device);
void PlatformDetachDevicesOf(Window* window);
// Makes sure the texture's pixels are on the renderer; null when it cannot.
SDL_Texture* PlatformTextureFor(Texture* texture, SDL_Renderer* renderer, int derivedKind);
void PlatformDropTexture(Texture* texture);
// Before a renderer goes: every texture of every driver drops what it has on it.
void PlatformDropTexturesOn(SDL_Renderer* renderer);
// Makes the accelerated renderer for the window and keeps it in *out unless it
// draws slower than SDL's software renderer would (see RendererChoice.h); null
// in *out otherwise. Returns what was chosen and why, for the logs. With a
// null `out` the renderer is only tried.
std::string ChooseRendererFor(SDL_Window* window, SDL_Renderer** out);
