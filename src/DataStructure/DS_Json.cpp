#include "DataStructure/DS_Json.h"

#include <json-c/json.h>

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_ValueConvert.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_List.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Values.h"

namespace {
// ------------------------------------------------------------------ values to JSON

// Six decimals, as game code has always seen its reals; json-c would write the
// shortest form. The infinities and NaN take the names json-c reads back.
int WriteReal(json_object* value, printbuf* out, int, int)
{
    const double d = json_object_get_double(value);
    char text[400];  // the widest "%f" of a double is 317 characters
    int n;
    if (std::isnan(d))
        n = std::snprintf(text, sizeof text, "NaN");
    else if (std::isinf(d))
        n = std::snprintf(text, sizeof text, d > 0 ? "Infinity" : "-Infinity");
    else
        n = std::snprintf(text, sizeof text, "%f", d);
    return printbuf_memappend(out, text, n);
}

json_object* NewReal(double d)
{
    json_object* value = json_object_new_double(d);
    if (value) json_object_set_serializer(value, WriteReal, nullptr, nullptr);
    return value;
}

// The conversion of one map's values: the structures on the path from the
// map being encoded down to the current value, so that a structure nested in
// itself ends in null instead of recursing for ever.
class Encoder {
public:
    json_object* FromMap(DsMap* map)
    {
        json_object* object = json_object_new_object();
        if (!object) return nullptr;
        m_path.push_back(map);
        map->ForEach([&](DsMapElement* element) {
            std::string name;
            if (!KeyText(&element->key, &name)) return;
            json_object_object_add(object, name.c_str(), FromValue(&element->value));
        });
        m_path.pop_back();
        return object;
    }

private:
    json_object* FromValue(const ScriptValue* value)
    {
        switch (DsValue_NestedKind(value)) {
        case DS_NESTED_MAP: {
            DsMap* map = DsMapTable.Get(DsValue_NestedHandle(value));
            return map && MayEnter(map) ? FromMap(map) : nullptr;
        }
        case DS_NESTED_LIST: {
            CDS_List* list = DsListTable.Get(DsValue_NestedHandle(value));
            return list && MayEnter(list) ? FromList(list) : nullptr;
        }
        case DS_NESTED_NONE: break;
        }
        switch (value->Kind()) {
        case VALUE_REAL: return NewReal(value->real);
        case VALUE_STRING: {
            const char* text = ScriptValue_StringText(value);
            return json_object_new_string(text ? text : "");
        }
        case VALUE_ARRAY: return value->arr && MayEnter(value->arr) ? FromArray(value->arr) : nullptr;
        case VALUE_PTR: {
            char text[32];
            std::snprintf(text, sizeof text, "%p", value->ptr);
            return json_object_new_string(text);
        }
        case VALUE_UNDEFINED: return json_object_new_object();
        case VALUE_INT32: return json_object_new_int(value->i32);
        case VALUE_INT64: return json_object_new_int64(value->i64);
        case VALUE_BOOL: return json_object_new_boolean(value->real != 0.0);
        default: return nullptr;
        }
    }

    json_object* FromList(CDS_List* list)
    {
        json_object* array = json_object_new_array();
        if (!array) return nullptr;
        m_path.push_back(list);
        for (int32_t i = 0; i < list->Size(); ++i) json_object_array_add(array, FromValue(list->GetItem(i)));
        m_path.pop_back();
        return array;
    }

    // Every element of every row, row after row, in one array.
    json_object* FromArray(RefArray* source)
    {
        json_object* array = json_object_new_array();
        if (!array) return nullptr;
        m_path.push_back(source);
        for (int32_t r = 0; r < source->rowCount; ++r) {
            const RefArrayRow& row = source->rows[r];
            for (int32_t c = 0; c < row.length; ++c) json_object_array_add(array, FromValue(&row.elements[c]));
        }
        m_path.pop_back();
        return array;
    }

