#pragma once
// The table of named constants: built-in constants, those of the game's
// options and extensions, and the name look-up of assets and constants.
#include <cstdint>

#include "Code/Code_Value.h"

void Code_Constant_Add(const char* name, const ScriptValue* value);
void Code_Constant_AddReal(const char* name, double value);
bool Code_Constant_IsValidName(const char* text);
bool Code_Constant_Define(const char* nameText, const char* valueText);
bool Code_Constant_Prepare();
// Last-defined constant of that name, letter case ignored; null when none.
ScriptValue* Code_Constant_Get(const char* name);
// The index of the first asset of that name (sprites, sounds, objects, audio,
// backgrounds, paths, fonts, timelines, scripts, rooms, shaders, in that
// order), else the constant's value; false when neither exists.
bool Code_Constant_Lookup(const char* name, ScriptValue* out);
// The asset tables Code_Constant_Lookup asks, in order; each gives an index
// or -1. Set by Runner_InstallHooks, until then no asset name is found; the
// array must outlive its use.
using AssetFinder = int (*)(const char* name);
void Code_Constant_SetAssetFinders(AssetFinder const* finders, int32_t count);
void Code_Constant_Free();
void Code_Constant_Init();
int32_t Code_Constant_Count();
