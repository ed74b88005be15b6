// Stand-in: see Legacy3D_Stub.h.
#include "Graphics/Graphics_Legacy3D.h"

bool Legacy3DMode = false;
