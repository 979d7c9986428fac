// The help file, given unscrambled and scrambled here under "Help.txt" as the
// game keeps it; loaded, then every page drawn.
#include "FuzzSupport.h"

#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "ui/HelpPages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DisplayDevice* device = fuzz::DeviceWithPictures();
    fuzz::WriteScrambled("Help.txt", data, size);
    GMImageManager manager;
    manager.SetErrorLogPath("Error.log");
    GMImage* font = new GMImage;  // holds its first reference
    font->LoadTemplate("Font.img", &manager, device);
    {
        HelpPages help;
        if (help.LoadFromFile("Help.txt", &manager, device) == 0) {
            help.SetFont(font);
            int32_t pages = help.GetPageCount();
            for (int32_t p = -1; p <= pages && p < 64; ++p) {
                help.SetPage(p);
                help.Advance(16.0f);
                device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
                device->BeginScene();
                help.Draw(0.0f, 0.0f, device);
                device->EndScene();
            }
        }
    }
    font->Release();
    return 0;
}
