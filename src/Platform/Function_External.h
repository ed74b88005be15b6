#pragma once
// The external-library built-ins: external_define, external_define0 to
// external_define8, external_call, external_call0 to external_call8 and
// external_free, over the library layer of Extension_DLL.h.

// Registers them, unless external calls are switched off (NoExternalCalls);
// the "Misc.." group calls it in their place (Platform_MiscRoutines).
void InitExternalFunctions();
