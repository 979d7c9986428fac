#include "sound/VorbisCheck.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisfile.h>

namespace {

constexpr int kReadPiece = 4096;

// True when a decoder can be set up for the stream the info describes.
bool DecoderSetsUp(vorbis_info* info)
{
    vorbis_dsp_state dsp;
    if (vorbis_synthesis_init(&dsp, info) != 0)
        return false;  // the failed set-up has cleared dsp itself
    vorbis_dsp_clear(&dsp);
    return true;
}

}  // namespace

VorbisCheck CheckVorbisHeaders(FILE* file)
{
    if (!file)
        return VorbisCheck::Unknown;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    ogg_stream_state stream;
    bool streamOpen = false;
    vorbis_info info;
    vorbis_info_init(&info);
    vorbis_comment comment;
    vorbis_comment_init(&comment);

    int headers = 0;
    bool refused = false;
    while (headers < 3 && !refused) {
        ogg_page page;
        const int got = ogg_sync_pageout(&sync, &page);
        if (got < 0)
            continue;  // bytes skipped to the next page
        if (got == 0) {
            char* buffer = ogg_sync_buffer(&sync, kReadPiece);
            const size_t read = buffer ? std::fread(buffer, 1, kReadPiece, file) : 0;
            if (read == 0)
                break;
            ogg_sync_wrote(&sync, static_cast<long>(read));
            continue;
        }
        if (!streamOpen) {
            if (!ogg_page_bos(&page))
                continue;
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            streamOpen = true;
        }
        if (ogg_stream_pagein(&stream, &page) != 0)
            continue;  // a page of another stream
        ogg_packet packet;
        while (headers < 3 && ogg_stream_packetout(&stream, &packet) == 1) {
            if (vorbis_synthesis_headerin(&info, &comment, &packet) != 0) {
                refused = true;
                break;
            }
            ++headers;
        }
    }

    VorbisCheck result = VorbisCheck::Unknown;
    if (headers == 3)
        result = DecoderSetsUp(&info) ? VorbisCheck::Decodable : VorbisCheck::Damaged;
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (streamOpen)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return result;
}

bool LaterStreamsDecodable(OggVorbis_File* file)
{
    if (!file || !file->vi)
        return false;
    for (int link = 1; link < file->links; ++link)
        if (!DecoderSetsUp(&file->vi[link]))
            return false;
    return true;
}
