#pragma once
// The collector's walk over the data structures: every live map (keys and
// values), list, stack, queue, grid and priority queue, under DsMutex.

void Ds_MarkAll();
