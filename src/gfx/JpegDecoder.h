#pragma once
#include <cstdio>

struct Bitmap;

// Decodes a JPEG stream into a 24-bit top-down bitmap (blue, green, red).
bool DecodeJpeg(FILE* stream, Bitmap& out);
