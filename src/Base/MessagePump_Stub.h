#pragma once
// Stand-in for the window message pump of the program entry: handles every
// message waiting in the thread's queue. Replaced when the window exists.
int DispatchPendingMessages();
