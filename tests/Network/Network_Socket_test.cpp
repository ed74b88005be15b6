#include "Network/kvSocket.h"
#include "Network/kvServer.h"

#include <algorithm>

#include "Network/Network_test_support.h"

namespace {
struct SocketTest : NetworkFixture {
    // A connected raw pair: a raw TCP server and a game socket connected to
    // it; returns the server's id and the accepted client's id.
    void RawPair(int* server, int* client, int* accepted)
    {
        const int port = FreePort();
        *server = int(Num("network_create_server_raw", {R(0), R(port), R(4)}));
        *client = int(Num("network_create_socket", {R(0)}));
        ASSERT_EQ(Num("network_connect_raw", {R(*client), S("127.0.0.1"), R(port)}), 0);
        ASSERT_TRUE(PumpUntil([] { return Count(1) == 1; }));
        *accepted = Last(1)->socket;
        events.clear();
    }
    void SendRaw(int socket, const std::string& bytes)
    {
        const int b = Bytes(bytes);
        EXPECT_EQ(Num("network_send_raw", {R(socket), R(b), R(double(bytes.size()))}), double(bytes.size()));
        Buffer_Delete(b);
    }
};

TEST_F(SocketTest, TheHandshakeRaisesTheConnectEventAfterTheHelloThenPacketsFlowBothWaysUntilTheDisconnect)
{
    const int port = FreePort();
    const int server = int(Num("network_create_server", {R(0), R(port), R(8)}));
    const int client = int(Num("network_create_socket", {R(0)}));
    ASSERT_GE(server, 0);
    // The blocking connect services the local server while it waits.
    EXPECT_EQ(Num("network_connect", {R(client), S("localhost"), R(port)}), 0);
    EXPECT_TRUE(log.Has("Socket Connected.\n"));
    ASSERT_EQ(Count(1), 1);
    const NetEvent connected = *Last(1);
    EXPECT_EQ(connected.id, server);
    EXPECT_EQ(connected.ip, "127.0.0.1");
    EXPECT_EQ(connected.port, port);
    const int accepted = connected.socket;

    const int b = Bytes("hello");
    EXPECT_EQ(Num("network_send_packet", {R(client), R(b), R(5)}), 17);
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 1; }));
    EXPECT_EQ(Last(3)->id, accepted);
    EXPECT_EQ(Last(3)->payload, "hello");
    EXPECT_EQ(Num("network_send_packet", {R(accepted), R(b), R(3)}), 15);
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 2; }));
    EXPECT_EQ(Last(3)->id, client);
    EXPECT_EQ(Last(3)->payload, "hel");

    Num("network_destroy", {R(client)});
    ASSERT_TRUE(PumpUntil([] { return Count(2) == 1; }));
    EXPECT_EQ(Last(2)->id, server);
    EXPECT_EQ(Last(2)->socket, accepted);
    EXPECT_EQ(Network_Entry(accepted), nullptr);
    Buffer_Delete(b);
}

TEST_F(SocketTest, MaximumClientsRefusesWithByeUntilAPlaceIsFree)
{
    const int port = FreePort();
    Num("network_create_server", {R(0), R(port), R(1)});
    const int first = int(Num("network_create_socket", {R(0)}));
    const int second = int(Num("network_create_socket", {R(0)}));
    EXPECT_EQ(Num("network_connect", {R(first), S("127.0.0.1"), R(port)}), 0);
    EXPECT_EQ(Num("network_connect", {R(second), S("127.0.0.1"), R(port)}), -1);
    EXPECT_TRUE(log.Has("Client Refused: 127.0.0.1\n"));
    EXPECT_EQ(Count(1), 1);

    Num("network_destroy", {R(first)});
    ASSERT_TRUE(PumpUntil([] { return Count(2) == 1; }));
    const int third = int(Num("network_create_socket", {R(0)}));
    EXPECT_EQ(Num("network_connect", {R(third), S("127.0.0.1"), R(port)}), 0);
    EXPECT_EQ(Count(1), 2);
}

