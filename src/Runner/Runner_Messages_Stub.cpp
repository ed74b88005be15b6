#include "Runner/Runner_Messages_Stub.h"

// Without a game window there is no message queue to post to or drain.
void Runner_PostQuit() {}

void DispatchPendingMessages() {}
