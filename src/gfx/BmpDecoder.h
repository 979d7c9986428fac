#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct Bitmap;

// Reads a Windows bitmap file ("BM"): uncompressed or bit-field pixels of 1, 4,
// 8, 16, 24 or 32 bits, top-down or bottom-up, keeping its stored layout.
// The stream is read from its current position to the end.
bool DecodeBmp(FILE* stream, Bitmap& out);
// The same for a whole file in memory; nothing outside data..data+size is read.
bool DecodeBmp(const uint8_t* data, size_t size, Bitmap& out);
