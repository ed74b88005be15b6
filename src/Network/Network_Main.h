#pragma once
// Networking and HTTP: the per-frame update of sockets and finished HTTP
// requests, and the shutdown that closes them.
// Until sockets exist (Network_Stub.cpp) there is nothing to update.

void Network_Update();
void Network_Shutdown();
// Http_Client.cpp.
void Http_Process();
