#pragma once
// The matrix_ and frustum_ built-ins and the matrix stack (part of the "3D.." group).

void Matrix_RegisterFunctions();
// The six matrix_stack_ built-ins (new-format games); the stack starts empty,
// its base identity.
void Matrix_RegisterStackFunctions();
