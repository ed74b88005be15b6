#include "Code/GameData_Stub.h"

bool LayerMode = false;
GameOptionsConstants GameOptions = {0, nullptr, nullptr};
