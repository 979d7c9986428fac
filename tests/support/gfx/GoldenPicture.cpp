#include "support/gfx/GoldenPicture.h"

#include "gfx/PngDecoder.h"
#include "platform/PngFile.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

class PixelsTarget : public PngTarget {
public:
    uint8_t* Begin(uint32_t w, uint32_t h, Format, int32_t* pitch, int32_t*) override
    {
        width = w;
        height = h;
        pixels.assign(size_t(w) * h, 0);
        *pitch = static_cast<int32_t>(w * 4);
        return reinterpret_cast<uint8_t*>(pixels.data());
    }
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

}  // namespace

bool ReadPngPixels(const std::string& path, uint32_t* width, uint32_t* height, std::vector<uint32_t>* pixels)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    uint8_t signature[8] = {};
    PixelsTarget target;
    bool ok = std::fread(signature, 1, 8, f) == 8 && IsPngSignature(signature, 8) && DecodePng(f, target) == 0;
    std::fclose(f);
    if (!ok)
        return false;
    *width = target.width;
    *height = target.height;
    *pixels = std::move(target.pixels);
    return true;
}

bool GoldenUpdating()
{
    const char* v = std::getenv("BRIMVALE_GOLDEN_UPDATE");
    return v && *v && std::string(v) != "0";
}

std::string CompareWithGolden(const std::string& goldenPath, const std::string& name, const uint32_t* pixels,
                              uint32_t width, uint32_t height, const std::string& outDir)
{
    if (GoldenUpdating())
        return WritePngFile(goldenPath.c_str(), pixels, width, height) ? "" : "cannot write " + goldenPath;
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> expected;
    if (!ReadPngPixels(goldenPath, &w, &h, &expected))
        return "missing golden picture " + goldenPath + " (make golden writes it)";
    if (w != width || h != height) {
        std::ostringstream out;
        out << name << ": " << width << " x " << height << ", the golden picture is " << w << " x " << h;
        return out.str();
    }
    size_t differing = 0;
    int minX = int(width), minY = int(height), maxX = -1, maxY = -1;
    std::vector<uint32_t> diff(size_t(width) * height);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const size_t i = size_t(y) * width + x;
            const uint32_t want = expected[i] & 0xFFFFFF, got = pixels[i] & 0xFFFFFF;
            if (want == got) {
                diff[i] = 0xFF000000u | ((want >> 2) & 0x3F3F3F);
                continue;
            }
            diff[i] = 0xFFFF0000u;
            ++differing;
            minX = std::min(minX, int(x));
            minY = std::min(minY, int(y));
            maxX = std::max(maxX, int(x));
            maxY = std::max(maxY, int(y));
        }
    }
    if (differing == 0)
        return "";
    std::filesystem::create_directories(outDir);
    WritePngFile((outDir + "/" + name + ".actual.png").c_str(), pixels, width, height);
    WritePngFile((outDir + "/" + name + ".diff.png").c_str(), diff.data(), width, height);
    std::ostringstream out;
    out << name << ": " << differing << " pixels differ in (" << minX << ", " << minY << ") - (" << maxX << ", "
        << maxY << "); see " << outDir << "/" << name << ".actual.png and .diff.png; `make golden` rewrites the "
        << "golden pictures";
    return out.str();
}
