#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Base/Console.h"
#include "Base/ErrorLast.h"
#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Code/Code_ValueConvert.h"
#include "Code/Code_ValueSave.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableTarget.h"
#include "Variable/Code_VariableValue.h"
#include "Code/JS_Main.h"
#include "Code/VariableList.h"
#include "World/InstanceFixture.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Options/Runner_Options.h"

namespace {
constexpr int32_t kHp = VARIABLE_ID_BASE + 1;

bool GetX(CInstance* self, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, self ? self->x : -1);
    return true;
}

bool SetX(CInstance* self, int32_t, ScriptValue* value)
{
    if (self) self->x = static_cast<float>(ScriptValue_ToReal(value));
    return true;
}

bool GetFps(CInstance*, int32_t, ScriptValue* out)
{
    ScriptValue_SetReal(out, 60);
    return true;
}

struct TargetTest : InstanceWorld {
    std::vector<std::unique_ptr<CInstance>> made;
    int32_t parent = 0, child = 0, other = 0;

    void SetUp() override
    {
        InstanceWorld::SetUp();
        HeadlessMode.noDialogs = true;
        ShowErrorDialogs = false;
        Console_SetStdoutSuppressed(true);
        Variable_BuiltIn_Add("x", GetX, SetX);
        Variable_BuiltIn_Add("fps", GetFps, nullptr);
        Variable_SetCounts(3, 2, 0);
        parent = NewObject(-1, 0)->index;
        CGameObject* c = NewObject(-1, 0);
        c->parent = parent;
        c->parentObject = Object_Get(parent);
        child = c->index;
        other = NewObject(-1, 0)->index;
    }
    // Our own instances are not the room's to delete.
    void TearDown() override
    {
        for (auto& i : made) {
            room.activeInstances.Remove(i.get());
            Instance_Delete(i->id);
        }
        made.clear();
        InstanceWorld::TearDown();
    }
    CInstance* Make(int32_t objectIndex, float depth)
    {
        const int32_t id = VARIABLE_ID_BASE + static_cast<int32_t>(made.size());
        made.push_back(std::make_unique<CInstance>(0.0f, 0.0f, id, objectIndex, true));
        CInstance* instance = made.back().get();
        instance->depth = depth;
        Instance_Insert(id, instance);
        room.activeInstances.Insert(instance);
        return instance;
    }
    static double Read(CInstance* instance, int32_t id)
    {
        ScriptValue out = ScriptValue_Undefined();
        if (!Variable_GetValue(instance, id, ARRAY_INDEX_NONE, &out)) return -999;
        if (out.Kind() == VALUE_UNSET) return -998;
        return ScriptValue_ToReal(&out);
    }
};

TEST_F(TargetTest, ValuesByIdOnInstances)
{
    CInstance* a = Make(parent, 0);
    ScriptValue seven = ScriptValue_Real(7);
    EXPECT_TRUE(Variable_SetValue(a, kHp, ARRAY_INDEX_NONE, &seven));
    EXPECT_EQ(Read(a, kHp), 7);
    EXPECT_TRUE(Variable_SetValue(a, 0, ARRAY_INDEX_NONE, &seven));  // x through its setter
    EXPECT_EQ(a->x, 7);
    // A read-only built-in, ids of nothing and the unused id range are refused.
    EXPECT_FALSE(Variable_SetValue(a, 1, ARRAY_INDEX_NONE, &seven));
    EXPECT_FALSE(Variable_SetValue(a, 2, ARRAY_INDEX_NONE, &seven));
    EXPECT_EQ(Read(a, 2), -999);
    EXPECT_EQ(Read(a, 50000), -999);
    EXPECT_EQ(Read(nullptr, kHp), -999);
    EXPECT_EQ(Read(a, 1), 60);
}

