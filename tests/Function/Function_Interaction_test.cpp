// Messages, questions, text input and file dialogs answered by the headless
// dialog's script, modal and asynchronous, and the virtual-key built-ins.
#include <gtest/gtest.h>

#include <string>

#include "Function/InteractionFunctionFixture.h"
#include "IO/FileWhitelist.h"
#include "Network/Async_Requests.h"
#include "IO/IO_Async.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Input.h"
#include "support/AsyncEvents.h"

namespace {
TEST_F(InteractionFunctions, MessagesShowTheValueAsText)
{
    Call("show_message", {R(5)});
    EXPECT_EQ(dialog.LastText(), "5");
    Call("show_message", {R(2.5)});
    EXPECT_EQ(dialog.LastText(), "2.50");
    Register(false);
    Call("show_message", {S("one#two\\#three")});
    EXPECT_EQ(dialog.LastText(), "one\rtwo#three") << "a legacy game breaks lines at #";
}

TEST_F(InteractionFunctions, ModalDialogsAnswerFromTheScriptAndClearInput)
{
    Key(SDL_SCANCODE_A, true);
    Frame();
    dialog.QueueAnswer(0);
    EXPECT_EQ(Num("show_question", {S("Sure?")}), 0);
    EXPECT_EQ(Num("keyboard_check", {R('A')}), 0) << "input is cleared after a modal dialog";
    EXPECT_EQ(Num("show_question", {S("Sure?")}), 1) << "unscripted: Yes";

    dialog.QueueText(true, "12abc");
    EXPECT_EQ(Num("get_integer", {S("How many?"), R(3)}), 12);
    dialog.QueueText(false, "");
    EXPECT_EQ(Call("get_integer", {S("How many?"), R(3)}).Kind(), VALUE_UNDEFINED) << "Cancel sets no result";
    EXPECT_EQ(Num("get_integer", {S("How many?"), R(3)}), 3) << "unscripted: the default";
    dialog.QueueText(false, "ignored");
    EXPECT_EQ(Str("get_string", {S("Name?"), S("Ann")}), "");
    dialog.QueueText(true, "Bob");
    EXPECT_EQ(Str("get_string", {S("Name?"), S("Ann")}), "Bob");
    EXPECT_EQ(dialog.LastText(), "Name?");
}

TEST_F(InteractionFunctions, FileDialogsAddTheDefaultExtensionAndAdmitThePath)
{
    dialog.QueueText(true, "/tmp/qs-dialog/notes");
    EXPECT_EQ(Str("get_save_filename", {S("Text files|*.txt|All|*.*"), S("")}), "/tmp/qs-dialog/notes.txt");
    EXPECT_TRUE(FileWhitelist_Match(&FileWhitelist_Write, "/tmp/qs-dialog/notes.txt"));
    dialog.QueueText(true, "/tmp/qs-dialog/report.md");
    EXPECT_EQ(Str("get_save_filename_ext", {S("Text files|*.txt"), S(""), S("/tmp"), S("Save")}),
              "/tmp/qs-dialog/report.md") << "a typed extension stays";
    dialog.QueueText(true, "/tmp/qs-dialog/level.dat");
    EXPECT_EQ(Str("get_open_filename", {S("Levels|*.dat"), S("")}), "/tmp/qs-dialog/level.dat");
    EXPECT_TRUE(FileWhitelist_Match(&FileWhitelist_Read, "/tmp/qs-dialog/level.dat"));
    EXPECT_EQ(Str("get_open_filename", {S(""), S("")}), "") << "unscripted: cancelled";
    FileWhitelist_Free(&FileWhitelist_Read);
    FileWhitelist_Free(&FileWhitelist_Write);
}

// The dialog results waiting on the request list, each as "key=value " in key order.
std::vector<std::string> TakeDialogEvents()
{
    asyncevents::Events.clear();
    Async_ProcessRequestList(asyncevents::Fire);
    std::vector<std::string> out;
    for (const AsyncEventRecord& event : asyncevents::Events) {
        EXPECT_EQ(event.subKind, IO_ASYNC_DIALOG);
        std::string text;
        for (const auto& [key, value] : event.fields) text += key + "=" + value + " ";
        out.push_back(text);
    }
    return out;
}

TEST_F(InteractionFunctions, AsyncDialogsOpenOneAtATime)
{
    dialog.ResetRecord();
    const int32_t next = AsyncId_Peek();
    const double first = Num("show_message_async", {S("first")});
    const double second = Num("show_message_async", {S("second")});
    EXPECT_EQ(first, next) << "dialog ids come from the request list's counter";
    EXPECT_EQ(second, next + 1);
    EXPECT_EQ(dialog.ShowCount(), 1) << "the second waits for the first's result";
    EXPECT_EQ(dialog.LastText(), "first");
    InputQuery_ProcessAsync();
    std::vector<std::string> events = TakeDialogEvents();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], "id=" + std::to_string(static_cast<int>(first)) + " status=1 ");
    EXPECT_EQ(dialog.ShowCount(), 2);
    EXPECT_EQ(dialog.LastText(), "second");
    InputQuery_ProcessAsync();
    InputQuery_ProcessAsync();
    EXPECT_EQ(TakeDialogEvents().size(), 1u) << "one result per dialog";
}

