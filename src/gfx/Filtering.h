#pragma once

class DisplayDevice;

// Stage 0 samples with point filtering; scaled drawings switch to linear
// (magnification and minification, no mip filter) around themselves.
void SetLinearFiltering(DisplayDevice* device, bool linear);
