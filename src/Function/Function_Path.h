#pragma once
// The path resource built-ins (part of the "Resource.." group): queries of a
// path and its points, paths added, copied and deleted, and edits of their
// points and shape.
void InitPathFunctions();
