#pragma once
#include <cstdio>

struct OggVorbis_File;

// Damaged Ogg Vorbis files that libvorbis must not be given to decode.
//
// A codebook whose codeword lengths do not form a complete prefix code (too
// few or too many short codes) makes libvorbis's decoder set-up fail. The
// failed set-up keeps the half-built codebooks, and vorbisfile's next attempt
// takes them as built: a book left empty has dimension 0, which the residue
// decoder divides by (SIGFPE). So the decoder is set up here on the headers
// alone, before vorbisfile sees the file, and a file that fails is refused.

enum class VorbisCheck {
    Decodable,  // the first stream's decoder sets up
    Damaged,    // its headers are there but the decoder cannot be set up
    Unknown,    // no complete Vorbis headers found: vorbisfile decides
};

// Reads the headers of the first logical stream from the file's current
// position (the caller rewinds afterwards).
VorbisCheck CheckVorbisHeaders(FILE* file);

// The same check for the chained streams after the first of an open file,
// whose decoders vorbisfile sets up only when it reaches them.
bool LaterStreamsDecodable(OggVorbis_File* file);
