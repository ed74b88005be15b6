#include "Base/MessagePump_Stub.h"

// No window yet, so no messages wait.
int DispatchPendingMessages()
{
    return 0;
}