TEST_F(SocketTest, ABadHelloFailsTheLoginAndABadGreetingFailsTheNonBlockingHandshake)
{
    const int port = FreePort();
    const int server = int(Num("network_create_server", {R(0), R(port), R(4)}));
    const int client = int(Num("network_create_socket", {R(0)}));
    ASSERT_EQ(Num("network_connect_raw", {R(client), S("127.0.0.1"), R(port)}), 0);
    ASSERT_TRUE(PumpUntil([&] { return log.Has("Client(") ; }));
    SendRaw(client, std::string(16, 'x'));
    ASSERT_TRUE(PumpUntil([&] { return log.Has("ERROR: login failed\n"); }));
    EXPECT_EQ(Count(1), 0);
    EXPECT_EQ(NetworkSocketTable[server].server->clientCount, 0);

    // A raw server sends what the test says in place of the greeting.
    int rawServer, rawClient, accepted;
    NetworkNonBlockingConnect = false;
    const int rawPort = FreePort();
    rawServer = int(Num("network_create_server_raw", {R(0), R(rawPort), R(4)}));
    NetworkNonBlockingConnect = true;
    rawClient = int(Num("network_create_socket", {R(0)}));
    ASSERT_EQ(Num("network_connect", {R(rawClient), S("127.0.0.1"), R(rawPort)}), 0);
    ASSERT_TRUE(PumpUntil([] { return Count(1) == 1; }));
    accepted = Last(1)->socket;
    ASSERT_TRUE(PumpUntil([&] { return log.Has("handshake wait1 peek"); }));
    SendRaw(accepted, std::string("QS:Hearth-Connecx", 18));
    ASSERT_TRUE(PumpUntil([] { return Count(4) == 1; }));
    EXPECT_EQ(Last(4)->succeeded, 0);
    EXPECT_EQ(Last(4)->id, rawClient);
    (void)rawServer;
}

TEST_F(SocketTest, NonBlockingConnectsReportSuccessRefusalAndTimeout)
{
    NetworkNonBlockingConnect = true;
    const int port = FreePort();
    Num("network_create_server", {R(0), R(port), R(4)});
    const int good = int(Num("network_create_socket", {R(0)}));
    ASSERT_EQ(Num("network_connect", {R(good), S("127.0.0.1"), R(port)}), 0);
    ASSERT_TRUE(PumpUntil([] { return Count(4) == 1; }));
    EXPECT_EQ(Last(4)->succeeded, 1);
    EXPECT_EQ(Count(1), 1);

    const int refused = int(Num("network_create_socket", {R(0)}));
    const int closedPort = FreePort();
    // The refusal comes at once or as a failed connect event.
    const double r = Num("network_connect_raw", {R(refused), S("127.0.0.1"), R(closedPort)});
    if (r == 0) {
        ASSERT_TRUE(PumpUntil([] { return Count(4) == 2; }));
        EXPECT_EQ(Last(4)->succeeded, 0);
    } else {
        EXPECT_EQ(r, -1);
    }

    // A raw server never greets: the handshake gives up after the timeout
    // on the network clock.
    const int rawPort = FreePort();
    Num("network_create_server_raw", {R(0), R(rawPort), R(4)});
    const int waiting = int(Num("network_create_socket", {R(0)}));
    Num("network_set_config", {R(0), R(2000)});
    ASSERT_EQ(Num("network_connect", {R(waiting), S("127.0.0.1"), R(rawPort)}), 0);
    ASSERT_TRUE(PumpUntil([&] { return log.Has("handshake wait1 1 < 18") || log.Has("handshake wait1 0 < 18"); }));
    const int before = Count(4);
    PumpQuiet();
    EXPECT_EQ(Count(4), before);
    now += 2001000;
    ASSERT_TRUE(PumpUntil([&] { return Count(4) == before + 1; }));
    EXPECT_EQ(Last(4)->succeeded, 0);
    EXPECT_TRUE(log.Has("handshake wait1 time_expired"));
}

TEST_F(SocketTest, ABlockingConnectToAClosedPortFails)
{
    const int socket = int(Num("network_create_socket", {R(0)}));
    EXPECT_EQ(Num("network_connect", {R(socket), S("127.0.0.1"), R(FreePort())}), -1);
    // The socket can be connected again.
    const int port = FreePort();
    Num("network_create_server", {R(0), R(port), R(4)});
    EXPECT_EQ(Num("network_connect", {R(socket), S("127.0.0.1"), R(port)}), 0);
}

TEST_F(SocketTest, APacketOfFiveBytesIsSeventeenBytesOnTheWire)
{
    const int listener = HostSocket_Create(false);
    ASSERT_EQ(HostSocket_Bind(listener, 0x7F000001, 0), 0);
    ASSERT_EQ(HostSocket_Listen(listener, 1), 0);
    const int port = HostSocket_LocalPort(listener);
    const int client = int(Num("network_create_socket", {R(0)}));
    ASSERT_EQ(Num("network_connect_raw", {R(client), S("127.0.0.1"), R(port)}), 0);
    uint32_t address;
    uint16_t peer;
    ASSERT_TRUE(HostSocket_WaitReadable(listener, 5000));
    const int accepted = HostSocket_Accept(listener, &address, &peer);
    ASSERT_GE(accepted, 0);
    PumpUntil([&] { return Network_Entry(client)->socket->connecting == false; });
    const int b = Bytes("abcde");
    EXPECT_EQ(Num("network_send_packet", {R(client), R(b), R(5)}), 17);
    // A size past the buffer's end sends the buffer and no more.
    EXPECT_EQ(Num("network_send_packet", {R(client), R(b), R(1000)}), 17);
    uint8_t wire[34] = {};
    int got = 0;
    while (got < 34 && HostSocket_WaitReadable(accepted, 5000)) {
        const long n = HostSocket_Recv(accepted, wire + got, sizeof wire - size_t(got), 0);
        if (n <= 0) break;
        got += int(n);
    }
    ASSERT_EQ(got, 34);
    const uint8_t expected[17] = {0xDE, 0xC0, 0xAD, 0xDE, 0x0C, 0, 0, 0, 5, 0, 0, 0, 'a', 'b', 'c', 'd', 'e'};
    EXPECT_EQ(std::memcmp(wire, expected, 17), 0);
    EXPECT_EQ(std::memcmp(wire + 17, expected, 17), 0);
    HostSocket_Close(accepted);
    HostSocket_Close(listener);
    Buffer_Delete(b);
}

