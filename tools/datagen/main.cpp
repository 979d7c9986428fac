// brimvale-datagen --out DIR [--src DIR]: writes the whole game data set.
#include "datagen/ExeImages.h"
#include "datagen/Generator.h"
#include "datagen/Town.h"
#include "datagen/PreviewScreens.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

static void Usage(FILE* to)
{
    std::fprintf(to, "usage: brimvale-datagen [--levels-only] --out DATA_DIR [--src DATA_SRC_DIR] [--preview PNG_DIR]\n"
                     "       brimvale-datagen --exe-images DIR\n"
                     "       brimvale-datagen --icons DIR   (the desktop icon in the hicolor sizes)\n"
                     "       (with --preview, DATA_DIR is read, not written)\n");
}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            Usage(stdout);
            return 0;
        }
    }
    std::string out, src = "data-src", preview, exeImages;
    std::string icons;
    bool levelsOnly = false;
    if (argc > 1 && std::strcmp(argv[1], "--levels-only") == 0) {
        levelsOnly = true;  // only data-src/levels, into an existing data set
        --argc;
        ++argv;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--out") == 0)
            out = argv[i + 1];
        else if (std::strcmp(argv[i], "--src") == 0)
            src = argv[i + 1];
        else if (std::strcmp(argv[i], "--preview") == 0)
            preview = argv[i + 1];
        else if (std::strcmp(argv[i], "--exe-images") == 0)
            exeImages = argv[i + 1];
        else if (std::strcmp(argv[i], "--icons") == 0)
            icons = argv[i + 1];
    }
    if (!icons.empty()) {
        if (!WriteDesktopIcons(icons)) {
            std::fprintf(stderr, "brimvale-datagen: cannot write the desktop icons to %s\n", icons.c_str());
            return 1;
        }
        return 0;
    }
    if (!exeImages.empty()) {
        if (!WriteExeImages(exeImages)) {
            std::fprintf(stderr, "brimvale-datagen: cannot write the executable's pictures to %s\n", exeImages.c_str());
            return 1;
        }
        return 0;
    }
    if (out.empty()) {
        Usage(stderr);
        return 2;
    }
    if (!preview.empty()) {
        int n = RenderPreviewScreens(out, preview);
        if (n < 0) {
            std::fprintf(stderr, "brimvale-datagen: a picture is missing in %s\n", out.c_str());
            return 1;
        }
        std::printf("brimvale-datagen: %d screens in %s\n", n, preview.c_str());
        return 0;
    }
    auto start = std::chrono::steady_clock::now();
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    DataDir dir(out, src);
    if (levelsOnly ? !GenerateLevels(dir) : !GenerateAll(dir)) {
        std::fprintf(stderr, "brimvale-datagen: %s\n", dir.Failed() ? dir.Error().c_str() : "generation failed");
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    uintmax_t bytes = 0;
    for (const auto& f : dir.Written())
        bytes += std::filesystem::file_size(dir.FullPath(f), ec);
    std::printf("brimvale-datagen: %zu files, %.1f MB in %.2f s\n", dir.Written().size(), bytes / 1048576.0, seconds);
    return 0;
}
