#pragma once
// What the virtual buttons are given of the layers above the input state:
// constants by name, and their drawing over the finished frame.
void VirtualButtons_InstallHooks();
