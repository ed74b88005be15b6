#pragma once
// The drawing of a frame: every view of the current room with its draw
// events, the application surface and the GUI pass; and the window size a
// room asks for. Until frame drawing exists (Draw_Frame_Stub.cpp) the frame
// is cleared to the room colour.

void DrawFrame();
void UpdateWindowSizeForRoom();
