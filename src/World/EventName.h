#pragma once
// Names of events, keys, mouse and other sub-kinds as error messages show them.
// Built texts live in static buffers, valid until the next call of the same function.

const char* Event_GetName(int kind, int subKind);
const char* Event_KeyName(int key);
const char* Event_MouseName(int code);
const char* Event_OtherName(int code);
const char* Event_AsyncName(int code);
