#pragma once
// Extension packages: their functions (callable ids from 500000) and the
// initialisation and finalisation functions they declare.
// Until extensions exist (Extension_Stub.cpp) there are none.

// Index of the extension function of that name, -1 when there is none.
int Extension_FindFunction(const char* name);
bool Extension_Prepare();
bool Extension_CallInitFunctions();
bool Extension_CallFinalFunctions();
