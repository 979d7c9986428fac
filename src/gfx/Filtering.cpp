#include "gfx/Filtering.h"

#include "platform/DisplayDevice.h"

void SetLinearFiltering(DisplayDevice* device, bool linear)
{
    if (!device)
        return;
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, linear ? D3DTFG_LINEAR : D3DTFG_POINT);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, linear ? D3DTFN_LINEAR : D3DTFN_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTFP_NONE);
}
