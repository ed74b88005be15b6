#pragma once
// The script resource built-ins (part of the "Resource.." group): queries of
// the game's scripts and script_execute.
void InitScriptFunctions();
