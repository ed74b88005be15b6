#pragma once
// Legacy 3D models: lists of drawing commands (primitive begin and end, the
// eight kinds of vertex and the six shapes) that game code builds, saves as a
// text file and loads, and draws at a position with a texture. The first draw
// with a texture replays the commands once through the legacy 3D primitive
// builder into a recorded batch (GraphicsRecorder.h); later draws with that
// texture draw the batch as recorded. Models are known by small integer ids,
// their slots in the model table; an id that names no model does nothing.
#include <cstdint>

enum ModelCommandKind {
    MODEL_BEGIN = 0,
    MODEL_END,
    MODEL_VERTEX,
    MODEL_VERTEX_COLOUR,
    MODEL_VERTEX_TEXTURE,
    MODEL_VERTEX_TEXTURE_COLOUR,
    MODEL_VERTEX_NORMAL,
    MODEL_VERTEX_NORMAL_COLOUR,
    MODEL_VERTEX_NORMAL_TEXTURE,
    MODEL_VERTEX_NORMAL_TEXTURE_COLOUR,
    MODEL_BLOCK,
    MODEL_CYLINDER,
    MODEL_CONE,
    MODEL_ELLIPSOID,
    MODEL_WALL,
    MODEL_FLOOR,
    MODEL_COMMAND_KINDS
};

// A field is a float unless the command kind makes it an integer: the colour
// of the coloured vertices, closed and steps of cylinders and cones, steps of
// ellipsoids. Fields a command does not use are 0.
union ModelField {
    float f;
    int32_t i;
};
struct ModelCommand {
    int32_t kind;
    ModelField fields[10];
};

// A new empty model in the first free slot; its id.
int Model_Create();
bool Model_Exists(int id);
// Clears the model and frees its slot.
void Model_Destroy(int id);
// Drops every command and every recorded batch.
void Model_Clear(int id);
// Destroys every model (game end).
void Model_FreeAll();

// The commands of a model (null and 0 for an id that names none).
const ModelCommand* Model_Commands(int id, int* count);
// Recorded batches the model holds, one per texture it was drawn with.
int Model_BatchCount(int id);

// Replaces the commands with those of a model file at a full path (save
// area or bundle). A file that is missing, has another version, is cut
// short, holds an unknown command or a number that does not parse is
// refused with a log line naming it; the model is left empty then. False
// when refused or the id names no model.
bool Model_Load(int id, const char* path);
// Writes the commands as a model file at a full path; false when the id
// names no model or the file cannot be written.
bool Model_Save(int id, const char* path);

// Draws the model translated by (x, y, z) with a texture: -1 for none, a
// game texture index or a texture-page entry handle; a number that names
// none of them draws untextured.
void Model_Draw(int id, float x, float y, float z, int texture);

// Command appenders; colours are 0xBBGGRR, alphas 0..1.
void Model_PrimitiveBegin(int id, int kind);
void Model_PrimitiveEnd(int id);
void Model_Vertex(int id, float x, float y, float z);
void Model_VertexColour(int id, float x, float y, float z, int32_t colour, float alpha);
void Model_VertexTexture(int id, float x, float y, float z, float u, float v);
void Model_VertexTextureColour(int id, float x, float y, float z, float u, float v, int32_t colour, float alpha);
void Model_VertexNormal(int id, float x, float y, float z, float nx, float ny, float nz);
void Model_VertexNormalColour(int id, float x, float y, float z, float nx, float ny, float nz, int32_t colour,
                              float alpha);
void Model_VertexNormalTexture(int id, float x, float y, float z, float nx, float ny, float nz, float u, float v);
void Model_VertexNormalTextureColour(int id, float x, float y, float z, float nx, float ny, float nz, float u,
                                     float v, int32_t colour, float alpha);
void Model_Block(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep);
void Model_Cylinder(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                    bool closed, int32_t steps);
void Model_Cone(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                bool closed, int32_t steps);
void Model_Ellipsoid(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                     int32_t steps);
void Model_Wall(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep);
void Model_Floor(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep);
