#pragma once
// Stand-in for the display hook run before every modal dialog.
void GR_Display_PrepareForDialog();
