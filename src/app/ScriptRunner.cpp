#include "app/ScriptRunner.h"

#include "app/GameApp.h"
#include "app/Input.h"
#include "core/FileSys.h"
#include "core/TaggedFile.h"
#include "platform/InputInjection.h"
#include "platform/Window.h"
#include "platform/Messages.h"

#include <cctype>
#include <cmath>
#include <cerrno>
#include <sys/stat.h>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace {

bool ToInt(const std::string& s, long* out)
{
    if (s.empty())
        return false;
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    // Every number is used as a 32-bit one.
    if (*end || v < INT32_MIN || v > INT32_MAX)
        return false;
    *out = v;
    return true;
}

int ButtonByName(const std::string& name)
{
    if (name.empty() || name == "left")
        return 1;
    if (name == "middle")
        return 2;
    if (name == "right")
        return 3;
    return 0;
}

// "alt+enter" is Alt held around the key; the rest names the key.
bool SplitAlt(const std::string& name, std::string* key)
{
    bool alt = name.size() > 4 && (name.compare(0, 4, "alt+") == 0 || name.compare(0, 4, "Alt+") == 0);
    *key = alt ? name.substr(4) : name;
    return alt;
}

// Bounds that keep a shared script or recording from running for ever: a
// recording of about two days of play at 60 frames a second, a day of game
// time for one wait, a second of game time per frame.
constexpr long kMaxFrames = 10000000;
constexpr long kMaxWaitMs = 24L * 3600 * 1000;
constexpr long kMaxStepMs = 1000;

struct Shape {
    const char* verb;
    size_t minArgs;
    size_t maxArgs;
};

const Shape kShapes[] = {
    {"window-shot", 1, 1}, {"window-click", 2, 3},
    {"frames", 1, 1}, {"wait", 1, 1}, {"move", 2, 2}, {"click", 2, 3}, {"down", 2, 3}, {"up", 2, 3},
    {"key", 1, 1},    {"type", 1, 1}, {"shot", 1, 1}, {"expect-mode", 1, 1}, {"expect-file", 1, 1}, {"quit", 0, 0},
    {"expect-notice", 1, 1}, {"expect-link", 1, 1},
    {"expect", 3, 3}, {"click-goods", 1, 2}, {"click-order", 1, 2}, {"click-bonus", 1, 2}, {"click-police", 0, 1},
    {"click-ufo", 1, 2}, {"click-lane", 1, 2}, {"click-widget", 1, 2}, {"click-button", 1, 2}, {"serve", 1, 1},
    {"seed", 1, 1}, {"step", 1, 1}, {"no-draw", 0, 0}, {"at", 1, 5}, {"data", 1, 1}, {"copy-file", 2, 2},
};

// The input a recording gives at a frame: verb and how many numbers follow
// (a mouse button's name for down and up).
struct AtEvent {
    const char* verb;
    size_t args;
};

const AtEvent kAtEvents[] = {{"move", 2}, {"down", 3}, {"up", 3}, {"key-down", 1}, {"key-up", 1},
                             {"step", 1}, {"quit", 0}};

bool ValidAt(const std::vector<std::string>& args)
{
    long n = 0;
    if (!ToInt(args[0], &n) || n < 0 || n > kMaxFrames)
        return false;
    if (args.size() == 1)
        return true;
    for (const AtEvent& e : kAtEvents) {
        if (args[1] != e.verb)
            continue;
        if (args.size() != e.args + 2)
            return false;
        for (size_t i = 2; i < args.size(); ++i) {
            bool button = (args[1] == "down" || args[1] == "up") && i == 4;
            if (button ? !ButtonByName(args[i]) : !ToInt(args[i], &n) || n < INT32_MIN || n > INT32_MAX)
                return false;
            if (args[1] == "step" && (n < 1 || n > kMaxStepMs))
                return false;
        }
        return true;
    }
    return false;
}

// Frames allowed between asking the game to close and its loop ending.
constexpr int kClosingFrames = 200;

// The object a click-by-object command looks for, and where its button name is.
struct ObjectClick {
    const char* verb;
    const char* what;
    bool takesArg;
};

const ObjectClick kObjectClicks[] = {
    {"click-goods", "goods", true},   {"click-order", "order", true}, {"click-bonus", "bonus", true},
    {"click-police", "police", false}, {"click-ufo", "ufo", true},    {"click-lane", "lane", true},
    {"click-widget", "widget", true}, {"click-button", "button", true},
};

const ObjectClick* FindObjectClick(const std::string& verb)
{
    for (const ObjectClick& o : kObjectClicks) {
        if (verb == o.verb)
            return &o;
    }
    return nullptr;
}

