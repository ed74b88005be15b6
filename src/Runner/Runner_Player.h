#pragma once
// The game-change requests of a running game: run another game (and come
// back to this one), whether this run is a restart, the launch arguments.

void kvw_player_run(const char* nextGame, const char* returnGame, const char* saveFolder);
bool kvw_player_restarted();
const char* kvw_player_launch_args();
