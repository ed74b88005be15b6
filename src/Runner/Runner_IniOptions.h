#pragma once
// The runner's keys of options.ini.
class IniFile;

void ReadRunnerIniOptions(IniFile* ini);
