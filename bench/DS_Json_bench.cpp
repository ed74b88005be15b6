// json_decode and json_encode of a 10 MB document beside json-c parsing and
// writing the same text alone, and load_csv of a 10 MB file.
#include <benchmark/benchmark.h>

#include <json-c/json.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Base/MemoryManager.h"
#include "DataStructure/DS_Handles.h"
#include "DataStructure/DS_Json.h"
#include "Function/Function_FileFormats.h"
#include "IO/LoadSave.h"

namespace {
constexpr size_t kDocumentBytes = 10 << 20;

// Records with a nested object, a list of strings and a list of lists.
const std::string& Document()
{
    static const std::string text = [] {
        std::string out = "{\"version\": 3, \"records\": [";
        char record[256];
        for (int i = 0; out.size() < kDocumentBytes; ++i) {
            std::snprintf(record, sizeof record,
                          "%s{\"id\": %d, \"name\": \"player_%d\", \"pos\": {\"x\": %d.5, \"y\": -2.25}, "
                          "\"tags\": [\"a\", \"b\", \"c\"], \"grid\": [[1, 2], [3, 4]], \"alive\": true}",
                          i ? ", " : "", i, i, i % 1000);
            out += record;
        }
        return out + "]}";
    }();
    return text;
}

void BM_JsonDecode(benchmark::State& state)
{
    const std::string& text = Document();
    for (auto _ : state) {
        const int32_t map = JSON_DecodeText(text.c_str());
        if (map < 0) state.SkipWithError("not decoded");
        state.PauseTiming();
        DsMap_Destroy(map);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonDecode)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_JsonCParseAlone(benchmark::State& state)
{
    const std::string& text = Document();
    for (auto _ : state) {
        json_object* json = json_tokener_parse(text.c_str());
        if (!json) state.SkipWithError("not parsed");
        state.PauseTiming();
        json_object_put(json);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_JsonCParseAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_JsonEncode(benchmark::State& state)
{
    const int32_t map = JSON_DecodeText(Document().c_str());
    size_t bytes = 0;
    for (auto _ : state) {
        char* text = nullptr;
        JSON_EncodeDsMap(map, &text);
        bytes = text ? std::char_traits<char>::length(text) : 0;
        QS_FREE(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    DsMap_Destroy(map);
}
BENCHMARK(BM_JsonEncode)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_JsonCWriteAlone(benchmark::State& state)
{
    json_object* json = json_tokener_parse(Document().c_str());
    size_t bytes = 0;
    for (auto _ : state) {
        const char* text = json_object_to_json_string_length(json, JSON_C_TO_STRING_SPACED, &bytes);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    json_object_put(json);
}
BENCHMARK(BM_JsonCWriteAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

// Rows of ten fields, some quoted with commas and doubled quote marks.
void BM_LoadCsv(benchmark::State& state)
{
    char folder[] = "/tmp/qs_bench_csv_XXXXXX";
    if (!mkdtemp(folder)) {
        state.SkipWithError("no temporary folder");
        return;
    }
    Runner_SetSavePrefix((std::string(folder) + "/").c_str());
    std::string text;
    char row[256];
    for (int i = 0; text.size() < kDocumentBytes; ++i) {
        std::snprintf(row, sizeof row, "%d,player_%d,%d.25,\"a, b\",\"say \"\"hi\"\"\",x,y,z,%d,end\r\n", i, i,
                      i % 977, i * 7);
        text += row;
    }
    LoadSave_WriteSaveFile("big.csv", text.data(), text.size());
    for (auto _ : state) {
        const int32_t grid = CSV_Load("big.csv");
        if (grid < 0) state.SkipWithError("not loaded");
        state.PauseTiming();
        DsGrid_Destroy(grid);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    LoadSave_DeleteSaveFile("big.csv");
    rmdir(folder);
    Runner_SetSavePrefix("");
}
BENCHMARK(BM_LoadCsv)->Unit(benchmark::kMillisecond)->Iterations(3);
}  // namespace
