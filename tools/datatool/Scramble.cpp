#include "Commands.h"

#include "core/FileSys.h"
#include "core/TaggedFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

static bool ReadWholeFile(const char* path, std::vector<unsigned char>& bytes, FILE* err)
{
    FILE* f = OpenFile(path, "rb");
    if (!f) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\": %s\n", path, std::strerror(errno));
        return false;
    }
    unsigned char chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok)
        std::fprintf(err, "brimvale-data: cannot read \"%s\"\n", path);
    return ok;
}

int CmdScramble(int argc, char** argv, FILE*, FILE* err)
{
    if (argc != 2) {
        std::fprintf(err, "usage: brimvale-data scramble IN OUT\n");
        return 2;
    }
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(argv[0], bytes, err))
        return 1;
    FileKey key(argv[1]);
    if (key.length == 0) {
        std::fprintf(err, "brimvale-data: \"%s\" has no file name to key with\n", argv[1]);
        return 1;
    }
    bool ok = WriteFileAtomically(argv[1], "wb", [&](FILE* f) {
        return WriteBytes(f, bytes.data(), static_cast<int>(bytes.size()), &key) == static_cast<int>(bytes.size());
    });
    if (!ok) {
        std::fprintf(err, "brimvale-data: cannot write \"%s\"\n", argv[1]);
        return 1;
    }
    return 0;
}

int CmdUnscramble(int argc, char** argv, FILE* out, FILE* err)
{
    if (argc != 1) {
        std::fprintf(err, "usage: brimvale-data unscramble IN\n");
        return 2;
    }
    FILE* f = OpenFile(argv[0], "rb");
    if (!f) {
        std::fprintf(err, "brimvale-data: cannot open \"%s\": %s\n", argv[0], std::strerror(errno));
        return 1;
    }
    FileKey key(argv[0]);
    unsigned char chunk[4096];
    int n;
    while ((n = ReadBytes(chunk, sizeof chunk, f, &key)) > 0)
        std::fwrite(chunk, 1, static_cast<size_t>(n), out);
    bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok) {
        std::fprintf(err, "brimvale-data: cannot read \"%s\"\n", argv[0]);
        return 1;
    }
    return 0;
}
