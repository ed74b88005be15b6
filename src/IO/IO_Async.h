#pragma once
// Results that input and dialogs hand to game code as asynchronous events:
// the key/value pairs of the result map and the event's sub-kind. The
// runner's asynchronous step takes them in order, builds the maps and runs
// the events.
#include <string>
#include <vector>

struct IO_AsyncPair {
    std::string key;
    bool isString;
    std::string text;
    double number;
};

struct IO_AsyncEvent {
    int subKind;  // 63 dialog, 75 system event
    std::vector<IO_AsyncPair> pairs;
};

constexpr int IO_ASYNC_DIALOG = 63;
constexpr int IO_ASYNC_SYSTEM = 75;

inline IO_AsyncPair IO_AsyncNumber(const char* key, double value) { return {key, false, {}, value}; }
inline IO_AsyncPair IO_AsyncText(const char* key, const char* value) { return {key, true, value ? value : "", 0}; }

void IO_PostAsync(int subKind, std::vector<IO_AsyncPair> pairs);
// The oldest waiting result; false when none waits.
bool IO_TakeAsync(IO_AsyncEvent* out);
void IO_ClearAsync();
