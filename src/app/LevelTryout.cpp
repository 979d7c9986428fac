#include "app/LevelTryout.h"

#include "app/GameApp.h"
#include "app/ScriptRunner.h"
#include "core/DataDirectories.h"
#include "core/FileSys.h"
#include "game/GMLevelCheck.h"
#include "world/LevelSource.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// The error of a source that never compiled stays until the window is closed.
constexpr float kStayMs = 24.0f * 3600.0f * 1000.0f;

}  // namespace

LevelTryout::LevelTryout(std::string sourcePath) : m_source(std::move(sourcePath)) {}

LevelTryout::~LevelTryout()
{
    Serve("", "", "");
    if (!m_scratch.empty()) {
        SetWritableDirectory("");
        std::error_code ec;
        std::filesystem::remove_all(m_scratch, ec);
    }
}

bool LevelTryout::UseScratchFiles()
{
    std::error_code ec;
    std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    std::string pattern = ((ec ? std::filesystem::path("/tmp") : base) / "brimvale-try-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return false;
    m_scratch = pattern;
    SetWritableDirectory(m_scratch);
    return true;
}

void LevelTryout::Serve(const std::string& level, const std::string& storyName, const std::string& story)
{
    if (!m_levelName.empty())
        ForgetMemoryFile(m_levelName.c_str());
    if (!m_storyName.empty())
        ForgetMemoryFile(m_storyName.c_str());
    m_levelText = level;
    m_storyName = storyName;
    m_storyText = story;
    if (level.empty())
        return;
    SetMemoryFile(m_levelName.c_str(), ScrambleForFile(m_levelName.c_str(), level));
    if (!storyName.empty())
        SetMemoryFile(storyName.c_str(), ScrambleForFile(storyName.c_str(), story));
}

bool LevelTryout::Compile(std::string* error, const LevelMeasures& measures)
{
    std::ifstream in(m_source, std::ios::binary);
    if (!in) {
        *error = m_source + ": cannot be read";
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    // Named by its file name alone: the compiler takes the level's name from it.
    const std::string name = std::filesystem::path(m_source).filename().string();
    CompiledLevel level;
    if (!CompileLevelSource(name, text.str(), DataSetPictureSize, level, *error, measures))
        return false;
    const std::string stem = name.substr(0, name.find_last_of('.'));
    if (!m_levelName.empty() && m_levelName != stem + ".lvl")
        Serve("", "", "");
    m_levelName = stem + ".lvl";
    Serve(level.levelText, level.storyFile, level.storyText);
    return true;
}

bool LevelTryout::Loads(GameApp& app, std::string* error)
{
    GMLevelRun run;
    GMProfile profile;
    run.SetProfile(&profile);
    LevelLoadNotes notes;
    if (run.LoadLevel(m_levelName.c_str(), &app.m_images, app.GetDevice(), nullptr, nullptr, &notes) == kLoadOk)
        return true;
    *error = m_levelName + " (compiled from " + std::filesystem::path(m_source).filename().string() +
             ") does not load: " + (notes.failure.empty() ? "the loader refused it" : notes.failure);
    return false;
}

void LevelTryout::ShowError(GameApp& app, const std::string& text)
{
    app.WriteErrorLog(text.c_str());
    app.m_notice.Show(text, m_failed ? kStayMs : NoticeBanner::kShowMs);
    if (app.m_script)
        app.m_script->NoticeShown(text);
}

void LevelTryout::Start(GameApp& app)
{
    std::string error;
    if (!Compile(&error, GMLevelCheck::Measures(&app.m_images, app.GetDevice())) || !Loads(app, &error)) {
        m_failed = true;
        app.m_modes.SetHandlers([](float, float, uint32_t, float) { return 0; }, [] { return 0; });
        app.m_modes.SetTransition(0);  // no mode fades in: the screen stays empty but for the error
        ShowError(app, error + ". Fix the source and try it again; closing the window ends this try.");
        return;
    }
    // A player of its own, kept in the scratch folder, whose day is the tried one.
    GMProfile& player = app.m_profile;
    player.ClearProfile();
    player.SetDisplayName("Level maker");
    player.SetFileName("Try.prf");
    player.AddLevel(m_levelName.c_str());
    player.SetCurrentLevel(m_levelName.c_str());
    app.m_settings.profileFile = "Try.prf";
    app.m_levelRun.reset(new (std::nothrow) GMLevelRun);
    if (!app.m_levelRun) {
        m_failed = true;
        return;
    }
    if (app.m_options.seed >= 0)
        app.m_levelRun->FixSeed(static_cast<uint32_t>(app.m_options.seed));
    app.m_levelRun->Initialise();
    app.SetGameMode(kModeContinueGame);
}

void LevelTryout::Reload(GameApp& app)
{
    const std::string level = m_levelText, storyName = m_storyName, story = m_storyText;
    std::string error;
    if (!Compile(&error, GMLevelCheck::Measures(&app.m_images, app.GetDevice()))) {
        ShowError(app, error);
        return;
    }
    std::unique_ptr<GMLevelRun> fresh(new (std::nothrow) GMLevelRun);
    if (!fresh)
        return;
    fresh->SetProfile(&app.m_profile);
    if (app.m_options.seed >= 0)
        fresh->FixSeed(static_cast<uint32_t>(app.m_options.seed));
    fresh->Initialise();
    LevelLoadNotes notes;
    if (fresh->LoadLevel(m_levelName.c_str(), &app.m_images, app.GetDevice(), &app.m_sound, nullptr, &notes) !=
        kLoadOk) {
        Serve(level, storyName, story);  // the day in play stays what it was
        ShowError(app, m_levelName + " does not load: " +
                           (notes.failure.empty() ? "the loader refused it" : notes.failure));
        return;
    }
    app.m_profile.SetCurrentLevel(m_levelName.c_str());
    app.m_levelRun = std::move(fresh);
    // Replaces an error still shown from an earlier try.
    app.m_notice.Show(std::filesystem::path(m_source).filename().string() + ": compiled again, the day starts over");
    app.m_modes.RequestResetTiming();
    app.m_modes.StartFadeIn();
}
