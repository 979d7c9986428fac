#include "core/TaggedFile.h"

#include "core/FileSys.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

void FileKey::Set(const char* path)
{
    MakeFileKey(path, text);
    length = static_cast<int>(std::strlen(text));
    position = 0;
}

void FileKey::SetRaw(const uint8_t* bytes, int count)
{
    if (count > kValueBufferSize - 1)
        count = kValueBufferSize - 1;
    std::memcpy(text, bytes, static_cast<size_t>(count));
    text[count] = 0;
    length = count;
    position = 0;
}

// An empty key (a path ending in a backslash) scrambles nothing.
static inline bool HasKey(const FileKey* key)
{
    return key && key->length > 0;
}

// One byte, descrambled; EOF at end of file or on a read error.
static inline int GetByte(FILE* stream, FileKey* key)
{
    int c = std::getc(stream);
    if (c == EOF)
        return EOF;
    if (HasKey(key))
        c = static_cast<uint8_t>(c - key->Next());
    return c;
}

int ReadBytes(void* buffer, int count, FILE* stream, FileKey* key)
{
    if (!stream || !buffer || count <= 0)
        return 0;
    size_t got = std::fread(buffer, 1, static_cast<size_t>(count), stream);
    if (HasKey(key)) {
        auto* b = static_cast<uint8_t*>(buffer);
        for (size_t i = 0; i < got; ++i)
            b[i] = static_cast<uint8_t>(b[i] - key->Next());
    }
    return static_cast<int>(got);
}

int WriteBytes(FILE* stream, const void* bytes, int count, FileKey* key)
{
    if (!stream || (!bytes && count > 0) || count < 0)
        return -1;
    const auto* src = static_cast<const uint8_t*>(bytes);
    if (!HasKey(key))
        return std::fwrite(src, 1, static_cast<size_t>(count), stream) == static_cast<size_t>(count) ? count : -1;
    uint8_t chunk[512];
    int done = 0;
    while (done < count) {
        int n = count - done < static_cast<int>(sizeof chunk) ? count - done : static_cast<int>(sizeof chunk);
        for (int i = 0; i < n; ++i)
            chunk[i] = static_cast<uint8_t>(src[done + i] + key->Next());
        if (std::fwrite(chunk, 1, static_cast<size_t>(n), stream) != static_cast<size_t>(n))
            return -1;
        done += n;
    }
    return count;
}

int WriteText(FILE* stream, const char* text, FileKey* key)
{
    if (!text)
        return -1;
    return WriteBytes(stream, text, static_cast<int>(std::strlen(text)), key);
}

int32_t ReadEscapeNumber(FILE* stream, int* terminator, FileKey* key)
{
    uint32_t value = 0;
    int c;
    while ((c = GetByte(stream, key)) != EOF && c >= '0' && c <= '9')
        value = value * 10u + static_cast<uint32_t>(c - '0');
    if (terminator)
        *terminator = c;
    return static_cast<int32_t>(value);
}

int ReadQuoted(FILE* stream, int open, int close, char* buffer, FileKey* key, int bufferSize)
{
    if (!stream || !buffer || bufferSize <= 0)
        return -1;
    buffer[0] = 0;
    int c;
    do {
        c = GetByte(stream, key);
        if (c == EOF)
            return -1;
    } while (c != open);

    int len = 0;
    auto store = [&](int byte) {
        if (len < bufferSize - 1)
            buffer[len++] = static_cast<char>(byte);
    };
    c = GetByte(stream, key);
    for (;;) {
        if (c == EOF) {
            buffer[len] = 0;
            return -1;
        }
        if (c == close)
            break;
        if (c == '#') {
            int term = EOF;
            int32_t code = ReadEscapeNumber(stream, &term, key);
            store(static_cast<uint8_t>(code));
            c = term;  // handled as an ordinary character of the string
            continue;
        }
        store(c);
        c = GetByte(stream, key);
    }
    buffer[len] = 0;
    return len;
}

int ReadToken(FILE* stream, char* buffer, int maxLength, FileKey* key, int bufferSize)
{
    if (!stream || !buffer || bufferSize <= 0)
        return -1;
    buffer[0] = 0;
    int c;
    do {
        c = GetByte(stream, key);
        if (c == EOF)
            return -1;
    } while (c <= 32);

    // A maximum of the caller's stops the token there, as asked; without one
    // the buffer's end cuts it and the rest of the token is dropped.
    bool callerMax = maxLength > 0 && maxLength <= bufferSize - 1;
    int limit = callerMax ? maxLength : bufferSize - 1;
    int len = 0;
    for (;;) {
        buffer[len++] = static_cast<char>(c);
        if (len == limit) {
            if (!callerMax) {
                while ((c = GetByte(stream, key)) != EOF && c > 32) {
                }
            }
            break;
        }
        c = GetByte(stream, key);
        if (c == EOF || c <= 32)
            break;
    }
    buffer[len] = 0;
    return len;
}

