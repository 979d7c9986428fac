#pragma once
#include <cstdint>

class DisplayDevice;
class GMImageManager;

// Called while the preload list is read, with the loading bar's fill
// (0.8 x bytes read / file size), after every 10 templates and once more at the
// end when the count is not a multiple of 10.
using PreloadProgressFn = void (*)(float fill, void* context);

// Loads every template named in the preload list (quoted names, tagged
// syntax, opened as text) into the manager. Returns the number of names read,
// or -1 when the list cannot be opened. A template that fails is skipped.
int32_t PreloadTemplates(const char* listPath, GMImageManager* manager, DisplayDevice* device,
                         PreloadProgressFn progress = nullptr, void* context = nullptr);
