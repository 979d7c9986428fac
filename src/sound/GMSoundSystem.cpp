#include "sound/GMSoundSystem.h"

#include "core/FileSys.h"
#include "core/Log.h"
#include "core/TaggedFile.h"
#include "sound/VorbisCheck.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <strings.h>
#include <vector>

namespace {

constexpr int32_t kSoundsCapacity = 50;
constexpr int32_t kGroupsCapacity = 5;
constexpr int32_t kCopiesCapacity = 10;
constexpr int kReadPiece = 4096;
// Frames of music decoded a frame while it is not all decoded.
constexpr uint32_t kStreamPieceFrames = 4096;
constexpr int32_t kMusicFadeMillis = 500;
constexpr uint32_t kMusicFlags = kBufferVolume | kBufferStatic;

bool InGroup(const GMSoundEntry* e, uint8_t group)
{
    return e && (group == kGroupAll || e->group == group);
}

// Names are kept to 39 characters; a longer name matches its stored prefix.
bool SameName(const char* stored, const char* name)
{
    const size_t n = std::min(std::strlen(name), static_cast<size_t>(kSoundNameSize - 1));
    return std::strlen(stored) == n && strncasecmp(stored, name, n) == 0;
}

// Why vorbisfile would not open a file, in words for the error log.
const char* OpenErrorText(int err)
{
    switch (err) {
    case OV_ENOTVORBIS: return "not an Ogg Vorbis file";
    case OV_EBADHEADER: return "damaged Vorbis header";
    case OV_EVERSION: return "unsupported Vorbis version";
    case OV_EREAD: return "read error";
    default: return "cannot be opened as Ogg Vorbis";
    }
}

}  // namespace

float ReadRelativeVolume(const char* soundFile)
{
    if (!soundFile)
        return 1.0f;
    std::string path(soundFile);
    const char* ext = FindExtension(soundFile);
    // Only a dot in the file name itself starts the extension.
    if (ext && !std::strchr(ext, '\\') && !std::strchr(ext, '/'))
        path.resize(static_cast<size_t>(ext - soundFile));
    path += ".snd";
    FILE* f = OpenFile(path.c_str(), "rt");
    if (!f)
        return 1.0f;
    float v = 1.0f;
    // A file that does not start with a number leaves the volume at 1.0.
    if (!ReadPlainFloat(f, &v) || std::isnan(v))
        v = 1.0f;
    std::fclose(f);
    if (v < 0.0f)
        v = 0.0f;
    if (v > 1.0f)
        v = 1.0f;
    return v;
}

GMSoundSystem::GMSoundSystem()
{
    m_sounds.Reserve(kSoundsCapacity);
    m_groups.Reserve(kGroupsCapacity);
    m_copies.Reserve(kCopiesCapacity);
}

GMSoundSystem::~GMSoundSystem()
{
    DestroySoundSystem();
}

int32_t GMSoundSystem::CreateSoundDevice(const void* /*window*/)
{
    if (m_device)
        return 0;
    int32_t r = UseDevice(AudioDevice::Open());
    if (r != 0 && !m_errorLog.empty()) {
        const std::string text = std::string("No sound device (") + AudioDevice::LastError() +
                                 "): the game runs without sound";
        AppendErrorLog(m_errorLog.c_str(), text.c_str());
    }
    return r;
}

int32_t GMSoundSystem::UseDevice(AudioDevice* device)
{
    if (!device)
        return 1;
    if (m_device && m_device != device)
        DestroySoundSystem();
    m_device = device;
    return 0;
}

void GMSoundSystem::SetErrorLog(const char* path)
{
    m_errorLog = path ? path : "";
}

void GMSoundSystem::LogLoadFailure(const char* fileName, const char* reason)
{
    // Each file once a run, however often the game asks for it.
    std::string key(fileName);
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (m_errorLog.empty() || !m_loggedFailures.insert(key).second)
        return;
    const std::string text = std::string("Can't load sound \"") + fileName + "\": " + reason;
    AppendErrorLog(m_errorLog.c_str(), text.c_str());
}

