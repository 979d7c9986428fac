#include "datagen/DataDir.h"

#include "datagen/PictureFiles.h"

#include "core/TaggedFile.h"

#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::string Number(double v)
{
    char buf[64];
    if (v == static_cast<long long>(v))
        std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v));
    else
        std::snprintf(buf, sizeof buf, "%.4f", v);
    return buf;
}

void Tag(std::string& out, const char* tag, const std::optional<double>& v)
{
    if (v)
        out += std::string("\"") + tag + "\" " + Number(*v) + "\n";
}

} // namespace

std::string FormatTemplate(const TemplateSpec& spec)
{
    std::string out = "\"FR\" " + std::to_string(spec.frames.size());
    for (const auto& f : spec.frames)
        out += (spec.frames.size() > 4 ? "\n  \"" : " \"") + f + "\"";
    out += "\n";
    if (spec.fps)
        out += "\"SP\" " + Number(*spec.fps) + "\n";
    if (spec.loopStart)
        out += "\"FF\" " + std::to_string(*spec.loopStart) + "\n";
    Tag(out, "IMW", spec.imw);
    Tag(out, "IMH", spec.imh);
    Tag(out, "IMX", spec.imx);
    Tag(out, "IMY", spec.imy);
    Tag(out, "SIX", spec.six);
    Tag(out, "SIY", spec.siy);
    if (spec.additive)
        out += "\"INT\"\n";
    if (!spec.imf.empty())
        out += "\"IMF\" \"" + spec.imf + "\"\n";
    return out;
}

std::string FormatFrameSizes(const std::vector<FrameSizes>& sizes)
{
    std::string out;
    for (const auto& s : sizes) {
        auto line = [&](const char* tag, const std::optional<double>& v) {
            if (v)
                out += std::string("\"") + tag + "\" " + std::to_string(s.frame) + " " + Number(*v) + "\n";
        };
        line("IMW", s.imw);
        line("IMH", s.imh);
        line("IMX", s.imx);
        line("IMY", s.imy);
        line("SIX", s.six);
        line("SIY", s.siy);
    }
    return out;
}

DataDir::DataDir(std::string root, std::string sourceDir)
    : m_root(std::move(root)), m_sourceDir(std::move(sourceDir))
{
}

std::string DataDir::FullPath(const std::string& dataPath) const
{
    std::string p = dataPath;
    for (char& c : p)
        if (c == '\\')
            c = '/';
    return m_root + "/" + p;
}

bool DataDir::Fail(const std::string& what)
{
    if (m_error.empty())
        m_error = what;
    return false;
}

bool DataDir::Prepare(const std::string& dataPath, std::string& full)
{
    full = FullPath(dataPath);
    std::error_code ec;
    fs::create_directories(fs::path(full).parent_path(), ec);
    if (ec)
        return Fail("cannot create the directory of " + dataPath);
    m_written.push_back(dataPath);
    return true;
}

bool DataDir::WriteBytes(const std::string& dataPath, const void* bytes, size_t count)
{
    std::string full;
    if (!Prepare(dataPath, full))
        return false;
    FILE* f = std::fopen(full.c_str(), "wb");
    if (!f)
        return Fail("cannot write " + dataPath);
    bool ok = std::fwrite(bytes, 1, count, f) == count;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? true : Fail("cannot write " + dataPath);
}

bool DataDir::WriteText(const std::string& dataPath, const std::string& text)
{
    return WriteBytes(dataPath, text.data(), text.size());
}

bool DataDir::WriteScrambled(const std::string& dataPath, const std::string& text)
{
    std::string full;
    if (!Prepare(dataPath, full))
        return false;
    FILE* f = std::fopen(full.c_str(), "wb");
    if (!f)
        return Fail("cannot write " + dataPath);
    FileKey key(dataPath.c_str());
    bool ok = ::WriteBytes(f, text.data(), static_cast<int>(text.size()), &key) == static_cast<int>(text.size());
    ok = (std::fclose(f) == 0) && ok;
    return ok ? true : Fail("cannot write " + dataPath);
}

bool DataDir::WritePicture(const std::string& dataPath, Canvas& canvas, PictureFormat format)
{
    std::string full;
    if (!Prepare(dataPath, full))
        return false;
    std::vector<uint8_t> rgba = canvas.Rgba();
    int w = canvas.Width(), h = canvas.Height();
    bool ok = false;
    switch (format) {
    case PictureFormat::Png:
        ok = WritePngFile(full, rgba, w, h);
        break;
    case PictureFormat::Jpeg:
        ok = WriteJpegFile(full, rgba, w, h, 90);
        break;
    case PictureFormat::JpegWithAlpha: {
        ok = WriteJpegFile(full, rgba, w, h, 90);
        size_t dot = dataPath.rfind('.');
        std::string alphaPath = dataPath.substr(0, dot) + "_A" + dataPath.substr(dot);
        std::string alphaFull;
        ok = ok && Prepare(alphaPath, alphaFull) && WriteJpegAlphaFile(alphaFull, rgba, w, h, 95);
        break;
    }
    case PictureFormat::Gif:
        ok = WriteGifFile(full, rgba, w, h);
        break;
    case PictureFormat::Bmp:
        ok = WriteBmpFile(full, rgba, w, h);
        break;
    }
    return ok ? true : Fail("cannot write the picture " + dataPath);
}

bool DataDir::WriteTemplate(const std::string& dataPath, const TemplateSpec& spec)
{
    if (!spec.imf.empty() && !WriteText(spec.imf, FormatFrameSizes(spec.perFrame)))
        return false;
    return WriteText(dataPath, FormatTemplate(spec));
}

bool DataDir::WriteSingle(const std::string& stem, Canvas& canvas, TemplateSpec spec, PictureFormat format)
{
    const char* ext = ".png";
    if (format == PictureFormat::Jpeg || format == PictureFormat::JpegWithAlpha)
        ext = ".jpg";
    else if (format == PictureFormat::Gif)
        ext = ".gif";
    else if (format == PictureFormat::Bmp)
        ext = ".bmp";
    std::string picture = stem + ext;
    if (!WritePicture(picture, canvas, format))
        return false;
    spec.frames = {picture};
    if (!spec.imw)
        spec.imw = canvas.Width();
    if (!spec.imh)
        spec.imh = canvas.Height();
    return WriteTemplate(stem + ".img", spec);
}
