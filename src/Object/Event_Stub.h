#pragma once
// Stand-in for the current-event globals and the name lookups of objects and
// timelines until event dispatch and the object and timeline tables exist.

extern int Event_CurrentObject;  // object index, or the timeline index
extern int Event_CurrentKind;    // event kind, 100000 for a timeline moment
extern int Event_CurrentNumber;  // sub-kind, or the moment's time

// The object's name, "<undefined>" when the index is not in the table.
const char* Object_NameOf(int index);
// The timeline's name, "<undefined>" when there is no timeline at the index.
const char* TimeLine_Name(int index);
