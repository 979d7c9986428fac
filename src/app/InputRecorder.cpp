#include "app/InputRecorder.h"

#include "platform/Messages.h"

#include <cinttypes>
#include <cmath>

InputRecorder::~InputRecorder()
{
    if (m_file)
        std::fclose(m_file);
}

bool InputRecorder::Open(const std::string& path, uint32_t seed, uint32_t stepMs)
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
