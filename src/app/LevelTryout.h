#pragma once
#include "world/LevelSource.h"

#include <string>

class GameApp;

// `brimvale --try SOURCE`: a level maker's loop. The source is compiled in the
// game and its day starts at once, from its story screen, for a throwaway
// player whose files live in a scratch folder: the player's own profiles,
// settings and highscores are never written. F5 during the day compiles the
// source again and restarts the day; a source that does not compile is shown
// with its file and line while the previous version keeps playing.
class LevelTryout {
public:
    explicit LevelTryout(std::string sourcePath);
    ~LevelTryout();
    LevelTryout(const LevelTryout&) = delete;
    LevelTryout& operator=(const LevelTryout&) = delete;

    // Once the data directory is entered and before anything is read or
    // written: the scratch folder takes the player's files.
    bool UseScratchFiles();
    // In place of the logo: the tried day, or the error over an empty screen
    // until the window is closed.
    void Start(GameApp& app);
    // F5 in the tried day: compiles again and restarts the day, or shows why not.
    void Reload(GameApp& app);
    // True when the source never made a day (the exit status says so).
    bool Failed() const { return m_failed; }

    // Compiles the source and serves its level (and story) from memory under
    // their own names; false with `error` ("level3.txt:14: ...") and the
    // previous version still served. The game passes what its pictures
    // measure, so that bubbles and icons stand as in the generated days.
    bool Compile(std::string* error, const LevelMeasures& measures = {});
    // The served level's file name ("level3.lvl"), empty before a compile.
    const std::string& LevelName() const { return m_levelName; }

private:
    void Serve(const std::string& level, const std::string& storyName, const std::string& story);
    // Loads the served day the way the game does; false with the loader's reason.
    bool Loads(GameApp& app, std::string* error);
    void ShowError(GameApp& app, const std::string& text);

    std::string m_source;   // as given
    std::string m_scratch;  // the throwaway player's folder
    std::string m_levelName, m_levelText, m_storyName, m_storyText;
    bool m_failed = false;
};
