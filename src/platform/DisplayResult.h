#pragma once
#include <cstdint>

// Result codes of the display layer, with the values of their DirectDraw and COM
// namesakes: 0 is success, negative is failure, so the game's error table and
// logs read as they always did.
using DisplayResult = int32_t;

constexpr DisplayResult MakeDisplayError(uint32_t code) { return static_cast<DisplayResult>(0x88760000u | code); }

constexpr DisplayResult DD_OK = 0;
constexpr DisplayResult DDERR_GENERIC = static_cast<DisplayResult>(0x80004005u);      // E_FAIL
constexpr DisplayResult DDERR_UNSUPPORTED = static_cast<DisplayResult>(0x80004001u);  // E_NOTIMPL
constexpr DisplayResult DDERR_OUTOFMEMORY = static_cast<DisplayResult>(0x8007000Eu);  // E_OUTOFMEMORY
constexpr DisplayResult DDERR_INVALIDPARAMS = static_cast<DisplayResult>(0x80070057u); // E_INVALIDARG
constexpr DisplayResult DDERR_INCOMPATIBLEPRIMARY = MakeDisplayError(95);
constexpr DisplayResult DDERR_INVALIDCAPS = MakeDisplayError(100);
constexpr DisplayResult DDERR_INVALIDMODE = MakeDisplayError(120);
constexpr DisplayResult DDERR_INVALIDOBJECT = MakeDisplayError(130);
constexpr DisplayResult DDERR_INVALIDPIXELFORMAT = MakeDisplayError(145);
constexpr DisplayResult DDERR_LOCKEDSURFACES = MakeDisplayError(160);
constexpr DisplayResult DDERR_NOALPHAHW = MakeDisplayError(180);
constexpr DisplayResult DDERR_NOCOOPERATIVELEVELSET = MakeDisplayError(212);
constexpr DisplayResult DDERR_NOEXCLUSIVEMODE = MakeDisplayError(225);
constexpr DisplayResult DDERR_NOFLIPHW = MakeDisplayError(230);
constexpr DisplayResult DDERR_NOTFOUND = MakeDisplayError(255);
constexpr DisplayResult DDERR_NOOVERLAYHW = MakeDisplayError(260);
constexpr DisplayResult DDERR_NOZBUFFERHW = MakeDisplayError(340);
constexpr DisplayResult DDERR_OUTOFVIDEOMEMORY = MakeDisplayError(380);
constexpr DisplayResult DDERR_SURFACEBUSY = MakeDisplayError(430);
constexpr DisplayResult DDERR_SURFACELOST = MakeDisplayError(450);
constexpr DisplayResult DDERR_WASSTILLDRAWING = MakeDisplayError(540);
constexpr DisplayResult DDERR_INVALIDDIRECTDRAWGUID = MakeDisplayError(561);
constexpr DisplayResult DDERR_DIRECTDRAWALREADYCREATED = MakeDisplayError(562);
constexpr DisplayResult DDERR_NODIRECTDRAWHW = MakeDisplayError(563);
constexpr DisplayResult DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDisplayError(564);
constexpr DisplayResult DDERR_NOEMULATION = MakeDisplayError(565);
constexpr DisplayResult DDERR_HWNDSUBCLASSED = MakeDisplayError(570);
constexpr DisplayResult DDERR_HWNDALREADYSET = MakeDisplayError(571);
constexpr DisplayResult DDERR_EXCLUSIVEMODEALREADYSET = MakeDisplayError(581);
constexpr DisplayResult DDERR_NOTLOCKED = MakeDisplayError(584);
constexpr DisplayResult DDERR_UNSUPPORTEDMODE = MakeDisplayError(590);
constexpr DisplayResult DDERR_NOMIPMAPHW = MakeDisplayError(591);

inline bool DisplayFailed(DisplayResult r) { return r < 0; }
