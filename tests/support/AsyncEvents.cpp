#include "support/AsyncEvents.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "Network/Async_Requests.h"
#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "Network/Http_Client.h"

namespace asyncevents {
std::vector<AsyncEventRecord> Events;

namespace {
std::string Text(const ScriptValue& value)
{
    if (value.Kind() == VALUE_STRING) {
        const char* text = ScriptValue_StringText(&value);
        return text ? text : "";
    }
    if (value.Kind() == VALUE_REAL) {
        char out[64];
        std::snprintf(out, sizeof out, "%.17g", value.real);
        return out;
    }
    return "<kind " + std::to_string(value.Kind()) + ">";
}
}  // namespace

std::map<std::string, std::string> ReadMap(int32_t handle)
{
    std::map<std::string, std::string> fields;
    DsMutexLock lock;
    if (DsMap* map = DsMapTable.Get(handle))
        map->ForEach([&](DsMapElement* element) { fields[Text(element->key)] = Text(element->value); });
    return fields;
}

void Fire(int32_t map, int32_t subKind)
{
    AsyncEventRecord record{subKind, map, ReadMap(map), {}};
    const auto headers = record.fields.find("response_headers");
    if (headers != record.fields.end()) record.headers = ReadMap(std::stoi(headers->second));
    Events.push_back(record);
}

std::map<std::string, std::string> RunUntilEvent(int32_t subKind, int32_t id)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        Http_Process();
        Async_ProcessRequestList(Fire);
        for (const auto& e : Events)
            if (e.subKind == subKind && e.fields.at("id") == std::to_string(id)) return e.fields;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ADD_FAILURE() << "no event " << subKind << " for id " << id;
    return {};
}
}  // namespace asyncevents
