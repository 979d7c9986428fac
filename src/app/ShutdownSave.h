#pragma once
#include <cstdint>

class GMLevelRun;

// The game may be shut down at any moment (the window closed, Alt+F4,
// SIGTERM all end the main loop): what the screen has shown as done is
// written before anything is released. `mode` is the game mode the loop
// ended in; the day counts only while it is still on screen (in play or
// under its pause menu), not after the player has left it for the menus.
// True when something was written.
bool SaveWhatWasShown(uint8_t mode, GMLevelRun* run);
