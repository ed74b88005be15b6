// A game that reaches the network built-ins through the real runner
// (quillstep_plain running the game file's bytecode) as a process of its own
// with a time limit: it serves and connects on 127.0.0.1 within itself and
// hears both ends through its networking event.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Network/Network_test_support.h"
#include "support/GameFiles.h"
#include "support/GameRuns.h"

namespace {
std::string Show(const std::string& push)
{
    return "\n" + push + "\ncall.i @show_debug_message 1\npopz.v\n";
}
std::string Number(double value)
{
    return "push.d " + std::to_string(value) + "\nconv.d.v\n";
}
// The value of a key of async_load, left on the stack.
std::string EventField(const char* key)
{
    return std::string("push.s \"") + key + "\"\nconv.s.v\npushb @async_load\ncall.i @ds_map_find_value 2";
}

// The create event opens a server on port, connects a socket to it with the
// engine's handshake and sends "ping" in a framed packet. The networking
// event shows each event's type; the data event also shows the payload and
// the ids, then ends the game.
std::vector<uint8_t> NetworkGame(int port)
{
    testgames::BytecodeGameParts game;
    testgames::CodeBuilder& code = game.code;
    const std::string p = Number(port);
    const int32_t create = code.Add("gml_Object_obj_main_Create_0",
                                    Number(4) + p + Number(0) + "call.i @network_create_server 3\npop.v.v self.100000\n" +
                                        Number(0) + "call.i @network_create_socket 1\npop.v.v self.100001\n" +
                                        Show(p + "push.s \"127.0.0.1\"\nconv.s.v\npush.v self.100001\n"
                                                 "call.i @network_connect 3") +
                                        Number(1) + Number(0) + Number(16) +
                                        "call.i @buffer_create 3\npop.v.v self.100002\n"
                                        "push.s \"ping\"\nconv.s.v\n" +
                                        Number(11) + "push.v self.100002\ncall.i @buffer_write 3\npopz.v\n" +
                                        Show(Number(5) + "push.v self.100002\npush.v self.100001\n"
                                                         "call.i @network_send_packet 3"));
    const int32_t event = code.Add("gml_Object_obj_main_Other_68",
                                   Show(EventField("type")) + EventField("type") + "\n" + Number(3) +
                                       "set.v.v eq\nbf done\n" +
                                       Show(Number(11) + EventField("buffer") + "\ncall.i @buffer_read 2") +
                                       Show(EventField("size")) + Show(EventField("id")) + Show("push.v self.100001") +
                                       "call.i @game_end 0\npopz.v\ndone:");
    EXPECT_GE(create, 0) << code.Error();
    EXPECT_GE(event, 0) << code.Error();
    game.events[0] = {{0, create}};
    game.events[7] = {{68, event}};
    return testgames::WriteBytecodeGame(game);
}
}  // namespace

TEST(RunNetwork, AGameConnectsToItsOwnServerAndReceivesItsPacketInTheNetworkingEvent)
{
    TempFolder dir;
    const ProcessRun run = testgames::RunGame(dir, NetworkGame(NetworkFixture::FreePort()),
                                              "-headless -output " + ShellQuote(dir / "out.log"));
    EXPECT_EQ(run.exitCode, 0) << run.Describe();
    // The server (id 0) raises the connect event while network_connect of
    // socket 1 waits for its reply; the packet reaches the accepted client
    // (id 2) in the first frame: "ping" and its zero byte.
    const std::string log = dir.Read("out.log");
    EXPECT_NE(log.find("\n1\n0\n17\n3\nping\n5\n2\n1\n"), std::string::npos) << log << run.Describe();
}
