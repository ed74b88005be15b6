#pragma once
// Results that input and dialogs hand to game code as asynchronous events:
// the key/value pairs of the result map and the event's sub-kind. They go on
// the asynchronous request list, which sits above this layer, through hooks
// the runner sets; ids handed to game code come from that list's counter.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct IO_AsyncPair {
    std::string key;
    bool isString;
    std::string text;
    double number;
};

constexpr int IO_ASYNC_DIALOG = 63;
constexpr int IO_ASYNC_SYSTEM = 75;

inline IO_AsyncPair IO_AsyncNumber(const char* key, double value) { return {key, false, {}, value}; }
inline IO_AsyncPair IO_AsyncText(const char* key, const char* value) { return {key, true, value ? value : "", 0}; }

struct IO_AsyncHooks {
    // Posts a complete result: a map of the pairs, raised as the sub-kind's event.
    void (*post)(int subKind, const IO_AsyncPair* pairs, size_t count) = nullptr;
    // The next asynchronous id.
    int32_t (*takeId)() = nullptr;
};
// The request list and its maps sit above IO: set by Runner_InstallHooks.
// Until then (and for a null slot) a result is dropped and an id is -1.
void IO_Async_SetHooks(const IO_AsyncHooks& hooks);

void IO_PostAsync(int subKind, const std::vector<IO_AsyncPair>& pairs);
int32_t IO_TakeAsyncId();
