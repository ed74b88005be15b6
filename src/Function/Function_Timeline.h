#pragma once
// The timeline resource built-ins (part of the "Resource.." group): queries
// of timelines and their moments, timelines added and deleted at run time,
// and moments that run scripts.
void InitTimelineFunctions();