TEST_F(InteractionFunctions, AsyncResultMaps)
{
    struct Case {
        const char* function;
        std::vector<const char*> arguments;
        int button;  // -1: a text answer
        bool ok;
        const char* text;
        const char* password;
        std::string expected;  // after the id, in key order
    };
    const Case cases[] = {
        {"get_string_async", {"Name?", "x"}, -1, false, "typed", "", "result= status=0 value=0 "},
        {"get_integer_async", {"Count?", "0"}, -1, true, "-3.5e1 apples", "", "result=-3.5e1 apples status=1 value=-35 "},
        {"show_question_async", {"Sure?"}, 1, true, "", "", "result=1 status=1 value=1 "},
        {"show_question_async", {"Sure?"}, 0, true, "", "", "result= status=0 value=0 "},
        {"get_login_async", {"ann", "pw"}, -1, true, "", "secret", "password=secret status=0 username= "},
        {"get_login_async", {"ann", "pw"}, -1, true, "bob", "pw2", "password=pw2 status=4 username=bob "},
        {"get_login_async", {"ann", "pw"}, -1, false, "", "", "password= status=0 username= "},
    };
    for (const Case& c : cases) {
        if (c.button >= 0) dialog.QueueAnswer(c.button);
        else dialog.QueueText(c.ok, c.text, c.password);
        std::vector<ScriptValue> args;
        for (const char* a : c.arguments) args.push_back(S(a));
        const int id = static_cast<int>(Num(c.function, args));
        InputQuery_ProcessAsync();
        std::vector<std::string> events = TakeDialogEvents();
        ASSERT_EQ(events.size(), 1u) << c.function;
        EXPECT_EQ(events[0], "id=" + std::to_string(id) + " " + c.expected) << c.function << " " << c.text;
    }
}

TEST(DialogTextValueTest, LongestNumericPrefix)
{
    struct Case { const char* text; double value; };
    const Case cases[] = {{"12abc", 12}, {"-3.5e2x", -350}, {"abc", 0}, {".5", 0.5}, {"1e", 1},
                          {"  7", 7},    {"+", 0},          {"", 0},     {"4.", 4}, {"-.25e-1", -0.025}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(Dialog_TextValue(c.text), c.value) << c.text;
}

TEST_F(InteractionFunctions, VirtualKeysAreHandedOutAndChecked)
{
    const double handle = Num("virtual_key_add", {R(10), R(20), R(30), R(40), R('Z')});
    ASSERT_GE(handle, 1);
    const IO_VirtualButton* button = IO_GetVirtualButton(static_cast<int>(handle) - 1);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->right, 40);
    EXPECT_EQ(button->bottom, 60);
    EXPECT_EQ(button->key, 'Z');
    EXPECT_EQ(button->flags, IO_VBUTTON_ACTIVE);
    Call("virtual_key_show", {R(handle)});
    EXPECT_EQ(button->flags, IO_VBUTTON_ACTIVE | IO_VBUTTON_SHOWN);
    Call("virtual_key_hide", {R(handle)});
    EXPECT_EQ(button->flags, IO_VBUTTON_ACTIVE);
    Call("virtual_key_delete", {R(handle)});
    EXPECT_EQ(button->flags, 0);
    Call("virtual_key_show", {R(129)});
    EXPECT_NE(TakeError().find("Illegal virtual key handle"), std::string::npos);
    for (int i = 0; i < IO_VIRTUAL_BUTTONS; ++i) Call("virtual_key_add", {R(0), R(0), R(1), R(1), R(1)});
    EXPECT_EQ(Num("virtual_key_add", {R(0), R(0), R(1), R(1), R(1)}), -1) << "the table is full";
}
}  // namespace
