// A script or a recording (`--script FILE`), read as the game reads it before
// the first frame.
#include "FuzzSupport.h"

#include "app/ScriptRunner.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScriptRunner runner;
    std::string error;
    runner.Parse(std::string(reinterpret_cast<const char*>(data), size), &error);
    return 0;
}
