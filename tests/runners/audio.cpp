// A runner for the end-to-end tests of the audio built-ins: a small game
// module whose code entries call the built-ins by name, as compiled game code
// does, and write what they return to standard output, one line per event.
#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Runner/Run_Globals.h"
#include "World/Event_Drivers.h"
#include "World/Room_Main.h"
#include "TestModule.h"
#include "audio_codes.h"

namespace {
bool s_unloading = false;

// A number, a text, or a number another built-in gave as text.
struct Arg {
    double real = 0;
    const char* text = nullptr;
    template <typename T>
        requires std::is_arithmetic_v<T>
    Arg(T r) : real(static_cast<double>(r)) {}
    Arg(const char* t) : text(t) {}
    Arg(const std::string& number) : real(std::stod(number)) {}
};

// The built-in's result as text ("%g" for numbers).
std::string Call(const char* name, std::vector<Arg> args = {})
{
    std::vector<ScriptValue> values;
    for (const Arg& a : args) {
        ScriptValue v = ScriptValue_Real(a.real);
        if (a.text) ScriptValue_InitString(&v, a.text);
        values.push_back(v);
    }
    std::vector<ScriptValue*> pointers;
    for (ScriptValue& v : values) pointers.push_back(&v);
    ScriptValue result = ScriptValue_Undefined();
    int32_t index = -1;
    if (CodeFunction_Find(name, &index))
        CallBuiltinFunction(nullptr, nullptr, &result, static_cast<int>(values.size()), index, pointers.data());
    for (ScriptValue& v : values) ScriptValue_SetUndefined(&v);
    std::string text = "undefined";
    if (result.Kind() == VALUE_REAL) {
        char number[32];
        std::snprintf(number, sizeof number, "%g", result.real);
        text = number;
    } else if (result.Kind() == VALUE_STRING) {
        const char* s = ScriptValue_StringText(&result);
        text = s ? s : "";
    }
    ScriptValue_SetUndefined(&result);
    return text;
}

double Num(const char* name, std::vector<Arg> args = {})
{
    return std::stod(Call(name, std::move(args)));
}

void Create(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    // Each call is its own statement: the order of a call's arguments is not fixed.
    const std::string first = Call("audio_group_load", {1});
    const std::string second = Call("audio_group_load", {1});
    std::printf("load %s %s\n", first.c_str(), second.c_str());
    std::printf("group0 %s %s %s\n", Call("audio_group_is_loaded", {0}).c_str(),
                Call("audio_group_load_progress", {0}).c_str(), Call("audio_group_name", {1}).c_str());

    // A buffer sound and a play queue made from a buffer of square-wave samples.
    const double buffer = Num("buffer_create", {8000, 0, 1});
    for (int i = 0; i < 2000; ++i) Call("buffer_write", {buffer, 4, (i / 20) % 2 ? 9000 : -9000});
    const double bufferSound = Num("audio_create_buffer_sound", {buffer, 4, 22050, 0, 4000, 0});
    const std::string bufferVoice = Call("audio_play_sound", {bufferSound, 1, 1});
    const double queue = Num("audio_create_play_queue", {4, 22050, 0});
    Call("audio_queue_sound", {queue, buffer, 0, 4000});
    const std::string queueVoice = Call("audio_play_sound", {queue, 1, 0});
    std::printf("buffer %g %s queue %g %s\n", bufferSound, Call("audio_is_playing", {bufferVoice}).c_str(), queue,
                Call("audio_is_playing", {queueVoice}).c_str());

    // Positioned voices: at a point, and on an emitter.
    const std::string at = Call("audio_play_sound_at", {0, 10, 0, 0, 100, 1000, 1, 1, 1});
    const std::string emitter = Call("audio_emitter_create");
    const std::string on = Call("audio_play_sound_on", {emitter, 0, 1, 1});
    std::printf("positioned %s %s\n", Call("audio_is_playing", {at}).c_str(),
                Call("audio_is_playing", {on}).c_str());

    // A stream of the file beside the game, alone and in a sync group.
    const double stream = Num("audio_create_stream", {"tone.ogg"});
    const std::string streamVoice = Call("audio_play_sound", {stream, 1, 1});
    const double group = Num("audio_create_sync_group", {1});
    Call("audio_play_in_sync_group", {group, stream, 0, 0});
    Call("audio_start_sync_group", {group});
    std::printf("stream %g %s sync %s\n", stream, Call("audio_is_playing", {streamVoice}).c_str(),
                Call("audio_sync_group_is_playing", {group}).c_str());

    const double recorders = Num("audio_get_recorder_count");
    std::printf("recording %g %s\n", recorders, Call("audio_start_recording", {recorders}).c_str());
}

void Step(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    if (!s_unloading) {
        std::printf("progress %s\n", Call("audio_group_load_progress", {1}).c_str());
    } else if (Call("audio_group_load", {1}) == "1") {
        std::printf("loaded again\n");
        RequestGameEnd();
    }
    if (StepCounter > 5000) RequestGameEnd();
}

void Loaded(CInstance*, CInstance*, ScriptValue*, int, ScriptValue**)
{
    std::printf("event %s %s\n", Call("ds_map_find_value", {double(async_load), "type"}).c_str(),
                Call("ds_map_find_value", {double(async_load), "group_id"}).c_str());
    if (s_unloading) return;
    const std::string voice = Call("audio_play_sound", {1, 1, 1});
    std::printf("group sound %s %s\n", Call("audio_is_playing", {voice}).c_str(),
                Call("audio_group_is_loaded", {1}).c_str());
    const std::string unload = Call("audio_group_unload", {1});
    std::printf("unload %s %s\n", unload.c_str(), Call("audio_group_is_loaded", {1}).c_str());
    s_unloading = true;
}

CompiledCodeEntry s_code[AUDIO_CODE_COUNT] = {{"Create", Create}, {"Step", Step}, {"Loaded", Loaded}};
}  // namespace

GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    return TestModule_LinkRecord(record, s_code);
}

int main(int argc, char** argv)
{
    return TestModule_Main(argc, argv);
}
