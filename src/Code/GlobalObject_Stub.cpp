#include "Code/GlobalObject_Stub.h"

CInstance* GlobalObject = nullptr;
