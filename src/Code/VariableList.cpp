#include "Code/VariableList.h"

#include <cstring>

#include "Base/CRC32.h"
#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_ValueIndex.h"
#include "Code/Code_ValueSave.h"
#include "Code/MathEpsilon.h"
#include "Code/Code_Variable.h"
#include "GameData/GameOptions.h"

namespace {
CVariableListNode* s_nodePool = nullptr;

CVariableListNode* TakeNode()
{
    CVariableListNode* node = s_nodePool;
    if (node) {
        s_nodePool = node->poolNext;
    } else {
        node = new CVariableListNode;
    }
    node->next = nullptr;
    node->poolNext = nullptr;
    node->key = ScriptValue_Undefined();
    node->value = ScriptValue_Undefined();
    node->hash = 0;
    return node;
}

bool IsNameKey(const ScriptValue& key) { return key.kind == VALUE_STRING && key.str; }
}  // namespace

// ---------------------------------------------------------------- nodes

void CVariableListNode::Construct(const ScriptValue* newKey, const ScriptValue* newValue)
{
    key = ScriptValue_Undefined();
    value = ScriptValue_Undefined();
    key.Assign(*newKey);
    value.Assign(*newValue);
}

void CVariableListNode::ConstructKey(const ScriptValue* newKey)
{
    key = ScriptValue_Undefined();
    value = ScriptValue_Undefined();
    key.Assign(*newKey);
}

void CVariableListNode::CopyConstruct(const CVariableListNode* other)
{
    Construct(&other->key, &other->value);  // flags come along; an owned pointer is only borrowed
    hash = other->hash;
}

CVariableListNode* CVariableList::NewIdNode(int32_t id)
{
    CVariableListNode* node = TakeNode();
    node->key.i32 = id;
    node->key.kind = VALUE_INT32;
    node->value = ScriptValue_Real(0.0);
    node->hash = static_cast<uint32_t>(id);
    return node;
}

CVariableListNode* CVariableList::NewNameNode(const char* name)
{
    CVariableListNode* node = TakeNode();
    ScriptValue_InitString(&node->key, name);
    node->value = ScriptValue_Real(0.0);
    node->hash = CRC32_String(name);
    return node;
}

CVariableListNode* CVariableList::NewKeyNode(const ScriptValue* key)
{
    CVariableListNode* node = TakeNode();
    node->ConstructKey(key);
    node->hash = ScriptValue_Hash(key);
    return node;
}

void CVariableList::FreeNode(CVariableListNode* node)
{
    ScriptValue_SetUndefined(&node->key);
    ScriptValue_SetUndefined(&node->value);
    node->next = nullptr;
    node->poolNext = s_nodePool;
    s_nodePool = node;
}

// ---------------------------------------------------------------- the list

CVariableList::~CVariableList()
{
    FreeAllNodes();
}

void CVariableList::FreeAllNodes()
{
    for (CVariableListNode*& head : m_buckets) {
        CVariableListNode* node = head;
        while (node) {
            CVariableListNode* next = node->next;
            FreeNode(node);
            node = next;
        }
    }
}

void CVariableList::Clear()
{
    FreeAllNodes();
    for (CVariableListNode*& head : m_buckets) head = nullptr;
    m_count = 0;
}

void CVariableList::Insert(CVariableListNode* node)
{
    CVariableListNode*& head = m_buckets[node->hash & (kBuckets - 1)];
    node->next = head;
    head = node;
    ++m_count;
}

void CVariableList::Remove(CVariableListNode* node)
{
    CVariableListNode** link = &m_buckets[node->hash & (kBuckets - 1)];
    while (*link && *link != node) link = &(*link)->next;
    if (!*link) return;  // not in this list
    *link = node->next;
    --m_count;
    FreeNode(node);
}

void CVariableList::CopyFrom(const CVariableList* other)
{
    Clear();
    for (Iterator it = other->IterBegin(); it.node; it.Next()) {
        CVariableListNode* node = TakeNode();
        node->CopyConstruct(it.node);
        Insert(node);
    }
}

CVariableList::Iterator CVariableList::IterBegin() const
{
    Iterator it{nullptr, -1, kBuckets, m_buckets};
    it.Next();
    return it;
}

void CVariableList::Iterator::Next()
{
    if (node && node->next) {
        node = node->next;
        return;
    }
    node = nullptr;
    while (++bucket < endBucket) {
        if (buckets[bucket]) {
            node = buckets[bucket];
            return;
        }
    }
}