TEST_F(SocketTest, FramesAreReassembledFromTheStream)
{
    struct Case {
        const char* name;
        std::vector<std::string> pieces;  // sent with frames run between
        std::vector<int> eventsAfter;     // data events once each piece is read
        std::vector<std::string> payloads;
    };
    const std::string big(10000, 'z');
    const std::string framedBig = Frame(big);
    const std::string small = Frame("abc");
    const Case cases[] = {
        {"two packets in one read", {Frame("one") + Frame("second")}, {2}, {"one", "second"}},
        {"a payload over several reads", {framedBig.substr(0, 20), framedBig.substr(20, 5000), framedBig.substr(5020)},
         {0, 0, 1}, {big}},
        {"a split header is unframed", {small.substr(0, 5), small.substr(5)}, {1, 2}, {small.substr(0, 5), small.substr(5)}},
        // Not waited for: the block is handed over as it came, and its
        // payload is what follows the header, never more than arrived.
        {"a huge length word is not waited for", {Frame("xy", 0xFFFFFFF0u)}, {1}, {"xy"}},
        {"plain bytes are one block", {"just text"}, {1}, {"just text"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int server, client, accepted;
        RawPair(&server, &client, &accepted);
        for (size_t i = 0; i < c.pieces.size(); ++i) {
            SendRaw(client, c.pieces[i]);
            const int want = c.eventsAfter[i];
            if (want > 0) {
                ASSERT_TRUE(PumpUntil([want] { return Count(3) >= want; }));
            }
            PumpQuiet();
            EXPECT_EQ(Count(3), want) << i;
        }
        ASSERT_EQ(size_t(Count(3)), c.payloads.size());
        for (size_t i = 0; i < c.payloads.size(); ++i) {
            EXPECT_EQ(events[i].payload, c.payloads[i]) << i;
            EXPECT_EQ(events[i].id, accepted);
        }
        Num("network_destroy", {R(client)});
        Num("network_destroy", {R(accepted)});
        Num("network_destroy", {R(server)});
        events.clear();
    }
}

TEST_F(SocketTest, UdpDatagramsArriveWithoutTheirFrameOrWhole)
{
    const int port = FreePort(true);
    const int receiver = int(Num("network_create_socket_ext", {R(1), R(port)}));
    const int sender = int(Num("network_create_socket", {R(1)}));
    ASSERT_GE(receiver, 0);
    const int b = Bytes("12345");
    EXPECT_EQ(Num("network_send_udp", {R(sender), S("127.0.0.1"), R(port), R(b), R(5)}), 17);
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 1; }));
    EXPECT_EQ(Last(3)->payload, "12345");
    EXPECT_EQ(Last(3)->id, receiver);
    EXPECT_EQ(Last(3)->ip, "127.0.0.1");
    EXPECT_EQ(Num("network_send_udp_raw", {R(sender), S("127.0.0.1"), R(port), R(b), R(5)}), 5);
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 2; }));
    EXPECT_EQ(Last(3)->payload, "12345");
    // A frame whose length word claims more than the datagram holds.
    const int lying = Bytes(Frame("ab", 500));
    Num("network_send_udp_raw", {R(sender), S("127.0.0.1"), R(port), R(lying), R(14)});
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 3; }));
    EXPECT_EQ(Last(3)->payload, "ab");
    // A host that cannot be resolved is a failed send.
    EXPECT_LT(Num("network_send_udp", {R(sender), S(""), R(port), R(b), R(5)}), 0);
    Buffer_Delete(b);
    Buffer_Delete(lying);
}

TEST_F(SocketTest, AUdpServerDeliversUnderItsOwnId)
{
    const int port = FreePort(true);
    const int server = int(Num("network_create_server", {R(1), R(port), R(4)}));
    const int sender = int(Num("network_create_socket", {R(1)}));
    const int b = Bytes("ping");
    Num("network_send_udp", {R(sender), S("127.0.0.1"), R(port), R(b), R(4)});
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 1; }));
    EXPECT_EQ(Last(3)->id, server);
    EXPECT_EQ(Last(3)->payload, "ping");
    Buffer_Delete(b);
}

