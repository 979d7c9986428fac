// Compares a shot of an end-to-end run with its golden picture:
//   brimvale_e2e_golden SHOT.png GOLDEN.png OUT_DIR
// Status 0 when they agree (or, with BRIMVALE_GOLDEN_UPDATE set, when the
// golden picture was rewritten from the shot), 1 otherwise.
#include "support/gfx/GoldenPicture.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s SHOT.png GOLDEN.png OUT_DIR\n", argv[0]);
        return 2;
    }
    uint32_t w = 0, h = 0;
    std::vector<uint32_t> pixels;
    if (!ReadPngPixels(argv[1], &w, &h, &pixels)) {
        std::fprintf(stderr, "cannot read the shot %s\n", argv[1]);
        return 1;
    }
    const std::string name = std::filesystem::path(argv[2]).stem().string();
    const std::string failure = CompareWithGolden(argv[2], name, pixels.data(), w, h, argv[3]);
    if (!failure.empty()) {
        std::fprintf(stderr, "%s\n", failure.c_str());
        return 1;
    }
    return 0;
}
