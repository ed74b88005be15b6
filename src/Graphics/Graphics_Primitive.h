#pragma once
// The primitive drawer: points, lines, wide lines, arrows, rectangles,
// rounded rectangles, triangles, circles and ellipses from the circle table,
// health bars, buttons, primitives built vertex by vertex, and the clear. It
// owns the draw state these share: colour, alpha and the depth of 2D vertices.
#include <cstdint>

// The current colour as a vertex colour word (alpha in the top byte).
extern uint32_t DrawColour;
// The current alpha byte 0..255, always the top byte of DrawColour.
extern int32_t DrawAlpha;
// z of every 2D vertex.
extern float DrawDepth;

// Shared colour helpers (colours 0x00BBGGRR).
uint8_t Colour_AlphaToByte(float alpha);
uint32_t Colour_WithAlpha(uint32_t colour, uint32_t alphaByte);
uint32_t Colour_LerpRGB(uint32_t colour1, uint32_t colour2, float t);
uint32_t Colour_MakeRGB(int r, int g, int b);

void GR_Draw_SetColour(uint32_t colour);
// Opaque black, as the process starts with it (between tests).
void GR_Draw_ResetColour();
void GR_Draw_SetAlpha(float alpha);
uint32_t GR_Draw_GetColour();
float GR_Draw_GetAlpha();

// Circle precision: clamped to 4..64 and rounded down to a multiple of 4.
void GR_SetCirclePrecision(int n);
int GR_GetCirclePrecision();
// The circle table of the primitive drawer at precision 24 (start-up).
void GR_InitCircleTable();

void GR_Draw_Point(float x, float y);
void GR_Draw_PointColour(float x, float y, uint32_t colour);
void GR_Draw_Line(float x1, float y1, float x2, float y2);
void GR_Draw_LineColour(float x1, float y1, float x2, float y2, uint32_t colour1, uint32_t colour2);
void GR_Draw_LineWidth(float x1, float y1, float x2, float y2, float width);
void GR_Draw_LineWidthColour(float x1, float y1, float x2, float y2, float width, uint32_t colour1,
                             uint32_t colour2);
void GR_Draw_Arrow(float x1, float y1, float x2, float y2, float size);
void GR_Draw_Rectangle(float x1, float y1, float x2, float y2, bool outline);
void GR_Draw_RectangleColour(float x1, float y1, float x2, float y2, uint32_t colour1, uint32_t colour2,
                             uint32_t colour3, uint32_t colour4, bool outline);
void GR_Draw_RoundRect(float x1, float y1, float x2, float y2, float rx, float ry, bool outline);
void GR_Draw_RoundRectColour(float x1, float y1, float x2, float y2, float rx, float ry, uint32_t centre,
                             uint32_t edge, bool outline);
void GR_Draw_Triangle(float x1, float y1, float x2, float y2, float x3, float y3, bool outline);
void GR_Draw_TriangleColour(float x1, float y1, float x2, float y2, float x3, float y3, uint32_t colour1,
                            uint32_t colour2, uint32_t colour3, bool outline);
void GR_Draw_Circle(float x, float y, float r, bool outline);
void GR_Draw_CircleColour(float x, float y, float r, uint32_t centre, uint32_t edge, bool outline);
void GR_Draw_Ellipse(float x1, float y1, float x2, float y2, bool outline);
void GR_Draw_EllipseColour(float x1, float y1, float x2, float y2, uint32_t centre, uint32_t edge, bool outline);
void GR_Draw_Healthbar(float x1, float y1, float x2, float y2, float amount, uint32_t back, uint32_t minColour,
                       uint32_t midColour, uint32_t maxColour, int direction, bool showBack, bool showBorder);
void GR_Draw_Button(float x1, float y1, float x2, float y2, bool up);

// kind 1..6; texture -1 for none, a game texture index, or a texture-page
// entry handle (above 16384). Any other value is refused with "Illegal
// texture supplied." and the primitive is drawn without texture.
void GR_Draw_PrimitiveBegin(int kind, int texture);
// Vertices beyond the builder's limit of 1001 are ignored.
void GR_Draw_Vertex(float x, float y);
void GR_Draw_VertexColour(float x, float y, uint32_t colour, float alpha);
void GR_Draw_VertexTexture(float x, float y, float u, float v);
void GR_Draw_VertexTextureColour(float x, float y, float u, float v, uint32_t colour, float alpha);
void GR_Draw_PrimitiveEnd();

void GR_Draw_Clear(uint32_t colour);
void GR_Draw_ClearAlpha(uint32_t colour, float alpha);
