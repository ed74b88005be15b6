#pragma once
// The asynchronous results of input and dialogs: answered dialogs and
// gamepad connection changes, each run as its asynchronous event with its
// result map as async_load.
void InputAsync_Process();
