#include "Function/Function_Interaction.h"

#include <string>

#include "Base/Console.h"
#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Font/Graphics_Text.h"
#include "GameData/GameHeader.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "IO/FileWhitelist.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Input.h"
#include "IO/IO_Main.h"

namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

std::string g_DialogCaption;

// The caption of every dialog: the window's caption once the game set one,
// else the one taken at registration.
const char* Caption()
{
    const char* window = GR_Window_GetCaption();
    return window && *window ? window : g_DialogCaption.c_str();
}

// A value as dialog text; a legacy game writes line breaks as '#' ("\#" for
// the character itself).
std::string DialogText(const ScriptValue* value)
{
    char* text = ValueToNewString(value);
    ConvertLegacyNewlines(text);
    std::string out = text ? text : "";
    Code_FreeMemory(text);
    return out;
}

std::string ArgText(ScriptValue* args, int n)
{
    const char* text = Arg_String(args, n);
    return text ? text : "";
}

ROUTINE(F_ShowMessage)
{
    ShowMessageBoxCaptioned(Caption(), DialogText(&args[0]).c_str());
    IO_Clear();
}

ROUTINE(F_ShowQuestion)
{
    ScriptValue_SetReal(result, InputQuery_ShowQuestion(Caption(), DialogText(&args[0]).c_str()) ? 1 : 0);
    IO_Clear();
}

ROUTINE(F_ShowMessageAsync)
{
    ScriptValue_SetReal(result, InputQuery_MessageAsync(Caption(), DialogText(&args[0]).c_str()));
    IO_Clear();
}

ROUTINE(F_ShowQuestionAsync)
{
    ScriptValue_SetReal(result, InputQuery_QuestionAsync(Caption(), DialogText(&args[0]).c_str()));
    IO_Clear();
}

ROUTINE(F_ShowError) { ReportRuntimeError(ArgText(args, 0).c_str(), Arg_Bool(args, 1)); }

ROUTINE(F_GetInteger)
{
    std::string text;
    const bool ok = InputQuery_GetString(Caption(), ArgText(args, 0).c_str(), DialogText(&args[1]).c_str(), &text);
    if (ok) ScriptValue_SetReal(result, Dialog_TextValue(text.c_str()));
    IO_Clear();
}

ROUTINE(F_GetString)
{
    std::string text;
    const bool ok = InputQuery_GetString(Caption(), ArgText(args, 0).c_str(), DialogText(&args[1]).c_str(), &text);
    IO_Clear();
    ScriptValue_SetString(result, ok ? text.c_str() : "");
}

ROUTINE(F_GetInputAsync)
{
    ScriptValue_SetReal(result,
                        InputQuery_InputAsync(Caption(), ArgText(args, 0).c_str(), DialogText(&args[1]).c_str()));
}

ROUTINE(F_GetLoginAsync)
{
    ScriptValue_SetReal(result, InputQuery_LoginAsync(ArgText(args, 0).c_str(), ArgText(args, 1).c_str()));
}

void FileDialog(ScriptValue* result, ScriptValue* args, bool save, bool extended)
{
    const std::string filter = ArgText(args, 0), name = ArgText(args, 1);
    const std::string directory = extended ? ArgText(args, 2) : "", title = extended ? ArgText(args, 3) : "";
    const std::string path = save ? Dialog_GetSaveFilename(filter.c_str(), name.c_str(), directory.c_str(), title.c_str())
                                  : Dialog_GetOpenFilename(filter.c_str(), name.c_str(), directory.c_str(), title.c_str());
    // The player chose this file: the game may now read (or write) it.
    if (!path.empty()) FileWhitelist_Add(save ? &FileWhitelist_Write : &FileWhitelist_Read, path.c_str(), 0);
    ScriptValue_SetString(result, path.c_str());
    IO_Clear();
}

ROUTINE(F_GetOpenFilename) { FileDialog(result, args, false, false); }
ROUTINE(F_GetOpenFilenameExt) { FileDialog(result, args, false, true); }
ROUTINE(F_GetSaveFilename) { FileDialog(result, args, true, false); }
ROUTINE(F_GetSaveFilenameExt) { FileDialog(result, args, true, true); }

// Splash settings are kept; nothing here shows a splash.
struct SplashSettings {
    std::string caption;
    bool fullscreen = false, border = true, adapt = true, top = true, main = true, cursor = true, interrupt = true,
         stopKey = true, stopMouse = true;
    uint32_t colour = 0;
    double scale = 1;
    int width = 0, height = 0;
    bool showFullscreen = false;
} g_Splash;

