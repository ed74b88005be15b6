#include "Sound/Audio_OggChannel.h"

#include <AL/al.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Sound/Audio_Decompress.h"
#include "Sound/Audio_Sound.h"

namespace {
// Rates beyond this are damage, not audio; OpenAL would refuse them anyway.
constexpr long kMaxRate = 768000;
// A loop of a few frames would rewind thousands of times for one block; past
// this many rewinds the block is handed on short and the next one goes on.
constexpr int kMaxRewindsPerDecode = 64;

void CheckAL(OggWorker* worker, const char* what)
{
    const ALenum code = alGetError();
    if (code != AL_NO_ERROR) worker->Report("AL Error %x %s\n", static_cast<unsigned>(code), what);
}
}  // namespace

void OggWorker::Report(const char* format, ...)
{
    lock.Lock();
    const size_t used = std::strlen(errorText);
    va_list args;
    va_start(args, format);
    std::vsnprintf(errorText + used, sizeof errorText - used, format, args);
    va_end(args);
    errorPending = true;
    lock.Unlock();
}

void OggWorker::Flush(int32_t index)
{
    lock.Lock();
    if (errorPending) {
        LogConsole->Output("(%d): ", index);
        LogConsole->Output("%s", errorText);
        errorText[0] = '\0';
        errorPending = false;
    }
    lock.Unlock();
}

bool Ogg_OpenFile(const char* path, OggVorbis_File* file, OggWorker* worker)
{
    FILE* f = path ? std::fopen(path, "rb") : nullptr;
    if (!f) {
        if (worker) worker->Report("Could not open Ogg file %s\n", path ? path : "");
        return false;
    }
    const int rc = ov_open(f, file, nullptr, 0);
    if (rc != 0) {
        std::fclose(f);  // the decoder keeps the file only when it opened
        if (worker) worker->Report("ov_open error %d\n", rc);
        return false;
    }
    return true;
}

SOggChannel::~SOggChannel()
{
    Close();
    if (buffersMade) alDeleteBuffers(2, alBuffers);
    QS_FREE(pcmBlock);
}

bool SOggChannel::Init(OggWorker* worker, uint32_t sourceName, int32_t index)
{
    source = sourceName;
    sourceIndex = index;
    pcmBlock = static_cast<uint8_t*>(QS_ALLOC(2 * kOggBlockBytes, true));
    if (!pcmBlock) return false;
    if (source == 0) return true;
    CheckAL(worker, "SOggChannel before alGenBuffers");
    alGenBuffers(2, alBuffers);
    const ALenum code = alGetError();
    buffersMade = code == AL_NO_ERROR;
    if (!buffersMade) worker->Report("AL Error %x SOggChannel alGenBuffers\n", static_cast<unsigned>(code));
    return buffersMade;
}

void SOggChannel::Close()
{
    if (open) ov_clear(&file);
    open = false;
}

bool SOggChannel::OpenStream(OggWorker* worker)
{
    Close();
    if (!sound) return false;
    if (sound->streamed) {
        if (!Ogg_OpenFile(sound->resolvedPath, &file, worker)) return false;
    } else {
        memory = OggMemory{sound->oggData, sound->oggLength, 0};
        const int rc = ov_open_callbacks(&memory, &file, nullptr, 0, OggMemory_Callbacks());
        if (rc != 0) {
            worker->Report("ov_open_callbacks error %d\n", rc);
            return false;
        }
    }
    open = true;
    const vorbis_info* info = ov_info(&file, -1);
    if (!info || info->channels < 1 || info->rate < 1 || info->rate > kMaxRate) {
        worker->Report("Ogg stream of %s has %d channels at %ld Hz\n", sound->fileName ? sound->fileName : "",
                       info ? info->channels : 0, info ? info->rate : 0L);
        Close();
        return false;
    }
    channels = info->channels;
    rate = static_cast<int32_t>(info->rate);
    totalSamples = ov_pcm_total(&file, -1);
    return true;
}

int32_t SOggChannel::BlockFrames() const
{
    return kOggBlockBytes / (2 * (channels > 0 ? channels : 1));
}

