#pragma once
#include "datagen/Canvas.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Per-frame values of an "IMF" file.
struct FrameSizes {
    int frame = 0;
    std::optional<double> imw, imh, imx, imy, six, siy;
};

// The contents of one image template (".img"). Everything left unset is not
// written, so the game's defaults apply.
struct TemplateSpec {
    std::vector<std::string> frames;   // picture files, data paths
    std::optional<double> fps;         // "SP"
    std::optional<int> loopStart;      // "FF"
    std::optional<double> imw, imh, imx, imy, six, siy;
    bool additive = false;             // "INT"
    std::string imf;                   // per-frame size file, data path
    std::vector<FrameSizes> perFrame;  // its contents
};

// How a picture is stored.
enum class PictureFormat { Png, Jpeg, JpegWithAlpha, Gif, Bmp };

// The data directory being generated. Paths are data paths as the game names
// them ("Menu\\PlayBtnI.img"); they are written below the root with slashes.
// Every write records the file, and the first failure is kept for the report.
class DataDir {
public:
    DataDir(std::string root, std::string sourceDir);

    const std::string& Root() const { return m_root; }
    const std::string& SourceDir() const { return m_sourceDir; }
    std::string FullPath(const std::string& dataPath) const;

    bool WriteBytes(const std::string& dataPath, const void* bytes, size_t count);
    bool WriteText(const std::string& dataPath, const std::string& text);
    // Scrambled with the key of the file's own name.
    bool WriteScrambled(const std::string& dataPath, const std::string& text);
    // Stores the picture; with JpegWithAlpha also its "_A" companion.
    bool WritePicture(const std::string& dataPath, Canvas& canvas, PictureFormat format = PictureFormat::Png);
    bool WriteTemplate(const std::string& dataPath, const TemplateSpec& spec);

    // Picture and template in one step: "<stem>.png" + "<stem>.img" with one
    // frame whose IMW/IMH are the canvas size.
    bool WriteSingle(const std::string& stem, Canvas& canvas, TemplateSpec spec = {},
                     PictureFormat format = PictureFormat::Png);

    // Templates that "preload.cfg" lists, in the order added.
    void AddPreload(const std::string& templatePath) { m_preload.push_back(templatePath); }
    const std::vector<std::string>& Preload() const { return m_preload; }

    const std::vector<std::string>& Written() const { return m_written; }
    // Adds a file another DataDir wrote under the same root.
    void Record(const std::string& dataPath) { m_written.push_back(dataPath); }
    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }
    bool Fail(const std::string& what);

    // Records a file about to be written by the caller and creates its directory;
    // `full` receives the path to write to.
    bool Prepare(const std::string& dataPath, std::string& full);

private:
    std::string m_root;
    std::string m_sourceDir;
    std::vector<std::string> m_preload;
    std::vector<std::string> m_written;
    std::string m_error;
};

// Formats a template file's text (exposed for the tests).
std::string FormatTemplate(const TemplateSpec& spec);
std::string FormatFrameSizes(const std::vector<FrameSizes>& sizes);
