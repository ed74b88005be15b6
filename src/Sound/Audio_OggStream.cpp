// Streams: sounds made at run time from an Ogg file of the save area or the
// bundle, played from the file like streamed assets.
#include "Base/Console.h"
#include "IO/LoadSave.h"
#include "Sound/Audio_Ogg.h"
#include "Sound/Audio_Sound.h"
#include "Sound/Audio_Voice.h"

int32_t Audio_CreateStream(const char* name)
{
    char path[2048] = {};
    if (name && LoadSave_SaveFileExists(name)) LoadSave_MakeSavePath(path, sizeof path, name);
    else if (name && LoadSave_BundleFileExists(name)) LoadSave_MakeBundlePath(path, sizeof path, name);
    if (path[0] == '\0') {
        LogConsole->Output("audio_create_stream : could not file file '%s'\n", name ? name : "");
        return -1;
    }
    auto* stream = new AudioSound;
    stream->alBuffer = 0;
    stream->channels = 1;
    stream->length = -1.0f;
    stream->streamed = stream->compressed = true;
    stream->fileName = Audio_CopyText(path);
    stream->resolvedPath = Audio_CopyText(path);
    const int32_t id = Audio_AddTableSound(AudioTable::Stream, stream);
    if (id >= 0) LogConsole->Output("create stream %d\n", id);
    return id;
}

int32_t Audio_DestroyStream(int32_t id)
{
    if (!Audio_IsStreamId(id)) {
        LogConsole->Output("audio_destroy_stream : Invalid stream id: %d\n", id);
        return -1;
    }
    AudioSound* stream = Audio_GetSound(id);
    if (!stream) return -1;
    for (int32_t i = 0; i < Audio_VoiceCount(); ++i) {
        AudioVoice* v = Audio_VoiceAt(i);
        if (v->soundId == id) Audio_StopVoice(v, true);
    }
    // The record goes once no channel decodes it (OggAudio_Update).
    stream->destroyed = true;
    return 1;
}
