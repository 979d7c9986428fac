#pragma once
#include <cstdint>

// Result codes of picture and template loading, with the values of their
// DirectX namesakes so that logs read the same.
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultFail = static_cast<int32_t>(0x80004005u);              // E_FAIL
constexpr int32_t kResultOutOfMemory = static_cast<int32_t>(0x8007000Eu);       // E_OUTOFMEMORY
constexpr int32_t kResultInvalidArg = static_cast<int32_t>(0x80070057u);        // E_INVALIDARG
constexpr int32_t kResultNotFound = static_cast<int32_t>(0x887600FFu);          // DDERR_NOTFOUND
constexpr int32_t kResultInvalidParameter = static_cast<int32_t>(0x88760B54u);  // D3DXERR_INVALIDPARAMETER
constexpr int32_t kResultUnsupportedFile = static_cast<int32_t>(0x88760B55u);   // no decoder for the file
