#include "ui/Widgets.h"

#include "gfx/GMImage.h"
#include "world/GMInteractiveObj.h"
#include "world/GMObjectArray.h"

#include <new>

namespace {

struct GroupMembers {
    int32_t window;
    int32_t members[11];  // zero-terminated
};

const GroupMembers kGroups[] = {
    {kGroupContinue, {1, 4}},
    {kGroupOptions, {27, 28, 29, 30, 31, 32}},
    {kGroupExit, {36, 37}},
    {kGroupProfiles, {9, 10, 11, 12, 13, 17, 18, 22, 23, 24}},
    {kGroupNewProfile, {20, 21}},
};

const GroupMembers* FindGroup(int32_t group)
{
    for (const auto& g : kGroups) {
        if (g.window == group)
            return &g;
    }
    return nullptr;
}

int32_t AddWidget(GMObjectArray* list, GMInteractiveObj* obj, float x, float y, int32_t commandId,
                  GMInteractiveObj** out)
{
    if (!list || list->Add(obj, false) < 0) {
        obj->Release();
        return kWidgetListFull;
    }
    obj->SetPosition(x, y);
    obj->SetMark(commandId);
    if (out)
        *out = obj;
    return kWidgetOk;
}

}  // namespace

int32_t CreateMenuButton(GMObjectArray* list, const char* idlePicture, const char* hoverPicture, float x, float y,
                         int32_t commandId, GMImageManager* manager, DisplayDevice* device, GMInteractiveObj** out)
{
    auto* obj = new (std::nothrow) GMInteractiveObj;
    if (!obj)
        return kWidgetNotCreated;
    if (obj->SetImage(1, idlePicture, manager, device) != 0 || obj->SetImage(0, hoverPicture, manager, device) != 0) {
        obj->Release();
        return kWidgetPictureFailed;
    }
    return AddWidget(list, obj, x, y, commandId, out);
}

int32_t CreateDialogWindow(GMObjectArray* list, const char* picture, int32_t commandId, GMImageManager* manager,
                           DisplayDevice* device, GMInteractiveObj** out)
{
    GMInteractiveObj* obj = nullptr;
    int32_t result = CreateMenuButton(list, picture, picture, 400.0f, 300.0f, commandId, manager, device, &obj);
    if (result != kWidgetOk)
        return result;
    obj->SetEnabled(false);
    if (out)
        *out = obj;
    return kWidgetOk;
}

int32_t SetCheckBox(GMInteractiveObj* box, bool on, GMImageManager* manager, DisplayDevice* device)
{
    if (!box)
        return kWidgetNotCreated;
    if (box->SetImage(1, on ? "Menu\\CheckBtnI.img" : "Menu\\UnCheckBtnI.img", manager, device) != 0 ||
        box->SetImage(0, on ? "Menu\\CheckBtnH.img" : "Menu\\UnCheckBtnH.img", manager, device) != 0)
        return kWidgetPictureFailed;
    return kWidgetOk;
}

bool IsInDialogGroup(int32_t group, int32_t commandId)
{
    const GroupMembers* g = FindGroup(group);
    if (!g)
        return false;
    if (commandId == g->window)
        return true;
    for (int32_t id : g->members) {
        if (id == 0)
            break;
        if (id == commandId)
            return true;
    }
    return false;
}

void SetDialogGroup(int32_t mode, GMObjectArray* list, int32_t group)
{
    if (!list)
        return;
    for (int32_t i = list->GetLastIndex(); i >= 0; --i) {
        GMObject* obj = list->GetObject(i);
        if (!obj)
            continue;
        bool member = IsInDialogGroup(group, obj->GetMark());
        switch (mode) {
        case kDialogOpen:
            if (GMInteractiveObj* w = AsInteractive(obj)) {
                if (!member)
                    w->SetEnabled(false);
                else if (obj->GetMark() != group)
                    w->SetEnabled(true);
            }
            break;
        case kDialogKeepOnly:
            if (!member)
                list->RemoveAndShift(i);
            break;
        case kDialogClose:
            if (member)
                list->RemoveAndShift(i);
            break;
        default:
            return;
        }
    }
}

int32_t UpdateScreenObjects(GMObjectArray* list, float x, float y, int32_t clickFlags, float dt, WidgetSounds* sounds)
{
    if (!list)
        return 0;
    int32_t command = 0;
    int32_t cursor = -1;
    while (GMObject* obj = static_cast<GMObject*>(list->GetNext(cursor))) {
        GMInteractiveObj* w = AsInteractive(obj);
        bool was = w && w->IsHighlighted();
        obj->Update(x, y, clickFlags, dt);
        bool now = w && w->IsHighlighted();
        if (now && clickFlags == 1) {
            command = obj->GetMark();
            if (sounds)
                sounds->PlayClick();
        } else if (now && !was && sounds) {
            sounds->PlayHover();
        }
    }
    return command;
}

void DrawScreenObjects(GMObjectArray* list, DisplayDevice* device)
{
    if (!list)
        return;
    int32_t cursor = -1;
    while (GMObject* obj = static_cast<GMObject*>(list->GetNext(cursor)))
        obj->Draw(0.0f, 0.0f, device);
}

bool CaretVisible(uint32_t systemMs)
{
    return systemMs % 500 >= 251;
}

void DrawTextEntry(GMImage* font, const char* text, uint32_t systemMs, DisplayDevice* device)
{
    if (!font)
        return;
    float width = 0.0f;
    font->DrawText(289.0f, 305.0f, 0.0f, 1.0f, 0xFFFFD800, text ? text : "", device, &width);
    if (CaretVisible(systemMs))
        FillRect(289.0f + width, 289.0f, 2.0f, 16.0f, 0xFF000000, device);
}
