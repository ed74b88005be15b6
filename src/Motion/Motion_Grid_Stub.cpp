// Stand-ins: see Motion_Grid.h.
#include "Motion/Motion_Grid.h"

void MP_Grid_DestroyAll() {}
