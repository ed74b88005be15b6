// The "DS.." group through the built-in function table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "DataStructure/DS_Values.h"
#include "Function/Function_Data_Structures.h"
#include "Function/MathFunctionFixture.h"
#include "support/RecordingConsole.h"

namespace {
constexpr const char* kBadHandle = "Data structure with index does not exist.";

struct DsFunctions : MathFunctions {
    RecordingConsole console;
    tagIConsole* savedOutput = nullptr;

    void SetUp() override
    {
        MathFunctions::SetUp();
        InitDataStructureFunctions();
        savedOutput = OutputConsole;
        OutputConsole = &console;
        DsSetPrecision(1e-08);
    }
    void TearDown() override
    {
        for (int32_t h = 0; h < DsMapTable.count; ++h) DsMap_Destroy(h);
        for (int32_t h = 0; h < DsListTable.count; ++h) DsList_Destroy(h);
        for (int32_t h = 0; h < DsStackTable.count; ++h) DsStack_Destroy(h);
        for (int32_t h = 0; h < DsQueueTable.count; ++h) DsQueue_Destroy(h);
        for (int32_t h = 0; h < DsGridTable.count; ++h) DsGrid_Destroy(h);
        for (int32_t h = 0; h < DsPriorityTable.count; ++h) DsPriority_Destroy(h);
        OutputConsole = savedOutput;
        DsSetPrecision(1e-08);
        MathFunctions::TearDown();
    }
    static ScriptValue U() { return ScriptValue_Undefined(); }
    // The kind of a call's result; the result is released.
    static uint32_t KindOf(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        const uint32_t kind = result.kind;
        ScriptValue_SetUndefined(&result);
        return kind;
    }
    static void Run(const char* name, std::vector<ScriptValue> args)
    {
        ScriptValue result = Call(name, std::move(args));
        ScriptValue_SetUndefined(&result);
    }
    // Text of the last report and of the console since the last call.
    std::string TakeOutput()
    {
        std::string out = TakeError() + "|" + console.text;
        console.text.clear();
        return out;
    }
    static double H(const char* create) { return Num(create, {}); }
};

TEST_F(DsFunctions, GroupRegistersEveryBuiltin)
{
    const char* names[] = {"ds_set_precision", "ds_exists",        "ds_stack_read",    "ds_queue_tail",
                           "ds_list_set_pre",  "ds_map_read",      "ds_priority_read", "ds_grid_sort",
                           "ds_grid_get",      "ds_map_find_last", "ds_list_mark_as_map"};
    for (const char* name : names) {
        int32_t index;
        EXPECT_TRUE(CodeFunction_Find(name, &index)) << name;
    }
}

TEST_F(DsFunctions, BadHandlesAreReportedAndLeaveTheResult)
{
    const double stack = H("ds_stack_create");
    Run("ds_stack_destroy", {R(stack)});
    const double list = H("ds_list_create");
    struct Case {
        const char* name;
        std::vector<ScriptValue> args;
        uint32_t resultKind;
    };
    std::vector<Case> cases = {
        {"ds_stack_size", {R(stack)}, VALUE_UNDEFINED},
        {"ds_stack_destroy", {R(stack)}, VALUE_UNDEFINED},  // destroyed twice
        {"ds_stack_push", {R(-1), R(1)}, VALUE_UNDEFINED},
        {"ds_stack_push", {R(0)}, VALUE_UNDEFINED},  // no value: reported whatever the handle
        {"ds_queue_dequeue", {R(1e6)}, VALUE_UNDEFINED},
        {"ds_priority_delete_min", {R(-3)}, VALUE_UNDEFINED},
        {"ds_list_find_value", {R(-1), R(0)}, VALUE_UNDEFINED},
        {"ds_list_add", {R(list)}, VALUE_UNDEFINED},
        {"ds_list_destroy", {R(-1)}, VALUE_UNDEFINED},
        {"ds_list_copy", {R(list), R(999)}, VALUE_UNDEFINED},
        {"ds_map_add", {R(-1), S("k"), R(1)}, VALUE_REAL},  // 0 or 1 results are 0
        {"ds_map_exists", {R(-1), S("k")}, VALUE_REAL},
        {"ds_map_set_pre", {R(-1), S("k"), R(5)}, VALUE_REAL},  // the value, report or not
        {"ds_map_set_post", {R(-1), S("k"), R(5)}, VALUE_UNDEFINED},
        {"ds_grid_width", {R(-1)}, VALUE_REAL},
        {"ds_grid_get", {R(-1), R(0), R(0)}, VALUE_UNDEFINED},
        {"ds_grid_set_grid_region", {R(-1), R(0), R(0), R(0), R(0), R(0), R(0), R(0)}, VALUE_UNDEFINED},
    };
    for (Case& c : cases) {
        EXPECT_EQ(KindOf(c.name, std::move(c.args)), c.resultKind) << c.name;
        const std::string out = TakeOutput();
        EXPECT_NE(out.find(kBadHandle), std::string::npos) << c.name << ": " << out;
    }
    // Lists and maps accept an empty slot inside their table silently.
    Run("ds_list_destroy", {R(list)});
    Run("ds_list_destroy", {R(list)});
    const double map = H("ds_map_create");
    Run("ds_map_destroy", {R(map)});
    Run("ds_map_destroy", {R(map)});
    EXPECT_EQ(TakeOutput(), "|");
}

TEST_F(DsFunctions, StacksQueuesAndPriorityQueues)
{
    const double stack = H("ds_stack_create");
    Run("ds_stack_push", {R(stack), R(1), R(2), R(3)});
    EXPECT_EQ(Num("ds_stack_pop", {R(stack)}), 3);
    EXPECT_EQ(Num("ds_stack_top", {R(stack)}), 2);
    EXPECT_EQ(Num("ds_stack_size", {R(stack)}), 2);

    const double queue = H("ds_queue_create");
    Run("ds_queue_enqueue", {R(queue)});  // only the handle: nothing, no report
    Run("ds_queue_enqueue", {R(queue), S("a"), S("b")});
    EXPECT_EQ(Str("ds_queue_head", {R(queue)}), "a");
    EXPECT_EQ(Str("ds_queue_tail", {R(queue)}), "b");
    EXPECT_EQ(Str("ds_queue_dequeue", {R(queue)}), "a");
    EXPECT_EQ(Str("ds_queue_dequeue", {R(queue)}), "b");
    EXPECT_EQ(KindOf("ds_queue_dequeue", {R(queue)}), VALUE_UNDEFINED);
    EXPECT_EQ(Num("ds_queue_empty", {R(queue)}), 1);

    const double pq = H("ds_priority_create");
    EXPECT_EQ(Num("ds_priority_delete_min", {R(pq)}), 0);
    EXPECT_EQ(KindOf("ds_priority_find_min", {R(pq)}), VALUE_UNDEFINED);
    Run("ds_priority_add", {R(pq), S("first"), R(1)});
    Run("ds_priority_add", {R(pq), S("second"), R(1)});
    Run("ds_priority_add", {R(pq), S("high"), R(9)});
    EXPECT_EQ(Str("ds_priority_find_min", {R(pq)}), "first");
    EXPECT_EQ(Str("ds_priority_delete_min", {R(pq)}), "first");
    EXPECT_EQ(Str("ds_priority_delete_max", {R(pq)}), "high");
    Run("ds_set_precision", {R(-0.5)});
    Run("ds_priority_add", {R(pq), R(1), R(4)});
    EXPECT_EQ(Num("ds_priority_find_priority", {R(pq), R(1.4)}), 4);
    EXPECT_EQ(TakeOutput(), "|");

    // A copy from a destroyed source reports and leaves the destination.
    const double other = H("ds_stack_create");
    Run("ds_stack_destroy", {R(other)});
    Run("ds_stack_copy", {R(stack), R(other)});
    EXPECT_NE(TakeOutput().find(kBadHandle), std::string::npos);
    EXPECT_EQ(Num("ds_stack_size", {R(stack)}), 2);
}

TEST_F(DsFunctions, ReadFlagsAndTextsThroughTheBuiltins)
{
    const double list = H("ds_list_create");
    Run("ds_list_add", {R(list), R(1), S("two")});
    const std::string text = Str("ds_list_write", {R(list)});
    const double back = H("ds_list_create");
    Run("ds_list_read", {R(back), S(text.c_str())});
    EXPECT_EQ(Str("ds_list_find_value", {R(back), R(1)}), "two");
    Run("ds_list_read", {R(back), S(text.c_str()), R(0.7)});  // legacy flag: Arg_Int32(0.7) is 0
    EXPECT_EQ(Num("ds_list_find_value", {R(back), R(0)}), 1);

    // Priority queues read the flag with Arg_Bool: 0.7 means the legacy layout.
    const double pq = H("ds_priority_create");
    Run("ds_priority_add", {R(pq), R(3), R(1)});
    const std::string pqText = Str("ds_priority_write", {R(pq)});
    Run("ds_priority_read", {R(pq), S(pqText.c_str()), R(0.7)});
    EXPECT_EQ(KindOf("ds_priority_find_max", {R(pq)}), VALUE_STRING);

    const double map = H("ds_map_create");
    Run("ds_map_read", {R(map), S("1:61:3FF0")});
    EXPECT_EQ(Num("ds_map_find_value", {R(map), S("a")}), 1);
    EXPECT_EQ(TakeOutput(), "|");
}

TEST_F(DsFunctions, ListMarksSetsAndSorts)
{
    const double list = H("ds_list_create");
    const double map = H("ds_map_create");
    Run("ds_list_add", {R(list), R(map)});
    EXPECT_EQ(Num("ds_list_mark_as_map", {R(list), R(0)}), map);
    ScriptValue found = Call("ds_list_find_value", {R(list), R(0)});
    EXPECT_EQ(found.kind, VALUE_REAL);  // handed back without the mark
    EXPECT_EQ(KindOf("ds_list_mark_as_list", {R(list), R(5)}), VALUE_UNDEFINED);
    Run("ds_list_clear", {R(list)});
    EXPECT_EQ(Num("ds_exists", {R(map), R(DS_TYPE_MAP)}), 0);

    Run("ds_list_set", {R(list), R(5), R(9)});
    EXPECT_EQ(Num("ds_list_size", {R(list)}), 6);
    EXPECT_EQ(Num("ds_list_find_value", {R(list), R(4)}), 0);
    Run("ds_list_set", {R(list), R(0), R(7)});
    EXPECT_EQ(Num("ds_list_set_post", {R(list), R(0), R(8)}), 7);
    EXPECT_EQ(Num("ds_list_set_pre", {R(list), R(0), R(9)}), 9);
    EXPECT_EQ(Num("ds_list_set_post", {R(list), R(7), R(1)}), 0);  // grows: the old value is 0
    EXPECT_EQ(KindOf("ds_list_set_post", {R(list), R(-1), R(1)}), VALUE_UNDEFINED);

    const double sorted = H("ds_list_create");
    Run("ds_list_add", {R(sorted), R(2), R(1), S("a")});
    Run("ds_list_sort", {R(sorted), R(0.7)});  // Arg_Bool: ascending
    EXPECT_EQ(Num("ds_list_find_value", {R(sorted), R(0)}), 1);
    EXPECT_EQ(Num("ds_list_find_index", {R(sorted), S("b")}), -1);
    EXPECT_EQ(TakeOutput(), "|");
}

TEST_F(DsFunctions, MapNestingAndResults)
{
    const double a = H("ds_map_create"), b = H("ds_map_create");
    const double list = H("ds_list_create");
    H("ds_list_create");
    H("ds_list_create");  // lists up to 2 exist
    EXPECT_EQ(Num("ds_map_add", {R(a), S("k"), R(1)}), 1);
    EXPECT_EQ(Num("ds_map_add", {R(a), S("k"), R(2)}), 0);
    EXPECT_EQ(Num("ds_map_find_value", {R(a), S("k")}), 1);
    EXPECT_EQ(Num("ds_map_add", {R(a), I64(3), R(1)}), 1);
    EXPECT_EQ(Num("ds_map_exists", {R(a), R(3)}), 1);  // the real 3 and the int64 3 are one key

    struct Case {
        const char* name;
        ScriptValue value;
        const char* error;
    } invalid[] = {
        {"ds_map_add_list", S("2"), "Invalid list index for value"},
        {"ds_map_add_list", I64(2), "Invalid list index for value"},
        {"ds_map_add_list", R(50), "Invalid list index for value"},
        {"ds_map_replace_map", R(40), "Invalid map index for value"},
    };
    for (Case& c : invalid) {
        EXPECT_EQ(Num(c.name, {R(a), S("n"), c.value}), 0) << c.name;
        const std::string out = TakeOutput();
        EXPECT_NE(out.find(c.error), std::string::npos) << c.name << ": " << out;
    }
    EXPECT_EQ(Num("ds_map_exists", {R(a), S("n")}), 0);

    EXPECT_EQ(Num("ds_map_add_list", {R(a), S("list"), R(list + 0.7)}), 1);
    EXPECT_EQ(Num("ds_map_replace_map", {R(a), S("child"), R(b)}), 0);  // added, not replaced
    EXPECT_EQ(Num("ds_map_set_post", {R(a), S("new"), R(4)}), 4);
    EXPECT_EQ(Num("ds_map_set_post", {R(a), S("new"), R(5)}), 4);
    EXPECT_EQ(KindOf("ds_map_find_value", {R(a), S("child")}), VALUE_REAL);
    Run("ds_map_destroy", {R(a)});
    EXPECT_EQ(Num("ds_exists", {R(b), R(DS_TYPE_MAP)}), 0);
    EXPECT_EQ(Num("ds_exists", {R(list), R(DS_TYPE_LIST)}), 0);

    // A map nested in itself is destroyed once, without recursing.
    const double self = H("ds_map_create");
    EXPECT_EQ(Num("ds_map_add_map", {R(self), S("me"), R(self)}), 1);
    Run("ds_map_clear", {R(self)});
    EXPECT_EQ(Num("ds_exists", {R(self), R(DS_TYPE_MAP)}), 1);
    EXPECT_EQ(Num("ds_map_add_map", {R(self), S("me"), R(self)}), 1);
    Run("ds_map_destroy", {R(self)});
    EXPECT_EQ(Num("ds_exists", {R(self), R(DS_TYPE_MAP)}), 0);

    const double empty = H("ds_map_create");
    EXPECT_EQ(KindOf("ds_map_find_first", {R(empty)}), VALUE_UNDEFINED);
    Run("ds_map_add", {R(empty), S("only"), R(1)});
    EXPECT_EQ(Str("ds_map_find_first", {R(empty)}), "only");
    EXPECT_EQ(KindOf("ds_map_find_next", {R(empty), S("only")}), VALUE_UNDEFINED);

    const double small = Num("ds_map_create", {R(64)});
    EXPECT_EQ(DsMapTable.Get(int32_t(small))->BucketCount(), 64);
    const double two = Num("ds_map_create", {R(64), R(1)});
    EXPECT_EQ(DsMapTable.Get(int32_t(two))->BucketCount(), 256);
    EXPECT_EQ(TakeOutput(), "|");
}

TEST_F(DsFunctions, GridBoundsAndReleaseMode)
{
    const double grid = Num("ds_grid_create", {R(3), R(2)});
    const std::string line =
        "Grid " + std::to_string(int(grid)) + ", index out of bounds writing [3,0] - size is [3,2]\n";
    Run("ds_grid_set", {R(grid), R(2), R(1), R(5)});
    EXPECT_EQ(Num("ds_grid_get", {R(grid), R(2), R(1)}), 5);
    Run("ds_grid_set", {R(grid), R(3), R(0), R(1)});
    EXPECT_EQ(TakeOutput(), "|" + line);
    EXPECT_EQ(KindOf("ds_grid_get", {R(grid), R(3), R(0)}), VALUE_UNDEFINED);
    EXPECT_EQ(TakeOutput(), "|" + line);
    EXPECT_EQ(Num("ds_grid_set_post", {R(grid), R(2), R(1), R(6)}), 5);
    EXPECT_EQ(Num("ds_grid_set_pre", {R(grid), R(2), R(1), R(7)}), 7);

    // The fast forms print nothing and still touch nothing outside a grid.
    DsGrid_SetBoundsChecking(false);
    struct Access {
        double handle, x, y;
    } outside[] = {{grid, 3, 0}, {grid, -1, 0}, {grid, 0, 2}, {-1, 0, 0}, {1e6, 0, 0}};
    for (const Access& at : outside) {
        Run("ds_grid_set", {R(at.handle), R(at.x), R(at.y), R(1)});
        EXPECT_EQ(KindOf("ds_grid_get", {R(at.handle), R(at.x), R(at.y)}), VALUE_UNDEFINED);
    }
    EXPECT_EQ(TakeOutput(), "|");
    EXPECT_EQ(Num("ds_grid_get", {R(grid), R(2), R(1)}), 7);
    DsGrid_SetBoundsChecking(true);
    Run("ds_grid_get", {R(grid), R(3), R(0)});
    EXPECT_EQ(TakeOutput(), "|" + line);

    Run("ds_grid_resize", {R(grid), R(0), R(4)});
    EXPECT_NE(TakeOutput().find("Error: Can not resize a grid with a dimension of <=0"), std::string::npos);
    EXPECT_EQ(Num("ds_grid_width", {R(grid)}), 3);

    // Sizes no grid can take are refused with a report.
    EXPECT_EQ(Num("ds_grid_create", {R(-1), R(2)}), -1);
    EXPECT_NE(TakeOutput().find("cannot be made"), std::string::npos);
    EXPECT_EQ(Num("ds_grid_create", {R(100000), R(100000)}), -1);
    TakeOutput();
}

TEST_F(DsFunctions, GridAreasAndSort)
{
    const double grid = Num("ds_grid_create", {R(3), R(3)});
    Run("ds_grid_set_region", {R(grid), R(0), R(0), R(2), R(2), R(1)});
    Run("ds_grid_add_disk", {R(grid), R(1), R(1), R(1), R(2)});
    EXPECT_EQ(Num("ds_grid_get_sum", {R(grid), R(0), R(0), R(2), R(2)}), 9 + 10);
    EXPECT_EQ(Num("ds_grid_get_disk_mean", {R(grid), R(1), R(1), R(0.5)}), 3);
    EXPECT_EQ(Num("ds_grid_value_x", {R(grid), R(0), R(0), R(2), R(2), R(3)}), 0);  // (0, 1) comes first
    EXPECT_EQ(Num("ds_grid_value_y", {R(grid), R(0), R(0), R(2), R(2), R(3)}), 1);
    EXPECT_EQ(Num("ds_grid_value_disk_exists", {R(grid), R(0), R(0), R(0.5), R(3)}), 0);
    Run("ds_grid_multiply", {R(grid), R(0), R(0), R(10)});
    EXPECT_EQ(Num("ds_grid_get_max", {R(grid), R(0), R(0), R(2), R(2)}), 10);
    Run("ds_grid_set", {R(grid), R(2), R(0), R(7)});
    Run("ds_grid_sort", {R(grid), R(0), R(0.6)});  // Arg_Bool: ascending, rows 1, 3, 10 by column 0
    EXPECT_EQ(Num("ds_grid_get", {R(grid), R(0), R(0)}), 1);
    EXPECT_EQ(Num("ds_grid_get", {R(grid), R(2), R(2)}), 7);  // the row moves whole
    Run("ds_grid_sort", {R(grid), R(0), R(0.4)});  // 0.5 or less: descending
    EXPECT_EQ(Num("ds_grid_get", {R(grid), R(0), R(0)}), 10);

    const double other = Num("ds_grid_create", {R(1), R(1)});
    Run("ds_grid_set_grid_region", {R(other), R(grid), R(0), R(0), R(0), R(0), R(0), R(0)});
    EXPECT_EQ(Num("ds_grid_get", {R(other), R(0), R(0)}), 10);
    EXPECT_EQ(TakeOutput(), "|");
}
}  // namespace
