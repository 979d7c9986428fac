#include "platform/ResourcePictures.h"

static ResourcePictureLookup s_lookup = nullptr;

void SetResourcePictures(ResourcePictureLookup lookup)
{
    s_lookup = lookup;
}

bool FindResourcePicture(int32_t resourceId, ResourcePicture* out)
{
    return s_lookup && s_lookup(resourceId, out) && out->rgba && out->width > 0 && out->height > 0;
}

void ResourcePictureToArgb(const ResourcePicture& picture, uint32_t* out)
{
    const uint8_t* p = picture.rgba;
    for (int32_t i = 0; i < picture.width * picture.height; ++i, p += 4)
        out[i] = (uint32_t(p[3]) << 24) | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
}
