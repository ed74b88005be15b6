#include <AL/al.h>

#include <cmath>

#include "Base/Console.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
AudioSound* SoundOf(int32_t id)
{
    if (id < kAudioVoiceIdBase) return Audio_GetSound(id);
    const AudioVoice* voice = Audio_FindVoice(id);
    return voice ? Audio_GetSound(voice->soundId) : nullptr;
}

// Length from the buffer's size and format, the divisions in unsigned integers.
bool BufferLength(int32_t buffer, float* seconds)
{
    alGetError();
    ALint size = 0, bits = 0, channels = 0, frequency = 0;
    const ALuint name = static_cast<ALuint>(buffer);
    alGetBufferi(name, AL_SIZE, &size);
    alGetBufferi(name, AL_BITS, &bits);
    alGetBufferi(name, AL_CHANNELS, &channels);
    alGetBufferi(name, AL_FREQUENCY, &frequency);
    if (alGetError() != AL_NO_ERROR) return false;
    const uint32_t bytesPerSample = static_cast<uint32_t>(bits) / 8;
    if (channels <= 0 || bytesPerSample == 0 || frequency <= 0) return false;
    const uint32_t frames = static_cast<uint32_t>(size) / static_cast<uint32_t>(channels) / bytesPerSample;
    *seconds = static_cast<float>(frames) / static_cast<float>(frequency);
    return true;
}
}  // namespace

double Audio_GetLength(int32_t id)
{
    if (!Audio_IsOn()) return -1.0;
    AudioSound* sound = SoundOf(id);
    if (!sound) return -1.0;
    if (sound->length >= 0.0f) return sound->length;
    if (sound->IsOggPlayed()) {
        OggAudio_ReadSoundInfo(sound);
        return sound->length;
    }
    if (sound->alBuffer == -1) return -1.0;
    float seconds = 0.0f;
    if (!BufferLength(sound->alBuffer, &seconds)) return -1.0;
    sound->length = seconds;
    return seconds;
}

double Audio_GetTrackPos(int32_t id)
{
    if (!Audio_IsOn()) return 0.0;
    if (id < kAudioVoiceIdBase && !Audio_IsQueueId(id)) {
        const AudioSound* sound = Audio_GetSound(id);
        return sound ? sound->startPosition : 0.0;
    }
    const AudioVoice* voice = Audio_IsQueueId(id) ? Audio_FindVoiceBySound(id) : Audio_FindVoice(id);
    AudioSound* sound = voice ? Audio_GetSound(voice->soundId) : nullptr;
    if (!sound) return 0.0;
    double position = 0.0;
    if (!sound->IsOggPlayed()) {
        ALfloat offset = 0.0f;
        alGetSourcef(Audio_VoiceSource(voice), AL_SEC_OFFSET, &offset);
        position = offset;
    } else if (!voice->stopRequested) {
        position = OggAudio_GetPosition(voice->sourceIndex, sound);
    }
    const double length = sound->length;
    if (length > 0.0 && position > length) position = voice->loop ? std::fmod(position, length) : length;
    Audio_CheckALError("Audio_GetTrackPos");
    return position;
}

void Audio_SetTrackPos(int32_t id, double seconds)
{
    if (!Audio_IsOn()) return;
    if (!(seconds >= 0.0)) seconds = 0.0;
    if (Audio_IsQueueId(id)) {
        LogConsole->Output("Error: audio_sound_set_track_position not supported on sound queues.\n");
        return;
    }
    if (id < kAudioVoiceIdBase) {
        AudioSound* sound = Audio_GetSound(id);
        if (sound && seconds < Audio_GetLength(id)) sound->startPosition = static_cast<float>(seconds);
        return;
    }
    AudioVoice* voice = Audio_FindVoice(id);
    if (!voice) return;
    if (voice->oggPlayed) {
        OggAudio_SetPosition(voice->sourceIndex, seconds);
    } else if (Audio_VoiceIsPlaying(voice)) {
        alSourcef(Audio_VoiceSource(voice), AL_SEC_OFFSET, static_cast<float>(seconds));
        Audio_CheckALError("Set track position failed");
    }
}

bool Audio_SoundExists(int32_t id)
{
    if (id < kAudioVoiceIdBase) return Audio_GetAsset(id) != nullptr;
    const AudioVoice* voice = Audio_FindVoice(id);
    return voice && Audio_VoiceIsPlaying(voice);
}

const char* Audio_GetSoundName(int32_t id)
{
    if (id >= kAudioVoiceIdBase) {
        const AudioVoice* voice = Audio_FindVoice(id);
        id = voice ? voice->soundId : -1;
    }
    const char* name = Audio_GetAsset(id) ? Audio_GetAssetName(id) : nullptr;
    return name ? name : "<undefined>";
}

int32_t Audio_GetType(int32_t id)
{
    const AudioSound* sound = Audio_GetSound(id);
    if (!sound) return -1;
    return sound->streamed ? 1 : 0;
}

uint32_t Audio_GetVoiceListenerMask(int32_t voiceId)
{
    const AudioVoice* voice = voiceId >= kAudioVoiceIdBase ? Audio_FindVoice(voiceId) : nullptr;
    return voice ? voice->listenerMask : 1;
}

void Audio_SetVoiceListenerMask(int32_t voiceId, uint32_t mask)
{
    if (AudioVoice* voice = voiceId >= kAudioVoiceIdBase ? Audio_FindVoice(voiceId) : nullptr)
        voice->listenerMask = mask;
}
