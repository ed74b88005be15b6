#pragma once
// The temporary-files folder.
// Until it exists (IO_Files_Stub.cpp) there is nothing to keep.

void InitTempDirectory();
void CleanTempDirectory();
