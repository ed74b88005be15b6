#include "Network/Network_Rely.h"

#include <algorithm>
#include <set>

#include "Base/CRC32.h"
#include "Network/Network_test_support.h"

namespace {
std::string Words(std::initializer_list<uint32_t> words)
{
    std::string out;
    for (uint32_t w : words) out.append(reinterpret_cast<const char*>(&w), 4);
    return out;
}

// A reliable packet as the wire has it: the CRC of everything after it.
std::string Packet(uint32_t type, uint32_t sequence, const std::string& payload, bool sequenced = true)
{
    const std::string body = (sequenced ? Words({type, sequence}) : Words({type})) + payload;
    const uint32_t crc = CRC32_Calc(body.data(), body.size());
    return Words({crc}) + body;
}

uint32_t WordAt(const std::string& bytes, size_t index)
{
    uint32_t w = 0;
    std::memcpy(&w, bytes.data() + 4 * index, 4);
    return w;
}

// A socket in reliable mode and a plain one that plays its peer by hand.
struct RelyTest : NetworkFixture {
    int relyPort = 0, peerPort = 0, rely = -1, peer = -1;
    void SetUp() override
    {
        NetworkFixture::SetUp();
        relyPort = FreePort(true);
        peerPort = FreePort(true);
        rely = int(Num("network_create_socket_ext", {R(1), R(relyPort)}));
        peer = int(Num("network_create_socket_ext", {R(1), R(peerPort)}));
        ASSERT_GE(rely, 0);
        ASSERT_GE(peer, 0);
        Num("network_set_config", {R(2), R(rely)});
    }
    void PeerSends(const std::string& datagram)
    {
        const int b = Bytes(datagram);
        EXPECT_EQ(Num("network_send_udp_raw", {R(peer), S("127.0.0.1"), R(relyPort), R(b), R(double(datagram.size()))}),
                  double(datagram.size()));
        Buffer_Delete(b);
    }
    // Datagrams the peer received.
    static std::vector<std::string> AtPeer(int peerId)
    {
        std::vector<std::string> out;
        for (const NetEvent& e : events)
            if (e.type == 3 && e.id == peerId) out.push_back(e.payload);
        return out;
    }
    // Every sequence that acknowledgements received by the peer name.
    std::set<uint32_t> AcknowledgedAtPeer()
    {
        std::set<uint32_t> out;
        for (const std::string& d : AtPeer(peer))
            if (d.size() >= 12 && WordAt(d, 1) == 2)
                for (size_t i = 3; i < d.size() / 4; ++i) out.insert(WordAt(d, i));
        return out;
    }
    int DataEventsAtRely()
    {
        int n = 0;
        for (const NetEvent& e : events) n += e.type == 3 && e.id == rely;
        return n;
    }
};

TEST_F(RelyTest, GoodRepeatedCorruptShortAndUnknownPackets)
{
    struct Case {
        const char* name;
        std::string datagram;
        int events;  // data events it raises
        const char* logged;
    };
    std::string flipped = Packet(1, 8, "flip");
    flipped[13] ^= 0x04;
    const std::string shortWithCrc = [] {
        const std::string body = Words({1}) + "ab";  // type 1 without its sequence
        const uint32_t crc = CRC32_Calc(body.data(), body.size());
        return Words({crc}) + body;
    }();
    const Case cases[] = {
        {"data", Packet(1, 7, "hello"), 1, nullptr},
        {"the same data again", Packet(1, 7, "hello"), 0, "Already received packet 7 from 127.0.0.1:"},
        {"unsequenced", Packet(0, 0, "loose", false), 1, nullptr},
        {"a flipped bit", flipped, 0, "RELY: crc on incoming packet from 127.0.0.1:"},
        {"a type 1 shorter than its header", shortWithCrc, 0, "RELY: malformed packet from 127.0.0.1:"},
        {"shorter than any header", std::string("abc"), 0, "RELY: malformed packet from 127.0.0.1:"},
        {"an unknown type", Packet(5, 1, "x"), 0, "(unknown type).  discarding!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.text.clear();
        const int before = DataEventsAtRely();
        PeerSends(c.datagram);
        if (c.events) {
            ASSERT_TRUE(PumpUntil([&] { return DataEventsAtRely() == before + c.events; }));
        } else {
            ASSERT_TRUE(PumpUntil([&] { return !log.text.empty(); }));
        }
        PumpQuiet();
        EXPECT_EQ(DataEventsAtRely(), before + c.events);
        if (c.logged) {
            EXPECT_TRUE(log.Has(c.logged)) << log.text;
        }
    }
    EXPECT_EQ(Last(3)->payload, "loose");
}

TEST_F(RelyTest, AnUnacknowledgedPacketIsSentAgainEveryThreeSeconds)
{
    const int b = Bytes("data!");
    EXPECT_EQ(Num("network_send_udp", {R(rely), S("127.0.0.1"), R(peerPort), R(b), R(5)}), 5);
    ASSERT_TRUE(PumpUntil([&] { return AtPeer(peer).size() == 1; }));
    const std::string first = AtPeer(peer)[0];
    ASSERT_EQ(first.size(), 17u);
    EXPECT_EQ(WordAt(first, 0), CRC32_Calc(first.data() + 4, first.size() - 4));
    EXPECT_EQ(WordAt(first, 1), 1u);
    EXPECT_EQ(first.substr(12), "data!");
    const auto copies = [&] {
        const std::vector<std::string> seen = AtPeer(peer);
        return std::count(seen.begin(), seen.end(), first);
    };
    now += 2900000;
    PumpQuiet();
    EXPECT_EQ(copies(), 1);
    for (int sends = 2; sends <= 3; ++sends) {
        now += 3100000;
        ASSERT_TRUE(PumpUntil([&] { return copies() == sends; }));
    }
    // The peer's acknowledgement ends the resends. It is acknowledged in
    // turn a second later, and that acknowledgement waits for its own.
    PeerSends(Packet(2, 100, Words({WordAt(first, 2)})));
    now += 1100000;
    ASSERT_TRUE(PumpUntil([&] { return AcknowledgedAtPeer().count(100) == 1; }));
    now += 3100000;
    PumpQuiet();
    EXPECT_EQ(copies(), 3);
    EXPECT_EQ(RELY_PendingCount(), 1);
    Buffer_Delete(b);
}

TEST_F(RelyTest, TwoReliablePeersAcknowledgeEachOtherAboutOnceASecond)
{
    Num("network_set_config", {R(2), R(peer)});
    const int b = Bytes("once");
    Num("network_send_udp", {R(rely), S("127.0.0.1"), R(peerPort), R(b), R(4)});
    ASSERT_TRUE(PumpUntil([&] { return Count(3) == 1; }));
    EXPECT_EQ(Last(3)->payload, "once");
    // Each second the newest acknowledgement is acknowledged in turn; no
    // packet waits long enough to be sent again, and the data arrives once.
    for (int second = 0; second < 8; ++second) {
        now += 1100000;
        Step();
        PumpQuiet();
        EXPECT_LE(RELY_PendingCount(), 2) << second;
    }
    EXPECT_EQ(Count(3), 1);
    EXPECT_FALSE(log.Has("Already received"));
    Buffer_Delete(b);
}

TEST_F(RelyTest, MoreThanARingOfPacketsBetweenAcknowledgementsAreAllAcknowledged)
{
    constexpr uint32_t kPackets = 300;
    for (uint32_t s = 1; s <= kPackets; ++s) {
        PeerSends(Packet(1, s, "p"));
        if (s % 50 == 0) {
            ASSERT_TRUE(PumpUntil([&] { return DataEventsAtRely() == int(s); }));
        }
    }
    // The frozen clock sent no timed acknowledgement; a full ring sent its own.
    now += 1100000;
    Step();
    ASSERT_TRUE(PumpUntil([&] { return AcknowledgedAtPeer().size() == kPackets; }));
    EXPECT_EQ(*AcknowledgedAtPeer().begin(), 1u);
    EXPECT_EQ(*AcknowledgedAtPeer().rbegin(), kPackets);
}
}  // namespace
