#pragma once
#include <string>
#include <vector>

// A template file read back the way the game reads it (plain tagged text, "%i"
// and "%f" numbers, an optional per-frame size file). Used by the previews and
// the tests to check what the generator wrote.
struct TemplateFrame {
    std::string file;
    double imageWidth = 0, imageHeight = 0;  // 0 when the template leaves them to the picture
    double offsetX = 0, offsetY = 0, extraX = 0, extraY = 0;
};

struct TemplateInfo {
    std::vector<TemplateFrame> frames;
    double fps = 30;
    int loopStart = 0;
    bool additive = false;
    std::string imf;
    bool imfRead = false;
    double height = 0;   // IMH, or the largest per-frame IMH
};

// dataRoot is the data directory; dataPath uses backslashes. False when the
// file cannot be opened or names no frame.
bool ReadTemplateFile(const std::string& dataRoot, const std::string& dataPath, TemplateInfo& out);

// The data path with slashes under the root.
std::string DataFilePath(const std::string& dataRoot, const std::string& dataPath);