TEST_F(TargetTest, GlobalsKeepTheirFlagsAndSurviveASave)
{
    Variable_CreateGlobalObject();
    ScriptValue v = ScriptValue_Real(3);
    EXPECT_TRUE(Variable_SetGlobalValue(kHp, ARRAY_INDEX_NONE, &v));
    ScriptValue* cell = Variable_GlobalObject()->SlotAt(1);
    EXPECT_EQ(cell->flags, 7u);
    cell->flags = 1;
    v.real = 4;
    Variable_SetGlobalValue(kHp, ARRAY_INDEX_NONE, &v);
    EXPECT_EQ(cell->flags, 1u);

    Variable_InitGlobalFlags();
    Variable_GlobalFlags.bytes[2] = 1;
    IBuffer saved;
    Variable_SaveGlobals(&saved);
    v.real = 99;
    Variable_SetGlobalValue(kHp, ARRAY_INDEX_NONE, &v);
    Variable_GlobalFlags.bytes[2] = 0;
    saved.Seek(eBuffer_SeekStart, 0);
    ASSERT_TRUE(Variable_LoadGlobals(&saved));
    ScriptValue out = ScriptValue_Undefined();
    ASSERT_TRUE(Variable_GetGlobalValue(kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.real, 4);
    EXPECT_EQ(Variable_IsGlobalName(VARIABLE_ID_BASE + 2), 1);

    // A save cut short is refused; one of another global count is fatal.
    saved.Seek(eBuffer_SeekStart, 0);
    saved.Resize(saved.UsedSize() - 4);
    EXPECT_FALSE(Variable_LoadGlobals(&saved));
    Variable_SetCounts(4, 2, 0);
    saved.Seek(eBuffer_SeekStart, 0);
    ChildGame = true;
    EXPECT_FALSE(Variable_LoadGlobals(&saved));
    EXPECT_NE(std::string(ErrorLast_Get()).find("Save game format has changed"), std::string::npos);
}

TEST_F(TargetTest, EmptyFlagSectionFreesTheFlags)
{
    Variable_CreateGlobalObject();
    Variable_InitGlobalFlags();
    IBuffer saved;
    ScriptValue n = ScriptValue_Real(3);
    saved.Write(eBuffer_S32, &n);
    ScriptValue unset = ScriptValue_Undefined();
    for (int i = 0; i < 3; ++i) ScriptValue_WriteToBuffer(&unset, &saved);
    n.real = 0;
    saved.Write(eBuffer_S32, &n);
    saved.Seek(eBuffer_SeekStart, 0);
    ASSERT_TRUE(Variable_LoadGlobals(&saved));
    EXPECT_EQ(Variable_GlobalFlags.length, 0);
    EXPECT_EQ(Variable_IsGlobalName(VARIABLE_ID_BASE), 0);
}

TEST_F(TargetTest, AllInstancesWriteEveryOneReadTheFirst)
{
    CInstance* deep = Make(other, 10);
    CInstance* front = Make(parent, -5);
    CInstance* middle = Make(child, 0);
    room.activeInstances.Remove(deep);
    room.activeInstances.Remove(front);
    room.activeInstances.Remove(middle);
    for (CInstance* i : {deep, front, middle}) room.activeInstances.Insert(i);
    ScriptValue v = ScriptValue_Real(5);
    EXPECT_TRUE(Variable_SetByTarget(TARGET_ALL, kHp, ARRAY_INDEX_NONE, &v));
    for (CInstance* i : {deep, front, middle}) EXPECT_EQ(Read(i, kHp), 5);
    v.real = 6;
    Variable_SetValue(front, kHp, ARRAY_INDEX_NONE, &v);
    ScriptValue out = ScriptValue_Undefined();
    ASSERT_TRUE(Variable_GetByTarget(TARGET_ALL, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.real, 6);  // the first in depth order
}

TEST_F(TargetTest, ObjectTargetsReachDescendantsAndQueuedChanges)
{
    CInstance* p = Make(parent, 0);
    CInstance* c = Make(child, 0);
    CInstance* o = Make(other, 0);
    ScriptValue v = ScriptValue_Real(8);
    EXPECT_TRUE(Variable_SetByTarget(parent, kHp, ARRAY_INDEX_NONE, &v));
    EXPECT_EQ(Read(p, kHp), 8);
    EXPECT_EQ(Read(c, kHp), 8);
    EXPECT_EQ(Read(o, kHp), -998);

    // Changed to the child object this step: found through its new object.
    o->ChangeObject(child);
    v.real = 9;
    Variable_SetValue(o, kHp, ARRAY_INDEX_NONE, &v);
    c->m_deactivated = true;
    ScriptValue out = ScriptValue_Undefined();
    ASSERT_TRUE(Variable_GetByTarget(child, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.real, 9);
    EXPECT_FALSE(TargetMissingFlag);
}

TEST_F(TargetTest, DeactivatedOnlyInstanceIsFoundByIdAlone)
{
    CInstance* c = Make(child, 0);
    c->m_deactivated = true;
    ScriptValue out = ScriptValue_Undefined();
    EXPECT_FALSE(Variable_GetByTarget(child, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_TRUE(TargetMissingFlag);
    EXPECT_TRUE(Variable_GetByTarget(c->id, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_FALSE(TargetMissingFlag);
    c->m_marked = true;  // marked for destruction: not even by id
    EXPECT_FALSE(Variable_GetByTarget(c->id, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_FALSE(Variable_GetByTarget(-7, kHp, ARRAY_INDEX_NONE, &out));
    EXPECT_TRUE(TargetMissingFlag);
    EXPECT_STREQ(Variable_TargetName(VARIABLE_ID_BASE + 500), "<unknown_object>");
    EXPECT_STREQ(Variable_TargetName(-7), "<unknown_object>");
}

TEST_F(TargetTest, WritingWhereNoInstanceIsIsFatal)
{
    ChildGame = true;  // the report returns instead of ending the process
    ScriptValue v = ScriptValue_Real(1);
    EXPECT_FALSE(Variable_SetByTarget(other, kHp, ARRAY_INDEX_NONE, &v));
    EXPECT_NE(std::string(ErrorLast_Get()).find("Unable to find any instance for object index '2' name '__newobject2'"),
              std::string::npos)
        << ErrorLast_Get();
    FatalErrorShown = false;
    EXPECT_FALSE(Variable_SetByTarget(VARIABLE_ID_BASE + 77, kHp, ARRAY_INDEX_NONE, &v));
    EXPECT_NE(std::string(ErrorLast_Get()).find("Unable to find any instance for object index '100077'"),
              std::string::npos);
    EXPECT_FALSE(Variable_SetByTarget(-9, kHp, ARRAY_INDEX_NONE, &v));
    EXPECT_EQ(PendingRoomCode, ROOMCODE_END);
}
TEST_F(TargetTest, ScopeChainInObjectMode)
{
    ObjectMode = true;
    NewCodeFormat = true;
    Variable_SetTableSizes(0, 2, 0);
    Variable_DefineName("lives", -1, 0);
    Variable_DefineName("locked", -1, 1);
    KVObjectBase* inner = KVObjectBase::Alloc(0, VALUE_UNSET, false);
    KVObjectBase* outer = KVObjectBase::Alloc(0, VALUE_UNSET, false);
    inner->m_parentScope = outer;
    GlobalScopeObject = inner;
    outer->AddReal("lives", 3, VALUE_FLAG_CONFIGURABLE);
    outer->AddReal("locked", 1, 0);

    ScriptValue out = ScriptValue_Undefined();
    ASSERT_TRUE(Variable_GetScoped(VARIABLE_ID_BASE, ARRAY_INDEX_NONE, &out));
    EXPECT_EQ(out.real, 3);
    ScriptValue v = ScriptValue_Real(4);
    Variable_SetScoped(VARIABLE_ID_BASE, ARRAY_INDEX_NONE, &v);  // where it lives: the outer scope
    EXPECT_EQ(outer->m_properties->Find("lives")->value.real, 4);
    EXPECT_EQ(inner->m_properties->Find("lives"), nullptr);

    EXPECT_FALSE(Variable_DeleteScoped(VARIABLE_ID_BASE + 1, ARRAY_INDEX_NONE));
    EXPECT_NE(outer->m_properties->Find("locked"), nullptr);
    EXPECT_TRUE(Variable_DeleteScoped(VARIABLE_ID_BASE, ARRAY_INDEX_NONE));
    EXPECT_EQ(outer->m_properties->Find("lives"), nullptr);
    EXPECT_FALSE(Variable_GetScoped(VARIABLE_ID_BASE, ARRAY_INDEX_NONE, &out));

    GlobalScopeObject = nullptr;
    KVObjectBase::Free(inner);
    KVObjectBase::Free(outer);
    ObjectMode = false;
    NewCodeFormat = false;
}
TEST_F(TargetTest, SlotsByNameFollowTheObjectsTable)
{
    Variable_CreateGlobalObject();
    CInstance* a = Make(parent, 0);
    EXPECT_EQ(Variable_FindSlot(Variable_GlobalObject(), "gold"), -1);
    const int32_t gold = Variable_FindOrAddSlot(Variable_GlobalObject(), "gold");
    EXPECT_EQ(Variable_FindGlobal("gold"), gold);
    EXPECT_EQ(Variable_FindInstance("gold"), -1);
    const int32_t speed = Variable_FindOrAddSlot(a, "speed");
    EXPECT_EQ(Variable_FindSlot(a, "speed"), speed);
    EXPECT_EQ(Variable_FindOrAddSlot(a, "speed"), speed);
    EXPECT_EQ(Variable_FindGlobal("speed"), -1);
}
}  // namespace
