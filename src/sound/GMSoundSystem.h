#pragma once
#include "core/CGameArray.h"
#include "platform/AudioDevice.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

// Sound groups the game uses.
constexpr uint8_t kGroupEffects = 0;
constexpr uint8_t kGroupMusic = 100;
constexpr uint8_t kGroupInterface = 200;
constexpr uint8_t kGroupAll = 255;  // UnloadGroup and DestroySoundSystem: every group

// State flag bits of a sound entry.
constexpr uint8_t kSoundWasPlaying = 1;
constexpr uint8_t kSoundWasLooping = 4;

constexpr int kSoundNameSize = 40;

struct GMSoundStream;  // the decoder of a sound still being decoded (GMSoundSystem.cpp)

struct GMSoundEntry {
    char name[kSoundNameSize] = {};
    uint8_t state = 2;
    float relativeVolume = 1.0f;
    uint8_t group = 0;
    SoundBuffer* buffer = nullptr;  // owned
    GMSoundStream* stream = nullptr;  // owned; null once every sample is in the buffer
};

struct GMGroupVolume {
    uint8_t group = 0;
    float volume = 1.0f;
};

struct GMSoundFade {
    GMSoundEntry* entry = nullptr;
    float speed = 0.0f;    // hundredths of a decibel per ms; < 0 fading out
    float current = 0.0f;  // hundredths of a decibel
    int32_t target = 0;    // the sound's full volume
};

// Every loaded sound, sorted into groups with volumes, fades and overlapping
// copies. Sounds are referred to by their buffer (the handle LoadSound returns).
// Without a device nothing loads and every other call does nothing.
class GMSoundSystem {
public:
    GMSoundSystem();
    ~GMSoundSystem();
    GMSoundSystem(const GMSoundSystem&) = delete;
    GMSoundSystem& operator=(const GMSoundSystem&) = delete;

    // 0 when a device exists or was opened, else 1. The window is not needed
    // by our audio layer; it is taken for the caller's symmetry with the display.
    int32_t CreateSoundDevice(const void* window);
    // Takes a device made elsewhere (a manual one in tests); 0, or 1 for null.
    int32_t UseDevice(AudioDevice* device);
    bool HasDevice() const { return m_device != nullptr; }
    AudioDevice* GetDevice() const { return m_device; }

    // Where a sound that fails to load is named with the reason, once per file
    // ("..\\Error.log" unless set; empty logs nothing).
    void SetErrorLog(const char* path);

    void SetFloor(int32_t value);
    int32_t GetFloor() const { return m_floor; }

    // Music (group 100) is decoded as it is needed, a piece every update, the
    // playing track first: loading it only reads its headers, so start-up does
    // not wait for music the first screen does not play.
    SoundBuffer* LoadSound(const char* fileName, uint8_t group, bool duplicate, uint32_t creationFlags,
                           bool startSilent);

    void SetGroupVolume(float volume, uint8_t group);
    void ApplyGroupVolume(float volume, uint8_t group);
    float GetGroupVolume(uint8_t group) const;  // 1.0 without a record
    // Full volume in hundredths of a decibel for group volume g and relative volume v.
    int32_t FullVolume(float groupVolume, float relativeVolume) const;

    bool PlayOnce(SoundBuffer* handle);
    bool Play(SoundBuffer* handle, bool looping, bool restart);
    bool Stop(SoundBuffer* handle);
    void PauseGroup(bool pause, uint8_t group);
    void StopGroup(uint8_t group, bool onlyLooping);
    int32_t FadeSound(SoundBuffer* handle, bool looping, int32_t duration, bool fadeOut);
    void FadeOutGroup(uint8_t group, int32_t duration);
    // Also decodes a piece of the music still being decoded (see LoadSound).
    void UpdateSounds(float elapsed);
    // Sounds whose samples are not all decoded yet.
    int32_t GetDecodingCount() const;
    void UnloadGroup(uint8_t group);
    void DestroySoundSystem();

    // Music change: finds (or loads) the track in group 100, fades the group out
    // over 500 ms and fades the track in, looping, over 500 ms. Returns its handle.
    SoundBuffer* ChangeMusic(const char* fileName);

    // Inspection for the game's checks and for tests.
    GMSoundEntry* FindEntry(const SoundBuffer* handle) const;
    GMSoundEntry* FindEntry(const char* fileName) const;
    int32_t GetSoundCount() const { return m_sounds.GetCount(); }
    int32_t GetCopyCount() const { return m_copies.GetCount(); }
    int32_t GetFadeCount() const { return m_fades.GetCount(); }
    const GMSoundFade* GetFade(int32_t index) const { return static_cast<GMSoundFade*>(m_fades.GetAt(index)); }

    // A log of what was started and stopped, one line each: "play NAME" (once),
    // "loop NAME" and "stop NAME" (only a sound that was playing). Kept only
    // while switched on, and cut at kLogLimit lines, so a loop left running
    // or a sound started every frame shows in a test without a device to hear it.
    static constexpr size_t kLogLimit = 10000;
    void KeepLog(bool on);
    const std::vector<std::string>& GetLog() const { return m_log; }
    // How many lines of the log say exactly this ("play sfx\\ButtonHover.ogg").
    int32_t CountLog(const std::string& line) const;
    void ClearLog() { m_log.clear(); }

private:
    GMSoundFade* FindFade(const SoundBuffer* buffer, int32_t* index) const;
    void RemoveFade(int32_t index);
    void ReleaseEntry(int32_t index);
    void LogLoadFailure(const char* fileName, const char* reason);
    void Note(const char* what, const SoundBuffer* handle);
    // Decodes up to `frames` of the entry's stream; false once it is done.
    bool DecodePiece(GMSoundEntry* entry, uint32_t frames);
    static void EndStream(GMSoundEntry* entry);

    CGameArray m_sounds;  // GMSoundEntry*, owned
    CGameArray m_groups;  // GMGroupVolume*, owned
    CGameArray m_copies;  // SoundBuffer*, owned
    CGameArray m_fades;   // GMSoundFade*, owned
    AudioDevice* m_device = nullptr;
    int32_t m_floor = kVolumeSilent;
    std::string m_errorLog = "..\\Error.log";
    std::set<std::string> m_loggedFailures;  // lower-case names already logged
    bool m_keepLog = false;
    std::vector<std::string> m_log;
};

// Relative volume from the ".snd" file beside a sound: 1.0 when it is missing
// or does not start with a number, else the number limited to 0..1.
float ReadRelativeVolume(const char* soundFile);
