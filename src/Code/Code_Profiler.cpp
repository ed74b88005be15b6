#include "Code/Code_Profiler.h"

CodeProfilerHooks Code_Profiler = {};
