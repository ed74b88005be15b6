#include "Sound/Audio_BufferSound.h"

#include <AL/al.h>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Native.h"
#include "Network/Async_Requests.h"
#include "Options/Runner_Options.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Listener.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

namespace {
constexpr int32_t kMinRate = 1000;
constexpr int32_t kMaxRate = 48000;
constexpr float kQueuePriority = 10.0f;

int32_t ClampRate(int32_t rate)
{
    return rate < kMinRate ? kMinRate : rate > kMaxRate ? kMaxRate : rate;
}

bool ValidChannelMode(int32_t mode)
{
    return mode >= 0 && mode <= 2;
}

bool ValidFormat(int32_t format)
{
    return format == kAudioFormatU8 || format == kAudioFormatS16;
}

ALenum AlFormat(int32_t format, bool stereo)
{
    if (format == kAudioFormatU8) return stereo ? AL_FORMAT_STEREO8 : AL_FORMAT_MONO8;
    return stereo ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// The buffer sound whose OpenAL buffer that is, in table order; -1 when none.
int32_t FindBufferSound(ALuint alBuffer)
{
    for (int32_t slot = 0; slot < Audio_TableLength(AudioTable::BufferSound); ++slot) {
        const AudioSound* s = Audio_TableSound(AudioTable::BufferSound, slot);
        if (s && s->alBuffer == static_cast<int32_t>(alBuffer)) return kAudioBufferSoundIdBase + slot;
    }
    return -1;
}

void PostPlayback(int32_t queueId, int32_t bufferIndex, bool shutdown)
{
    const int32_t map = DsMap_CreateFromTriples(3, "queue_id", double(queueId), static_cast<const char*>(nullptr),
                                                "buffer_id", double(bufferIndex), static_cast<const char*>(nullptr),
                                                "queue_shutdown", shutdown ? 1.0 : 0.0,
                                                static_cast<const char*>(nullptr));
    if (map >= 0) PostAsyncEvent(map, kAudioPlaybackEvent);
}

// Unqueues every processed buffer of the source, frees its buffer sound and,
// for a queue, reports it.
void UnqueueProcessed(ALuint source, int32_t queueId, bool shutdown)
{
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (ALint i = 0; i < processed; ++i) {
        ALuint alBuffer = 0;
        alSourceUnqueueBuffers(source, 1, &alBuffer);
        if (alGetError() != AL_NO_ERROR) break;
        const int32_t id = FindBufferSound(alBuffer);
        int32_t bufferIndex = -1;
        if (id >= 0) {
            bufferIndex = Audio_GetSound(id)->bufferIndex;
            Audio_FreeBufferSound(id);
        }
        if (Audio_IsQueueId(queueId)) PostPlayback(queueId, bufferIndex, shutdown);
    }
}

// The voice a queue plays on: the first without a soft stop that carries its id.
AudioVoice* QueueVoice(int32_t queueId)
{
    return Audio_FindVoiceBySound(queueId);
}

bool HoldsBuffers(const AudioVoice* voice)
{
    ALint queued = 0;
    alGetSourcei(Audio_VoiceSource(voice), AL_BUFFERS_QUEUED, &queued);
    return queued > 0;
}
}  // namespace

int32_t Audio_CreateBufferSound(int32_t bufferIndex, int32_t format, int32_t rate, int32_t offset, int32_t length,
                                int32_t channelMode)
{
    if (!Audio_IsOn()) return -1;
    if (!ValidFormat(format)) {
        ReportRuntimeError("audio_create_buffer_sound: unsupported format (use buffer_u8,buffer_s16)", false);
        return -1;
    }
    IBuffer* buffer = Buffer_Get(bufferIndex);
    if (!buffer) {
        LogConsole->Output("audio_create_buffer_sound: Invalid buffer id: %d\n", bufferIndex);
        return -1;
    }
    if (buffer->UsedSize() == 0) {
        LogConsole->Output("audio_create_buffer_sound: not queueing data, buffer %d is empty\n", bufferIndex);
        return -1;
    }
    rate = ClampRate(rate);
    if (!ValidChannelMode(channelMode)) {
        ReportRuntimeError("audio_create_buffer_sound: channels should be audio_mono, audio_stereo, or audio_3d", false);
        return -1;
    }
    if (offset < 0) offset = 0;
    // A negative length would reach OpenAL as a huge size: it is refused like
    // a range past the data.
    if (length < 0 || int64_t(offset) + length > buffer->UsedSize() || offset > buffer->UsedSize()) {
        LogConsole->Output("audio_create_buffer_sound: not enough data in buffer to create sound with offset %d length %d",
                           offset, length);
        return -1;
    }
    if (length == 0) length = buffer->UsedSize() - offset;
    const bool stereo = channelMode == 1;
    const int32_t channels = stereo ? 2 : 1;
    const int32_t frameBytes = (format == kAudioFormatS16 ? 2 : 1) * channels;
    // OpenAL takes whole sample frames only.
    length -= length % frameBytes;

    AudioSound* sound = new AudioSound;
    const int32_t id = Audio_AddTableSound(AudioTable::BufferSound, sound);
    if (id < 0) return -1;
    ALuint alBuffer = 0;
    alGenBuffers(1, &alBuffer);
    Audio_CheckALError("Audio_CreateBufferSound(1)");
    alBufferData(alBuffer, AlFormat(format, stereo), buffer->Data() + offset, length, rate);
    Audio_CheckALError("Audio_CreateBufferSound(2)");
    sound->alBuffer = static_cast<int32_t>(alBuffer);
    sound->channels = channels;
    sound->sampleRate = rate;
    sound->length = float(length) / float(rate * frameBytes);
    sound->bufferIndex = bufferIndex;
    ++buffer->inUse;
    return id;
}

int32_t Audio_FreeBufferSound(int32_t id)
{
    if (!Audio_IsBufferSoundId(id)) return 0;
    AudioSound* sound = Audio_GetSound(id);
    if (!sound) return 0;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (v->active && v->soundId == id) Audio_StopVoice(v, true);
    }
    if (IBuffer* buffer = Buffer_Get(sound->bufferIndex); buffer && buffer->inUse > 0) --buffer->inUse;
    Audio_DeleteTableSound(AudioTable::BufferSound, id - kAudioBufferSoundIdBase);
    return 1;
}

