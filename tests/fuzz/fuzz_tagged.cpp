// The tagged reader under every call the loaders make, in the order the file
// itself asks for: each token picks the next read. Built twice: plain files
// and files scrambled with their name (BRIMVALE_FUZZ_KEYED).
#include "FuzzSupport.h"

#include "core/TaggedFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::EnterWorkDir();
#ifdef BRIMVALE_FUZZ_KEYED
    const char* name = "Level07.dat";
    fuzz::WriteScrambled(name, data, size);
    FileKey fileKey(name);
    FileKey* key = &fileKey;
#else
    const char* name = "plain.txt";
    fuzz::WriteFile(name, data, size);
    FileKey* key = nullptr;
#endif
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return 0;
    char buffer[kValueBufferSize];
    uint8_t block[64];
    // Each read consumes at least a byte or ends the loop; the cap only guards
    // against a reader that stops consuming.
    for (int step = 0; step < 4096; ++step) {
        int32_t i = 0;
        float v = 0.0f;
        int terminator = 0;
        int n = ReadToken(f, buffer, 0, key);
        if (n <= 0 && std::feof(f))
            break;
        switch (buffer[0] % 8) {
        case 0: ReadQuoted(f, '"', '"', buffer, key); break;
        case 1: ReadQuoted(f, '[', ']', buffer, key, 16); break;
        case 2: ReadTokenInt(f, key, &i); TokenToInt(buffer); break;
        case 3: ReadTokenFloat(f, key, &v); TokenToFloat(buffer); break;
        case 4: ReadEscapeNumber(f, &terminator, key); break;
        case 5: ReadBlock(f, key, block, sizeof block); break;
        case 6: ReadPlainInt(f, &i); ReadPlainFloat(f, &v); break;
        default: ReadToken(f, buffer, 8, key, 12); FindFirstDigit(buffer); break;
        }
    }
    std::fclose(f);
    return 0;
}
