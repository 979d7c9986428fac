#include "app/ShutdownSave.h"

#include "app/GameModeMachine.h"
#include "game/GMLevelRun.h"

bool SaveWhatWasShown(uint8_t mode, GMLevelRun* run)
{
    switch (mode) {
    case kModePlaying:
    case kModePause:
    case kModePauseOptions:
    case kModeResume:
        return run && run->SaveShownDay();
    default:
        return false;
    }
}
