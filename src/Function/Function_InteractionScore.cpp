// The high-score built-ins: the table itself is IO's (Run_Score.h); the
// display settings are kept for games that set them, though only the
// empty-entry text has an effect (no table window is shown here).
#include <cstdint>
#include <cstdio>
#include <string>

#include "Base/ErrorReport.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Code/Code_ValueConvert.h"
#include "Font/Graphics_Text.h"
#include "Function/Function_Interaction.h"
#include "IO/IO_Main.h"
#include "IO/Run_Score.h"


namespace {
#define ROUTINE(name)                                                                                   \
    void name([[maybe_unused]] ScriptValue* result, CInstance*, CInstance*, [[maybe_unused]] int argc, \
              [[maybe_unused]] ScriptValue* args)

struct HighScoreSettings {
    int32_t background = -1;
    bool border = true;
    uint32_t colours[3] = {15793151, 255, 0};
    std::string font = "Times New Roman";
    int32_t fontSize = 12;
    std::string caption = "Top Ten Players";
    std::string escapeText = "press <Escape> to close";
} g_Settings;

bool Need(int argc, int count) { return Arg_Need(argc, count, "highscore"); }

std::string ArgText(ScriptValue* args, int n)
{
    const char* text = Arg_String(args, n);
    return text ? text : "";
}

// The place argument, or 0 after a report when it is not 1..10.
int Place(ScriptValue* args)
{
    const int32_t place = Arg_Int32(args, 0);
    if (place >= 1 && place <= SCORE_PLACES) return place;
    char message[128];
    std::snprintf(message, sizeof message, "%s: place %d is outside 1 to %d",
                  CurrentBuiltinFunction ? CurrentBuiltinFunction->name : "highscore", place, SCORE_PLACES);
    ReportRuntimeError(message, false);
    return 0;
}

ROUTINE(F_HighscoreAdd)
{
    if (!Need(argc, 2)) return;
    const std::string name = ArgText(args, 0);
    Score_Add(name.c_str(), Arg_Int32(args, 1));
}

ROUTINE(F_HighscoreAddCurrent)
{
    Score_Add("DEFAULT", DoubleToInt32(score));
    IO_Clear();
}

ROUTINE(F_HighscoreClear) { Score_Clear(); }

ROUTINE(F_HighscoreValue)
{
    ScriptValue_SetReal(result, 0);
    if (!Need(argc, 1)) return;
    if (const int place = Place(args)) ScriptValue_SetReal(result, Score_GetValue(place));
}

ROUTINE(F_HighscoreName)
{
    ScriptValue_SetString(result, "");
    if (!Need(argc, 1)) return;
    if (const int place = Place(args)) {
        const char* name = Score_GetName(place);
        ScriptValue_SetString(result, name ? name : "");
    }
}

ROUTINE(F_HighscoreShow)
{
    if (!Need(argc, 1)) return;
    Arg_Int32(args, 0);
    IO_Clear();
}

ROUTINE(F_HighscoreShowExt)
{
    if (!Need(argc, 7)) return;
    Arg_Int32(args, 0);
    g_Settings.background = Arg_Int32(args, 1);
    g_Settings.border = Arg_Bool(args, 2);
    g_Settings.colours[0] = Arg_UInt32(args, 3);
    g_Settings.colours[1] = Arg_UInt32(args, 4);
    g_Settings.font = ArgText(args, 5);
    g_Settings.fontSize = Arg_Int32(args, 6);
    IO_Clear();
}

ROUTINE(F_HighscoreSetBackground)
{
    if (Need(argc, 1)) g_Settings.background = Arg_Int32(args, 0);
}

ROUTINE(F_HighscoreSetBorder)
{
    if (Need(argc, 1)) g_Settings.border = Arg_Bool(args, 0);
}

ROUTINE(F_HighscoreSetColors)
{
    if (!Need(argc, 3)) return;
    for (int i = 0; i < 3; ++i) g_Settings.colours[i] = Arg_UInt32(args, i);
}

ROUTINE(F_HighscoreSetFont)
{
    if (!Need(argc, 3)) return;
    g_Settings.font = ArgText(args, 0);
    g_Settings.fontSize = Arg_Int32(args, 1);
}

ROUTINE(F_HighscoreSetStrings)
{
    if (!Need(argc, 3)) return;
    g_Settings.caption = ArgText(args, 0);
    Score_SetEmptyName(ArgText(args, 1).c_str());
    g_Settings.escapeText = ArgText(args, 2);
}

// Ten rows from (x1, y1) down in equal steps: each name at x1, each value
// ending at x2, with the current font, colour and alignment.
ROUTINE(F_DrawHighscore)
{
    if (!Need(argc, 4)) return;
    const int64_t x1 = Arg_Int32(args, 0), y1 = Arg_Int32(args, 1), x2 = Arg_Int32(args, 2),
                  y2 = Arg_Int32(args, 3);
    const int64_t step = (y2 - y1) / SCORE_PLACES;
    for (int place = 1; place <= SCORE_PLACES; ++place) {
        const float y = static_cast<float>(y1 + step * (place - 1));
        if (const char* name = Score_GetName(place)) Text_Draw(static_cast<float>(x1), y, name, -1, -1);
        char value[16];
        std::snprintf(value, sizeof value, "%d", Score_GetValue(place));
        Text_Draw(static_cast<float>(x2 - Text_GetWidth(value, -1, -1)), y, value, -1, -1);
    }
}

struct Entry {
    const char* name;
    BuiltinRoutine routine;
    int32_t argumentCount;
};

const Entry kHighScore[] = {
    {"highscore_show", F_HighscoreShow, 1},
    {"highscore_set_background", F_HighscoreSetBackground, 1},
    {"highscore_set_border", F_HighscoreSetBorder, 1},
    {"highscore_set_font", F_HighscoreSetFont, 3},
    {"highscore_set_strings", F_HighscoreSetStrings, 3},
    {"highscore_set_colors", F_HighscoreSetColors, 3},
    {"highscore_show_ext", F_HighscoreShowExt, 7},
    {"highscore_clear", F_HighscoreClear, 0},
    {"highscore_add", F_HighscoreAdd, 2},
    {"highscore_add_current", F_HighscoreAddCurrent, 0},
    {"highscore_value", F_HighscoreValue, 1},
    {"highscore_name", F_HighscoreName, 1},
    {"draw_highscore", F_DrawHighscore, 4},
};
}  // namespace

void InitHighScoreFunctions()
{
    for (const Entry& e : kHighScore) CodeFunction_Register(e.name, e.routine, e.argumentCount, 0);
    g_Settings = HighScoreSettings{};
}
