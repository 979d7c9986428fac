#pragma once
#include <cstdint>

// The desktop's font-smoothing setting, which the game switches on while it
// runs and gives back at exit. Linux desktops smooth fonts per application, so
// here there is nothing to change: the calls keep the start-up order honest.
uint32_t GetFontSmoothing();
void SetFontSmoothing(uint32_t value);
