#pragma once
// Ends the process at once with the given exit code, after flushing every
// open output stream (standard output and error, files the game writes, the
// input record). No exit handler runs: a library's handler may wait for a
// thread that is still at work (the audio mixer, an HTTP request, the GL
// driver's), and the log files are complete already, written line by line.
[[noreturn]] void Process_End(int code);
