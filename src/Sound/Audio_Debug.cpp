#include "Sound/Audio_Debug.h"

#include <AL/al.h>

#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Voice.h"

bool Audio_PlayingSourceState(int32_t index, AudioSourceState* state)
{
    if (!Audio_IsOn()) return false;
    const ALuint source = Audio_SourceAt(index);
    if (source == 0) return false;
    ALint playing = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &playing);
    if (playing != AL_PLAYING) return false;
    *state = AudioSourceState{};
    state->source = source;
    alGetSourcei(source, AL_BUFFERS_QUEUED, &state->queued);
    alGetSourcei(source, AL_BUFFERS_PROCESSED, &state->processed);
    alGetSourcei(source, AL_BUFFER, &state->buffer);
    alGetSourcef(source, AL_GAIN, &state->gain);
    alGetSourcei(source, AL_SAMPLE_OFFSET, &state->sampleOffset);
    const ALuint buffer = static_cast<ALuint>(state->buffer);
    // Asking about a name that is no buffer would leave an error for the next check to report.
    if (buffer != 0 && alIsBuffer(buffer)) {
        alGetBufferi(buffer, AL_SIZE, &state->bufferSize);
        alGetBufferi(buffer, AL_BITS, &state->bufferBits);
        alGetBufferi(buffer, AL_CHANNELS, &state->bufferChannels);
    }
    return true;
}
