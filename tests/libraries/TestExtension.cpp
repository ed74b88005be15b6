// A native library for the extension tests and benchmarks: functions of the
// shapes game code defines, a count of the calls that reached it, and the
// callbacks the runner offers. The initialisation and finalisation functions
// append to the file that QS_TEST_EXTENSION_LOG names.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
int g_calls = 0;
std::string g_text;

using PostAsyncEvent = void (*)(int, int);
using CreateFromTriples = int (*)(int, ...);
using AddReal = bool (*)(int, const char*, double);
using AddString = bool (*)(int, const char*, const char*);
PostAsyncEvent g_post = nullptr;
CreateFromTriples g_create = nullptr;
AddReal g_addReal = nullptr;
AddString g_addString = nullptr;

double Log(const char* what)
{
    ++g_calls;
    const char* path = std::getenv("QS_TEST_EXTENSION_LOG");
    if (!path) return -1;
    std::FILE* file = std::fopen(path, "a");
    if (!file) return -1;
    std::fprintf(file, "%s\n", what);
    std::fclose(file);
    return 1;
}

double Length(const char* text)
{
    return text ? static_cast<double>(std::strlen(text)) : -1.0;
}
}  // namespace

extern "C" {
// How many calls reached the library (this one not counted).
double ext_calls() { return g_calls; }

double ext_zero() { return ++g_calls, 42.0; }
double ext_add(double a, double b) { return ++g_calls, a + b; }
// Each argument lands in its own decimal place: a null text gives 9.
double ext_mix3(double a, const char* b, double c)
{
    ++g_calls;
    return a * 100 + (b ? Length(b) : 9) * 10 + c;
}
double ext_mix4(const char* a, double b, const char* c, double d)
{
    ++g_calls;
    return (a ? Length(a) : 9) * 1000 + b * 100 + (c ? Length(c) : 9) * 10 + d;
}
double ext_sum16(double a0, double a1, double a2, double a3, double a4, double a5, double a6, double a7, double a8,
                 double a9, double a10, double a11, double a12, double a13, double a14, double a15)
{
    ++g_calls;
    const double a[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15};
    double sum = 0;
    for (int k = 0; k < 16; ++k) sum += a[k] * (k + 1);
    return sum;
}
const char* ext_join(const char* a, double n, const char* b)
{
    ++g_calls;
    g_text = std::string(a ? a : "<null>") + "|" + std::to_string(static_cast<int>(n)) + "|" + (b ? b : "<null>");
    return g_text.c_str();
}
const char* ext_no_text() { return ++g_calls, nullptr; }

double ext_init() { return Log("init"); }
double ext_final() { return Log("final"); }

void ext_RegisterCallbacks(void* post, void* create, void* addReal, void* addString)
{
    g_post = reinterpret_cast<PostAsyncEvent>(post);
    g_create = reinterpret_cast<CreateFromTriples>(create);
    g_addReal = reinterpret_cast<AddReal>(addReal);
    g_addString = reinterpret_cast<AddString>(addString);
}
// Posts a result map for the asynchronous event of that kind; its handle.
double ext_post(double kind)
{
    ++g_calls;
    if (!g_create) return -1;
    const int map = g_create(2, "name", 0.0, "extension", "value", 7.0, static_cast<const char*>(nullptr));
    g_addReal(map, "extra", 1.5);
    g_addString(map, "note", "hi");
    g_post(map, static_cast<int>(kind));
    return map;
}
}
