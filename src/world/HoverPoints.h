#pragma once
#include "world/GMInteractiveObj.h"

// Pointer positions that make an object's interactive update show it hovered
// or not, whatever the offsets and size of its hit box (also for objects
// without a picture, whose empty box holds only its centre).

// The centre of the hit box of the picture now shown: always inside.
inline GMPoint HoverPoint(GMInteractiveObj& obj)
{
    GMImage& shown = obj.GetImage(obj.IsHighlighted() ? 0 : 1);
    return {obj.GetX() + shown.GetOffsetX() + shown.GetExtraX(), obj.GetY() + shown.GetOffsetY() + shown.GetExtraY()};
}

// Right of the object by more than its box and frame: always outside.
inline GMPoint AwayPoint(GMInteractiveObj& obj)
{
    GMPoint p = HoverPoint(obj);
    float w = obj.GetScaledWidth(), fw = obj.GetScaledFrameWidth();
    p.x += (w < 0.0f ? -w : w) + (fw < 0.0f ? -fw : fw) + 1.0f;
    return p;
}
