// Stand-ins: see IO_Files.h.
#include "IO/IO_Files.h"

void InitTempDirectory() {}
void CleanTempDirectory() {}
