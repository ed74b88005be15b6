#pragma once
// The network built-ins (the "Networking.." group): sockets and servers by
// id in the socket table, connects, framed and raw sends, and the options of
// network_set_config. What arrives reaches game code as the networking event.
void InitNetworkingFunctions();
