#include "GameModule.h"

#include "DemoGameData.h"

LinkVariableRef Ref_tilesize = {"tilesize", SLOT_TILESIZE};
LinkVariableRef Ref_map = {"map", SLOT_MAP};
LinkVariableRef Ref_mountains = {"mountains", SLOT_MOUNTAINS};
LinkVariableRef Ref_trees = {"trees", SLOT_TREES};
LinkVariableRef Ref_clouds = {"clouds", SLOT_CLOUDS};
LinkVariableRef Ref_x = {"x", -1};
LinkVariableRef Ref_image_xscale = {"image_xscale", -1};

LinkFunctionRef Ref_layer_tilemap_get_id = {"layer_tilemap_get_id", 0};
LinkFunctionRef Ref_layer_get_all_elements = {"layer_get_all_elements", 0};

namespace {
LinkVariableRef* s_variables[] = {&Ref_tilesize, &Ref_map, &Ref_mountains, &Ref_trees, &Ref_clouds,
                                  &Ref_x, &Ref_image_xscale, nullptr};
LinkFunctionRef* s_functions[] = {&Ref_layer_tilemap_get_id, &Ref_layer_get_all_elements, nullptr};

CompiledCodeEntry s_code[] = {
    {"qsc_Object_object_Game_Create_0", qsc_Object_object_Game_Create_0},
    {"qsc_Object_object_Player_Create_0", qsc_Object_object_Player_Create_0},
    {"qsc_Object_object_Player_Step_0", qsc_Object_object_Player_Step_0},
};

// The head of the call chain the compiled code pushes its frames onto.
StackTraceFrame* s_callChainHead = nullptr;

constexpr int32_t kOwnVariables = 5;
}  // namespace

GameLinkRecord* GameModule_GetLinkRecord(GameLinkRecord* record)
{
    record->gameData = DemoGameData;
    record->dataSize = DemoGameDataSize;
    record->globalCount = kOwnVariables;
    record->instanceCount = kOwnVariables;
    record->codeCount = static_cast<int32_t>(sizeof s_code / sizeof s_code[0]);
    record->variables = s_variables;
    record->functions = s_functions;
    record->codeTable = s_code;
    record->callChainHead = &s_callChainHead;
    return record;
}

const uint8_t* GameModule_GetIcon(uint32_t* size)
{
    *size = DemoIconSize;
    return DemoIcon;
}
