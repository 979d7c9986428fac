#pragma once
#include <string>

// A failure that ends the game. The player sees it where they look: in a
// message box when a display exists (a game started from the desktop's menu
// has no terminal), else on standard error; the error log keeps it too
// (`logPath` data-relative, null: no log). The caller then exits non-zero.
void ReportFatalError(const char* caption, const std::string& text, const char* logPath);

// What to tell the player about a file or folder of the game that is missing.
std::string MissingPathAdvice(const std::string& path);

// The game's words when no display answers.
std::string NoDisplayText();

// The last failure the game logged before it ends with the error box.
void NoteFatalError(const std::string& text);
const std::string& LastFatalError();
