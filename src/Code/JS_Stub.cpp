// Stand-ins: see JS_Main.h. The built-in objects and the resource object
// are not made yet.
#include "Code/JS_Main.h"

void JS_InitBuiltInObjects() {}
void JS_CreateResourceObject() {}