template <bool SplashSettings::*Flag>
ROUTINE(F_SplashFlag)
{
    g_Splash.*Flag = Arg_Bool(args, 0);
}
ROUTINE(F_SplashSetCaption) { g_Splash.caption = ArgText(args, 0); }
ROUTINE(F_SplashSetColor) { g_Splash.colour = Arg_UInt32(args, 0); }
ROUTINE(F_SplashSetScale) { g_Splash.scale = Arg_Real(args, 0); }
ROUTINE(F_SplashSetSize)
{
    g_Splash.width = Arg_Int32(args, 0);
    g_Splash.height = Arg_Int32(args, 1);
}

// Images, texts and videos shown between rooms: there is nothing to show them with.
ROUTINE(F_SplashShow) { IO_Clear(); }
ROUTINE(F_ShowWithFullscreen)
{
    g_Splash.showFullscreen = Arg_Bool(args, 1);
    IO_Clear();
}

struct LoggedStub {
    const char* name;
    const char* text;
    int argumentCount;
};

// Built-ins without an effect here: each logs its text, then answers as below.
template <int Index>
ROUTINE(F_Logged);

const LoggedStub kLogged[] = {
    {"get_color", "get_color(def) is not implemented\n", 1},
    {"get_directory", "get_directory(dname) not implemented.\n", 1},
    {"get_directory_alt", "get_directory_alt(capt,root) not implemented.\n", 2},
    {"show_info", "show_info(str) not supported\n", 0},
    {"load_info", "load_info(str) not supported\n", 1},
    {"show_menu", "show_menu(str,default) not implemented.\n", 2},
    {"show_menu_pos", "show_menu_pos(X,Y,str,default) not implemented.\n", 4},
    {"show_message_ext", "show_message_ext(str,but1,but2,but3) not impleneted\n", 4},
    {"message_background", "message_background(back) not impleneted\n", 1},
    {"message_button", "message_button(spr) not impleneted\n", 1},
    {"message_alpha", "message_alpha(alpha) not impleneted\n", 1},
    {"message_text_font", "message_text_font(name,size,color,style) not impleneted\n", 4},
    {"message_button_font", "message_button_font(name,size,color,style) not impleneted\n", 4},
    {"message_input_font", "message_input_font(name,size,color,style) not impleneted\n", 4},
    {"message_mouse_color", "message_mouse_color(col) not impleneted\n", 1},
    {"message_input_color", "message_input_color(col) not impleneted\n", 1},
    {"message_position", "message_position(x,y) not impleneted\n", 2},
    {"message_size", "message_size(w,h)not impleneted\n", 2},
    {"message_caption", "message_caption(show,str) not impleneted\n", 2},
};

template <int Index>
ROUTINE(F_Logged)
{
    const LoggedStub& stub = kLogged[Index];
    LogConsole->Output("%s", stub.text);
    const std::string name = stub.name;
    if (name == "get_color" || name == "load_info" || name == "show_menu" || name == "show_menu_pos")
        ScriptValue_SetReal(result, 0);
    else if (name == "get_directory" || name == "get_directory_alt")
        ScriptValue_SetString(result, "");
    else if (name == "show_message_ext")
        ScriptValue_SetReal(result, 1);
    if (name.rfind("message_", 0) != 0 && name != "load_info") IO_Clear();
}

ROUTINE(F_Nothing) {}

// Virtual keys: handles are entry index + 1.
ROUTINE(F_VirtualKeyAdd)
{
    IO_VirtualButton* button = IO_AllocVirtualButton();
    if (!button) {
        ScriptValue_SetReal(result, -1);
        return;
    }
    button->x = Arg_Int32(args, 0);
    button->y = Arg_Int32(args, 1);
    button->w = Arg_Int32(args, 2);
    button->h = Arg_Int32(args, 3);
    button->key = Arg_Int32(args, 4) & 0xFF;
    button->right = button->x + button->w;
    button->bottom = button->y + button->h;
    button->u = button->v = button->button = 0;
    button->flags = IO_VBUTTON_ACTIVE;
    ScriptValue_SetReal(result, button->id + 1);
}

IO_VirtualButton* VirtualKey(ScriptValue* args)
{
    IO_VirtualButton* button = IO_GetVirtualButton(Arg_Int32(args, 0) - 1);
    if (!button) ReportRuntimeError("Illegal virtual key handle", false);
    return button;
}

