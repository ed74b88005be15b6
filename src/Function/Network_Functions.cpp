#include "Function/Network_Functions.h"

#include <cstring>

#include "Base/ErrorReport.h"
#include "Buffer/Buffer_Main.h"
#include "Buffer/Buffer_Manager.h"
#include "Code/Code_Arguments.h"
#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Network/Network_Main.h"
#include "Network/kvServer.h"
#include "Network/kvSocket.h"

namespace {
bool IsNumber(const ScriptValue& value)
{
    const int kind = value.Kind();
    return kind == VALUE_REAL || kind == VALUE_INT32 || kind == VALUE_INT64 || kind == VALUE_BOOL;
}

// The bytes of a send: the buffer's first size bytes, never past its end.
const IBuffer* SendSource(ScriptValue* args, int bufferArg, int sizeArg, int32_t* size)
{
    const IBuffer* buffer = Buffer_Get(Arg_Int32(args, bufferArg));
    if (!buffer) return nullptr;
    int32_t n = Arg_Int32(args, sizeArg);
    if (n > buffer->Size()) n = buffer->Size();
    *size = n < 0 ? 0 : n;
    return buffer;
}

void F_CreateSocket(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Network_CreateSocket(Arg_Int32(args, 0)));
}

void F_CreateSocketExt(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    int32_t id = Network_CreateSocket(Arg_Int32(args, 0));
    if (NetworkSocketEntry* entry = Network_Entry(id)) {
        kvSocket* socket = entry->socket;
        if (socket->handle < 0) socket->Open();
        if (socket->handle < 0 || socket->Bind(uint16_t(Arg_Int32(args, 1))) != 0) {
            Network_DestroySocket(id);
            id = -1;
        }
    }
    ScriptValue_SetReal(result, id);
}

void F_CreateServer(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Network_CreateServer(Arg_Int32(args, 0), Arg_Int32(args, 1), Arg_Int32(args, 2), false));
}

void F_CreateServerRaw(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, Network_CreateServer(Arg_Int32(args, 0), Arg_Int32(args, 1), Arg_Int32(args, 2), true));
}

// The socket a connect acts on, with the checks both connects share.
kvSocket* ConnectTarget(ScriptValue* args)
{
    const double id = Arg_Real(args, 0);
    NetworkSocketEntry* entry = Network_Entry(id);
    if (id < 0 || !entry || !entry->socket) {
        ReportRuntimeError("Illegal socket index", false);
        return nullptr;
    }
    return entry->socket;
}

void F_Connect(ScriptValue* result, CInstance*, CInstance*, int argc, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (argc != 3) {
        ReportRuntimeError("Illegal argument count", false);
        return;
    }
    if (!IsNumber(args[0]) || args[1].Kind() != VALUE_STRING || !IsNumber(args[2])) {
        ReportRuntimeError("Illegal argument type", false);
        return;
    }
    if (kvSocket* socket = ConnectTarget(args))
        ScriptValue_SetReal(result, socket->ConnectBlocking(Arg_String(args, 1), Arg_Int32(args, 2)) == 0 ? 0 : -1);
}

void F_ConnectRaw(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    if (kvSocket* socket = ConnectTarget(args))
        ScriptValue_SetReal(result, socket->Connect(Arg_String(args, 1), Arg_Int32(args, 2)) == 0 ? 0 : -1);
}

void Send(ScriptValue* result, ScriptValue* args, bool framed)
{
    ScriptValue_SetReal(result, -1);
    kvSocket* socket = Network_EntrySocket(Network_Entry(Arg_Real(args, 0)));
    int32_t size = 0;
    const IBuffer* buffer = SendSource(args, 1, 2, &size);
    if (!socket || !buffer) return;
    ScriptValue_SetReal(result, double(framed ? socket->SendPacket(buffer->Data(), size)
                                              : socket->Send(buffer->Data(), size)));
}

void F_SendPacket(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    Send(result, args, true);
}

