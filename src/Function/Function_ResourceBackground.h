#pragma once
// The background_* built-ins of the "Resource.." group.

void InitResourceBackgroundFunctions();
