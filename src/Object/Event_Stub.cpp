#include "Object/Event_Stub.h"

int Event_CurrentObject = 0;
int Event_CurrentKind = 0;
int Event_CurrentNumber = 0;

// No tables are loaded yet, so every index is unknown.
const char* Object_NameOf(int)
{
    return "<undefined>";
}

const char* TimeLine_Name(int)
{
    return "<undefined>";
}