    // A string key as it is, a real one as its integer part.
    static bool KeyText(const ScriptValue* key, std::string* name)
    {
        if (key->Kind() == VALUE_STRING) {
            const char* text = ScriptValue_StringText(key);
            *name = text ? text : "";
            return true;
        }
        if (key->Kind() == VALUE_REAL) {
            char text[32];
            std::snprintf(text, sizeof text, "%" PRId64, DoubleToInt64(key->real));
            *name = text;
            return true;
        }
        OutputConsole->Output("json_encode: a map key of kind %s has no JSON name; its entry is left out\n",
                              ScriptValue_KindName(key));
        return false;
    }

    // False for a structure that is already on the path, or one level too deep.
    bool MayEnter(const void* structure)
    {
        for (const void* p : m_path)
            if (p == structure) return false;
        if (m_path.size() < static_cast<size_t>(JSON_MAX_DEPTH)) return true;
        if (!m_depthReported)
            OutputConsole->Output("json_encode: structures nested deeper than %d levels are written as null\n",
                                  JSON_MAX_DEPTH);
        m_depthReported = true;
        return false;
    }

    std::vector<const void*> m_path;
    bool m_depthReported = false;
};

// ------------------------------------------------------------------ JSON to values

// A scalar: booleans as 1 or 0, numbers as reals (integers of any size
// through their double), strings as copies, anything else undefined.
void ToValue(json_object* json, ScriptValue* out)
{
    switch (json_object_get_type(json)) {
    case json_type_boolean: *out = ScriptValue_Real(json_object_get_boolean(json) ? 1.0 : 0.0); break;
    case json_type_double:
    case json_type_int: *out = ScriptValue_Real(json_object_get_double(json)); break;
    case json_type_string:
        *out = ScriptValue_Undefined();
        ScriptValue_SetString(out, json_object_get_string(json));
        break;
    default: *out = ScriptValue_Undefined(); break;
    }
}

int32_t NewMapFrom(json_object* object, int32_t buckets);
int32_t NewListFrom(json_object* array);

// A nested map has buckets for its own members, at least 16 and at most a
// new map's: a document of many small objects would otherwise take a full
// bucket array for each of them, many times the memory of its text.
int32_t NestedBuckets(json_object* object)
{
    const int32_t members = json_object_object_length(object);
    int32_t buckets = 16;
    while (buckets < members && buckets < DsMap::DEFAULT_BUCKETS) buckets *= 2;
    return buckets;
}

// A member or element as a value: objects and arrays become new structures
// held by marked handles.
void MemberValue(json_object* json, ScriptValue* out)
{
    switch (json_object_get_type(json)) {
    case json_type_object:
        *out = ScriptValue_Real(NewMapFrom(json, NestedBuckets(json)));
        out->kind |= KIND_NESTED_MAP;
        break;
    case json_type_array:
        *out = ScriptValue_Real(NewListFrom(json));
        out->kind |= KIND_NESTED_LIST;
        break;
    default: ToValue(json, out); break;
    }
}

// Drops a value that found no place, with the structure it names.
void Discard(ScriptValue* value)
{
    switch (DsValue_NestedKind(value)) {
    case DS_NESTED_MAP: DsMap_Destroy(DsValue_NestedHandle(value)); break;
    case DS_NESTED_LIST: DsList_Destroy(DsValue_NestedHandle(value)); break;
    case DS_NESTED_NONE: break;
    }
    ScriptValue_SetUndefined(value);
}

// The object's members, nulls left out; a key already present keeps its value.
void FillMap(DsMap* map, json_object* object)
{
    json_object_object_foreach(object, name, member)
    {
        if (json_object_get_type(member) == json_type_null) continue;
        ScriptValue key = ScriptValue_Undefined();
        ScriptValue_SetString(&key, name);
        ScriptValue value;
        MemberValue(member, &value);
        if (map->Add(&key, &value))
            ScriptValue_SetUndefined(&value);
        else
            Discard(&value);
        ScriptValue_SetUndefined(&key);
    }
}

// A structure takes its handle once it is filled; -1 when none can be had.
template <typename T>
int32_t Publish(DsHandleTable<T>& table, T* structure)
{
    const int32_t handle = structure ? table.Store(structure) : -1;
    if (handle < 0) delete structure;
    return handle;
}

int32_t NewMapFrom(json_object* object, int32_t buckets)
{
    auto* map = new (std::nothrow) DsMap(buckets);
    if (map) FillMap(map, object);
    return Publish(DsMapTable, map);
}

// Elements in order; a null element is the real 0.
int32_t NewListFrom(json_object* array)
{
    auto* list = new (std::nothrow) CDS_List();
    if (list) {
        const size_t n = json_object_array_length(array);
        for (size_t i = 0; i < n; ++i) {
            json_object* element = json_object_array_get_idx(array, i);
            ScriptValue value;
            if (json_object_get_type(element) == json_type_null)
                value = ScriptValue_Real(0.0);
            else
                MemberValue(element, &value);
            list->Add(&value);
            ScriptValue_SetUndefined(&value);
        }
    }
    return Publish(DsListTable, list);
}

// Containers nested in a value, the value itself counted.
int32_t Depth(json_object* json)
{
    int32_t inner = 0;
    switch (json_object_get_type(json)) {
    case json_type_object: {
        json_object_object_foreach(json, name, member)
        {
            (void)name;
            inner = std::max(inner, Depth(member));
        }
        return inner + 1;
    }
    case json_type_array:
        for (size_t i = 0, n = json_object_array_length(json); i < n; ++i)
            inner = std::max(inner, Depth(json_object_array_get_idx(json, i)));
        return inner + 1;
    default: return 0;
    }
}

// The JSON value of a text, or null when the text is not JSON or nests more
// structures than the writer writes.
json_object* Parse(const char* text)
{
    // The reader counts every value as a level, the members of the deepest
    // structure too.
    json_tokener* tokener = json_tokener_new_ex(JSON_MAX_DEPTH + 1);
    if (!tokener) return nullptr;
    json_object* json = json_tokener_parse_ex(tokener, text, -1);
    if (json_tokener_get_error(tokener) != json_tokener_success || Depth(json) > JSON_MAX_DEPTH) {
        json_object_put(json);
        json = nullptr;
    }
    json_tokener_free(tokener);
    return json;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string WrapAsDefault(const std::string& text, bool quoted)
{
    return (quoted ? "{ \"default\" : \"" : "{ \"default\" : ") + text + (quoted ? "\" }" : " }");
}
}  // namespace

void JSON_EncodeDsMap(int32_t map, char** out)
{
    DsMutexLock lock;
    DsMap* source = DsMapTable.Get(map);
    if (!source) return;
    json_object* object = Encoder().FromMap(source);
    size_t length = 0;
    const char* text = json_object_to_json_string_length(object, JSON_C_TO_STRING_SPACED, &length);
    auto* copy = static_cast<char*>(QS_ALLOC(length + 1, false));
    if (copy) {
        std::memcpy(copy, text ? text : "", text ? length : 0);
        copy[text ? length : 0] = '\0';
        QS_FREE(*out);
        *out = copy;
    }
    json_object_put(object);
}

int32_t JSON_DecodeIntoMap(const char* text, int32_t map)
{
    json_object* json = text ? Parse(text) : nullptr;
    int32_t result = -1;
    if (json_object_get_type(json) == json_type_object) {
        DsMutexLock lock;
        if (map < 0)
            result = NewMapFrom(json, DsMap::DEFAULT_BUCKETS);
        else if (DsMap* target = DsMapTable.Get(map))
            FillMap(target, json);
    }
    json_object_put(json);
    return result;
}

int32_t JSON_DecodeText(const char* text)
{
    std::string source = text ? text : "";
    size_t first = 0, last = source.size();
    while (first < last && IsSpace(source[first])) ++first;
    while (last > first && IsSpace(source[last - 1])) --last;
    const auto enclosedBy = [&](char open, char close) {
        return last - first >= 2 && source[first] == open && source[last - 1] == close;
    };
    if (!enclosedBy('{', '}')) source = WrapAsDefault(source, !enclosedBy('[', ']'));
    int32_t map = JSON_DecodeIntoMap(source.c_str(), -1);
    if (map < 0) map = JSON_DecodeIntoMap(WrapAsDefault(source, true).c_str(), -1);
    return map;
}
