#pragma once
// The named property list of an object: a fixed 64-bucket hash whose entries
// are keyed by a variable id, a name or any value. Nodes of every list are
// recycled through one shared pool.
#include <cstdint>

#include "Code/Code_Value.h"

class IBuffer;

struct CVariableListNode {
    CVariableListNode* next;      // bucket chain
    CVariableListNode* poolNext;  // shared free pool
    ScriptValue key;              // int32 variable id, string name, or any value
    ScriptValue value;            // flags hold the attribute bits
    uint32_t hash;

    // Copies with references counted.
    void Construct(const ScriptValue* newKey, const ScriptValue* newValue);
    void ConstructKey(const ScriptValue* newKey);
    void CopyConstruct(const CVariableListNode* other);
};

class CVariableList {
public:
    static constexpr int32_t kBuckets = 64;

    CVariableList() = default;
    virtual ~CVariableList();
    CVariableList(const CVariableList&) = delete;
    CVariableList& operator=(const CVariableList&) = delete;

    int32_t Count() const { return m_count; }

    void Clear();
    void CopyFrom(const CVariableList* other);

    static CVariableListNode* NewIdNode(int32_t id);
    static CVariableListNode* NewNameNode(const char* name);
    static CVariableListNode* NewKeyNode(const ScriptValue* key);
    // Releases key and value and puts the node on the shared pool.
    static void FreeNode(CVariableListNode* node);

    void Insert(CVariableListNode* node);
    void Remove(CVariableListNode* node);

    CVariableListNode* Find(const char* name) const;
    CVariableListNode* FindKey(const ScriptValue* key) const;
    CVariableListNode* FindId(int32_t id) const;
    bool HasId(int32_t id) const { return FindId(id) != nullptr; }

    bool GetById(int32_t id, int32_t arrayIndex, ScriptValue* out) const;
    bool SetById(int32_t id, int32_t arrayIndex, ScriptValue* value);

    // Bucket 0 to 63, each chain from its head (newest first).
    struct Iterator {
        CVariableListNode* node;
        int32_t bucket;
        int32_t endBucket;
        CVariableListNode* const* buckets;
        void Next();
    };
    Iterator IterBegin() const;

    // The named-variable section of a saved game: a count, then {name, value}
    // per entry. Id entries are written under their variable's name and name
    // entries under their own name; value-keyed entries have no name and are
    // left out.
    void SaveToBuffer(IBuffer* buffer) const;
    // False, with the list left empty, when the data ends early or holds a
    // count that cannot fit; undeclared names are skipped with a warning.
    bool LoadFromBuffer(IBuffer* buffer);

private:
    void FreeAllNodes();

    CVariableListNode* m_buckets[kBuckets] = {};
    int32_t m_count = 0;
};
