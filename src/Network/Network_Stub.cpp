// Stand-ins: see Network_Main.h.
#include "Network/Network_Main.h"

void Network_Update() {}
void Network_Shutdown() {}
