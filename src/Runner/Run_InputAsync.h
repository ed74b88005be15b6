#pragma once
// Input and dialog results (answered dialogs, gamepad connection changes)
// join the asynchronous request list as complete results with their maps.
void InputAsync_InstallHooks();
