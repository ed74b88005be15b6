#pragma once
// What the runner uses of audio: the sound device's life cycle and per-frame
// update, the chunk readers, preparing the sounds, stopping every voice at the
// end of the game, and the look-up of sounds by name.
#include "Sound/Audio_Chunks.h"
#include "Sound/Audio_Engine.h"
#include "Sound/Audio_Group.h"
#include "Sound/Audio_Prepare.h"
#include "Sound/Audio_Sound.h"
#include "Sound/SoundHardware.h"
#include "Sound/Sound_Main.h"
