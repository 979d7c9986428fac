// A level maker's source, compiled as `brimvale --try` and the data generator
// compile it, against the pictures of the generated data set. A level that
// compiles must hold no number that a cast out of range made.
#include "FuzzSupport.h"

#include "world/LevelSource.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool linked = false;
    if (!linked) {
        fuzz::LinkDataSet(BRIMVALE_FUZZ_DEFAULT_DATA, nullptr);
        linked = true;
    }
    CompiledLevel level;
    std::string error;
    if (CompileLevelSource("level5.txt", std::string(reinterpret_cast<const char*>(data), size), DataSetPictureSize,
                           level, error)) {
        if (level.levelText.find("2147483648") != std::string::npos || level.levelText.find("END") == std::string::npos)
            std::abort();
    } else if (error.rfind("level5.txt:", 0) != 0) {
        std::abort();  // every refusal names the file and line
    }
    return 0;
}
