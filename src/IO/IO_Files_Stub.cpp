// Stand-ins: see IO_Files.h.
#include "IO/IO_Files.h"

void InitTempDirectory() {}
void CleanTempDirectory() {}
void Score_Init() {}
void Score_Load() {}
void Score_Save() {}
