#pragma once
#include <cstdint>

class DisplayDevice;
class GMHighscoreTable;
class GMImage;
class GMImageManager;
class GMInteractiveObj;
class GMObjectArray;
class GMProfile;
class GMProfileList;
class HelpPages;

// Everything a menu screen is built from and drawn with. The game-mode machine
// owns one of these and keeps its fields current; the screens only read it,
// apart from the two image slots and the selected level button, which the
// builders fill (each holding one reference).
struct MenuContext {
    GMObjectArray* widgets = nullptr;
    GMImageManager* manager = nullptr;
    DisplayDevice* device = nullptr;

    // The screen's animated background and its font (or second picture).
    GMImage* background = nullptr;
    GMImage* font = nullptr;
    // Fraction of the builder's work done, for the loading bar; may be null.
    float* progress = nullptr;

    GMProfile* profile = nullptr;
    GMProfileList* profileList = nullptr;
    GMHighscoreTable* highscores = nullptr;
    HelpPages* help = nullptr;

    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    bool windowed = false;
    float musicVolume = 0.8f;
    float effectsVolume = 1.0f;
    const char* versionText = nullptr;
    const char* typedName = nullptr;

    // The preselected level button of the level selection (a held reference).
    GMInteractiveObj* selectedLevel = nullptr;

    // The level's own drawing under the pause menu; null before a level runs.
    void (*drawLevel)(void* context, DisplayDevice* device) = nullptr;
    void* levelContext = nullptr;
};

// Builders: 0, or the first failing step's code (1 object not created,
// 2 picture not loaded, 3 list full). Dialog builders add to the widgets of
// the screen below and open their group.
int32_t BuildMainMenu(MenuContext& ctx);
int32_t BuildNewGameQuestion(MenuContext& ctx);
int32_t BuildHighscores(MenuContext& ctx);
int32_t BuildHelp(MenuContext& ctx);
int32_t BuildOptions(MenuContext& ctx);
int32_t BuildExitQuestion(MenuContext& ctx);
int32_t BuildProfiles(MenuContext& ctx);
int32_t BuildNewProfile(MenuContext& ctx);
int32_t BuildSelectLevel(MenuContext& ctx);
int32_t BuildPause(MenuContext& ctx);

// Draw handlers, called between BeginScene and EndScene.
void DrawMainMenu(MenuContext& ctx);
void DrawProfilesScreen(MenuContext& ctx);
void DrawNewProfile(MenuContext& ctx, uint32_t systemMs);
void DrawOptions(MenuContext& ctx, bool overPause);
void DrawHighscoresScreen(MenuContext& ctx);
void DrawHelpScreen(MenuContext& ctx);
void DrawSelectLevel(MenuContext& ctx);
void DrawPause(MenuContext& ctx);

// The profile dialog around the common menu input: rows without a profile
// take no clicks; afterwards the selected row stays highlighted and the list's
// scroll bar takes the pointer.
void ProfileDialogBeforeInput(MenuContext& ctx);
void ProfileDialogAfterInput(MenuContext& ctx, float x, float y, int32_t clickFlags);
// Command 24: deletes the selected profile with its file, only while at least
// two exist. True when one was deleted.
bool DeleteSelectedProfile(MenuContext& ctx);
// Leaving the new-profile dialog: its widgets and the profile dialog's go.
void CloseNewProfileDialog(MenuContext& ctx);
// The profile steps of the mode switch, for the game-mode machine:
// entering the profile dialog fills the list (current profile selected) and
// lays it out; entering the new-profile dialog adds the blank entry for the
// typed name (after clearing the list unless coming from the profile dialog)
// and returns its index; leaving it with a typed name creates that profile
// and makes it current; leaving the profile dialog makes the selected entry
// the current profile. The Fill/Enter steps return the first failing code.
int32_t EnterProfileDialog(MenuContext& ctx);
int32_t EnterNewProfileDialog(MenuContext& ctx, bool fromProfiles, int32_t* newEntryIndex);
void LeaveNewProfileDialog(MenuContext& ctx, int32_t newEntryIndex, const char* typedName);
void LeaveProfileDialog(MenuContext& ctx);

// A click on level button `commandId` (negative) of the level selection makes
// it the selected one. False when no such button exists.
bool SelectLevelButton(MenuContext& ctx, int32_t commandId);

// Drops the selected level button, every widget and both screen images.
void DiscardMenuInterface(MenuContext& ctx);

// The digit shown for a volume of 0..1.
int32_t VolumeDigit(float volume);
// The number of a level file name: the decimal number from its first digit.
int32_t LevelNumber(const char* levelFile);
// The widget with that command id, or null.
GMInteractiveObj* FindWidget(GMObjectArray* list, int32_t commandId);

// Command ids of the menu widgets.
enum MenuCommand : int32_t {
    kCmdContinue = 1,
    kCmdPlay = 2,
    kCmdNewGame = 4,
    kCmdHighscores = 5,
    kCmdExit = 6,
    kCmdMainMenu = 8,
    kCmdProfileRow0 = 9,
    kCmdProfileRow4 = 13,
    kCmdProfiles = 14,
    kCmdResume = 15,
    kCmdProfilesWindow = 16,
    kCmdProfilesDone = 17,
    kCmdProfileCreate = 18,
    kCmdNewProfileWindow = 19,
    kCmdNewProfileCancel = 20,
    kCmdNewProfileOk = 21,
    kCmdProfileScrollDown = 22,
    kCmdProfileScrollUp = 23,
    kCmdProfileDelete = 24,
    kCmdOptions = 25,
    kCmdOptionsWindow = 26,
    kCmdOptionsDone = 27,
    kCmdMusicDown = 28,
    kCmdMusicUp = 29,
    kCmdEffectsDown = 30,
    kCmdEffectsUp = 31,
    kCmdFullScreen = 32,
    kCmdContinueWindow = 33,
    kCmdStartLevel = 34,
    kCmdQuit = 36,
    kCmdExitNo = 37,
    kCmdExitWindow = 38,
    kCmdHelp = 39,
    kCmdHelpNext = 40,
    kCmdHelpPrevious = 41,
    kCmdPortal = 42,
};
