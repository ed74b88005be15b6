// Stand-ins: see IO_Dialog.h.
#include "IO/IO_Dialog.h"

char* AskForGameFile()
{
    return nullptr;
}