const char* const kOperators[] = {"==", "!=", "<=", ">=", "<", ">"};

bool Compare(double actual, const std::string& op, double expected)
{
    if (op == "==")
        return actual == expected;
    if (op == "!=")
        return actual != expected;
    if (op == "<")
        return actual < expected;
    if (op == "<=")
        return actual <= expected;
    if (op == ">")
        return actual > expected;
    return actual >= expected;
}

std::string Number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

}  // namespace

bool ScriptRunner::Load(const char* path, uint32_t stepMs, const std::string& shotsDir)
{
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "brimvale: cannot read the script \"%s\"\n", path);
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!Parse(text.str(), &error)) {
        std::fprintf(stderr, "brimvale: %s: %s\n", path, error.c_str());
        return false;
    }
    m_step = stepMs > 0 ? stepMs : 16;
    m_shotsDir = shotsDir;
    if (!m_shotsDir.empty() && ::mkdir(m_shotsDir.c_str(), 0755) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "brimvale: cannot make the screenshot directory \"%s\"\n", m_shotsDir.c_str());
        return false;
    }
    m_clock = std::make_unique<VirtualClock>(0);
    return true;
}

void ScriptRunner::Begin(uint32_t stepMs, const std::string& shotsDir, ScriptSource* source)
{
    m_step = stepMs > 0 ? stepMs : 16;
    m_shotsDir = shotsDir;
    if (!m_shotsDir.empty())
        ::mkdir(m_shotsDir.c_str(), 0755);
    m_source = source;
    m_clock = std::make_unique<VirtualClock>(0);
}

bool ScriptRunner::Parse(const std::string& text, std::string* error)
{
    std::istringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        ++number;
        std::string line = raw.substr(0, raw.find('#'));
        std::istringstream words(line);
        Command c;
        c.line = number;
        c.text = raw;
        if (!(words >> c.verb))
            continue;
        if (c.verb == "type" || c.verb == "expect-notice" || c.verb == "expect-link") {
            // The rest of the line is the text, spaces included.
            std::string rest;
            std::getline(words, rest);
            size_t start = rest.find_first_not_of(' ');
            c.args.push_back(start == std::string::npos ? "" : rest.substr(start));
        } else {
            for (std::string w; words >> w;)
                c.args.push_back(w);
        }
        const Shape* shape = nullptr;
        for (const Shape& s : kShapes) {
            if (c.verb == s.verb)
                shape = &s;
        }
        bool ok = shape && c.args.size() >= shape->minArgs && c.args.size() <= shape->maxArgs;
        long n = 0;
        if (ok && (c.verb == "frames" || c.verb == "wait" || c.verb == "serve" || c.verb == "expect-mode" ||
                   c.verb == "step")) {
            const long most = c.verb == "frames"                     ? kMaxFrames
                              : c.verb == "wait" || c.verb == "serve" ? kMaxWaitMs
                              : c.verb == "step"                      ? kMaxStepMs
                                                                      : INT32_MAX;
            ok = ToInt(c.args[0], &n) && n >= (c.verb == "step" ? 1 : 0);
            if (ok && n > most) {
                *error = "line " + std::to_string(number) + ": \"" + raw + "\" is more than " +
                         std::to_string(most) + (c.verb == "frames" ? " frames" : " ms");
                return false;
            }
        }
        if (ok && c.verb == "data")
            m_dataDigest = c.args[0];
        if (ok && c.verb == "seed") {
            ok = ToInt(c.args[0], &n) && n >= 0;
            if (ok)
                m_seed = n & 0xFFFFFFFF;  // known before the first day starts
        }
        if (ok && c.verb == "at") {
            ok = ValidAt(c.args);
            if (!ok && std::strtod(c.args[0].c_str(), nullptr) > static_cast<double>(kMaxFrames)) {
                *error = "line " + std::to_string(number) + ": \"" + raw + "\" is past frame " +
                         std::to_string(kMaxFrames);
                return false;
            }
        }
        if (ok && (c.verb == "move" || c.verb == "click" || c.verb == "down" || c.verb == "up" ||
                   c.verb == "window-click"))
            ok = ToInt(c.args[0], &n) && ToInt(c.args[1], &n) && (c.args.size() < 3 || ButtonByName(c.args[2]));
        if (ok && (c.verb == "expect-notice" || c.verb == "expect-link"))
            ok = !c.args[0].empty();
        if (ok && c.verb == "expect") {
            bool known = false;
            for (const char* op : kOperators)
                known = known || c.args[1] == op;
            char* end = nullptr;
            std::strtod(c.args[2].c_str(), &end);
            ok = known && end && *end == 0;
        }
        if (ok) {
            if (const ObjectClick* o = FindObjectClick(c.verb)) {
                size_t buttonArg = o->takesArg ? 1 : 0;
                ok = c.args.size() >= buttonArg && c.args.size() <= buttonArg + 1 &&
                     (c.args.size() == buttonArg || ButtonByName(c.args[buttonArg]));
            }
        }
        bool shift = false;
        if (ok && c.verb == "key") {
            std::string key;
            SplitAlt(c.args[0], &key);
            ok = KeyByName(key, &shift) != 0;
        }
        if (ok && c.verb == "type") {
            for (char ch : c.args[0])
                ok = ok && KeyForChar(ch, &shift) != 0;
        }
        if (!ok) {
            *error = "line " + std::to_string(number) + ": cannot understand \"" + raw + "\"";
            return false;
        }
        m_commands.push_back(std::move(c));
    }
    return true;
}