void GMSoundSystem::SetFloor(int32_t value)
{
    m_floor = std::clamp(value, kVolumeSilent, kVolumeFull);
}

// ---- volumes ----

float GMSoundSystem::GetGroupVolume(uint8_t group) const
{
    for (int32_t i = 0; i <= m_groups.GetLastIndex(); ++i) {
        auto* g = static_cast<GMGroupVolume*>(m_groups.GetAt(i));
        if (g && g->group == group)
            return g->volume;
    }
    return 1.0f;
}

int32_t GMSoundSystem::FullVolume(float groupVolume, float relativeVolume) const
{
    if (groupVolume <= 0.0f)
        return kVolumeSilent;
    const float g = std::min(groupVolume, 1.0f);
    return m_floor - static_cast<int32_t>(g * static_cast<float>(m_floor) * relativeVolume);
}

void GMSoundSystem::SetGroupVolume(float volume, uint8_t group)
{
    if (!m_device)
        return;
    for (int32_t i = 0; i <= m_groups.GetLastIndex(); ++i) {
        auto* g = static_cast<GMGroupVolume*>(m_groups.GetAt(i));
        if (g && g->group == group) {
            g->volume = volume;
            return;
        }
    }
    auto* g = new (std::nothrow) GMGroupVolume{group, volume};
    if (g && m_groups.Add(g, true) < 0)
        delete g;
}

void GMSoundSystem::ApplyGroupVolume(float volume, uint8_t group)
{
    if (!m_device)
        return;
    SetGroupVolume(volume, group);
    int32_t cursor = -1;
    while (auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(cursor))) {
        if (e->group == group && e->buffer)
            e->buffer->SetVolume(FullVolume(volume, e->relativeVolume));
    }
}

// ---- loading ----

GMSoundEntry* GMSoundSystem::FindEntry(const SoundBuffer* handle) const
{
    if (!handle)
        return nullptr;
    for (int32_t i = 0; i <= m_sounds.GetLastIndex(); ++i) {
        auto* e = static_cast<GMSoundEntry*>(m_sounds.GetAt(i));
        if (e && e->buffer == handle)
            return e;
    }
    return nullptr;
}

GMSoundEntry* GMSoundSystem::FindEntry(const char* fileName) const
{
    if (!fileName)
        return nullptr;
    for (int32_t i = 0; i <= m_sounds.GetLastIndex(); ++i) {
        auto* e = static_cast<GMSoundEntry*>(m_sounds.GetAt(i));
        if (e && e->name[0] && SameName(e->name, fileName))
            return e;
    }
    return nullptr;
}

struct GMSoundStream {
    OggVorbis_File vf{};
    int channels = 2;
    uint32_t decoded = 0;  // frames in the buffer
    bool failed = false;
    std::vector<int16_t> piece;
};