ROUTINE(F_VirtualKeyDelete)
{
    if (IO_VirtualButton* button = VirtualKey(args)) button->flags = 0;
}
ROUTINE(F_VirtualKeyShow)
{
    if (IO_VirtualButton* button = VirtualKey(args)) button->flags |= IO_VBUTTON_SHOWN;
}
ROUTINE(F_VirtualKeyHide)
{
    if (IO_VirtualButton* button = VirtualKey(args)) button->flags &= static_cast<uint16_t>(~IO_VBUTTON_SHOWN);
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kSplash[] = {
    {"splash_set_caption", F_SplashSetCaption, 1},
    {"splash_set_fullscreen", F_SplashFlag<&SplashSettings::fullscreen>, 1},
    {"splash_set_border", F_SplashFlag<&SplashSettings::border>, 1},
    {"splash_set_size", F_SplashSetSize, 2},
    {"splash_set_adapt", F_SplashFlag<&SplashSettings::adapt>, 1},
    {"splash_set_top", F_SplashFlag<&SplashSettings::top>, 1},
    {"splash_set_color", F_SplashSetColor, 1},
    {"splash_set_main", F_SplashFlag<&SplashSettings::main>, 1},
    {"splash_set_scale", F_SplashSetScale, 1},
    {"splash_set_cursor", F_SplashFlag<&SplashSettings::cursor>, 1},
    {"splash_set_interrupt", F_SplashFlag<&SplashSettings::interrupt>, 1},
    {"splash_set_stop_key", F_SplashFlag<&SplashSettings::stopKey>, 1},
    {"splash_set_stop_mouse", F_SplashFlag<&SplashSettings::stopMouse>, 1},
    {"splash_show_image", F_SplashShow, 2},
    {"splash_show_text", F_SplashShow, 2},
    {"splash_show_video", F_SplashShow, 2},
    {"show_image", F_ShowWithFullscreen, 3},
    {"show_video", F_ShowWithFullscreen, 3},
    {"show_text", F_ShowWithFullscreen, 4},
    {"show_message", F_ShowMessage, 1},
    {"show_question", F_ShowQuestion, 1},
    {"show_message_async", F_ShowMessageAsync, 1},
    {"show_question_async", F_ShowQuestionAsync, 1},
    {"show_error", F_ShowError, 2},
    {"show_info", F_Logged<3>, 0},
    {"load_info", F_Logged<4>, 1},
};

const Entry kMessagesAndGets[] = {
    {"show_message_ext", F_Logged<7>, 4},
    {"message_background", F_Logged<8>, 1},
    {"message_button", F_Logged<9>, 1},
    {"message_alpha", F_Logged<10>, 1},
    {"message_text_font", F_Logged<11>, 4},
    {"message_button_font", F_Logged<12>, 4},
    {"message_input_font", F_Logged<13>, 4},
    {"message_mouse_color", F_Logged<14>, 1},
    {"message_input_color", F_Logged<15>, 1},
    {"message_position", F_Logged<16>, 2},
    {"message_size", F_Logged<17>, 2},
    {"message_caption", F_Logged<18>, 2},
    {"show_menu", F_Logged<5>, 2},
    {"show_menu_pos", F_Logged<6>, 4},
    {"get_color", F_Logged<0>, 1},
    {"get_integer", F_GetInteger, 2},
    {"get_string", F_GetString, 2},
    {"get_integer_async", F_GetInputAsync, 2},
    {"get_string_async", F_GetInputAsync, 2},
    {"get_login_async", F_GetLoginAsync, 2},
    {"get_open_filename", F_GetOpenFilename, 2},
    {"get_open_filename_ext", F_GetOpenFilenameExt, 4},
    {"get_save_filename", F_GetSaveFilename, 2},
    {"get_save_filename_ext", F_GetSaveFilenameExt, 4},
    {"get_directory", F_Logged<1>, 1},
    {"get_directory_alt", F_Logged<2>, 2},
};

const Entry kAfterInput[] = {
    {"browser_input_capture", F_Nothing, 1},
    {"gpio_set", F_Nothing, 2},
    {"gpio_clear", F_Nothing, 1},
    {"gpio_get", F_Nothing, 1},
    {"gpio_set_mode", F_Nothing, 2},
    {"F_GPIO_Set_Function", F_Nothing, 2},
    {"virtual_key_add", F_VirtualKeyAdd, 5},
    {"virtual_key_delete", F_VirtualKeyDelete, 1},
    {"virtual_key_show", F_VirtualKeyShow, 1},
    {"virtual_key_hide", F_VirtualKeyHide, 1},
};

template <size_t N>
void RegisterAll(const Entry (&entries)[N])
{
    for (const Entry& e : entries) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
}
}  // namespace

void InitInteractionFunctions()
{
    g_DialogCaption = GameGeneral_DisplayName();
    g_Splash = SplashSettings{};
    RegisterAll(kSplash);
    InitHighScoreFunctions();
    RegisterAll(kMessagesAndGets);
    InitKeyboardMouseFunctions();
    RegisterAll(kAfterInput);
    if (LayerMode) InitGestureFunctions();
}
