#pragma once
#include <cstdint>
#include <cstdio>

// Every tag, token and string is read into a buffer of this size.
constexpr int kValueBufferSize = 260;

// The scrambling key of a file and its running position. The key is the file
// name after the last backslash, in upper case; the position runs on across
// every read or write of the open file. Plain files pass a null key.
struct FileKey {
    char text[kValueBufferSize] = {};
    int length = 0;
    int position = 0;

    FileKey() = default;
    explicit FileKey(const char* path) { Set(path); }
    void Set(const char* path);     // MakeFileKey + rewind
    void SetRaw(const uint8_t* bytes, int count);  // a fixed key of the caller's
    void Rewind() { position = 0; }

    uint8_t Next()
    {
        uint8_t k = static_cast<uint8_t>(text[position]);
        if (++position >= length)
            position = 0;
        return k;
    }
};

// Raw byte reading and writing, descrambled / scrambled when key is set.
int ReadBytes(void* buffer, int count, FILE* stream, FileKey* key);
int WriteBytes(FILE* stream, const void* bytes, int count, FileKey* key);
int WriteText(FILE* stream, const char* text, FileKey* key);

// Reads a quoted string with "#" escapes into buffer (kValueBufferSize bytes
// unless bufferSize says otherwise). A string too long for the buffer is cut at
// the buffer's end; the rest is read and dropped, so the file stays in step.
// Returns the stored length, or -1 at end of file before the closing quote.
int ReadQuoted(FILE* stream, int open, int close, char* buffer, FileKey* key,
               int bufferSize = kValueBufferSize);

// Reads a token delimited by bytes 0..32. maxLength 0 means no maximum of the
// caller's: the token is then cut at the buffer's end and the rest dropped.
int ReadToken(FILE* stream, char* buffer, int maxLength, FileKey* key,
              int bufferSize = kValueBufferSize);

// Decimal digits; the first other byte read is handed back in terminator
// (EOF at end of file).
int32_t ReadEscapeNumber(FILE* stream, int* terminator, FileKey* key);

// Binary block: 4-byte little-endian length (not scrambled), then the bytes.
// ReadBlock stores at most bufferSize bytes and skips the rest of the block.
int ReadBlock(FILE* stream, FileKey* key, void* buffer, int bufferSize);
int WriteBlock(FILE* stream, FileKey* key, const void* bytes, int count);

// Value conversions. Scrambled files hold numbers as tokens: decimal with an
// optional sign, stopping at the first character that does not fit (empty or
// non-numeric gives 0). Plain files are read with "%i" and "%f"; a failed
// conversion leaves *value unchanged and returns false.
int32_t TokenToInt(const char* token);
float TokenToFloat(const char* token);
bool ReadPlainInt(FILE* stream, int32_t* value);
bool ReadPlainFloat(FILE* stream, float* value);

// Reads the next token of a scrambled file as a number; false at end of file.
bool ReadTokenInt(FILE* stream, FileKey* key, int32_t* value);
bool ReadTokenFloat(FILE* stream, FileKey* key, float* value);

// Path helpers.
const char* BaseName(const char* path);
const char* FindExtension(const char* path);
void MakeFileKey(const char* path, char* buffer);  // buffer of kValueBufferSize
const char* FindFirstDigit(const char* text);
bool FileExists(const char* path);
