#include <gtest/gtest.h>

#include <string>

#include "World/EventName.h"

namespace {
struct NameCase {
    int kind, subKind;
    const char* name;
};
}  // namespace

TEST(EventName, NamesEveryKind)
{
    const NameCase cases[] = {
        {0, 0, "Create Event"},
        {1, 0, "Destroy Event"},
        {2, 11, "Alarm Event for alarm 11"},
        {3, 2, " Step Event2"},
        {4, 99999, " Step Event<undefined>"},
        {5, 65, "Keyboard Event for A-key Key"},
        {5, 0, "Keyboard Event for <no key> Key"},
        {6, 27, "Mouse Event for Joystick 1 Button 7"},
        {6, 43, "Mouse Event for Joystick 2 Button 8"},
        {6, 20, "Mouse Event for <unknown>"},
        {7, 12, "Other Event: User Defined 2"},
        {7, 59, "Other Event: <unknown>"},
        {7, 62, "Async Event: HTTP"},
        {7, 64, "Async Event: <unknown>"},
        {8, 0, "Draw Event"},
        {9, 100, "Key Press Event for Keypad-4 Key"},
        {10, 115, "Key Release Event for F4 Key"},
        {11, 0, "<Unknown Event>"},
        {12, 0, "<Unknown Event>"},
        {13, 0, "<Unknown Event>"},
        {-5, 0, "<Unknown Event>"},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(std::string(Event_GetName(c.kind, c.subKind)), c.name) << c.kind << "/" << c.subKind;
}

TEST(EventName, KeyNames)
{
    const std::pair<int, const char*> cases[] = {
        {1, "<any key>"}, {13, "<Enter>"}, {46, "<Delete>"}, {48, "0-key"}, {57, "9-key"}, {90, "Z-key"},
        {96, "Keypad-0"}, {105, "Keypad-9"}, {106, "Keypad *"}, {108, "<unknown>"}, {111, "Keypad /"},
        {112, "F1"}, {123, "F12"}, {124, "<unknown>"}, {200, "<unknown>"}, {-1, "<unknown>"},
    };
    for (const auto& [key, name] : cases) EXPECT_EQ(std::string(Event_KeyName(key)), name) << key;
}

TEST(EventName, MouseOtherAndAsyncNames)
{
    EXPECT_STREQ(Event_MouseName(11), "Mouse Leave");
    EXPECT_STREQ(Event_MouseName(16), "Joystick 1 Left");
    EXPECT_STREQ(Event_MouseName(34), "Joystick 2 Down");
    EXPECT_STREQ(Event_MouseName(35), "<unknown>");
    EXPECT_STREQ(Event_MouseName(58), "Glob Middle Released");
    EXPECT_STREQ(Event_MouseName(61), "Mouse Wheel Down");
    EXPECT_STREQ(Event_MouseName(12), "<unknown>");
    EXPECT_STREQ(Event_OtherName(9), "No More Health");
    EXPECT_STREQ(Event_OtherName(25), "User Defined 15");
    EXPECT_STREQ(Event_OtherName(30), "Close Button");
    EXPECT_STREQ(Event_OtherName(47), "Outside View 7");
    EXPECT_STREQ(Event_OtherName(50), "Boundary View 0");
    EXPECT_STREQ(Event_OtherName(58), "Animation Update");
    EXPECT_STREQ(Event_OtherName(26), "<unknown>");
    EXPECT_STREQ(Event_AsyncName(60), "Image Loaded");
    EXPECT_STREQ(Event_AsyncName(72), "Save-Load");
    EXPECT_STREQ(Event_AsyncName(75), "System Event");
    EXPECT_STREQ(Event_AsyncName(65), "<unknown>");
    EXPECT_STREQ(Event_AsyncName(76), "<unknown>");
}
