#include "app/SplashPages.h"

#include "gfx/Filtering.h"
#include "gfx/GMImage.h"
#include "gfx/GMImageManager.h"
#include "platform/Clock.h"
#include "platform/DisplayDevice.h"

#include <cstdio>
#include <new>

void ShowSplashPages(DisplayDevice* device, GMImageManager* images, const std::function<void()>& present,
                     const std::function<void(int page)>& holding)
{
    static const char* const kPages[] = {"Halvenport\\splash1.img", "Halvenport\\splash2.img"};
    if (!device)
        return;
    SetLinearFiltering(device, true);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_POINT);
    int page = 0;
    for (const char* name : kPages) {
        ++page;
        char path[100];
        std::snprintf(path, sizeof path, "%s", name);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        GMImage* image = new (std::nothrow) GMImage;
        if (!image)
            continue;
        if (image->LoadTemplate(path, images, device) != 0) {
            image->Release();
            continue;
        }
        float sx = image->GetImageWidth() > 0 ? 800.0f / image->GetImageWidth() : 1.0f;
        float sy = image->GetImageHeight() > 0 ? 600.0f / image->GetImageHeight() : 1.0f;
        auto drawPage = [&](float overlay, bool withOverlay) {
            device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
            device->BeginScene();
            image->DrawScaled(0.0f, 0.0f, sx, sy, device);
            if (withOverlay)
                DrawFade(device, overlay);
        };
        for (int fadeOut = 0; fadeOut < 2; ++fadeOut) {
            uint32_t start = GetTickCount();
            for (uint32_t t = 0; t < 1000; t = GetTickCount() - start) {
                float level = static_cast<float>(t) * 255.0f / 1000.0f;
                drawPage(fadeOut ? level : 255.0f - level, true);
                present();
                Sleep(10);
            }
            if (!fadeOut) {
                drawPage(0.0f, false);
                if (holding)
                    holding(page);
                present();
                Sleep(2000);
            }
        }
        image->Release();
    }
    // Back to point sampling in all three filters for everything drawn later.
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_POINT);
    if (images)
        images->ReleaseAll();
}