uint32_t ScriptRunner::KeyForChar(char c, bool* shift)
{
    for (int withShift = 0; withShift < 2; ++withShift) {
        for (uint32_t vk = 1; vk < 256; ++vk) {
            if (vk >= 96 && vk <= 111)
                continue;  // prefer the main keys to the keypad
            if (TranslateKey(vk, withShift != 0) == static_cast<unsigned char>(c)) {
                *shift = withShift != 0;
                return vk;
            }
        }
    }
    return 0;
}

uint32_t ScriptRunner::KeyByName(const std::string& name, bool* shift)
{
    *shift = false;
    std::string n;
    for (char c : name)
        n.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (n.rfind("shift+", 0) == 0) {
        bool ignored = false;
        uint32_t vk = KeyByName(n.substr(6), &ignored);
        *shift = vk != 0;
        return vk;
    }
    static const struct {
        const char* name;
        uint32_t vk;
    } kNames[] = {{"escape", VK_ESCAPE}, {"esc", VK_ESCAPE}, {"enter", VK_RETURN}, {"return", VK_RETURN},
                  {"backspace", VK_BACK}, {"space", VK_SPACE}, {"tab", VK_TAB}, {"shift", VK_SHIFT},
                  {"alt", VK_MENU}, {"ctrl", VK_CONTROL}};
    for (const auto& k : kNames) {
        if (n == k.name)
            return k.vk;
    }
    if (n.size() >= 2 && n[0] == 'f' && std::isdigit(static_cast<unsigned char>(n[1]))) {
        long f = 0;
        if (ToInt(n.substr(1), &f) && f >= 1 && f <= 12)
            return VK_F1 + static_cast<uint32_t>(f - 1);
    }
    if (n.size() == 1 && std::isalpha(static_cast<unsigned char>(n[0])))
        return static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(n[0])));
    if (n.size() == 1 && std::isdigit(static_cast<unsigned char>(n[0])))
        return static_cast<uint32_t>(n[0]);
    long code = 0;
    if (ToInt(n, &code) && code > 0 && code < 256)
        return static_cast<uint32_t>(code);
    return 0;
}

void ScriptRunner::Fail(const Command& c, const std::string& why)
{
    if (m_failure.empty())
        m_failure = "line " + std::to_string(c.line) + ": \"" + c.text + "\": " + why;
}

void ScriptRunner::Close(GameApp& app)
{
    if (m_closing)
        return;
    m_closing = true;
    MessageQueue::Post(app.GetWindow(), WM_CLOSE, 0, 0);
}

bool ScriptRunner::BeforeIdle(GameApp& app)
{
    for (;;) {
        if (m_framesLeft > 0 || m_waitLeft > 0) {
            m_clock->Advance(m_step);
            if (m_waitLeft > 0)
                m_waitLeft -= m_step;
            return true;
        }
        if (m_serveLeft > 0) {
            // A careful player: each frame, the next click that serves the oldest order.
            float x = 0.0f, y = 0.0f;
            if (app.FindClickTarget("serve", "", &x, &y)) {
                int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
                InjectMouseMove(app.GetWindow(), px, py);
                InjectMouseButton(app.GetWindow(), ButtonByName(""), true, px, py);
                InjectMouseButton(app.GetWindow(), ButtonByName(""), false, px, py);
                m_serveLeft -= m_step;
                m_framesLeft = 1;
                return false;
            }
            m_clock->Advance(m_step);
            m_serveLeft -= m_step;
            return true;
        }
        if (m_closing) {
            // The close message was taken but the game runs on: let frames
            // pass, and end the run if it still does not close.
            if (++m_idleWhileClosing == kClosingFrames) {
                if (m_failure.empty())
                    m_failure = "the game did not close when asked";
                MessageQueue::PostQuit(1);
            }
            m_clock->Advance(m_step);
            return true;
        }
        if (m_failure.empty() && m_next >= m_commands.size() && m_source) {
            // The player program looks at this frame and answers; what it said
            // before is done with (a whole game is some 50,000 lines).
            m_commands.clear();
            m_next = 0;
            std::string more, error;
            if (m_source->More(app, &more) && !Parse(more, &error) && m_failure.empty())
                m_failure = "the player gave a line the runner cannot read: " + error;
            if (m_next >= m_commands.size())
                m_source = nullptr;  // nothing more: done
        }
        if (!m_failure.empty() || m_next >= m_commands.size()) {
            Close(app);
            return false;
        }
        const Command& c = m_commands[m_next++];
        ++m_executed;
        if (!Run(c, app))
            return false;
    }
}

