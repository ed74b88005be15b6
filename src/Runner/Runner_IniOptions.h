#pragma once
// The runner's keys of options.ini.
class IniFile;

// Orientations allowed by options.ini, kept for os_lock_orientation.
struct OrientationFlags {
    int landscape;
    int landscapeFlipped;
    int portrait;
    int portraitFlipped;
};
extern OrientationFlags AllowedOrientations;

void ReadRunnerIniOptions(IniFile* ini);
