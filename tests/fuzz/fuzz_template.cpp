// An ".img" template and its per-frame size file, given as one input split at
// a "--" line. The frames may name g.bmp and a.png, which exist.
#include "FuzzSupport.h"

#include "gfx/GMImageManager.h"
#include "gfx/GMImageTemplate.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::DeviceWithPictures();
    std::string img, sizes;
    fuzz::SplitAtMarker(data, size, &img, &sizes);
    fuzz::WriteFile("t.img", reinterpret_cast<const uint8_t*>(img.data()), img.size());
    fuzz::WriteFile("t.siz", reinterpret_cast<const uint8_t*>(sizes.data()), sizes.size());

    GMImageManager manager;
    manager.SetErrorLogPath("Error.log");
    auto* t = new GMImageTemplate;
    if (t->LoadFromFile("t.img", &manager, fuzz::Device()) == 0) {
        // Everything a sprite asks of it, including indices out of range.
        for (int32_t i = -1; i <= t->GetFrameCount(); ++i) {
            t->GetFrameTexture(i);
            t->GetFrameInfo(i);
        }
    }
    t->Release();
    return 0;
}
