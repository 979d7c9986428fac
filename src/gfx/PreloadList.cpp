#include "gfx/PreloadList.h"

#include "gfx/GMImageManager.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <cstdio>

int32_t PreloadTemplates(const char* listPath, GMImageManager* manager, DisplayDevice* device,
                         PreloadProgressFn progress, void* context)
{
    if (!manager)
        return -1;
    FILE* f = OpenFile(listPath, "rt");
    if (!f)
        return -1;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::rewind(f);
    auto report = [&]() {
        if (progress)
            progress(size > 0 ? 0.8f * static_cast<float>(std::ftell(f)) / static_cast<float>(size) : 0.8f, context);
    };
    int32_t count = 0;
    char name[kValueBufferSize];
    while (ReadQuoted(f, '"', '"', name, nullptr) >= 0) {
        manager->LoadTemplate(name, device);
        if (++count % 10 == 0)
            report();
    }
    if (count % 10 != 0)
        report();
    std::fclose(f);
    return count;
}
