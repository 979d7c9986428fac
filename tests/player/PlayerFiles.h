#pragma once
#include "core/TaggedFile.h"
#include "support/TempDir.h"

#include <string>

// Scrambles text with the key of `name` (a file in dir) and writes it there.
inline void WriteScrambled(const TempDir& dir, const std::string& name, const std::string& text)
{
    FileKey key(name.c_str());
    std::string bytes = text;
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) + key.Next());
    dir.Write(name, bytes);
}

// Reads file `name` of dir and descrambles it with the key of `keyName`.
inline std::string ReadScrambled(const TempDir& dir, const std::string& name, const std::string& keyName = "")
{
    FileKey key((keyName.empty() ? name : keyName).c_str());
    std::string bytes = dir.Read(name);
    for (char& c : bytes)
        c = static_cast<char>(static_cast<uint8_t>(c) - key.Next());
    return bytes;
}
