#include "Commands.h"

#include "gfx/GMImageManager.h"
#include "gfx/GMImageSurface.h"
#include "gfx/GMImageTemplate.h"
#include "gfx/ImageFrameInfo.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {

// Frame names in templates are relative to the data directory, so the tool can
// change into it first.
class DirectoryChange {
public:
    bool Enter(const char* dir, FILE* err)
    {
        std::error_code ec;
        m_old = std::filesystem::current_path(ec);
        std::filesystem::current_path(dir, ec);
        if (ec) {
            std::fprintf(err, "brimvale-data: cannot change into \"%s\": %s\n", dir, ec.message().c_str());
            return false;
        }
        m_changed = true;
        return true;
    }
    ~DirectoryChange()
    {
        std::error_code ec;
        if (m_changed)
            std::filesystem::current_path(m_old, ec);
    }

private:
    std::filesystem::path m_old;
    bool m_changed = false;
};

void PrintTemplate(const GMImageTemplate& t, FILE* out)
{
    std::fprintf(out, "template \"%s\"\n", t.GetName());
    std::fprintf(out, "frames %d\n", t.GetFrameCount());
    std::fprintf(out, "speed %g frames/s (%g per ms)\n", double(t.GetSpeed()) * 1000.0, double(t.GetSpeed()));
    std::fprintf(out, "loop start %d\n", t.GetLoopStart());
    std::fprintf(out, "additive %s\n", t.IsAdditive() ? "yes" : "no");
    std::fprintf(out, "size %g x %g\n", double(t.GetWidth()), double(t.GetHeight()));
    for (int32_t i = 0; i < t.GetFrameCount(); ++i) {
        const GMImageSurface* s = t.GetFrameSurface(i);
        const ImageFrameInfo* f = t.GetFrameInfo(i);
        if (!s || !f) {
            std::fprintf(out, "frame %d: (not loaded)\n", i);
            continue;
        }
        std::fprintf(out, "frame %d: \"%s\" texture %gx%g image %gx%g offset %g,%g extra %g,%g\n", i,
                     s->GetName() ? s->GetName() : "", double(f->textureWidth), double(f->textureHeight),
                     double(f->imageWidth), double(f->imageHeight), double(f->offsetX), double(f->offsetY),
                     double(f->extraX), double(f->extraY));
    }
}

}  // namespace

int CmdTemplate(int argc, char** argv, FILE* out, FILE* err)
{
    const char* dataDir = nullptr;
    if (argc == 3 && !std::strcmp(argv[0], "-C")) {
        dataDir = argv[1];
        argv += 2;
        argc -= 2;
    }
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data template [-C DATADIR] FILE\n");
        return 2;
    }
    DirectoryChange change;
    if (dataDir && !change.Enter(dataDir, err))
        return 1;
    // Nothing is shown: no display server is asked (and none complains).
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!StartPlatform()) {
        std::fprintf(err, "brimvale-data: the display could not be started\n");
        return 1;
    }
    DisplayDevice* device = nullptr;
    if (DisplayDevice::CreateOffscreen(800, 600, &device) != DD_OK || !device) {
        std::fprintf(err, "brimvale-data: no headless display device\n");
        return 1;
    }
    int status = 0;
    {
        GMImageManager manager;
        auto* t = new GMImageTemplate;
        int32_t result = t->LoadFromFile(argv[0], &manager, device);
        if (result != 0) {
            std::fprintf(err, "brimvale-data: template \"%s\" did not load (result 0x%08X)\n", argv[0],
                         static_cast<unsigned>(result));
            status = 1;
        } else {
            PrintTemplate(*t, out);
        }
        t->Release();
    }
    device->Release();
    return status;
}
