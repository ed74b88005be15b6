#pragma once
// A network world in one process: the network built-ins registered, every
// networking event recorded, frames at a time the test moves, the log kept, and
// frames pumped in bounded loops on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "Base/Console.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Map.h"
#include "Function/BuiltinCallFixture.h"
#include "Function/Network_Functions.h"
#include "Host/Host_Socket.h"
#include "Network/Network_Main.h"
#include "support/RecordingConsole.h"

struct NetEvent {
    int type = 0, id = -1, socket = -1, size = -1, succeeded = -1, port = -1;
    std::string ip, payload;
};

struct NetworkFixture : BuiltinCallFixture {
    static inline std::vector<NetEvent> events;
    static inline uint64_t now = 1000000000;
    // Runs inside each event after it is recorded.
    static inline std::function<void(const NetEvent&)> onEvent;
    RecordingConsole log;
    tagIConsole* savedLog = nullptr;
    NetworkEventHook savedHook = nullptr;

    static double Field(int32_t map, const char* key)
    {
        DsMap* m = DsMapTable.Get(map);
        ScriptValue k = S(key);
        DsMapElement* e = m ? m->FindElement(&k) : nullptr;
        ScriptValue_SetUndefined(&k);
        return e && e->value.Kind() == VALUE_REAL ? e->value.real : -1;
    }
    static std::string Text(int32_t map, const char* key)
    {
        DsMap* m = DsMapTable.Get(map);
        ScriptValue k = S(key);
        DsMapElement* e = m ? m->FindElement(&k) : nullptr;
        ScriptValue_SetUndefined(&k);
        const char* t = e && e->value.Kind() == VALUE_STRING ? ScriptValue_StringText(&e->value) : nullptr;
        return t ? t : "";
    }
    static void Record(int32_t map)
    {
        NetEvent e;
        e.type = int(Field(map, "type"));
        e.id = int(Field(map, "id"));
        e.socket = int(Field(map, "socket"));
        e.size = int(Field(map, "size"));
        e.succeeded = int(Field(map, "succeeded"));
        e.port = int(Field(map, "port"));
        e.ip = Text(map, "ip");
        if (e.type == 3) {
            const IBuffer* b = Buffer_Get(int(Field(map, "buffer")));
            EXPECT_NE(b, nullptr);
            if (b) e.payload.assign(reinterpret_cast<const char*>(b->Data()), size_t(e.size));
        }
        events.push_back(e);
        if (onEvent) onEvent(events.back());
    }
    void SetUp() override
    {
        BuiltinCallFixture::SetUp();
        events.clear();
        onEvent = nullptr;
        now = 1000000000;
        savedLog = LogConsole;
        LogConsole = &log;
        savedHook = Network_SetEventHook(Record);
        NetworkConnectTimeout = 50000;
        NetworkNonBlockingConnect = false;
        InitNetworkingFunctions();
        Step();
    }
    void TearDown() override
    {
        onEvent = nullptr;
        Network_Shutdown();
        Network_SetEventHook(savedHook);
        NetworkConnectTimeout = 50000;
        NetworkNonBlockingConnect = false;
        LogConsole = savedLog;
        BuiltinCallFixture::TearDown();
    }

    // A port nothing listens on right now.
    static int FreePort(bool udp = false)
    {
        const int h = HostSocket_Create(udp);
        HostSocket_Bind(h, 0x7F000001, 0);
        const int port = HostSocket_LocalPort(h);
        HostSocket_Close(h);
        return port;
    }
    // One frame at the test's time.
    static void Step() { Network_UpdateAt(now); }
    // Frames until the condition holds; false after the bound (a few seconds).
    static bool PumpUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            Step();
        }
        return true;
    }
    // A few frames for traffic that must not cause anything.
    static void PumpQuiet()
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        while (std::chrono::steady_clock::now() < end) Step();
    }
    static int Count(int type)
    {
        int n = 0;
        for (const NetEvent& e : events) n += e.type == type;
        return n;
    }
    static const NetEvent* Last(int type)
    {
        for (auto it = events.rbegin(); it != events.rend(); ++it)
            if (it->type == type) return &*it;
        return nullptr;
    }
    // A game buffer holding bytes.
    static int Bytes(const std::string& bytes)
    {
        const int id = Buffer_Create(int32_t(bytes.size() ? bytes.size() : 1), eBuffer_Fixed, 1);
        std::memcpy(Buffer_Get(id)->Data(), bytes.data(), bytes.size());
        return id;
    }
    static std::string Frame(const std::string& payload, uint32_t claimed)
    {
        const uint32_t h[3] = {0xDEADC0DE, 12, claimed};
        return std::string(reinterpret_cast<const char*>(h), 12) + payload;
    }
    static std::string Frame(const std::string& payload) { return Frame(payload, uint32_t(payload.size())); }
};
