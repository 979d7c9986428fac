#include "FuzzSupport.h"

#include "core/TaggedFile.h"
#include "platform/DisplayDevice.h"
#include "platform/System.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fuzz {

namespace {

std::string& WorkDir()
{
    static std::string dir;
    return dir;
}

// A run that ends normally takes its scratch files with it; after a crash
// they stay for a look.
void RemoveWorkDir()
{
    std::error_code ignored;
    if (!WorkDir().empty())
        std::filesystem::remove_all(WorkDir(), ignored);
}

} // namespace

void EnterWorkDir()
{
    static bool entered = false;
    if (entered)
        return;
    entered = true;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/brimvale-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
        std::perror("brimvale fuzz: work directory");
        std::abort();
    }
    WorkDir() = pattern;
    std::atexit(RemoveWorkDir);
}

DisplayDevice* Device()
{
    static DisplayDevice* device = nullptr;
    if (!device) {
        EnterWorkDir();
        if (!StartPlatform() || DisplayDevice::CreateOffscreen(800, 600, &device) != DD_OK || !device) {
            std::fprintf(stderr, "brimvale fuzz: no headless display device\n");
            std::abort();
        }
    }
    return device;
}

void WriteFile(const char* name, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(name, "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}

void WriteScrambled(const char* name, const uint8_t* data, size_t size)
{
    FILE* f = std::fopen(name, "wb");
    if (!f)
        std::abort();
    FileKey key(name);
    WriteBytes(f, data, static_cast<int>(size), &key);
    std::fclose(f);
}

static void Put16(std::string& s, uint32_t v)
{
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
static void Put32(std::string& s, uint32_t v)
{
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

std::string MakeBmp(int w, int h, uint32_t seed)
{
    const uint32_t stride = (uint32_t(w) * 3 + 3) & ~3u;
    std::string s = "BM";
    Put32(s, 54 + stride * uint32_t(h));
    Put32(s, 0);
    Put32(s, 54);
    Put32(s, 40);
    Put32(s, uint32_t(w));
    Put32(s, uint32_t(h));
    Put16(s, 1);
    Put16(s, 24);
    for (int i = 0; i < 6; ++i)
        Put32(s, 0);
    for (int y = 0; y < h; ++y)
        for (uint32_t x = 0; x < stride; ++x)
            s += char((seed + x * 7 + uint32_t(y) * 13) & 0xFF);
    return s;
}

// A 4 x 4 grey PNG with alpha.
static const uint8_t kPng4x4[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x00, 0x04, 0x08, 0x06, 0x00, 0x00, 0x00, 0xA9, 0xF1, 0x9E,
    0x7E, 0x00, 0x00, 0x00, 0x12, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9C, 0x63, 0x68, 0x68, 0x68, 0xF8,
    0x8F, 0x8C, 0x19, 0x48, 0x17, 0x00, 0x00, 0x42, 0x87, 0x27, 0xF1, 0x9A, 0xC4, 0x22, 0xD2, 0x00,
    0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};

DisplayDevice* DeviceWithPictures()
{
    static DisplayDevice* device = nullptr;
    if (!device) {
        device = Device();
        WriteFixturePictures();
    }
    return device;
}

void WriteFixturePictures()
{
    std::string g = MakeBmp(8, 12, 1);
    WriteFile("g.bmp", reinterpret_cast<const uint8_t*>(g.data()), g.size());
    WriteFile("a.png", kPng4x4, sizeof kPng4x4);
    std::string font = "\"FR\" 96";
    for (int i = 0; i < 96; ++i)
        font += " \"g.bmp\"";
    font += "\n";
    WriteFile("Font.img", reinterpret_cast<const uint8_t*>(font.data()), font.size());
}

void SplitAtMarker(const uint8_t* data, size_t size, std::string* first, std::string* second)
{
    std::string all(reinterpret_cast<const char*>(data), size);
    size_t at = all.find("\n--\n");
    if (at == std::string::npos) {
        *first = all;
        second->clear();
        return;
    }
    *first = all.substr(0, at + 1);
    *second = all.substr(at + 4);
}

}  // namespace fuzz

namespace fuzz {

void LinkDataSet(const char* defaultDir, const char* leaveOut)
{
    EnterWorkDir();
    const char* env = std::getenv("BRIMVALE_FUZZ_DATA");
    std::filesystem::path data = env && *env ? env : defaultDir;
    std::error_code error;
    if (!std::filesystem::exists(data / "level1.lvl", error)) {
        std::fprintf(stderr, "fuzz: no generated data set in %s (run `make data` or set BRIMVALE_FUZZ_DATA)\n",
                     data.c_str());
        std::exit(1);
    }
    const std::string skip = leaveOut ? leaveOut : "";
    for (const auto& entry : std::filesystem::directory_iterator(data, error)) {
        const std::string name = entry.path().filename().string();
        if (!skip.empty() && name.size() >= skip.size() && name.compare(name.size() - skip.size(), skip.size(), skip) == 0)
            continue;
        std::filesystem::create_symlink(entry.path(), name, error);
    }
}

}  // namespace fuzz