TEST_F(SocketTest, AnEventMayDestroyTheSocketOrServerItCameFrom)
{
    int server, client, accepted;
    RawPair(&server, &client, &accepted);
    onEvent = [](const NetEvent& e) {
        if (e.type == 3) Num("network_destroy", {R(e.id)});
    };
    SendRaw(client, Frame("first") + Frame("second"));
    ASSERT_TRUE(PumpUntil([] { return Count(3) >= 1; }));
    PumpQuiet();
    EXPECT_EQ(Count(3), 1);
    EXPECT_EQ(Network_Entry(accepted), nullptr);

    events.clear();
    const int port = FreePort(true);
    const int udpServer = int(Num("network_create_server", {R(1), R(port), R(4)}));
    const int sender = int(Num("network_create_socket", {R(1)}));
    onEvent = [udpServer](const NetEvent& e) {
        if (e.type == 3) Num("network_destroy", {R(udpServer)});
    };
    const int b = Bytes("x");
    Num("network_send_udp_raw", {R(sender), S("127.0.0.1"), R(port), R(b), R(1)});
    Num("network_send_udp_raw", {R(sender), S("127.0.0.1"), R(port), R(b), R(1)});
    ASSERT_TRUE(PumpUntil([] { return Count(3) == 1; }));
    PumpQuiet();
    EXPECT_EQ(Count(3), 1);
    EXPECT_EQ(Network_Entry(udpServer), nullptr);
    Buffer_Delete(b);
}

TEST_F(SocketTest, DestroyingAServerLeavesItsClientsInUseButUnread)
{
    int server, client, accepted;
    RawPair(&server, &client, &accepted);
    Num("network_destroy", {R(server)});
    EXPECT_NE(Network_Entry(accepted), nullptr);
    SendRaw(client, "unread");
    PumpQuiet();
    EXPECT_EQ(Count(3), 0);
}

TEST_F(SocketTest, BuiltInMessagesAndBadIds)
{
    const int port = FreePort();
    struct Case {
        const char* name;
        std::vector<ScriptValue> args;
        double result;
        const char* message;
    };
    Case cases[] = {
        {"network_create_server", {R(0), R(port), R(1015)}, -1,
         "Maximum number of clients for server must be less than 1014 on this platform"},
        {"network_create_server", {R(0), R(port), R(0)}, -1, "Maximum number of clients for server cannot be less than 1"},
        {"network_connect", {R(0), S("127.0.0.1"), S("80")}, -1, "Illegal argument type"},
        {"network_connect", {R(0), S("127.0.0.1")}, -1, "Illegal argument count"},
        {"network_connect", {R(-1), S("127.0.0.1"), R(80)}, -1, "Illegal socket index"},
        {"network_connect", {R(5000), S("127.0.0.1"), R(80)}, -1, "Illegal socket index"},
        {"network_connect", {R(3), S("127.0.0.1"), R(80)}, -1, "Illegal socket index"},
        {"network_connect_raw", {R(1024), S("127.0.0.1"), R(80)}, -1, "Illegal socket index"},
        {"network_set_config", {R(7), R(0)}, -1, "network_set_config : unknown parameter"},
        {"network_send_packet", {R(1024), R(0), R(1)}, -1, ""},
        {"network_send_raw", {R(9), R(0), R(1)}, -1, ""},
        {"network_send_udp", {R(-3), S("127.0.0.1"), R(1), R(0), R(1)}, -1, ""},
        {"network_set_timeout", {R(77), R(1), R(1)}, 0, ""},
        {"network_destroy", {R(2000)}, 0, ""},
        {"network_destroy", {R(12)}, 0, ""},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.message);
        EXPECT_EQ(Num(c.name, std::move(c.args)), c.result);
        const std::string error = TakeError();
        if (c.message[0]) EXPECT_NE(error.find(c.message), std::string::npos) << error;
        else EXPECT_EQ(error, "");
    }
    EXPECT_EQ(Str("network_resolve", {S("localhost")}), "127.0.0.1");
    EXPECT_EQ(Str("network_resolve", {S("10.1.2.3")}), "10.1.2.3");
}

TEST_F(SocketTest, ABindToAPortInUseRetriesWithReuseAddress)
{
    const int port = FreePort(true);
    const int first = int(Num("network_create_socket_ext", {R(1), R(port)}));
    ASSERT_GE(first, 0);
    EXPECT_EQ(Num("network_create_socket_ext", {R(1), R(port)}), -1);
    EXPECT_TRUE(log.Has("Setting SO_REUSEADDR and retrying..."));
    EXPECT_TRUE(log.Has("Can't bind port even with SO_REUSEADDR\n"));
}
}  // namespace