int ReadBlock(FILE* stream, FileKey* key, void* buffer, int bufferSize)
{
    uint8_t lenBytes[4];
    if (!stream || std::fread(lenBytes, 1, 4, stream) != 4)
        return 0;
    uint32_t length = lenBytes[0] | (lenBytes[1] << 8) | (lenBytes[2] << 16) | (static_cast<uint32_t>(lenBytes[3]) << 24);
    auto* out = static_cast<uint8_t*>(buffer);
    int stored = 0;
    for (uint32_t i = 0; i < length; ++i) {
        int c = GetByte(stream, key);
        if (c == EOF)
            break;
        if (out && stored < bufferSize)
            out[stored++] = static_cast<uint8_t>(c);
    }
    return stored;
}

int WriteBlock(FILE* stream, FileKey* key, const void* bytes, int count)
{
    if (!stream || count < 0)
        return -1;
    uint8_t lenBytes[4] = {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8),
                           static_cast<uint8_t>(count >> 16), static_cast<uint8_t>(count >> 24)};
    if (std::fwrite(lenBytes, 1, 4, stream) != 4)
        return -1;
    return WriteBytes(stream, bytes, count, key);
}

int32_t TokenToInt(const char* token)
{
    if (!token)
        return 0;
    const char* p = token;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = *p++ == '-';
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > 0x7fffffffLL + 1)
            value = 0x7fffffffLL + 1;  // saturate instead of overflowing
    }
    if (negative)
        value = -value;
    if (value > 0x7fffffffLL)
        value = 0x7fffffffLL;
    return static_cast<int32_t>(value);
}

float TokenToFloat(const char* token)
{
    if (!token)
        return 0.0f;
    // Only a decimal literal counts: copy the longest prefix of that shape so
    // strtof cannot read "inf", "nan" or hexadecimal forms.
    char literal[kValueBufferSize];
    int n = 0;
    const char* p = token;
    auto put = [&](char ch) {
        if (n < kValueBufferSize - 1)
            literal[n++] = ch;
    };
    if (*p == '+' || *p == '-')
        put(*p++);
    bool digits = false;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        put(*p++);
        digits = true;
    }
    if (*p == '.') {
        put(*p++);
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            put(*p++);
            digits = true;
        }
    }
    if (digits && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        if (*e == '+' || *e == '-')
            ++e;
        if (std::isdigit(static_cast<unsigned char>(*e))) {
            while (p < e)
                put(*p++);
            while (std::isdigit(static_cast<unsigned char>(*p)))
                put(*p++);
        }
    }
    literal[n] = 0;
    if (!digits)
        return 0.0f;
    return std::strtof(literal, nullptr);
}

bool ReadPlainInt(FILE* stream, int32_t* value)
{
    int v;
    if (!stream || std::fscanf(stream, "%i", &v) != 1)
        return false;
    *value = v;
    return true;
}

bool ReadPlainFloat(FILE* stream, float* value)
{
    float v;
    if (!stream || std::fscanf(stream, "%f", &v) != 1)
        return false;
    *value = v;
    return true;
}

bool ReadTokenInt(FILE* stream, FileKey* key, int32_t* value)
{
    char token[kValueBufferSize];
    if (ReadToken(stream, token, 0, key) < 0)
        return false;
    *value = TokenToInt(token);
    return true;
}

bool ReadTokenFloat(FILE* stream, FileKey* key, float* value)
{
    char token[kValueBufferSize];
    if (ReadToken(stream, token, 0, key) < 0)
        return false;
    *value = TokenToFloat(token);
    return true;
}

const char* BaseName(const char* path)
{
    if (!path)
        return nullptr;
    // Data paths use backslashes; paths of this system use slashes.
    const char* base = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/')
            base = p + 1;
    }
    return base;
}

const char* FindExtension(const char* path)
{
    return path ? std::strrchr(path, '.') : nullptr;
}

void MakeFileKey(const char* path, char* buffer)
{
    const char* base = BaseName(path);
    int n = 0;
    for (; base && base[n] && n < kValueBufferSize - 1; ++n) {
        char c = base[n];
        buffer[n] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    buffer[n] = 0;
}

const char* FindFirstDigit(const char* text)
{
    if (!text)
        return nullptr;
    while (*text && (*text < '0' || *text > '9'))
        ++text;
    return text;
}

bool FileExists(const char* path)
{
    FILE* f = OpenFile(path, "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}