SoundBuffer* GMSoundSystem::LoadSound(const char* fileName, uint8_t group, bool duplicate, uint32_t creationFlags,
                                      bool startSilent)
{
    if (!m_device || !fileName || !fileName[0])
        return nullptr;
    const int32_t slot = m_sounds.Add(nullptr, true);
    if (slot < 0) {
        LogLoadFailure(fileName, "no room for another sound");
        return nullptr;
    }

    auto* entry = new (std::nothrow) GMSoundEntry;
    if (!entry)
        return nullptr;
    entry->group = group;
    entry->relativeVolume = ReadRelativeVolume(fileName);

    if (GMSoundEntry* found = FindEntry(fileName)) {
        if (!duplicate) {
            // Its group and volume stay as they were.
            delete entry;
            return found->buffer;
        }
        entry->buffer = m_device->DuplicateSoundBuffer(found->buffer);
        std::memcpy(entry->name, found->name, sizeof entry->name);
        if (!entry->buffer || m_sounds.SetAt(entry, slot) < 0) {
            LogLoadFailure(fileName, entry->buffer ? "no room for another sound" : "cannot be duplicated");
            if (entry->buffer)
                entry->buffer->Release();
            delete entry;
            return nullptr;
        }
        if (startSilent)
            entry->buffer->SetVolume(m_floor);
        return entry->buffer;
    }

    std::string why;
    FILE* f = OpenFile(fileName, "rb");
    if (!f) {
        why = std::string("cannot be opened (") + std::strerror(errno) + ")";
        LogLoadFailure(fileName, why.c_str());
        delete entry;
        return nullptr;
    }
    // Damaged codebooks would crash libvorbis later on: refused here.
    if (CheckVorbisHeaders(f) == VorbisCheck::Damaged) {
        std::fclose(f);
        LogLoadFailure(fileName, "damaged Vorbis codebooks (the decoder cannot be set up)");
        delete entry;
        return nullptr;
    }
    std::rewind(f);
    // On the heap: the decoder points into itself, and music keeps it.
    auto stream = std::make_unique<GMSoundStream>();
    OggVorbis_File& vf = stream->vf;
    if (const int err = ov_open(f, &vf, nullptr, 0); err < 0) {
        std::fclose(f);  // a failed ov_open leaves the file to us
        LogLoadFailure(fileName, OpenErrorText(err));
        delete entry;
        return nullptr;
    }
    const bool lazily = group == kGroupMusic;
    SoundBuffer* buffer = nullptr;
    const vorbis_info* info = ov_info(&vf, -1);
    const ogg_int64_t samples = ov_pcm_total(&vf, -1);
    // Bytes per second must fit the format's 32 bits (a rate of 2^31 - 1 does not).
    const int64_t bytesPerSecond = info ? static_cast<int64_t>(info->rate) * info->channels * 2 : 0;
    if (!info || info->channels <= 0 || info->rate <= 0 || samples <= 0) {
        why = "no samples";
    } else if (bytesPerSecond > INT32_MAX) {
        why = "sample rate " + std::to_string(info->rate) + " out of range";
    } else if (!LaterStreamsDecodable(&vf)) {
        why = "damaged Vorbis codebooks in a chained stream";
    } else {
        const uint64_t size = static_cast<uint64_t>(info->channels) * static_cast<uint64_t>(samples) * 2u;
        if (size <= 0x7FFFFFFFu) {
            SoundBufferDesc desc;
            desc.flags = creationFlags;
            desc.bytes = static_cast<uint32_t>(size);
            desc.format.channels = info->channels;
            desc.format.rate = static_cast<int>(info->rate);
            desc.format.bitsPerSample = 16;
            desc.format.blockAlign = info->channels * 2;
            desc.format.avgBytesPerSec = static_cast<int>(bytesPerSecond);
            buffer = m_device->CreateSoundBuffer(desc);
            if (!buffer)
                why = "no sound buffer of " + std::to_string(size) + " bytes";
        } else {
            why = "too long (" + std::to_string(size) + " bytes of samples)";
        }
        void* data = nullptr;
        uint32_t locked = 0;
        if (buffer && (!buffer->Lock(&data, &locked) || locked < size)) {
            buffer->Release();
            buffer = nullptr;
            why = "its sound buffer cannot be filled";
        }
        if (buffer && ov_pcm_seek(&vf, 0) != 0) {
            buffer->Unlock();
            buffer->Release();
            buffer = nullptr;
            why = "cannot be decoded";
        }
        if (buffer && lazily) {
            buffer->Unlock();  // silent until decoded, a piece every update
            stream->channels = info->channels;
        } else if (buffer) {
            auto* out = static_cast<char*>(data);
            uint32_t filled = 0;
            int bitstream = 0;
            while (filled < size) {
                const int piece = static_cast<int>(std::min<uint64_t>(kReadPiece, size - filled));
                // Little-endian, 16-bit, signed; an error ends the filling early.
                const long got = ov_read(&vf, out + filled, piece, 0, 2, 1, &bitstream);
                if (got <= 0)
                    break;
                filled += static_cast<uint32_t>(got);
            }
            buffer->Unlock();
        }
    }
    if (!buffer || !lazily)
        ov_clear(&vf);  // closes f
    if (!buffer) {
        LogLoadFailure(fileName, why.c_str());
        delete entry;
        return nullptr;
    }
    entry->buffer = buffer;
    if (lazily)
        entry->stream = stream.release();
    std::snprintf(entry->name, sizeof entry->name, "%s", fileName);  // at most 39 characters
    if (m_sounds.SetAt(entry, slot) < 0) {
        EndStream(entry);
        buffer->Release();
        delete entry;
        LogLoadFailure(fileName, "no room for another sound");
        return nullptr;
    }
    buffer->SetVolume(startSilent ? m_floor : FullVolume(GetGroupVolume(group), entry->relativeVolume));
    return buffer;
}

