#pragma once
// Motion-planning grids.
// Until they exist (Motion_Grid_Stub.cpp) there are none.

void MP_Grid_DestroyAll();
