// Splitting text into lines: at CR, LF and their pairs, and, with a wrap
// width, at the last space before the width (a word wider than the width is
// cut where it stops fitting).
#include <string>

#include "Base/UTF8.h"
#include "Font/Font_Class.h"
#include "Font/Graphics_Text.h"
#include "GameData/GameHeader.h"

namespace {

constexpr uint32_t CR = 13, LF = 10, SPACE = 32;
constexpr int kNoWrap = 10000000;

// Code points of the text, after a legacy game's '#' line breaks became CR.
void Decode(const char* text, std::vector<uint32_t>* out)
{
    std::string converted;
    if (!LayerMode) {
        converted = text;
        ConvertLegacyNewlines(converted.data());
        text = converted.c_str();
    }
    for (const char* p = text;;) {
        const uint32_t c = UTF8_DecodeAdvance(&p);
        if (c == 0) break;
        out->push_back(c);
    }
}

void Append(TextLines* out, int start, int end)
{
    out->text[end] = 0;
    out->lines.push_back({start, end - start});
}

void SplitAtBreaks(TextLines* out)
{
    std::vector<uint32_t>& t = out->text;
    const int n = static_cast<int>(t.size()) - 1;
    int s = 0;
    while (s < n) {
        int b = s;
        while (b < n && t[b] != CR && t[b] != LF) ++b;
        const uint32_t ended = t[b];
        Append(out, s, b);
        int next = b + 1;
        if (next < n && ((ended == CR && t[next] == LF) || (ended == LF && t[next] == CR))) ++next;
        s = next;
    }
}

void SplitWrapped(TextLines* out, int width, CFontQS* font)
{
    std::vector<uint32_t>& t = out->text;
    int n = static_cast<int>(t.size()) - 1;
    int s = 0;
    while (s < n) {
        int b = s;
        while (b < n && t[b] == SPACE) ++b;
        int sum = 0;
        while (sum < width && b < n && t[b] != CR) sum += font->GetCharAdvance(t[b++]);
        // Past the width the last character goes back; exactly the width keeps it.
        if (sum > width) --b;
        if (b < n && t[b] == CR) {
            Append(out, s, b);
            s = b + 1;
            continue;
        }
        if (b == s) return;  // not one character fits: the rest is dropped
        if (b < n && t[b] != SPACE) {
            int k = b - 1;
            while (k > s && t[k] != SPACE) --k;
            if (k > s) {
                b = k;
            } else {
                t.insert(t.begin() + b, SPACE);
                ++n;
            }
        }
        while (b > s && t[b - 1] == SPACE) --b;
        if (b != s) Append(out, s, b);
        s = b + 1;
    }
}

}  // namespace

void Text_SplitLines(const char* text, int width, TextLines* out)
{
    if (!text) return;
    out->Clear();
    Decode(text, &out->text);
    if (out->text.empty()) return;
    out->text.push_back(0);
    if (width < 0 || width >= kNoWrap) SplitAtBreaks(out);
    else if (CFontQS* font = Text_CurrentFont()) SplitWrapped(out, width, font);
}
