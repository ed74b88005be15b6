#pragma once
// The "Sound.." group: the audio engine's built-ins (sounds, voices, buffer
// sounds, queues, recording, sync groups, streams, emitters, the listener and
// audio groups), then the legacy sound layer's and the CD built-ins.
void InitSoundFunctions();
