#pragma once
// Private to src/platform: what the platform objects keep of SDL.
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
    int32_t pointerX = 0;        // last pointer position in window pixels
    int32_t pointerY = 0;
    Cursor* classCursor = nullptr;
    uint64_t presents = 0;
    uint32_t shownAt = 0;        // SDL ticks when last shown, for the no-focus rule
    bool awaitingFocus = false;
    SDL_Renderer* renderer = nullptr;  // the device's renderer on this window
    std::string capturePath;
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
// The device's renderer goes (with its window): it draws nothing from then on.
void PlatformDetachDevice(DisplayDevice* device);
void PlatformDetachDevicesOf(Window* window);
// Makes sure the texture's pixels are on the renderer; null when it cannot.
SDL_Texture* PlatformTextureFor(Texture* texture, SDL_Renderer* renderer, int derivedKind);
void PlatformDropTexture(Texture* texture);
// Before a renderer goes: every texture of every driver drops what it has on it.
void PlatformDropTexturesOn(SDL_Renderer* renderer);
