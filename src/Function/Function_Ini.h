#pragma once
// The ini built-ins (part of the "File.." group): game code has one ini open
// at a time; the next open and ini_close write it back into the save area
// when it changed.

// Lets go of an ini an earlier run left open (unwritten) and registers them.
void InitIniFunctions();
