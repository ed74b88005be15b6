#pragma once
// Text layout and drawing: the text state (current font and alignment), the
// splitting of UTF-8 text into lines at breaks and at a wrap width, the
// measures of a block, and the default (debug) font used when no font is set.
#include <cstdint>
#include <vector>

class CFontQS;

// The lines of one layout: code points, each line ended in place by a 0.
struct TextLines {
    struct Line {
        int start;
        int length;
    };
    std::vector<uint32_t> text;
    std::vector<Line> lines;

    int Count() const { return static_cast<int>(lines.size()); }
    const uint32_t* At(int i) const { return text.data() + lines[i].start; }
    int Length(int i) const { return lines[i].length; }
    void Clear()
    {
        text.clear();
        lines.clear();
    }
};

// Null text leaves the list as it is. A negative width does not wrap. In a
// legacy game '#' breaks the line ("\#" is a '#').
void Text_SplitLines(const char* text, int width, TextLines* out);

// Games made before room layers write a line break in shown text as '#' and
// the character itself as "\#": in such a game the text is rewritten in place
// ('#' to CR, "\#" to '#'); in a game with layers it stays as it is. The
// number of code points of the result; 0 for null.
int32_t ConvertLegacyNewlines(char* text);

// Separation -1 is the font's height; width -1 does not wrap.
void Text_Draw(float x, float y, const char* text, int separation, int width);
void Text_DrawColour(float x, float y, const char* text, int separation, int width, uint32_t c1, uint32_t c2,
                     uint32_t c3, uint32_t c4, float alpha);
void Text_DrawTransformed(float x, float y, const char* text, int separation, int width, float xScale, float yScale,
                          float angle);
void Text_DrawTransformedColour(float x, float y, const char* text, int separation, int width, float xScale,
                                float yScale, float angle, uint32_t c1, uint32_t c2, uint32_t c3, uint32_t c4,
                                float alpha);
int Text_GetWidth(const char* text, int separation, int width);
int Text_GetHeight(const char* text, int separation, int width);

// A font that does not exist selects the default font (-1).
void Text_SetFont(int32_t index);
int32_t Text_GetFont();
// 0, 1 or 2; any other value stores 0.
void Text_SetHAlign(int32_t alignment);
void Text_SetVAlign(int32_t alignment);
int32_t Text_GetHAlign();
int32_t Text_GetVAlign();
// The font the next draw or measure uses (the default font made when needed).
CFontQS* Text_CurrentFont();
void Text_CreateDefaultFont();

// Game end: default font selected, alignments 0, draw colour black and opaque.
void Text_Reset();
// Shutdown: the default font and its texture are freed, then as Text_Reset.
void Text_Free();