void SOggChannel::Open(OggWorker* worker, bool loop, int32_t startMs)
{
    if (!OpenStream(worker)) {
        Release(worker);
        return;
    }
    state = loop ? 2 : 1;
    buffersPlayed = 0;
    alSourcei(source, AL_BUFFER, 0);
    CheckAL(worker, "detaching buffer");
    alSourcei(source, AL_LOOPING, AL_FALSE);
    CheckAL(worker, "set looping to false");
    if (startMs > 0) ov_time_seek(&file, startMs);
    currentPcm = 0;
    if (Fill(worker, alBuffers[0], loop) == 0) {
        Stop();
        Release(worker);
        return;
    }
    const ALsizei queued = Fill(worker, alBuffers[1], loop) > 0 ? 2 : 1;
    alSourceQueueBuffers(source, queued, alBuffers);
    PlaySource(worker);
}

int32_t SOggChannel::Decode(OggWorker* worker, uint8_t* out, int32_t bytes, bool loop)
{
    int32_t got = 0;
    bool rewound = false;
    int rewinds = 0;
    while (got < bytes) {
        int section = 0;
        const long n = ov_read(&file, reinterpret_cast<char*>(out + got), bytes - got, &section);
        if (n > 0) {
            got += static_cast<int32_t>(n);
            rewound = false;
            continue;
        }
        if (n < 0) {
            worker->Report("ov_read error: %d\n", static_cast<int>(n));
            return -1;
        }
        // Nothing decoded right after a rewind: looping would never end.
        if (!loop || rewound || rewinds == kMaxRewindsPerDecode) break;
        const int rc = ov_raw_seek(&file, 0);
        if (rc != 0) {
            worker->Report("ov_raw_seek error %d\n", rc);
            break;
        }
        rewound = true;
        ++rewinds;
    }
    return got;
}

int32_t SOggChannel::Fill(OggWorker* worker, uint32_t buffer, bool loop)
{
    uint8_t* pcm = pcmBlock + currentPcm * kOggBlockBytes;
    currentPcm ^= 1;
    const int32_t frameBytes = 2 * channels;
    const int32_t got = Decode(worker, pcm, BlockFrames() * frameBytes, loop);
    if (got <= 0) return 0;
    const int32_t frames = got / frameBytes;
    // More than two channels are heard as stereo.
    if (channels > 2) Ogg_MixDownToStereo(reinterpret_cast<int16_t*>(pcm), frames, channels);
    const int32_t outChannels = channels == 1 ? 1 : 2;
    alBufferData(buffer, outChannels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm, frames * 2 * outChannels,
                 rate);
    CheckAL(worker, "uploading a block");
    return got;
}

void SOggChannel::Refill(OggWorker* worker, bool loop)
{
    ALint processed = 0;
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        ++buffersPlayed;
        if (state == 3) continue;
        if (Fill(worker, buffer, loop) == 0) state = 3;
        else alSourceQueueBuffers(source, 1, &buffer);
    }
    ALint sourceState = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &sourceState);
    if (sourceState != AL_STOPPED) return;
    if (state == 3) {
        Stop();
        Release(worker);
    } else {
        PlaySource(worker);  // an underrun
    }
}

void SOggChannel::Seek(OggWorker* worker, int32_t ms)
{
    if (state == 0) return;
    alSourceStop(source);
    alSourcei(source, AL_BUFFER, 0);
    buffersPlayed = 0;
    const int rc = ov_time_seek(&file, ms);
    if (rc != 0) worker->Report("ov_time_seek error %d\n", rc);
    currentPcm = 0;
    const bool loop = state == 2;
    if (Fill(worker, alBuffers[0], loop) == 0) {
        Stop();
        Release(worker);
        return;
    }
    const ALsizei queued = Fill(worker, alBuffers[1], loop) > 0 ? 2 : 1;
    alSourceQueueBuffers(source, queued, alBuffers);
    PlaySource(worker);
    alSourcei(source, AL_SAMPLE_OFFSET, 0);
}

void SOggChannel::Stop()
{
    if (state == 0) return;
    if (source != 0) {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);  // unqueues every block of a stopped source
    }
    Close();
    state = 0;
    buffersPlayed = 0;
}

void SOggChannel::PlaySource(OggWorker* worker)
{
    // Under the lock, so that a pause from the main thread either sees the
    // source playing and pauses it, or is seen here.
    worker->lock.Lock();
    alSourcePlay(source);
    if (paused) alSourcePause(source);
    worker->lock.Unlock();
}

void SOggChannel::Release(OggWorker* worker)
{
    worker->lock.Lock();
    if (command == 0) busy = false;
    worker->lock.Unlock();
}
