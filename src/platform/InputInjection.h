#pragma once
#include <cstdint>

class Window;

// Input as if a player had given it: events join the window's event stream and
// come out of the message queue translated like real ones. Used by the script
// runner and by tests. Coordinates are client coordinates of the frame, or with
// `windowPixels` the window's own pixels (as the display system reports them,
// so a scaled or letterboxed frame is mapped back by the translation alone).
void InjectMouseMove(Window* window, int32_t x, int32_t y, bool windowPixels = false);
// button: 1 left, 2 middle, 3 right.
void InjectMouseButton(Window* window, int32_t button, bool down, int32_t x, int32_t y, bool windowPixels = false);
// A key by virtual-key code; false when no key of this keyboard gives it.
bool InjectKey(Window* window, uint32_t virtualKey, bool down);
// The system asks for the window's contents again (another window uncovered it).
void InjectWindowExposed(Window* window);

// Chooses SDL's headless drivers (dummy video and audio, software renderer)
// before the platform starts; everything still draws real pixels.
void UseHeadlessDrivers();
