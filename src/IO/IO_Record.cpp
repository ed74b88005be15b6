// Input recording and playback: the keyboard and mouse part of the frame
// state written once per frame, and read back in place of live input.
#include <cstdio>
#include <cstring>
#include <vector>

#include "Base/Console.h"
#include "IO/IO_Input.h"
#include "IO/IO_Main.h"
#include "Options/Runner_Options.h"

namespace {
std::FILE* g_RecordFile = nullptr;
// Playback reads the whole file at opening, so that no read goes past its end.
std::vector<uint8_t> g_Playback;
size_t g_PlaybackOffset = 0;
bool g_PlaybackOpen = false;
bool g_PlaybackEnded = false;

class RecordWriter {
public:
    explicit RecordWriter(uint8_t* out) : m_out(out) {}
    void Bytes(const void* data, size_t n)
    {
        std::memcpy(m_out + m_at, data, n);
        m_at += n;
    }
    void S32(int32_t v)
    {
        const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                              static_cast<uint8_t>(v >> 24)};
        Bytes(b, 4);
    }
    void U16(uint16_t v)
    {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        Bytes(b, 2);
    }
    size_t At() const { return m_at; }

private:
    uint8_t* m_out;
    size_t m_at = 0;
};

int32_t S32At(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}
uint16_t U16At(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

// Offsets of the record's fields.
constexpr size_t kString = 2, kLastKey = 2052, kCurrentKey = 2056, kKeyHeld = 2060, kKeyReleased = 2316,
                 kKeyPressed = 2572, kLastButton = 2828, kCurrentButton = 2868, kButtonHeld = 2908,
                 kButtonReleased = 2938, kButtonPressed = 2968, kWheelUp = 2998, kWheelDown = 3008,
                 kScreenCursor = 3018, kMouse = 3026;

bool FlagsValid(const uint8_t* flags, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        if (flags[i] > 1) return false;
    return true;
}

void EndPlayback(const char* why, size_t record)
{
    g_PlaybackEnded = true;
    if (why) OutputConsole->Output("Input playback ended at frame record %zu: %s\n", record, why);
}
}  // namespace

void IO_WriteFrameRecord(uint8_t* out)
{
    const IO_InputState& s = IO_Input;
    RecordWriter w(out);
    w.U16(s.lastChar);
    for (uint16_t unit : s.keyboardString) w.U16(unit);
    w.S32(s.lastKey);
    w.S32(s.currentKey);
    w.Bytes(s.keyHeld, 256);
    w.Bytes(s.keyReleased, 256);
    w.Bytes(s.keyPressed, 256);
    for (int32_t b : s.lastButton) w.S32(b);
    for (int32_t b : s.currentButton) w.S32(b);
    w.Bytes(s.buttonHeld, sizeof s.buttonHeld);
    w.Bytes(s.buttonReleased, sizeof s.buttonReleased);
    w.Bytes(s.buttonPressed, sizeof s.buttonPressed);
    w.Bytes(s.wheelUp, sizeof s.wheelUp);
    w.Bytes(s.wheelDown, sizeof s.wheelDown);
    w.S32(s.screenCursorX);
    w.S32(s.screenCursorY);
    w.S32(s.mouseX);
    w.S32(s.mouseY);
}

