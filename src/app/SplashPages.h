#pragma once
#include <functional>

class DisplayDevice;
class GMImageManager;

// The two splash pages of start-up ("Halvenport\splash1.img", then
// "splash2.img"), each faded in over 1000 ms, held for 2000 ms and faded out,
// stretched over the screen with linear filtering. A page whose template does
// not load is skipped. Afterwards stage 0 samples with point filtering again
// (magnification, minification and mip filter) and the image cache is emptied.
// `present` ends the scene and shows the frame; `holding` is called with the
// page number (1, 2) just before a page's still frame is presented.
void ShowSplashPages(DisplayDevice* device, GMImageManager* images, const std::function<void()>& present,
                     const std::function<void(int page)>& holding);
