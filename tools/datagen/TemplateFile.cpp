#include "datagen/TemplateFile.h"

#include "core/TaggedFile.h"

#include <cstdio>
#include <strings.h>

std::string DataFilePath(const std::string& dataRoot, const std::string& dataPath)
{
    std::string p = dataPath;
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return dataRoot + "/" + p;
}

static void ReadSizeFile(const std::string& root, TemplateInfo& out)
{
    FILE* f = std::fopen(DataFilePath(root, out.imf).c_str(), "rb");
    if (!f)
        return;
    out.imfRead = true;
    char tag[kValueBufferSize];
    double tallest = 0;
    while (ReadQuoted(f, '"', '"', tag, nullptr) >= 0) {
        int32_t index = 0;
        float value = 0;
        if (!ReadPlainInt(f, &index) || !ReadPlainFloat(f, &value))
            break;
        if (index < 0 || index >= static_cast<int>(out.frames.size()))
            continue;
        TemplateFrame& fr = out.frames[index];
        if (strcasecmp(tag, "IMW") == 0 && value > 0)
            fr.imageWidth = value;
        else if (strcasecmp(tag, "IMH") == 0 && value > 0) {
            fr.imageHeight = value;
            tallest = std::max(tallest, static_cast<double>(value));
        } else if (strcasecmp(tag, "IMX") == 0)
            fr.offsetX = value;
        else if (strcasecmp(tag, "IMY") == 0)
            fr.offsetY = value;
        else if (strcasecmp(tag, "SIX") == 0)
            fr.extraX = value;
        else if (strcasecmp(tag, "SIY") == 0)
            fr.extraY = value;
    }
    if (tallest > 0)
        out.height = tallest;
    std::fclose(f);
}

bool ReadTemplateFile(const std::string& root, const std::string& dataPath, TemplateInfo& out)
{
    out = TemplateInfo{};
    FILE* f = std::fopen(DataFilePath(root, dataPath).c_str(), "rb");
    if (!f)
        return false;
    char tag[kValueBufferSize];
    double imw = 0, imh = 0;
    bool hasX = false, hasY = false, hasSX = false, hasSY = false;
    float imx = 0, imy = 0, six = 0, siy = 0;
    bool ok = true;
    while (ok && ReadQuoted(f, '"', '"', tag, nullptr) >= 0) {
        float v = 0;
        if (strcasecmp(tag, "FR") == 0) {
            int32_t n = 0;
            if (!ReadPlainInt(f, &n))
                break;
            for (int i = 0; i < n; ++i) {
                char name[kValueBufferSize];
                if (ReadQuoted(f, '"', '"', name, nullptr) < 0) {
                    ok = false;
                    break;
                }
                TemplateFrame fr;
                fr.file = name;
                out.frames.push_back(fr);
            }
        } else if (strcasecmp(tag, "SP") == 0) {
            if (!(ok = ReadPlainFloat(f, &v)))
                break;
            out.fps = v < 0 ? -v : v;
        } else if (strcasecmp(tag, "FF") == 0) {
            int32_t n = 0;
            if (!(ok = ReadPlainInt(f, &n)))
                break;
            out.loopStart = n < 0 ? 0 : n;
        } else if (strcasecmp(tag, "INT") == 0) {
            out.additive = true;
        } else if (strcasecmp(tag, "IMF") == 0) {
            char name[kValueBufferSize];
            if (ReadQuoted(f, '"', '"', name, nullptr) < 0)
                break;
            out.imf = name;
        } else if (strcasecmp(tag, "IMW") == 0 || strcasecmp(tag, "IMH") == 0 || strcasecmp(tag, "IMX") == 0 ||
                   strcasecmp(tag, "IMY") == 0 || strcasecmp(tag, "SIX") == 0 || strcasecmp(tag, "SIY") == 0) {
            if (!(ok = ReadPlainFloat(f, &v)))
                break;
            if (strcasecmp(tag, "IMW") == 0)
                imw = v;
            else if (strcasecmp(tag, "IMH") == 0)
                imh = v;
            else if (strcasecmp(tag, "IMX") == 0)
                hasX = true, imx = v;
            else if (strcasecmp(tag, "IMY") == 0)
                hasY = true, imy = v;
            else if (strcasecmp(tag, "SIX") == 0)
                hasSX = true, six = v;
            else
                hasSY = true, siy = v;
        }
    }
    std::fclose(f);
    if (out.frames.empty())
        return false;
    for (auto& fr : out.frames) {
        if (imw > 0)
            fr.imageWidth = imw;
        if (imh > 0)
            fr.imageHeight = imh;
        if (hasX)
            fr.offsetX = imx;
        if (hasY)
            fr.offsetY = imy;
        if (hasSX)
            fr.extraX = six;
        if (hasSY)
            fr.extraY = siy;
    }
    out.height = imh;
    if (!out.imf.empty())
        ReadSizeFile(root, out);
    return true;
}
