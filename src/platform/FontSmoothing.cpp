#include "platform/FontSmoothing.h"

static uint32_t s_fontSmoothing = 1;

uint32_t GetFontSmoothing()
{
    return s_fontSmoothing;
}

void SetFontSmoothing(uint32_t value)
{
    s_fontSmoothing = value;
}
