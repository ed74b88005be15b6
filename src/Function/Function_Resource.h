#pragma once
// The "Resource.." group of built-ins: sprites, sounds, fonts, scripts,
// paths, timelines, objects, rooms, asset queries and backgrounds.

void InitResourceFunctions();
