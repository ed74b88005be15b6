#pragma once
// The data-structure built-ins of game code (the "DS.." group): stacks,
// queues, lists, maps, priority queues and grids by handle.

// Registers the group's names in their table order.
void InitDataStructureFunctions();
// Makes ds_grid_get and ds_grid_set report bad handles and cells outside the
// grid (true, as registered) or skip the reports for speed (false). Either way
// nothing is read or written outside a grid.
void DsGrid_SetBoundsChecking(bool check);
