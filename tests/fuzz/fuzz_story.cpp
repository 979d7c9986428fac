// A story layout, given unscrambled and scrambled here under its own name;
// loaded and drawn with a panel font.
#include "FuzzSupport.h"

#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "platform/DisplayDevice.h"
#include "ui/GMStoryLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DisplayDevice* device = fuzz::DeviceWithPictures();
    fuzz::WriteScrambled("Story01.txt", data, size);
    GMImageManager manager;
    manager.SetErrorLogPath("Error.log");
    GMImage* font = new GMImage;  // holds its first reference
    font->LoadTemplate("Font.img", &manager, device);
    {
        GMStoryLayout story;
        story.Load("Story01.txt", &manager, device);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        story.Draw(font, device);
        story.Draw(nullptr, device);
        device->EndScene();
    }
    font->Release();
    return 0;
}