void ScriptRunner::AfterFrame(float)
{
    if (m_framesLeft > 0)
        --m_framesLeft;
    m_drawNext = false;
}

// A recorded input: the frames run up to its frame first, then it is given
// exactly as it arrived, with no frame of its own.
bool ScriptRunner::RunAt(const Command& c, GameApp& app)
{
    int64_t frame = std::atol(c.args[0].c_str());
    if (app.FrameCount() < frame) {
        m_framesLeft = frame - app.FrameCount();
        --m_next;  // comes back once those frames have run
        --m_executed;
        return true;
    }
    if (c.args.size() == 1)
        return true;
    Window* w = app.GetWindow();
    const std::string& e = c.args[1];
    auto arg = [&](size_t i) { return std::atoi(c.args[i].c_str()); };
    if (e == "step") {
        if (arg(2) > 0)
            m_step = static_cast<uint32_t>(arg(2));
        return true;
    }
    if (e == "quit") {
        Close(app);
        return false;
    }
    if (e == "move")
        InjectMouseMove(w, arg(2), arg(3));
    else if (e == "down" || e == "up")
        InjectMouseButton(w, ButtonByName(c.args[4]), e == "down", arg(2), arg(3));
    else
        InjectKey(w, static_cast<uint32_t>(arg(2)), e == "key-down");
    return false;
}