int32_t Audio_CreatePlayQueue(int32_t format, int32_t rate, int32_t channelMode)
{
    if (!Audio_IsOn()) return -1;
    if (!ValidChannelMode(channelMode)) {
        ReportRuntimeError("audio_create_play_queue: channels should be audio_mono, audio_stereo, or audio_3d", false);
        return -1;
    }
    rate = ClampRate(rate);
    if (!ValidFormat(format)) {
        ReportRuntimeError("audio_create_play_queue: unsupported format (use buffer_u8,buffer_s16)", false);
        return -1;
    }
    AudioSound* queue = new AudioSound;
    queue->length = 0.0f;
    queue->sampleRate = rate;
    queue->queueFormat = format;
    queue->queueChannelMode = channelMode;
    const int32_t id = Audio_AddTableSound(AudioTable::Queue, queue);
    if (id >= 0) LogConsole->Output("create queue %d\n", id);
    return id;
}

int32_t Audio_QueueSound(int32_t queueId, int32_t bufferIndex, int32_t offset, int32_t length)
{
    if (!Audio_IsOn()) return -1;
    AudioSound* queue = Audio_IsQueueId(queueId) ? Audio_GetSound(queueId) : nullptr;
    if (!queue) {
        LogConsole->Output("audio_queue_buffer_sound : Invalid queue id: %d\n", queueId);
        return -1;
    }
    const int32_t pieceId = Audio_CreateBufferSound(bufferIndex, queue->queueFormat, queue->sampleRate, offset, length,
                                                    queue->queueChannelMode);
    AudioSound* piece = Audio_GetSound(pieceId);
    if (!piece) {
        LogConsole->Output("audio_queue_buffer_sound : Invalid buffer sound id: %d\n", pieceId);
        return -1;
    }
    AudioVoice* voice = QueueVoice(queueId);
    // A voice left over from an earlier run of the queue (stopped, holding no
    // pieces) is set up again like a new one.
    const bool fresh = !voice || (!voice->active && !HoldsBuffers(voice));
    if (!voice) voice = Audio_AllocVoice(queueId, kQueuePriority);
    if (!voice) {
        // Every voice is taken at priority 10 or more: nothing is queued, so
        // the game keeps its buffer and may try again.
        Audio_FreeBufferSound(pieceId);
        return -1;
    }
    const ALuint source = Audio_VoiceSource(voice);
    if (fresh) {
        voice->voiceId = Audio_TakeVoiceId();
        voice->soundId = queueId;
        voice->gain = 1.0f;
        voice->fadeFrames = 0;
        voice->listenerMask = Audio_GetListenerMask();
        voice->loop = false;
        voice->priority = kQueuePriority;
        Audio_PlaceAtListener(voice, queue->gain, queue->pitch);
    }
    const ALuint alBuffer = static_cast<ALuint>(piece->alBuffer);
    alSourceQueueBuffers(source, 1, &alBuffer);
    if (alGetError() != AL_NO_ERROR) {
        LogConsole->Output("audio_queue_buffer_sound : OpenAL Error queueing buffer\n");
        // A piece the source did not take would never be reclaimed.
        Audio_FreeBufferSound(pieceId);
        return -1;
    }
    alSourcei(source, AL_LOOPING, AL_FALSE);
    if (alGetError() != AL_NO_ERROR) LogConsole->Output("audio_queue_buffer_sound : OpenAL Error playing queued sound\n");
    return voice->voiceId;
}

int32_t Audio_FreePlayQueue(int32_t queueId)
{
    if (!Audio_IsQueueId(queueId) || !Audio_GetSound(queueId)) return 0;
    if (AudioVoice* voice = Audio_IsOn() ? QueueVoice(queueId) : nullptr) {
        // Playing then stopping marks every queued piece processed.
        const ALuint source = Audio_VoiceSource(voice);
        alSourcePlay(source);
        alSourceStop(source);
        UnqueueProcessed(source, queueId, true);
        Audio_StopVoice(voice, true);
        voice->soundId = -1;  // the voice no longer belongs to the freed queue's slot
    }
    Audio_DeleteTableSound(AudioTable::Queue, queueId - kAudioQueueIdBase);
    return 1;
}

void Audio_ReclaimQueueBuffers(AudioVoice* voice, int32_t queueId, bool shutdown)
{
    const ALuint source = voice ? Audio_VoiceSource(voice) : 0;
    if (source != 0) UnqueueProcessed(source, queueId, shutdown);
}

void Audio_FreeBufferSounds()
{
    for (int32_t slot = 0; slot < Audio_TableLength(AudioTable::BufferSound); ++slot)
        Audio_FreeBufferSound(kAudioBufferSoundIdBase + slot);
}

void Audio_ReclaimAllQueues()
{
    for (int32_t slot = 0; slot < Audio_TableLength(AudioTable::Queue); ++slot) {
        if (!Audio_TableSound(AudioTable::Queue, slot)) continue;
        const int32_t queueId = kAudioQueueIdBase + slot;
        Audio_ReclaimQueueBuffers(QueueVoice(queueId), queueId, false);
    }
}
