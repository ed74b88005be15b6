#pragma once
// What the tests hand to, or read from, the stand-ins of subsystems not built
// yet (defined beside each stand-in). Production code never calls these.
#include <cstdint>

#include "Graphics/VertexFormat.h"

// VertexFormat.h
// Test hook: makes id name the format (null forgets it).
void VertexFormat_SetForTest(int id, VertexFormat* format);