bool IO_ReadFrameRecord(const uint8_t* r)
{
    // A record this runner wrote holds flags of 0 or 1, a key code as the
    // current key and buttons 0..3; anything else is not such a record.
    if (!FlagsValid(r + kKeyHeld, 3 * 256) || !FlagsValid(r + kButtonHeld, 3 * 30 + 2 * 10)) return false;
    const int32_t currentKey = S32At(r + kCurrentKey);
    if (currentKey < 0 || currentKey > 255) return false;
    for (int d = 0; d < IO_DEVICE_COUNT; ++d) {
        const int32_t last = S32At(r + kLastButton + 4 * d), current = S32At(r + kCurrentButton + 4 * d);
        if (last < 0 || last > 3 || current < 0 || current > 3) return false;
    }
    IO_InputState& s = IO_Input;
    s.lastChar = U16At(r);
    int length = -1;
    for (int i = 0; i <= IO_KEYBOARD_STRING_UNITS; ++i) {
        s.keyboardString[i] = U16At(r + kString + 2 * static_cast<size_t>(i));
        if (length < 0 && s.keyboardString[i] == 0) length = i;
    }
    if (length < 0) length = IO_KEYBOARD_STRING_UNITS;
    s.keyboardString[length] = 0;
    s.keyboardStringLength = length;
    s.lastKey = S32At(r + kLastKey);
    s.currentKey = currentKey;
    std::memcpy(s.keyHeld, r + kKeyHeld, 256);
    std::memcpy(s.keyReleased, r + kKeyReleased, 256);
    std::memcpy(s.keyPressed, r + kKeyPressed, 256);
    for (int d = 0; d < IO_DEVICE_COUNT; ++d) {
        s.lastButton[d] = S32At(r + kLastButton + 4 * d);
        s.currentButton[d] = S32At(r + kCurrentButton + 4 * d);
    }
    std::memcpy(s.buttonHeld, r + kButtonHeld, 30);
    std::memcpy(s.buttonReleased, r + kButtonReleased, 30);
    std::memcpy(s.buttonPressed, r + kButtonPressed, 30);
    std::memcpy(s.wheelUp, r + kWheelUp, 10);
    std::memcpy(s.wheelDown, r + kWheelDown, 10);
    s.screenCursorX = S32At(r + kScreenCursor);
    s.screenCursorY = S32At(r + kScreenCursor + 4);
    s.mouseX = S32At(r + kMouse);
    s.mouseY = S32At(r + kMouse + 4);
    // Device 0 follows the mouse, as live input keeps it, so positions in the
    // room replay too.
    s.deviceX[0] = s.mouseX;
    s.deviceY[0] = s.mouseY;
    return true;
}

bool IO_OpenRecordFile()
{
    IO_CloseRecordFile();
    const char* name = InputRecordFile;
    if (!name || !*name) return false;
    if (IO_Input.playback) {
        IO_Input.record = 0;  // playback wins
        std::FILE* f = std::fopen(name, "rb");
        if (!f) {
            OutputConsole->Output("Input playback: cannot open %s\n", name);
            return false;
        }
        uint8_t chunk[65536];
        size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) g_Playback.insert(g_Playback.end(), chunk, chunk + n);
        std::fclose(f);
        g_PlaybackOpen = true;
        g_PlaybackOffset = 0;
        g_PlaybackEnded = false;
        if (g_Playback.size() % IO_RECORD_SIZE != 0)
            OutputConsole->Output("Input playback: %s ends in a partial frame record\n", name);
        return true;
    }
    if (!IO_Input.record) return false;
    g_RecordFile = std::fopen(name, "w+b");
    if (!g_RecordFile) {
        OutputConsole->Output("Input recording: cannot write %s\n", name);
        return false;
    }
    std::setvbuf(g_RecordFile, nullptr, _IONBF, 0);
    return true;
}

void IO_RecordFrame()
{
    if (!g_RecordFile) return;
    uint8_t record[IO_RECORD_SIZE];
    IO_WriteFrameRecord(record);
    std::fwrite(record, 1, sizeof record, g_RecordFile);
    std::fflush(g_RecordFile);
}

void IO_PlaybackFrame()
{
    if (!g_PlaybackOpen || g_PlaybackEnded) return;
    const size_t index = g_PlaybackOffset / IO_RECORD_SIZE;
    if (g_PlaybackOffset + IO_RECORD_SIZE > g_Playback.size()) {
        EndPlayback(g_PlaybackOffset < g_Playback.size() ? "the record is cut short" : nullptr, index);
        return;
    }
    if (!IO_ReadFrameRecord(g_Playback.data() + g_PlaybackOffset)) {
        EndPlayback("the record is corrupt", index);
        return;
    }
    g_PlaybackOffset += IO_RECORD_SIZE;
}

bool IO_PlaybackEnded() { return g_PlaybackEnded; }

void IO_CloseRecordFile()
{
    if (g_RecordFile) std::fclose(g_RecordFile);
    g_RecordFile = nullptr;
    g_Playback.clear();
    g_Playback.shrink_to_fit();
    g_PlaybackOffset = 0;
    g_PlaybackOpen = false;
    g_PlaybackEnded = false;
}
