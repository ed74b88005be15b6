#pragma once
// Collects the asynchronous events a walk of the request list raises, with a
// copy of each result map's fields (numbers as "%g" text).
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct AsyncEventRecord {
    int32_t subKind;
    int32_t map;
    std::map<std::string, std::string> fields;
    // The map that "response_headers" names, read while the event ran.
    std::map<std::string, std::string> headers;
};

namespace asyncevents {
extern std::vector<AsyncEventRecord> Events;
// The walk's event routine: records the event.
void Fire(int32_t map, int32_t subKind);
// The fields of a map (empty when the handle names none).
std::map<std::string, std::string> ReadMap(int32_t map);
// Runs frames by hand (finished HTTP request threads, then the request list)
// until an event of subKind whose "id" field is id has run, 10 s at most:
// its fields, or empty with a test failure.
std::map<std::string, std::string> RunUntilEvent(int32_t subKind, int32_t id);
}  // namespace asyncevents
