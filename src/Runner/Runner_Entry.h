#pragma once
// Process entry of the runner: the restart loop around one game run.
int Runner_Main(int argc, char** argv);
