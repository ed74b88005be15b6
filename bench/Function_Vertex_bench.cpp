#include <benchmark/benchmark.h>

#include "Code/Code_Function.h"
#include "Code/Code_Value.h"
#include "Function/Function_Vertex.h"
#include "Graphics/VertexBuffer.h"
#include "Graphics/VertexFormat.h"

namespace {
int32_t Id(const char* name)
{
    int32_t id = -1;
    CodeFunction_Find(name, &id);
    return id;
}

double Call(int32_t id, std::initializer_list<double> numbers)
{
    ScriptValue args[5];
    ScriptValue* list[5];
    int n = 0;
    for (double d : numbers) {
        args[n] = ScriptValue_Real(d);
        list[n] = &args[n];
        ++n;
    }
    ScriptValue result = ScriptValue_Undefined();
    CallBuiltinFunction(nullptr, nullptr, &result, n, id, list);
    return result.Kind() == VALUE_REAL ? result.real : 0;
}

// 10,000 vertices of {position, colour, texcoord} into a buffer that starts
// at 256 bytes: the writers per element and the buffer's growth.
void FillBuffer(benchmark::State& state, bool checks)
{
    CodeFunction_FreeAll();
    InitVertexFormatFunctions();
    InitVertexFunctions();
    SetVertexBuilderMode(checks);
    VertexFormat_Begin();
    VertexFormat_Add(VERTEX_TYPE_FLOAT2, VERTEX_USE_POSITION);
    VertexFormat_Add(VERTEX_TYPE_COLOUR, VERTEX_USE_COLOUR);
    VertexFormat_Add(VERTEX_TYPE_FLOAT2, VERTEX_USE_TEXCOORD);
    const double format = VertexFormat_End();
    const int32_t begin = Id("vertex_begin"), end = Id("vertex_end"), position = Id("vertex_position"),
                  colour = Id("vertex_colour"), texcoord = Id("vertex_texcoord");
    for (auto _ : state) {
        const int vb = VertexBuffer_Create(256);
        Call(begin, {double(vb), format});
        for (int i = 0; i < 10000; ++i) {
            Call(position, {double(vb), double(i), 1});
            Call(colour, {double(vb), 0xFFFFFF, 1});
            Call(texcoord, {double(vb), 0, 1});
        }
        Call(end, {double(vb)});
        benchmark::DoNotOptimize(VertexBuffer_Get(vb)->vertexCount);
        VertexBuffer_Delete(vb);
    }
    VertexFormat_Shutdown();
    CodeFunction_FreeAll();
}
}  // namespace

static void BM_VertexWriters_Checked(benchmark::State& state) { FillBuffer(state, true); }
BENCHMARK(BM_VertexWriters_Checked);

static void BM_VertexWriters_Fast(benchmark::State& state) { FillBuffer(state, false); }
BENCHMARK(BM_VertexWriters_Fast);
