#include "World/EventName.h"

#include <cstdio>

#include "World/Event_Main.h"
#include "World/Object_Main.h"
#include "World/TimeLine_Main.h"

const char* Event_KeyName(int key)
{
    static char text[64];
    switch (key) {
    case 0: return "<no key>";
    case 1: return "<any key>";
    case 8: return "<Backspace>";
    case 9: return "<Tab>";
    case 13: return "<Enter>";
    case 16: return "<Shift>";
    case 17: return "<Ctrl>";
    case 18: return "<Alt>";
    case 27: return "<Escape>";
    case 32: return "<Space>";
    case 33: return "<Page Up>";
    case 34: return "<Page Down>";
    case 35: return "<End>";
    case 36: return "<Home>";
    case 37: return "<Left>";
    case 38: return "<Up>";
    case 39: return "<Right>";
    case 40: return "<Down>";
    case 45: return "<Insert>";
    case 46: return "<Delete>";
    case 106: return "Keypad *";
    case 107: return "Keypad +";
    case 109: return "Keypad -";
    case 110: return "Keypad .";
    case 111: return "Keypad /";
    default: break;
    }
    if ((key >= 48 && key <= 57) || (key >= 65 && key <= 90))
        std::snprintf(text, sizeof text, "%c-key", key);
    else if (key >= 96 && key <= 105)
        std::snprintf(text, sizeof text, "Keypad-%d", key - 96);
    else if (key >= 112 && key <= 123)
        std::snprintf(text, sizeof text, "F%d", key - 111);
    else
        return "<unknown>";
    return text;
}

const char* Event_MouseName(int code)
{
    static const char* const kNames[] = {
        "Left Button", "Right Button", "Middle Button", "No Button", "Left Pressed", "Right Pressed",
        "Middle Pressed", "Left Released", "Right Released", "Middle Released", "Mouse Enter", "Mouse Leave"};
    static const char* const kGlobal[] = {
        "Glob Left Button", "Glob Right Button", "Glob Middle Button", "Glob Left Pressed", "Glob Right Pressed",
        "Glob Middle Pressed", "Glob Left Released", "Glob Right Released", "Glob Middle Released"};
    static const char* const kDirections[] = {"Left", "Right", "Up", "Down"};
    static char text[64];
    if (code >= 0 && code <= 11) return kNames[code];
    if (code >= 50 && code <= 58) return kGlobal[code - 50];
    if (code == 60) return "Mouse Wheel Up";
    if (code == 61) return "Mouse Wheel Down";
    // Joystick 1 uses codes 16..28, joystick 2 the same layout from 31.
    for (int pad = 1; pad <= 2; ++pad) {
        const int base = pad == 1 ? 16 : 31;
        if (code >= base && code <= base + 3) {
            std::snprintf(text, sizeof text, "Joystick %d %s", pad, kDirections[code - base]);
            return text;
        }
        if (code >= base + 5 && code <= base + 12) {
            std::snprintf(text, sizeof text, "Joystick %d Button %d", pad, code - base - 4);
            return text;
        }
    }
    return "<unknown>";
}

const char* Event_OtherName(int code)
{
    static const char* const kNames[] = {
        "Outside Room", "Intersect Boundary", "Game Start", "Game End", "Room Start",
        "Room End", "No More Lives", "Animation End", "End Of Path", "No More Health"};
    static char text[64];
    if (code >= 0 && code <= 9) return kNames[code];
    if (code == 30) return "Close Button";
    if (code == 58) return "Animation Update";
    if (code >= 10 && code <= 25)
        std::snprintf(text, sizeof text, "User Defined %d", code - 10);
    else if (code >= 40 && code <= 47)
        std::snprintf(text, sizeof text, "Outside View %d", code - 40);
    else if (code >= 50 && code <= 57)
        std::snprintf(text, sizeof text, "Boundary View %d", code - 50);
    else
        return "<unknown>";
    return text;
}

const char* Event_AsyncName(int code)
{
    switch (code) {
    case 60: return "Image Loaded";
    case 61: return "Sound Loaded";
    case 62: return "HTTP";
    case 63: return "Dialog";
    case 66: return "IAP";
    case 67: return "Cloud";
    case 68: return "Networking";
    case 69: return "Steam";
    case 70: return "Social";
    case 71: return "Push";
    case 72: return "Save-Load";
    case 73: return "Audio Recording";
    case 74: return "Audio Playback";
    case 75: return "System Event";
    default: return "<unknown>";
    }
}

const char* Event_GetName(int kind, int subKind)
{
    static char text[512];
    switch (kind) {
    case 0: return "Create Event";
    case 1: return "Destroy Event";
    case 2: std::snprintf(text, sizeof text, "Alarm Event for alarm %d", subKind); break;
    case 3: std::snprintf(text, sizeof text, " Step Event%d", subKind); break;
    case 4: std::snprintf(text, sizeof text, " Step Event%s", Object_NameOf(subKind)); break;
    case 5: std::snprintf(text, sizeof text, "%s%s%s", "Keyboard Event for ", Event_KeyName(subKind), " Key"); break;
    case 6: std::snprintf(text, sizeof text, "%s%s", "Mouse Event for ", Event_MouseName(subKind)); break;
    case 7:
        if (subKind < 60)
            std::snprintf(text, sizeof text, "Other Event: %s", Event_OtherName(subKind));
        else
            std::snprintf(text, sizeof text, "Async Event: %s", Event_AsyncName(subKind));
        break;
    case 8: return "Draw Event";
    case 9: std::snprintf(text, sizeof text, "%s%s%s", "Key Press Event for ", Event_KeyName(subKind), " Key"); break;
    case 10: std::snprintf(text, sizeof text, "%s%s%s", "Key Release Event for ", Event_KeyName(subKind), " Key"); break;
    default: return "<Unknown Event>";
    }
    return text;
}
