#pragma once
// Sounds made from PCM in the game's byte buffers, and play queues: a queue's
// voice plays the buffer sounds queued on it one after another, and each piece
// played is freed and reported to the game by an audio-playback event (74)
// with "queue_id", "buffer_id" and "queue_shutdown", so that it can refill.
#include <cstdint>

struct AudioVoice;

// Sample formats of the pieces (the buffer element types u8 and s16).
constexpr int32_t kAudioFormatU8 = 1;
constexpr int32_t kAudioFormatS16 = 4;
constexpr int32_t kAudioPlaybackEvent = 74;

// A sound of length bytes at offset in the buffer (length 0: the rest; a
// negative offset counts as 0); the rate is clamped to 1000..48000 and the
// length rounded down to whole sample frames. Channel mode 0 mono, 1 stereo,
// 2 positioned (mono). The buffer cannot be deleted while the sound lives.
// The sound's id, or -1 with a message.
int32_t Audio_CreateBufferSound(int32_t bufferIndex, int32_t format, int32_t rate, int32_t offset, int32_t length,
                                int32_t channelMode);
// Stops the sound's voices at once and frees it: 1, or 0 when there is none.
int32_t Audio_FreeBufferSound(int32_t id);
// An empty queue whose pieces have that format, rate and channel mode; its id or -1.
int32_t Audio_CreatePlayQueue(int32_t format, int32_t rate, int32_t channelMode);
// Makes a piece of the buffer's bytes and queues it on the queue's voice
// (taken on the first piece); a voice that runs dry is not restarted (the
// game plays the queue again). The voice's id, or -1 with nothing queued,
// also when every voice is taken at priority 10 or more.
int32_t Audio_QueueSound(int32_t queueId, int32_t bufferIndex, int32_t offset, int32_t length);
// Frees the queue; each piece not played yet is freed and reported with
// "queue_shutdown" 1. 1, or 0 when there is none.
int32_t Audio_FreePlayQueue(int32_t queueId);
// Frees and reports every piece the voice has played (nothing for no voice;
// reports only for a queue's voice).
void Audio_ReclaimQueueBuffers(AudioVoice* voice, int32_t queueId, bool shutdown);
// Frees every buffer sound, giving their buffers back (engine shutdown,
// after the sources let go of them).
void Audio_FreeBufferSounds();
// Once per frame: reclaims the played pieces of every queue.
void Audio_ReclaimAllQueues();