// ---------------------------------------------------------------- lookups

CVariableListNode* CVariableList::Find(const char* name) const
{
    if (!name) return nullptr;
    const uint32_t hash = CRC32_String(name);
    for (CVariableListNode* node = m_buckets[hash & (kBuckets - 1)]; node; node = node->next) {
        if (node->hash == hash && IsNameKey(node->key) && std::strcmp(ScriptValue_StringText(&node->key), name) == 0) return node;
    }
    return nullptr;
}

CVariableListNode* CVariableList::FindKey(const ScriptValue* key) const
{
    const uint32_t hash = ScriptValue_Hash(key);
    for (CVariableListNode* node = m_buckets[hash & (kBuckets - 1)]; node; node = node->next) {
        if (node->hash == hash && Value_CompareEpsilon(&node->key, key, MathEpsilon) == 0) return node;
    }
    return nullptr;
}

// The whole id must match: a name or value key whose low word happens to
// equal the id is a different entry.
CVariableListNode* CVariableList::FindId(int32_t id) const
{
    for (CVariableListNode* node = m_buckets[static_cast<uint32_t>(id) & (kBuckets - 1)]; node; node = node->next) {
        if (node->key.Kind() == VALUE_INT32 && node->key.i32 == id) return node;
    }
    return nullptr;
}

bool CVariableList::GetById(int32_t id, int32_t arrayIndex, ScriptValue* out) const
{
    g_ArrayIndexFault.set = false;
    if (CVariableListNode* node = FindId(id)) return ScriptValue_GetIndexed(out, &node->value, arrayIndex);
    if (GameOptions.unsetVariablesAreErrors) {
        ScriptValue_SetReal(out, 12345678.9);
        return false;
    }
    ScriptValue_SetReal(out, 0.0);
    return true;
}

bool CVariableList::SetById(int32_t id, int32_t arrayIndex, ScriptValue* value)
{
    g_ArrayIndexFault.set = false;
    CVariableListNode* node = FindId(id);
    if (!node) {
        node = NewIdNode(id);
        Insert(node);
    }
    ScriptValue_SetIndexed(&node->value, value, arrayIndex);
    return !g_ArrayIndexFault.set;
}

// ---------------------------------------------------------------- saved games

namespace {
// The name an entry is saved under, null for a value key.
const char* SavedName(const CVariableListNode* node)
{
    if (node->key.kind == VALUE_INT32) return Variable_GetName(nullptr, -1, node->key.i32);
    if (IsNameKey(node->key)) return ScriptValue_StringText(&node->key);
    return nullptr;
}

// Smallest room one entry takes: an empty name and the shortest value record.
constexpr size_t kMinEntryBytes = 1 + 4;
}  // namespace

void CVariableList::SaveToBuffer(IBuffer* buffer) const
{
    int32_t saved = 0;
    for (Iterator it = IterBegin(); it.node; it.Next()) {
        if (SavedName(it.node)) ++saved;
    }
    ScriptValue count = ScriptValue_Real(saved);
    buffer->Write(eBuffer_S32, &count);
    for (Iterator it = IterBegin(); it.node; it.Next()) {
        const char* name = SavedName(it.node);
        if (!name) continue;
        buffer->WriteString(name);
        ScriptValue_WriteToBuffer(&it.node->value, buffer);
    }
}

bool CVariableList::LoadFromBuffer(IBuffer* buffer)
{
    Clear();
    ScriptValue countValue = ScriptValue_Undefined();
    if (buffer->Read(eBuffer_S32, &countValue) != 0) return false;
    const int32_t count = static_cast<int32_t>(countValue.real);
    if (count > 0 && static_cast<size_t>(count) > buffer->Remaining() / kMinEntryBytes) return false;
    for (int32_t i = 0; i < count; ++i) {
        char* name = buffer->ReadString();
        ScriptValue value = ScriptValue_Undefined();
        if (!name || !ScriptValue_ReadFromBuffer(&value, buffer)) {
            QS_FREE(name);
            ScriptValue_SetUndefined(&value);
            Clear();
            return false;
        }
        int32_t id = Variable_FindId(name);
        if (id < 0) {
            LogConsole->Output("WARNING: Load game failed to find variable \"%s\"\n", name);
            ScriptValue_SetUndefined(&value);
        } else {
            CVariableListNode* node = NewIdNode(id);
            node->value = value;  // takes over the reference read
            Insert(node);
        }
        QS_FREE(name);
    }
    return true;
}
