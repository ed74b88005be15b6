#include "Runner/Runner_StartUp.h"

#include <cstdlib>

#include "Base/Console.h"
#include "Base/Thread.h"
#include "Base/Timing.h"
#include "Code/Code_Constant.h"
#include "Code/Code_Function.h"
#include "Code/Code_Link.h"
#include "Code/Code_Main.h"
#include "Code/CodeChunks.h"
#include "Code/Code_Variable.h"
#include "Variable/Code_VariableValue.h"
#include "Code/ObjectBase.h"
#include "Graphics/BuiltinImages.h"
#include "Graphics/Graphics_DisplayM.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/Graphics_Window.h"
#include "Graphics/DebugOverlay.h"
#include "Graphics/TexturesM.h"
#include "IO/IO_Dialog.h"
#include "IO/IO_Main.h"
#include "DataStructure/DS_Grid.h"
#include "Function/Camera_Functions.h"
#include "Function/Function_Data_Structures.h"
#include "World/Instance_Lookup.h"
#include "World/Object_Lists.h"
#include "World/Object_Main.h"
#include "World/Room_Main.h"
#include "World/TimeLine_Main.h"
#include "Path/Path_Main.h"
#include "Runner/GameChunks.h"
#include "GameData/GameData.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Runner/Run_Globals.h"
#include "Runner/Run_Main.h"
#include "Runner/Run_Room.h"
#include "Runner/Runner_Entry.h"
#include "Runner/Runner_LoadGame.h"
#include "Options/Runner_Options.h"
#include "Options/Runner_Strings.h"
#include "Script/Script_Main.h"
#include "Variable/Variable_BuiltIn.h"
#include "Background/Background_Main.h"
#include "Code/GCRegistry.h"
#include "Code/JS_Main.h"
#include "Debug/Debug_Main.h"
#include "Font/Font_Main.h"
#include "Graphics/Graphics_3D_Model.h"
#include "Graphics/Graphics_Display.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_WindowCoords.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"
#include "Function/Function_Vertex.h"
#include "Function/Function_File.h"
#include "IO/IO_Files.h"
#include "IO/Run_Score.h"
#include "Motion/Motion_Grid.h"
#include "Network/Http_Client.h"
#include "Network/Network_Main.h"
#include "Particle/Particle_Main.h"
#include "Platform/Extension_Main.h"
#include "Debug/Profiler.h"
#include "Platform/Platform_Main.h"
#include "Sound/Audio_Main.h"
#include "Sprite/Sprite_Main.h"
#include "Runner/GameHeader_Load.h"
#include "Interpreter/VM_Interpreter.h"

bool ReleaseModeChecks = false;

namespace {
constexpr unsigned kRandomSeed = 2101988;

void Step(const char* line)
{
    VerboseConsole->Output("%s", line);
}

bool PrepareStep(const char* line, bool ok, const char* failure)
{
    Step(line);
    if (!ok && failure) ShowMessageBox(failure);
    return ok;
}

int Pick(uint32_t code, const int* values, uint32_t count)
{
    return code >= 1 && code <= count ? values[code - 1] : -1;
}
}  // namespace

void DisplayModeFromCodes(uint32_t resolution, uint32_t frequency, uint32_t depth, int* width, int* height,
                          int* hertz, int* bits)
{
    static const int kWidths[] = {320, 640, 800, 1024, 1280, 1600};
    static const int kHeights[] = {240, 480, 600, 768, 1024, 1200};
    static const int kHertz[] = {60, 70, 85, 100, 120};
    static const int kBits[] = {16, 32};
    *width = Pick(resolution, kWidths, 6);
    *height = Pick(resolution, kHeights, 6);
    *hertz = Pick(frequency, kHertz, 5);
    *bits = Pick(depth, kBits, 2);
}

bool RunnerInit()
{
    GR_D3D_SetBuiltinTextureSource(BuiltinImages_Table);
    Timing_Init();
    InitTempDirectory();
    GR_InitCircleTable();
    Code_Constant_Init();
    GR_Window_ResetViewMappings();
    Particle_Init();
    SetDefaultCaptions();
    Variable_BuiltIn_Init();
    Path_Init();
    Score_Init();
    DepthChangeQueue.count = 0;
    ObjectChangeQueue.count = 0;
    InitCameraFunctions();
    DispatchPendingMessages();
    return true;
}

bool InitGraphicsAndTextures()
{
    if (GameOptions.displayModeChange) {
        int width, height, hertz, bits;
        DisplayModeFromCodes(GameOptions.resolutionCode, GameOptions.frequencyCode, GameOptions.colourDepthCode,
                             &width, &height, &hertz, &bits);
        GR_Display_SetAll(width, height, hertz, bits);
    }
    Step("GR_D3D_Init()\n");
    if (!GR_D3D_Init(GR_Window_Handle, static_cast<int>(GameGeneral.windowWidth),
                     static_cast<int>(GameGeneral.windowHeight), GameGeneral.infoFlags))
        return false;
    Step("Background_InitTextures()\n");
    Background_InitTextures();
    Step("Sprite_InitTextures()\n");
    Sprite_InitTextures();
    Step("Font_InitTextures()\n");
    Font_InitTextures();
    return true;
}

