// STAND-IN until the error report keeps its fatal-error-shown flag.
#include "Runner/Runner_Services_Stub.h"

void ErrorReport_ClearFatalShown() {}
