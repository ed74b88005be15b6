// Stand-in: see Legacy3D_Stub.h.
#include "Graphics/Legacy3D_Stub.h"

bool Legacy3DMode = false;
