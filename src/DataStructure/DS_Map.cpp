#include "DataStructure/DS_Map.h"

#include <cstring>

#include "Base/CRC32.h"
#include "Code/Code_ValueConvert.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Values.h"

namespace {
int32_t BucketsFor(int32_t requested)
{
    if (requested < 1) return DsMap::DEFAULT_BUCKETS;
    return requested > (1 << 20) ? (1 << 20) : requested;
}
}  // namespace

DsMapElement::DsMapElement(const ScriptValue* k, const ScriptValue* v)
{
    key = ScriptValue_Undefined();
    value = ScriptValue_Undefined();
    key.Assign(*k);
    value.Assign(*v);
}

DsMapElement::~DsMapElement()
{
    ScriptValue_SetUndefined(&key);
    ScriptValue_SetUndefined(&value);
}

uint32_t DsMap_HashKey(const ScriptValue* key)
{
    switch (key->Kind()) {
    case VALUE_STRING: {
        const char* text = ScriptValue_StringText(key);
        return text ? CRC32_String(text) : 0xFFFFFFFFu;
    }
    case VALUE_ARRAY:
    case VALUE_PTR:
    case VALUE_VEC3:
    case VALUE_OBJECT:
    case VALUE_VEC4:
    case VALUE_VEC44:
    case VALUE_ACCESSOR:
        return CRC32_Calc(&key->i64, sizeof key->i64);
    case VALUE_UNDEFINED:
    case VALUE_UNSET:
        return 0;
    default: {
        double d = ScriptValue_ToReal(key);
        return CRC32_Calc(&d, sizeof d);
    }
    }
}

DsMap::DsMap(int32_t buckets) : m_table(BucketsFor(buckets)) {}

DsMap::~DsMap()
{
    Clear();
}

DsMapElement* DsMap::Find(const ScriptValue* key, uint32_t hash)
{
    if (!m_table.buckets) return nullptr;
    const auto h = static_cast<int32_t>(hash);
    for (auto* node = m_table.BucketOf(h).first; node; node = node->next) {
        if (node->key == h && DsCompare(&node->value->key, key) == 0) return node->value;
    }
    return nullptr;
}

bool DsMap::Insert(const ScriptValue* key, const ScriptValue* value, uint32_t hash)
{
    auto* element = new DsMapElement(key, value);
    if (m_table.Insert(static_cast<int32_t>(hash), element)) return true;
    delete element;
    return false;
}

DsMapElement* DsMap::FindElement(const ScriptValue* key)
{
    return Find(key, DsMap_HashKey(key));
}

bool DsMap::Add(const ScriptValue* key, const ScriptValue* value)
{
    const uint32_t hash = DsMap_HashKey(key);
    if (Find(key, hash)) return false;
    return Insert(key, value, hash);
}

bool DsMap::AddRealOrString(const char* key, double real, const char* text)
{
    ScriptValue k = ScriptValue_Undefined(), v = ScriptValue_Real(real);
    ScriptValue_InitString(&k, key ? key : "");
    if (text) ScriptValue_InitString(&v, text);
    const bool added = Add(&k, &v);
    ScriptValue_SetUndefined(&k);
    ScriptValue_SetUndefined(&v);
    return added;
}

bool DsMap::AddDuplicate(const ScriptValue* key, const ScriptValue* value)
{
    return Insert(key, value, DsMap_HashKey(key));
}

bool DsMap::Replace(const ScriptValue* key, const ScriptValue* value)
{
    const uint32_t hash = DsMap_HashKey(key);
    if (DsMapElement* element = Find(key, hash)) {
        element->value.Assign(*value);
        return true;
    }
    Insert(key, value, hash);
    return false;
}

void DsMap::Set(const ScriptValue* key, const ScriptValue* value, ScriptValue* previous)
{
    const uint32_t hash = DsMap_HashKey(key);
    if (DsMapElement* element = Find(key, hash)) {
        if (previous) previous->Assign(element->value);
        element->key.Assign(*key);
        element->value.Assign(*value);
        return;
    }
    if (previous) previous->Assign(*value);
    Insert(key, value, hash);
}

bool DsMap::Delete(const ScriptValue* key)
{
    const uint32_t hash = DsMap_HashKey(key);
    if (!m_table.buckets) return false;
    const auto h = static_cast<int32_t>(hash);
    auto& bucket = m_table.BucketOf(h);
    for (auto* node = bucket.first; node; node = node->next) {
        if (node->key != h || DsCompare(&node->value->key, key) != 0) continue;
        // Unlink by hand: the table's own Delete would take the first node
        // of the hash, not the first whose key equals.
        if (node->prev)
            node->prev->next = node->next;
        else
            bucket.first = node->next;
        if (node->next)
            node->next->prev = node->prev;
        else
            bucket.last = node->prev;
        delete node->value;
        QS_FREE(node);
        --m_table.count;
        return true;
    }
    return false;
}

const ScriptValue* DsMap::FindFirst()
{
    for (int32_t b = 0; b <= m_table.mask; ++b) {
        if (m_table.buckets[b].first) return &m_table.buckets[b].first->value->key;
    }
    return nullptr;
}

const ScriptValue* DsMap::FindLast()
{
    for (int32_t b = m_table.mask; b >= 0; --b) {
        if (m_table.buckets[b].last) return &m_table.buckets[b].last->value->key;
    }
    return nullptr;
}

const ScriptValue* DsMap::FindNext(const ScriptValue* key)
{
    bool found = false;
    const ScriptValue* next = nullptr;
    ForEach([&](DsMapElement* element) {
        if (next) return;
        if (found) {
            next = &element->key;
            return;
        }
        found = DsCompare(&element->key, key) == 0;
    });
    return next;
}

const ScriptValue* DsMap::FindPrevious(const ScriptValue* key)
{
    const ScriptValue* before = nullptr;
    const ScriptValue* result = nullptr;
    bool done = false;
    ForEach([&](DsMapElement* element) {
        if (done) return;
        if (DsCompare(&element->key, key) == 0) {
            result = before;
            done = true;
            return;
        }
        before = &element->key;
    });
    return result;
}

void DsMap::Clear()
{
    DsMutexLock lock;
    if (m_clearing) return;
    m_clearing = true;
    ForEach([](DsMapElement* element) {
        switch (DsValue_NestedKind(&element->value)) {
        case DS_NESTED_MAP:
            DsMap_Destroy(DsValue_NestedHandle(&element->value));
            break;
        case DS_NESTED_LIST:
            DsList_Destroy(DsValue_NestedHandle(&element->value));
            break;
        default:
            break;
        }
    });
    m_table.Clear(HASH_DELETE_VALUE);
    m_clearing = false;
}

void DsMap::Copy(DsMap* source)
{
    if (!source || source == this) return;
    m_table.Clear(HASH_DELETE_VALUE);
    source->ForEach([this](DsMapElement* element) {
        ScriptValue value = element->value;
        value.kind &= ~(KIND_NESTED_LIST | KIND_NESTED_MAP);
        auto* copy = new DsMapElement(&element->key, &value);
        if (!m_table.Insert(static_cast<int32_t>(DsMap_HashKey(&element->key)), copy)) delete copy;
    });
}