// Carries out one command. False when it queued input, which the loop takes
// before the next frame.
bool ScriptRunner::Run(const Command& c, GameApp& app)
{
    Window* w = app.GetWindow();
    auto arg = [&](size_t i) { return std::atoi(c.args[i].c_str()); };
    const std::string& v = c.verb;
    if (v == "copy-file") {
        std::error_code ec;
        std::filesystem::copy_file(c.args[0], c.args[1], std::filesystem::copy_options::overwrite_existing, ec);
        if (ec)
            Fail(c, "cannot copy: " + ec.message());
        return true;
    }
    if (v == "frames") {
        m_framesLeft = arg(0);
        return true;
    }
    if (v == "wait") {
        m_waitLeft = arg(0);
        return true;
    }
    if (v == "serve") {
        m_serveLeft = arg(0);
        return true;
    }
    if (v == "at")
        return RunAt(c, app);
    if (v == "seed" || v == "data")
        return true;  // taken when the script was read
    if (v == "step") {
        m_step = static_cast<uint32_t>(arg(0));
        return true;
    }
    if (v == "no-draw") {
        m_draw = false;
        return true;
    }
    if (v == "shot") {
        if (ShotsEnabled())
            app.RequestShot(ShotPath(c.args[0]));
        m_framesLeft = 1;
        m_drawNext = true;
        return true;
    }
    if (v == "window-shot") {
        // The picture as the window shows it: scaled, letterboxed.
        if (ShotsEnabled() && w)
            w->CaptureNextPresent(ShotPath(c.args[0]).c_str());
        m_framesLeft = 1;
        m_drawNext = true;
        return true;
    }
    if (v == "expect-mode") {
        if (app.Modes().GetCurrentMode() != arg(0))
            Fail(c, "the mode is " + std::to_string(app.Modes().GetCurrentMode()));
        return true;
    }
    if (v == "expect-notice" || v == "expect-link") {
        const std::vector<std::string>& seen = v == "expect-notice" ? m_notices : m_links;
        bool found = false;
        for (const std::string& s : seen)
            found = found || s.find(c.args[0]) != std::string::npos;
        if (!found)
            Fail(c, v == "expect-notice" ? "no such notice was shown" : "no such link was opened");
        return true;
    }
    if (v == "expect-file") {
        if (!FileExists(c.args[0].c_str()))
            Fail(c, "no such file in the data directory");
        return true;
    }
    if (v == "expect") {
        double actual = 0.0;
        if (!app.QueryValue(c.args[0], &actual))
            Fail(c, c.args[0] + " has no value now");
        else if (!Compare(actual, c.args[1], std::strtod(c.args[2].c_str(), nullptr)))
            Fail(c, c.args[0] + " is " + Number(actual));
        return true;
    }
    if (v == "quit") {
        Close(app);
        return false;
    }
    if (const ObjectClick* o = FindObjectClick(v)) {
        // Looked up now, where the object is this frame; then the same clicks
        // as a player's through the message queue.
        std::string arg = o->takesArg ? c.args[0] : "";
        size_t buttonArg = o->takesArg ? 1 : 0;
        float x = 0.0f, y = 0.0f;
        if (!app.FindClickTarget(o->what, arg, &x, &y)) {
            Fail(c, std::string("no ") + o->what + (arg.empty() ? "" : " " + arg) + " on the screen");
            return true;
        }
        int button = ButtonByName(c.args.size() > buttonArg ? c.args[buttonArg] : "");
        int px = static_cast<int>(std::lround(x)), py = static_cast<int>(std::lround(y));
        m_framesLeft = 1;
        InjectMouseMove(w, px, py);
        InjectMouseButton(w, button, true, px, py);
        InjectMouseButton(w, button, false, px, py);
        return false;
    }
    // Input: queued now, taken by the loop, then one frame sees it.
    m_framesLeft = 1;
    if (v == "move") {
        InjectMouseMove(w, arg(0), arg(1));
    } else if (v == "click" || v == "down" || v == "up" || v == "window-click") {
        int button = ButtonByName(c.args.size() > 2 ? c.args[2] : "");
        bool pixels = v == "window-click";
        InjectMouseMove(w, arg(0), arg(1), pixels);
        if (v != "up")
            InjectMouseButton(w, button, true, arg(0), arg(1), pixels);
        if (v != "down")
            InjectMouseButton(w, button, false, arg(0), arg(1), pixels);
    } else if (v == "key" || v == "type") {
        auto press = [&](uint32_t vk, bool shift) {
            if (shift)
                InjectKey(w, VK_SHIFT, true);
            InjectKey(w, vk, true);
            InjectKey(w, vk, false);
            if (shift)
                InjectKey(w, VK_SHIFT, false);
        };
        bool shift = false;
        if (v == "key") {
            std::string key;
            bool alt = SplitAlt(c.args[0], &key);
            if (alt)
                InjectKey(w, VK_MENU, true);
            press(KeyByName(key, &shift), shift);
            if (alt)
                InjectKey(w, VK_MENU, false);
        } else {
            for (char ch : c.args[0]) {
                uint32_t vk = KeyForChar(ch, &shift);
                press(vk, shift);
            }
        }
    }
    return false;
}

void ScriptRunner::WhileInactive(GameApp& app)
{
    if (m_closing || !m_failure.empty() || m_next >= m_commands.size()) {
        Close(app);
        return;
    }
    std::fprintf(stderr, "script: the game was deactivated; its window is brought back\n");
    MessageQueue::Post(app.GetWindow(), WM_ACTIVATEAPP, 1, 0);
}

std::string ScriptRunner::ReadLinkAddress(const char* linkFile)
{
    std::string path = ResolvePath(linkFile);
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line.size() >= 4 && strncasecmp(line.c_str(), "URL=", 4) == 0) {
            std::string url = line.substr(4);
            while (!url.empty() && (url.back() == '\r' || url.back() == ' '))
                url.pop_back();
            return url;
        }
    }
    return std::string();
}

void ScriptRunner::RecordLink(const char* linkFile)
{
    std::string url = ReadLinkAddress(linkFile);
    std::string entry = std::string(linkFile ? linkFile : "") + " -> " + (url.empty() ? "(no address)" : url);
    m_links.push_back(entry);
    std::fprintf(stderr, "script: link not opened: %s\n", entry.c_str());
}

void ScriptRunner::NoticeShown(const std::string& text)
{
    m_notices.push_back(text);
    std::fprintf(stderr, "script: notice: %s\n", text.c_str());
}

void ScriptRunner::Report(int32_t quitCode) const
{
    if (!m_failure.empty())
        std::fprintf(stderr, "script failed at %s\n", m_failure.c_str());
    else if (quitCode != 0)
        std::fprintf(stderr, "script: the game ended with quit code %d after %zu of %zu commands\n", quitCode,
                     m_executed, m_commands.size());
    else
        std::fprintf(stderr, "script: %zu commands, every expectation held\n", m_executed);
}