bool RunnerStartUp()
{
    VerboseConsole->Output(
        "\n***************************************\n*     Kivo Works Runner v%d.%d(%d)[r%d]    *\n"
        "***************************************\t \n",
        1, 0, 999, 32908);
    OutputConsole->Output(CompiledCodeMode ? "Game code: compiled into the runner\n"
                                           : "Game code: bytecode of the game file, run by the interpreter\n");
    Thread_MarkMainThread();
    RunnerLoadGame();
    if (!GameData) return false;  // a child game without data already asked to end
    Step("Get Resolution\n");
    if (!LoadGameHeader(GameData, GameDataSize)) {
        RunnerRefuseGameData();
        return false;
    }
    Step("Create Window\n");
    const int width = static_cast<int>(GameGeneral.windowWidth);
    const int height = static_cast<int>(GameGeneral.windowHeight);
    // The window takes its size, style flags and caption from the general header.
    Option_WindowSettings.width = width;
    Option_WindowSettings.height = height;
    Option_WindowSettings.flags = GameGeneral.infoFlags;
    Option_WindowSettings.caption = GameGeneral_DisplayName();
    Option_WindowSettings.icon = GameModule_GetIcon(&Option_WindowSettings.iconSize);
    GR_Window_Create(width, height);
    Step("Init Graphics\n");
    if (!InitGraphicsAndTextures()) {
        // The device's own message has been shown; a game with nothing to draw on must not look like one that ran.
        RunnerEndStartUp(nullptr);
        return false;
    }
    Step("IO Init\n");
    IO_Init();
    Step("Process Messages\n");
    DispatchPendingMessages();
    Step("Splash!\n");
    RunnerShowSplash();
    Step("Start Frame\n");
    Start_Frame();
    Step("Part Create Textures\n");
    Part_CreateTextures();
    Step("Debug Init Remote Interface\n");
    Debug_InitRemoteInterface();
    Step("VM Init\n");
    VM_Init();
    Step("Create Score Form\n");
    Step("Create Load Form\n");
    Step("Create Error Form\n");
    Step("Do The Work\n");
    std::srand(kRandomSeed);
    // Bytecode is checked and pre-decoded once its names are resolved.
    if (!LoadGameData() || (!CompiledCodeMode && !CODE_PrepareEntries())) {
        LogConsole->Output("Failed to load the game\n");
        // A game that cannot be read must not look like one that ran.
        RunnerRefuseGameData();
        return false;
    }
    Variable_InitGlobalFlags();
    // The options chunk has been read: its cursor and Alt+Enter options reach the window.
    Option_WindowSettings.showCursor = GameOptions.showCursor ? 1 : 0;
    Option_WindowSettings.altEnter = GameOptions.altEnterFullScreen;
    Step("PrepareGame()\n");
    if (!PrepareGame()) return false;
    Step("Run_Start\n");
    Run_Start();
    return true;
}

bool PrepareGame()
{
    if (!PrepareStep("Extension_Prepare() \n", Extension_Prepare(), "Failed to prepare extension packages."))
        return false;
    if (!PrepareStep("Code_Constant_Prepare() \n", Code_Constant_Prepare(), "Failed to define the constants."))
        return false;
    if (!PrepareStep("Script_Prepare() \n", Script_Prepare(), "Failed to compile the scripts.")) return false;
    if (!PrepareStep("TimeLine_Prepare() \n", TimeLine_Prepare(), "Failed to compile the actions in the time lines."))
        return false;
    if (!PrepareStep("Object_Prepare() \n", Object_Prepare(), "Failed to compile the actions in the objects."))
        return false;
    PrepareStep("Room_Prepare() \n", Room_Prepare(), nullptr);
    Step("Sound_Prepare() \n");
    SoundHardware_Create();
    if (!Sound_Prepare()) {
        ShowMessageBox("Failed to prepare the sounds.");
        return false;
    }
    Audio_PrepareSounds();
    Step("InitGraphics() \n");
    Step("Finished PrepareGame() \n");
    return true;
}

void RunnerEndRun()
{
    IO_End();
    SoundHardware_Destroy();
    CProfiler::FinalDump();
}

void RunnerShutdown()
{
    Kivo_Quit();
    Network_Shutdown();
    Steam_Shutdown();
    Score_Save();
    Code_Constant_Free();
    CodeFunction_FreeAll();
    MP_Grid_DestroyAll();
    Room_FreeAll();
    Instance_DeleteAll();
    PersistentInstances_DeleteAll();
    Object_FreeEventLists();
    Object_Free();
    ParticleSystem_FreeAll();
    Sprite_FreeAll();
    CleanTempDirectory();
    VertexBuffer_FreeAll();
    Model_FreeAll();
    VertexFormat_Shutdown();
    GR_D3D_Shutdown();
    Background_Shutdown();
    GR_Texture_FreeAll();
    Script_DeleteAll();
    Variable_BuiltIn_Free();
    Font_Shutdown();
    Text_Free();
    VertexFormat_FreeList();
    File_CloseAll();
    Http_Shutdown();
    CProfiler::Free();
    TimeLine_Free();
    UnloadGameData();
    Sound_DeleteAll();
    GR_D3D_ReleaseAll();
    if (GR_Window_Handle) {
        GR_Window_Destroy(GR_Window_Handle);
        GR_Window_Handle = nullptr;
    }
}

void RunnerReset()
{
    Run_ResetRunGlobals();
    Runner_FreeText(&GameFilePath);
    Runner_FreeGameFolder();
    GameHeader_Reset();
    Variable_FreeGlobalObject();
    KVObjectBase::FreePool();
}

void SetReleaseMode(bool withChecks)
{
    ReleaseModeChecks = withChecks;
    DsGridCheck = withChecks;
    DsGrid_SetBoundsChecking(withChecks);
    SetVertexBuilderMode(withChecks);
}