// ---- playing ----

void GMSoundSystem::KeepLog(bool on)
{
    m_keepLog = on;
    if (!on)
        m_log.clear();
}

int32_t GMSoundSystem::CountLog(const std::string& line) const
{
    int32_t n = 0;
    for (const std::string& l : m_log)
        n += l == line;
    return n;
}

void GMSoundSystem::Note(const char* what, const SoundBuffer* handle)
{
    if (!m_keepLog || m_log.size() >= kLogLimit)
        return;
    const GMSoundEntry* entry = FindEntry(handle);
    m_log.push_back(std::string(what) + " " + (entry ? entry->name : "?"));
}

bool GMSoundSystem::PlayOnce(SoundBuffer* handle)
{
    if (!m_device || !handle)
        return false;
    Note("play", handle);
    if (!handle->IsPlaying())
        return handle->Play(false);
    SoundBuffer* copy = m_device->DuplicateSoundBuffer(handle);
    if (!copy)
        return false;
    if (m_copies.Add(copy, true) < 0) {
        copy->Release();
        return false;
    }
    copy->Play(false);
    return true;
}

bool GMSoundSystem::Play(SoundBuffer* handle, bool looping, bool restart)
{
    if (!m_device || !handle)
        return false;
    if (!handle->IsPlaying()) {
        if (restart)
            handle->SetPosition(0);
        Note(looping ? "loop" : "play", handle);
        return handle->Play(looping);
    }
    if (restart)
        handle->SetPosition(0);
    return true;
}

bool GMSoundSystem::Stop(SoundBuffer* handle)
{
    if (!m_device || !handle)
        return false;
    if (handle->IsPlaying())
        Note("stop", handle);
    return handle->Stop();
}

void GMSoundSystem::PauseGroup(bool pause, uint8_t group)
{
    if (!m_device)
        return;
    int32_t cursor = -1;
    while (auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(cursor))) {
        if (!e->buffer || e->group != group)
            continue;
        if (pause) {
            // Only the paused group's sounds are recorded: pausing another
            // group later must not wipe what this group has to resume.
            const uint32_t status = e->buffer->GetStatus();
            e->state = static_cast<uint8_t>(e->state & ~(kSoundWasPlaying | kSoundWasLooping));
            if (status & kSoundPlaying)
                e->state |= kSoundWasPlaying;
            if (status & kSoundLooping)
                e->state |= kSoundWasLooping;
            e->buffer->Stop();
        } else if (!e->buffer->IsPlaying() && (e->state & kSoundWasPlaying)) {
            e->buffer->Play((e->state & kSoundWasLooping) != 0);
        }
    }
}

