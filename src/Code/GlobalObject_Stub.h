#pragma once
// Stand-in for the global object (the holder of the global variables) until
// the object base exists; the chunk pass will create it.
class CInstance;

extern CInstance* GlobalObject;
