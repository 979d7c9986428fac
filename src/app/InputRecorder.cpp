#include "app/InputRecorder.h"

#include "core/DataDirectories.h"
#include "platform/Messages.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

namespace fs = std::filesystem;

// 64-bit FNV-1a: enough to tell one set of files from another.
void Mix(uint64_t& h, const char* bytes, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        h ^= static_cast<uint8_t>(bytes[i]);
        h *= 1099511628211ull;
    }
}

void MixTree(uint64_t& h, const fs::path& root, const fs::path& skip)
{
    std::error_code error;
    std::vector<fs::path> files;
    fs::recursive_directory_iterator it(root, fs::directory_options::follow_directory_symlink, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_regular_file(error) || it->path().extension() == ".log")
            continue;
        if (!skip.empty() && fs::equivalent(it->path(), skip, error))
            continue;
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    char buf[1 << 16];
    for (const fs::path& file : files) {
        const std::string name = fs::relative(file, root, error).generic_string();
        Mix(h, name.c_str(), name.size() + 1);
        std::ifstream in(file, std::ios::binary);
        while (in.read(buf, sizeof buf) || in.gcount() > 0)
            Mix(h, buf, static_cast<size_t>(in.gcount()));
    }
}

}  // namespace

std::string InputRecorder::DigestStart(const std::string& skip)
{
    uint64_t h = 14695981039346656037ull;
    MixTree(h, fs::current_path(), skip);
    const std::string& player = GetWritableDirectory();
    std::error_code error;
    if (!player.empty() && !fs::equivalent(player, fs::current_path(), error))
        MixTree(h, player, skip);
    char text[17];
    std::snprintf(text, sizeof text, "%016" PRIx64, h);
    return text;
}

bool InputRecorder::MatchesStart(const std::string& recorded, const std::string& here, std::string* why)
{
    if (recorded.empty() || recorded == here)
        return true;
    if (why)
        *why = "the recording was made with other data, profiles or settings than these (digest " + recorded +
               ", here " + here + "): its replay would go another way. Replay it from the same start.";
    return false;
}

InputRecorder::~InputRecorder()
{
    if (m_file)
        std::fclose(m_file);
}

bool InputRecorder::Open(const std::string& path, uint32_t seed, uint32_t stepMs, const std::string& digest)
{
    m_file = std::fopen(path.c_str(), "w");
    if (!m_file)
        return false;
    m_path = path;
    m_step = stepMs;
    std::fprintf(m_file,
                 "# Brimvale input recording; replay: brimvale --headless --script FILE\n"
                 "# (from the same start: the same data, profiles and settings)\n"
                 "seed %" PRIu32 "\nstep %" PRIu32 "\n",
                 seed, stepMs);
    if (!digest.empty())
        std::fprintf(m_file, "data %s\n", digest.c_str());
    return true;
}

void InputRecorder::Note(const Message& m, int64_t frame)
{
    if (!m_file)
        return;
    int32_t x = MouseX(m.lParam), y = MouseY(m.lParam);
    switch (m.type) {
    case WM_MOUSEMOVE:
        std::fprintf(m_file, "at %" PRId64 " move %d %d\n", frame, x, y);
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
        bool down = m.type == WM_LBUTTONDOWN || m.type == WM_RBUTTONDOWN || m.type == WM_MBUTTONDOWN;
        const char* button = m.type <= WM_LBUTTONUP ? "left" : m.type <= WM_RBUTTONUP ? "right" : "middle";
        std::fprintf(m_file, "at %" PRId64 " %s %d %d %s\n", frame, down ? "down" : "up", x, y, button);
        break;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        bool down = m.type == WM_KEYDOWN || m.type == WM_SYSKEYDOWN;
        std::fprintf(m_file, "at %" PRId64 " %s %u\n", frame, down ? "key-down" : "key-up",
                     static_cast<unsigned>(m.wParam & 0xFF));
        break;
    }
    default:
        break;
    }
}

void InputRecorder::NoteStep(int64_t frame, float stepMs)
{
    uint32_t step = static_cast<uint32_t>(std::lround(stepMs));
    if (!m_file || step == m_step || step == 0)
        return;
    m_step = step;
    std::fprintf(m_file, "at %" PRId64 " step %" PRIu32 "\n", frame, step);
}

void InputRecorder::Close(int64_t frame)
{
    if (!m_file)
        return;
    std::fprintf(m_file, "at %" PRId64 " quit\n", frame);
    std::fclose(m_file);
    m_file = nullptr;
}