void GMSoundSystem::StopGroup(uint8_t group, bool onlyLooping)
{
    if (!m_device)
        return;
    int32_t cursor = -1;
    while (auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(cursor))) {
        if (!e->buffer || e->group != group)
            continue;
        if (onlyLooping && !e->buffer->IsLooping())
            continue;
        if (e->buffer->IsPlaying())
            Note("stop", e->buffer);
        e->buffer->Stop();
        e->state = static_cast<uint8_t>(e->state & ~kSoundWasPlaying);
    }
}

// ---- fades ----

GMSoundFade* GMSoundSystem::FindFade(const SoundBuffer* buffer, int32_t* index) const
{
    for (int32_t i = 0; i <= m_fades.GetLastIndex(); ++i) {
        auto* f = static_cast<GMSoundFade*>(m_fades.GetAt(i));
        if (f && f->entry && f->entry->buffer == buffer) {
            *index = i;
            return f;
        }
    }
    *index = -1;
    return nullptr;
}

void GMSoundSystem::RemoveFade(int32_t index)
{
    delete static_cast<GMSoundFade*>(m_fades.RemoveAt(index));
}

int32_t GMSoundSystem::FadeSound(SoundBuffer* handle, bool looping, int32_t duration, bool fadeOut)
{
    if (!m_device || !handle || duration <= 0)
        return -1;
    if (fadeOut && !handle->IsPlaying())
        return -1;
    GMSoundEntry* entry = FindEntry(handle);
    if (!entry)
        return -1;  // copies and foreign buffers have no volume of their own to fade to

    int32_t index = -1;
    GMSoundFade* fade = FindFade(handle, &index);
    if (!fade) {
        fade = new (std::nothrow) GMSoundFade;
        if (!fade)
            return -1;
        index = m_fades.Add(fade, true);
        if (index < 0) {
            delete fade;
            return -1;
        }
    }
    fade->entry = entry;
    fade->current = static_cast<float>(handle->GetVolume());
    const float range = entry->relativeVolume * static_cast<float>(-m_floor) * GetGroupVolume(entry->group);
    fade->target = m_floor + static_cast<int32_t>(range);
    fade->speed = range / static_cast<float>(duration);
    if (fade->speed == 0.0f) {
        RemoveFade(index);
        return -1;
    }
    if (fadeOut)
        fade->speed = -fade->speed;
    else
        Play(handle, looping, false);
    return index;
}

void GMSoundSystem::FadeOutGroup(uint8_t group, int32_t duration)
{
    if (!m_device)
        return;
    int32_t cursor = -1;
    while (auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(cursor))) {
        if (e->group == group)
            FadeSound(e->buffer, false, duration, true);
    }
}

void GMSoundSystem::UpdateSounds(float elapsed)
{
    if (!m_device)
        return;
    // One piece a frame, the playing track first: about 9 times as fast as it
    // plays at 100 frames a second, for a fraction of a millisecond.
    GMSoundEntry* next = nullptr;
    for (int32_t c = -1; auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(c));) {
        if (e->stream && (!next || (e->buffer->IsPlaying() && !next->buffer->IsPlaying())))
            next = e;
    }
    if (next)
        DecodePiece(next, kStreamPieceFrames);
    int32_t cursor = -1;
    while (auto* copy = static_cast<SoundBuffer*>(m_copies.GetNext(cursor))) {
        if (!copy->IsPlaying()) {
            m_copies.RemoveAt(cursor);
            copy->Release();
        }
    }
    cursor = -1;
    while (auto* f = static_cast<GMSoundFade*>(m_fades.GetNext(cursor))) {
        SoundBuffer* b = f->entry ? f->entry->buffer : nullptr;
        if (!b || !b->IsPlaying()) {
            RemoveFade(cursor);
            continue;
        }
        f->current += f->speed * elapsed;
        const int32_t now = static_cast<int32_t>(f->current);
        if (f->speed >= 0.0f && now >= f->target) {
            const int32_t target = f->target;
            RemoveFade(cursor);
            b->SetVolume(target);
        } else if (f->speed < 0.0f && now <= m_floor) {
            b->Stop();
            RemoveFade(cursor);
            b->SetVolume(m_floor);
        } else {
            b->SetVolume(now);
        }
    }
}

