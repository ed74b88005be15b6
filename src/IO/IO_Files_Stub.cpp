// Stand-in: see IO_Files.h.
#include "IO/IO_Files.h"

void CleanTempDirectory() {}
