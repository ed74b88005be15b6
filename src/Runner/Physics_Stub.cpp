// STAND-IN until the physics subsystem exists.
#include "Runner/Runner_Services_Stub.h"

void Physics_EnableAssertReports() {}
