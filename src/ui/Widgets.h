#pragma once
#include <cstdint>

class DisplayDevice;
class GMImage;
class GMImageManager;
class GMInteractiveObj;
class GMObjectArray;

// Results of the widget builders; a screen builder stops at the first non-zero one.
enum WidgetResult : int32_t {
    kWidgetOk = 0,
    kWidgetNotCreated = 1,
    kWidgetPictureFailed = 2,
    kWidgetListFull = 3,
};

// A button: idle picture as image 1, hover picture as image 0, centred on
// (x, y), delivering commandId when clicked. The list takes the new object's
// reference; `out` (optional) receives the object without a reference of its own.
int32_t CreateMenuButton(GMObjectArray* list, const char* idlePicture, const char* hoverPicture, float x, float y,
                         int32_t commandId, GMImageManager* manager, DisplayDevice* device,
                         GMInteractiveObj** out = nullptr);

// A dialog window: one picture for both states, at the screen centre, disabled
// so that it never highlights or takes a click.
int32_t CreateDialogWindow(GMObjectArray* list, const char* picture, int32_t commandId, GMImageManager* manager,
                           DisplayDevice* device, GMInteractiveObj** out = nullptr);

// Shows a check box ticked or not (image 1 first, then image 0).
int32_t SetCheckBox(GMInteractiveObj* box, bool on, GMImageManager* manager, DisplayDevice* device);

// Dialog windows' command ids; each names its group.
enum DialogGroup : int32_t {
    kGroupContinue = 33,
    kGroupOptions = 26,
    kGroupExit = 38,
    kGroupProfiles = 16,
    kGroupNewProfile = 19,
};

bool IsInDialogGroup(int32_t group, int32_t commandId);

enum DialogGroupMode : int32_t {
    kDialogOpen = 0,        // everything else disabled, the members (not the window) enabled
    kDialogKeepOnly = 1,    // everything else removed and released
    kDialogClose = 2,       // the members, window included, removed and released
};
void SetDialogGroup(int32_t mode, GMObjectArray* list, int32_t group);

// Where the widget loop's sounds go (the hover and click effects).
class WidgetSounds {
public:
    virtual ~WidgetSounds() = default;
    virtual void PlayHover() = 0;
    virtual void PlayClick() = 0;
};

// Updates every widget in list order with the pointer; returns the command id
// of the widget clicked this frame (a later one wins), 0 if none. A click is
// the click flags being exactly 1 on a highlighted widget.
int32_t UpdateScreenObjects(GMObjectArray* list, float x, float y, int32_t clickFlags, float dt,
                            WidgetSounds* sounds);

void DrawScreenObjects(GMObjectArray* list, DisplayDevice* device);

// The typed-name field of the new-profile dialog with its blinking caret.
bool CaretVisible(uint32_t systemMs);
void DrawTextEntry(GMImage* font, const char* text, uint32_t systemMs, DisplayDevice* device);
