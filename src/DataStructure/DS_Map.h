#pragma once
// A map of values to values: a bucket hash table keyed by the CRC of the key.
// The bucket array is fixed for the map's life, so iteration order (buckets
// ascending, each bucket in insertion order) follows the hashes. Keys are
// equal when their hashes are and they compare equal under DsPrecision.
// Callers hold DsMutex while a map is reachable from another thread.
#include <cstdint>

#include "Base/Hash.h"
#include "Code/Code_Value.h"

struct DsMapElement {
    ScriptValue key;
    ScriptValue value;

    DsMapElement(const ScriptValue* k, const ScriptValue* v);
    ~DsMapElement();
    DsMapElement(const DsMapElement&) = delete;
    DsMapElement& operator=(const DsMapElement&) = delete;
};

uint32_t DsMap_HashKey(const ScriptValue* key);

class DsMap {
public:
    static constexpr int32_t DEFAULT_BUCKETS = 256;
    // A count below 1 gives the default; counts are raised to a power of two
    // (so every bucket is reachable) and capped at 2^20.
    explicit DsMap(int32_t buckets = DEFAULT_BUCKETS);
    ~DsMap();
    DsMap(const DsMap&) = delete;
    DsMap& operator=(const DsMap&) = delete;

    // True when added; false when an equal key exists (map unchanged).
    bool Add(const ScriptValue* key, const ScriptValue* value);
    // Overwrites the value of an equal key (true), else adds the pair (false).
    bool Replace(const ScriptValue* key, const ScriptValue* value);
    // Overwrites key and value of an equal key, or adds the pair. previous,
    // when given, receives the old value (the new one when the key was absent).
    void Set(const ScriptValue* key, const ScriptValue* value, ScriptValue* previous);
    // Add of a string key and a string value (when text is given) or the real.
    bool AddRealOrString(const char* key, double real, const char* text);
    // Adds the pair without looking for an equal key (the legacy text form
    // keeps repeated keys).
    bool AddDuplicate(const ScriptValue* key, const ScriptValue* value);
    // Removes the element; a nested structure it names stays alive.
    bool Delete(const ScriptValue* key);
    DsMapElement* FindElement(const ScriptValue* key);
    bool Exists(const ScriptValue* key) { return FindElement(key) != nullptr; }
    int32_t Size() const { return m_table.count; }
    bool Empty() const { return m_table.count == 0; }
    int32_t BucketCount() const { return m_table.mask + 1; }
    bool Clearing() const { return m_clearing; }

    // Keys in iteration order; callers copy them before the map changes.
    // FindNext and FindPrevious compare by value alone (no hash test) and walk
    // from the start on every call.
    const ScriptValue* FindFirst();
    const ScriptValue* FindLast();
    const ScriptValue* FindNext(const ScriptValue* key);
    const ScriptValue* FindPrevious(const ScriptValue* key);

    // Destroys the nested structures its marked values name, then removes
    // every element. Takes DsMutex.
    void Clear();
    // Makes this map a copy of source (nothing when source is this map). The
    // copy's values carry no nested marks: the source stays the only owner of
    // its nested structures, so destroying one map never frees them under the
    // other. Old elements are removed without destroying what they name.
    void Copy(DsMap* source);

    // The text form (a new memory-manager text the caller frees). Read first
    // removes every element (without destroying nested structures); false for
    // a missing or foreign text. A text whose second character is ':' is the
    // legacy form, which keeps repeated keys. Callers hold DsMutex.
    char* Write();
    bool Read(const char* text, bool legacy);

    // Calls visit for each element in iteration order.
    template <typename F>
    void ForEach(F&& visit)
    {
        for (int32_t b = 0; b <= m_table.mask; ++b) {
            for (auto* node = m_table.buckets[b].first; node; node = node->next) visit(node->value);
        }
    }

private:
    DsMapElement* Find(const ScriptValue* key, uint32_t hash);
    bool Insert(const ScriptValue* key, const ScriptValue* value, uint32_t hash);

    Hash<DsMapElement> m_table;
    bool m_clearing = false;
};
