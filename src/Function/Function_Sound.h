#pragma once
// The sound resource built-ins (part of the "Resource.." group). A game on
// the audio engine asks it for existence and names; the rest serve the
// legacy sound list and do nothing for such a game.
void InitSoundResourceFunctions();