// ---- music decoded as it plays ----

bool GMSoundSystem::DecodePiece(GMSoundEntry* entry, uint32_t frames)
{
    GMSoundStream* st = entry ? entry->stream : nullptr;
    if (!st)
        return false;
    const uint32_t channels = static_cast<uint32_t>(st->channels);
    const uint32_t total = entry->buffer->Frames();
    std::vector<int16_t>& piece = st->piece;
    piece.resize(static_cast<size_t>(frames) * channels);
    uint32_t got = 0;
    int bitstream = 0;
    while (got < frames && st->decoded + got < total) {
        const uint32_t want = std::min(frames - got, total - st->decoded - got);
        // Little-endian, 16-bit, signed; an error ends the decoding (the rest stays silent).
        const long n = ov_read(&st->vf, reinterpret_cast<char*>(piece.data() + static_cast<size_t>(got) * channels),
                               static_cast<int>(want * channels * 2), 0, 2, 1, &bitstream);
        if (n <= 0) {
            st->failed = true;
            break;
        }
        got += static_cast<uint32_t>(n) / (channels * 2);
    }
    if (got > 0)
        entry->buffer->Write(st->decoded, piece.data(), got);
    st->decoded += got;
    if (st->failed || st->decoded >= total) {
        EndStream(entry);
        return false;
    }
    return true;
}

void GMSoundSystem::EndStream(GMSoundEntry* entry)
{
    if (!entry || !entry->stream)
        return;
    ov_clear(&entry->stream->vf);  // closes the file
    delete entry->stream;
    entry->stream = nullptr;
}

int32_t GMSoundSystem::GetDecodingCount() const
{
    int32_t n = 0;
    for (int32_t c = -1; auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(c));)
        n += e->stream ? 1 : 0;
    return n;
}

// ---- music ----

SoundBuffer* GMSoundSystem::ChangeMusic(const char* fileName)
{
    SoundBuffer* track = LoadSound(fileName, kGroupMusic, false, kMusicFlags, true);
    FadeOutGroup(kGroupMusic, kMusicFadeMillis);
    FadeSound(track, true, kMusicFadeMillis, false);
    return track;
}

// ---- unloading ----

void GMSoundSystem::ReleaseEntry(int32_t index)
{
    auto* e = static_cast<GMSoundEntry*>(m_sounds.RemoveAt(index));
    if (!e)
        return;
    EndStream(e);
    if (e->buffer) {
        e->buffer->Stop();
        e->buffer->Release();
    }
    delete e;
}

void GMSoundSystem::UnloadGroup(uint8_t group)
{
    if (!m_device)
        return;
    int32_t cursor = -1;
    while (auto* f = static_cast<GMSoundFade*>(m_fades.GetNext(cursor))) {
        if (InGroup(f->entry, group))
            RemoveFade(cursor);
    }
    cursor = -1;
    while (auto* e = static_cast<GMSoundEntry*>(m_sounds.GetNext(cursor))) {
        if (InGroup(e, group))
            ReleaseEntry(cursor);
    }
}

void GMSoundSystem::DestroySoundSystem()
{
    if (!m_device)
        return;
    UnloadGroup(kGroupAll);
    int32_t cursor = -1;
    while (auto* g = static_cast<GMGroupVolume*>(m_groups.GetNext(cursor))) {
        delete g;
        m_groups.RemoveAt(cursor);
    }
    // Releasing the device ends every buffer made from it, the copies too.
    cursor = -1;
    while (auto* copy = static_cast<SoundBuffer*>(m_copies.GetNext(cursor))) {
        m_copies.RemoveAt(cursor);
        copy->Release();
    }
    cursor = -1;
    while (m_fades.GetNext(cursor))
        RemoveFade(cursor);
    delete m_device;
    m_device = nullptr;
}
