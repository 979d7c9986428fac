#pragma once

struct Bitmap;

// Decodes the first image of a GIF87a/GIF89a file into a 24-bit bottom-up
// bitmap of that image's size. Extension blocks are skipped, so the file's
// transparent colour plays no part; interlaced images come out in display order.
bool DecodeGif(const char* path, Bitmap& out);
