#include "support/AsyncEvents.h"

#include <cstdio>

#include "Code/Code_Value.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"

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
}  // namespace asyncevents
