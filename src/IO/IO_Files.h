#pragma once
// The temporary-files folder and the high-score table.
// Until they exist (IO_Files_Stub.cpp) there is nothing to keep.

void InitTempDirectory();
void CleanTempDirectory();
void Score_Init();
void Score_Load();
void Score_Save();
