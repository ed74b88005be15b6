#include "Graphics/Display_Stub.h"

// A windowed display needs no preparation before a dialog.
void GR_Display_PrepareForDialog() {}
