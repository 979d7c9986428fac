#pragma once
#include "platform/DeviceCaps.h"
#include "platform/DisplayDevice.h"
#include "platform/DisplayDriver.h"
#include "platform/DisplayResult.h"
#include "platform/DisplaySurface.h"

#include <cstdint>
#include <cstdio>

class Window;

// The game's one display: creation with its step log, the error names, the
// capability dump, focus-change restoring and presenting. Process-wide.
struct DisplayState {
    DisplayDriver* directDraw = nullptr;
    DisplayDriver* direct3D = nullptr;
    DisplaySurface* primary = nullptr;
    DisplaySurface* backBuffer = nullptr;
    DisplayDevice* device = nullptr;
    Window* window = nullptr;
    bool windowed = false;
    int32_t displayWidth = 800;
    int32_t displayHeight = 600;
    int32_t displayBits = 32;
    uint32_t backBufferWidth = 0;
    uint32_t backBufferHeight = 0;
    bool deviceReady = false;
};

DisplayState& GetDisplayState();

int32_t CreateDisplayDevice(bool keepDirectDraw);
void ReleaseDisplayDevice(bool keepDirectDraw);
int32_t SetDisplayCooperativeLevel(FILE* log);
DisplayResult CreateDisplaySurfaces(uint32_t width, uint32_t height);
DisplayResult CheckDisplayResult(FILE* log, const char* title, DisplayResult result);
DisplayResult RestoreDisplayMode();
int32_t RestoreDisplaySurfaces(FILE* log);
DisplayResult PresentFrame();
void WriteDeviceCaps(const char* path, const char* deviceName, const char* deviceDescription, const DeviceDesc* desc);

// The name shown for a result (the error table), copied into a 260-byte buffer.
const char* GetDisplayErrorName(DisplayResult result, char* buffer, size_t size);

// Step 3 of RestoreDisplaySurfaces: the image manager restores its surfaces.
// The application installs this once the image manager exists.
using RestoreImagesFn = void (*)(DisplayDevice* device, void* context);
void SetRestoreImagesHandler(RestoreImagesFn handler, void* context);

// Focus changes of the window procedure (only while deviceReady).
void OnDisplayActivated();
void OnDisplayDeactivated();
