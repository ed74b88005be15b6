#include "Runner/GameChunks.h"

#include <cstring>

#include "Base/Console.h"
#include "Base/MemoryManager.h"
#include "Code/Code_Link.h"
#include "Variable/Code_VariableValue.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Particle/Particle_Main.h"
#include "Path/Path_Main.h"
#include "Code/CodeChunks.h"
#include "Script/Script_Main.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "IO/LoadSave.h"
#include "World/Camera.h"
#include "World/Object_Main.h"
#include "World/Room_Main.h"
#include "World/TimeLine_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "GameData/GameOptions.h"
#include "Graphics/Graphics_Primitive.h"
#include "GameData/Language.h"
#include "Graphics/TexturePages.h"
#include "Background/Background_Main.h"
#include "Code/JS_Main.h"
#include "Font/Font_Main.h"
#include "Graphics/ShaderM.h"
#include "Graphics/VertexFormat.h"
#include "Sound/Audio_Main.h"
#include "Sprite/Sprite_Main.h"
#include "Runner/GameHeader_Load.h"
#include "Platform/Extension_Main.h"

namespace {
// The options chunk's window colour reaches the window as soon as it is read.
bool OPTN_LoadAndApply(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    if (!OPTN_Load(payload, length, data)) return false;
    GR_Window_SetColour(GameOptions.windowColour);
    // A game constant of the draw colour sets it.
    if (GameOptions.drawColourSet) DrawColour = GameOptions.drawColour;
    return true;
}
}  // namespace

namespace {
// Images named after a particle shape replace the built-in shape.
bool EMBI_Load(const uint8_t* payload, uint32_t length, const uint8_t* data)
{
    if (!GR_Texture_LoadEmbedded(payload, length, data)) return false;
    Particle_LoadShapes();
    return true;
}

struct ChunkDispatch {
    char tag[5];
    ChunkReader reader;
    ChunkReader legacyAudioReader;  // used instead when the options chose the legacy sound layer
};

// In file order the authoring tool writes OPTN before SOND and AUDO, TPAG
// before TXTR and CODE before FUNC; the readers rely on it.
const ChunkDispatch kDispatch[] = {
    {"GEN8", GEN8_Load, nullptr},
    {"GEN7", GEN8_Load, nullptr},
    {"GENL", GEN8_Load, nullptr},
    {"OPTN", OPTN_LoadAndApply, nullptr},
    {"LANG", Language_Load, nullptr},
    {"EXTN", Extension_Load, nullptr},
    {"SOND", Audio_Load, Chunk_ReaderNotBuilt},
    {"AGRP", AudioGroup_Load, Chunk_Ignore},
    {"SPRT", Sprite_Load, nullptr},
    {"BGND", Background_Load, nullptr},
    {"PATH", Path_Load, nullptr},
    {"SCPT", SCPT_Load, nullptr},
    {"GLOB", GLOB_Load, nullptr},
    {"SHDR", Shader_Load, nullptr},
    {"FONT", Font_Load, nullptr},
    {"TMLN", TimeLine_Load, nullptr},
    {"OBJT", OBJT_Load, nullptr},
    {"ROOM", Room_Load, nullptr},
    {"EMBI", EMBI_Load, nullptr},
    {"TPAG", TPAG_Load, nullptr},
    {"CODE", CODE_Load, nullptr},
    {"FUNC", FUNC_Load, nullptr},
    {"TXTR", TXTR_Load, nullptr},
    {"AUDO", Audio_WAVs_Main, Chunk_ReaderNotBuilt},
    {"STRG", Chunk_Ignore, nullptr},
    {"VARI", Chunk_Ignore, nullptr},
    {"DAFL", Chunk_Ignore, nullptr},
    {"HELP", Chunk_Ignore, nullptr},
    {"RASP", Chunk_Ignore, nullptr},
    {"PSPS", Chunk_Ignore, nullptr},
    {"STAT", Chunk_Ignore, nullptr},
};

void ResetManagers()
{
    TexturePages_Free();
    Language_Free();
    Extension_Free();
    GameTables.globCount = 0;
    GameTables.globList = nullptr;
    Sound_Clear();
    Sprite_Init();
    Background_DeleteAll();
    Path_ResetAll();
    Script_DeleteAll();
    Font_Reset();
    TimeLine_Init();
    Object_Init();
    Room_Init();
    Option_SetDefaults();
    if (LayerMode) {
        CameraList::Clear();
        InitDefaultCamera();
    }
}
const ChunkDispatch* FindReader(const char* tag)
{
    for (const ChunkDispatch& row : kDispatch)
        if (std::memcmp(row.tag, tag, 4) == 0) return &row;
    return nullptr;
}
}  // namespace

bool Chunk_Ignore(const uint8_t*, uint32_t, const uint8_t*)
{
    return true;
}

bool GLOB_Load(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    uint32_t count = 0;
    if (!GameData_CheckList("GLOB", payload, length, &count)) return false;
    GameTables.globCount = count;
    GameTables.globList = payload + 4;
    return true;
}

bool LoadGameChunks(const uint8_t* data, uint32_t size)
{
    VerboseConsole->Output("initialise everything!\n");
    ResetManagers();
    GameData_SetImage(data, size);
    if (!GameData_CheckContainer(data, size)) return false;
    LinkRecord_BindNameTables();
    Variable_CreateGlobalObject();
    bool result = true;
    uint32_t pos = 8;
    GameChunk chunk;
    while (GameData_NextChunk(data, size, &pos, &chunk)) {
        VerboseConsole->Output("Process Chunk: %s   %d\n", chunk.tag, static_cast<int>(chunk.length));
        if (chunk.length == 0) continue;
        const ChunkDispatch* row = FindReader(chunk.tag);
        if (!row) {
            LogConsole->Output("unknown Chunk %s:%d\n", chunk.tag, static_cast<int>(GameData_U32(data + chunk.offset - 8)));
            // The refusal that follows the walk shows this reason.
            result = GameData_Fail(chunk.tag, "unknown chunk at offset %u", chunk.offset - 8);
            continue;
        }
        const ChunkReader reader =
            (row->legacyAudioReader && !GameOptions.newAudioEngine) ? row->legacyAudioReader : row->reader;
        MemoryManager::PushLabel(chunk.tag);
        const bool ok = reader(chunk.payload, chunk.length, data);
        MemoryManager::PopLabel();
        if (!ok) return false;
    }
    if (ObjectMode) JS_CreateResourceObject();
    LinkRecord_ResolveNames();
    return result;
}

bool LoadGameData()
{
    VerboseConsole->Output("LoadGameData()\n");
    return LoadGameChunks(GameData, GameDataSize);
}

bool Chunk_ReaderNotBuilt(const uint8_t* payload, uint32_t length, const uint8_t*)
{
    // The tag stands eight bytes before the payload in the checked container.
    VerboseConsole->Output("Chunk %.4s skipped (%u bytes): its reader is not built yet\n",
                           reinterpret_cast<const char*>(payload - 8), length);
    return true;
}
