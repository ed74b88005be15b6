#pragma once
// Decoding a whole Ogg Vorbis image into one OpenAL buffer of 16-bit samples.
#include <cstdint>

struct AudioSound;

// The buffer holding the sound's Ogg data decoded whole, mono or stereo (more
// channels are mixed down to stereo); 0, with a logged message, when there is
// no data or it cannot be decoded or uploaded.
int32_t DecompressOgg(AudioSound* sound);

// Mixes frames of `channels` interleaved samples (3 or more, in the Ogg
// Vorbis channel order) down to stereo in place: the first 2 x frames
// samples of pcm become the stereo frames.
void Ogg_MixDownToStereo(int16_t* pcm, int64_t frames, int32_t channels);