void F_SendRaw(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    Send(result, args, false);
}

void F_SendBroadcast(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, -1);
    int32_t size = 0;
    const IBuffer* buffer = SendSource(args, 2, 3, &size);
    if (!buffer) {
        ReportRuntimeError("Illegal Buffer ID", false);
        return;
    }
    kvSocket* socket = Network_EntrySocket(Network_Entry(Arg_Real(args, 0)));
    if (!socket) return;
    const int sent = socket->SendBroadcast(Arg_Int32(args, 1), buffer->Data(), size);
    ScriptValue_SetReal(result, sent < 0 ? sent : size);
}

void SendUDP(ScriptValue* result, ScriptValue* args, bool framed)
{
    ScriptValue_SetReal(result, double(Network_SendUDP(Arg_Int32(args, 0), Arg_String(args, 1), Arg_Int32(args, 2),
                                                       Arg_Int32(args, 3), Arg_Int32(args, 4), framed)));
}

void F_SendUDP(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SendUDP(result, args, true);
}

void F_SendUDPRaw(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    SendUDP(result, args, false);
}

void F_Resolve(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    const char* host = Arg_String(args, 0);
    uint32_t address = 0;
    char text[16] = {};
    if (Socket_Resolve(host, &address) == 0)
        Socket_AddressText(address, text);
    ScriptValue_SetUndefined(result);
    ScriptValue_InitString(result, text);
}

void F_Destroy(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    const double id = Arg_Real(args, 0);
    if (Network_Entry(id)) Network_DestroySocket(int32_t(id));
}

void F_SetTimeout(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    kvSocket* socket = Network_EntrySocket(Network_Entry(Arg_Real(args, 0)));
    ScriptValue_SetReal(result, socket ? socket->SetTimeouts(Arg_Int32(args, 1), Arg_Int32(args, 2)) : 0);
}

void F_SetConfig(ScriptValue* result, CInstance*, CInstance*, int, ScriptValue* args)
{
    ScriptValue_SetReal(result, 0);
    switch (Arg_Int32(args, 0)) {
    case 0:
        NetworkConnectTimeout = Arg_Int32(args, 1);
        break;
    case 1:
        NetworkNonBlockingConnect = Arg_Bool(args, 1);
        break;
    case 2:
    case 3:
        if (kvSocket* socket = Network_EntrySocket(Network_Entry(Arg_Real(args, 1))))
            socket->reliable = Arg_Int32(args, 0) == 2;
        break;
    default:
        ReportRuntimeError("network_set_config : unknown parameter", false);
        ScriptValue_SetReal(result, -1);
    }
}
}  // namespace

void InitNetworkingFunctions()
{
    Network_ClearSocketTable();
    CodeFunction_Register("network_create_socket", F_CreateSocket, 1, 0);
    CodeFunction_Register("network_create_socket_ext", F_CreateSocketExt, 2, 0);
    CodeFunction_Register("network_create_server", F_CreateServer, 3, 0);
    CodeFunction_Register("network_create_server_raw", F_CreateServerRaw, 3, 0);
    CodeFunction_Register("network_connect", F_Connect, -1, 0);
    CodeFunction_Register("network_connect_raw", F_ConnectRaw, 3, 0);
    CodeFunction_Register("network_send_packet", F_SendPacket, 3, 0);
    CodeFunction_Register("network_send_raw", F_SendRaw, 3, 0);
    CodeFunction_Register("network_send_broadcast", F_SendBroadcast, 4, 0);
    CodeFunction_Register("network_send_udp", F_SendUDP, 5, 0);
    CodeFunction_Register("network_send_udp_raw", F_SendUDPRaw, 5, 0);
    CodeFunction_Register("network_resolve", F_Resolve, 1, 0);
    CodeFunction_Register("network_destroy", F_Destroy, 1, 0);
    CodeFunction_Register("network_set_timeout", F_SetTimeout, 3, 0);
    CodeFunction_Register("network_set_config", F_SetConfig, 2, 0);
}
