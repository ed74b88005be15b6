#include "Graphics/Graphics_3D_Model.h"

#include <cmath>
#include <initializer_list>

#include "Code/Code_ValueConvert.h"
#include "Graphics/Graphics_3D_Model_Internal.h"
#include "Graphics/Graphics_Primitive.h"
#include "Graphics/Graphics_Texture.h"
#include "Graphics/TexturePageHandles.h"
#include "Graphics/TexturePages.h"

namespace {

// Raw pointers: nothing is released at exit, when the device is gone;
// Model_FreeAll empties the table before that.
std::vector<Graphics3DModel*>& Table()
{
    static std::vector<Graphics3DModel*> table;
    return table;
}

void FreeBatches(Graphics3DModel* model)
{
    for (RecordedBatch* batch : model->batches) delete batch;
    model->batches.clear();
}

ModelCommand Make(int kind, std::initializer_list<float> values)
{
    ModelCommand command{};
    command.kind = kind;
    int n = 0;
    for (float value : values) command.fields[n++].f = value;
    return command;
}

void Add(int id, const ModelCommand& command)
{
    if (Graphics3DModel* model = Model_Get(id)) model->commands.push_back(command);
}

// A cylinder or cone: the box's corners and repeats, the closed flag and the steps.
void AddRound(int id, int kind, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
              bool closed, int32_t steps)
{
    ModelCommand c = Make(kind, {x1, y1, z1, x2, y2, z2, hrep, vrep});
    c.fields[8].i = closed ? 1 : 0;
    c.fields[9].i = steps;
    Add(id, c);
}

// The device texture a drawing texture stands for now. A handle is followed
// only while it names a live entry; other numbers name nothing.
D3DTexture* DrawnTexture(int texture)
{
    if (texture == -1) return nullptr;
    if (GR_Texture_Exists(texture)) return GR_Texture_GetD3D(texture);
    if (const STexturePageEntry* entry = TPE_FromHandle(texture)) return GR_Texture_GetD3D(entry->texture);
    return nullptr;
}

float F(const ModelCommand& c, int n) { return c.fields[n].f; }
int32_t I(const ModelCommand& c, int n) { return c.fields[n].i; }
uint32_t Colour(const ModelCommand& c, int n) { return static_cast<uint32_t>(c.fields[n].i); }

// Replays the commands through the primitive builder; true when any of them
// took the draw colour.
bool Replay(const std::vector<ModelCommand>& commands, int texture)
{
    bool tookDrawColour = false;
    for (const ModelCommand& c : commands) {
        switch (c.kind) {
        case MODEL_BEGIN: D3DPrim_Begin(DoubleToInt32(std::round(static_cast<double>(F(c, 0)))), texture); break;
        case MODEL_END: D3DPrim_End(); break;
        case MODEL_VERTEX:
            D3DPrim_Vertex(F(c, 0), F(c, 1), F(c, 2));
            tookDrawColour = true;
            break;
        case MODEL_VERTEX_COLOUR: D3DPrim_VertexColour(F(c, 0), F(c, 1), F(c, 2), Colour(c, 3), F(c, 4)); break;
        case MODEL_VERTEX_TEXTURE:
            D3DPrim_VertexTexture(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4));
            tookDrawColour = true;
            break;
        case MODEL_VERTEX_TEXTURE_COLOUR:
            D3DPrim_VertexTextureColour(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), Colour(c, 5), F(c, 6));
            break;
        case MODEL_VERTEX_NORMAL:
            D3DPrim_VertexNormal(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5));
            tookDrawColour = true;
            break;
        case MODEL_VERTEX_NORMAL_COLOUR:
            D3DPrim_VertexNormalColour(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), Colour(c, 6), F(c, 7));
            break;
        case MODEL_VERTEX_NORMAL_TEXTURE:
            D3DPrim_VertexNormalTexture(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), F(c, 6), F(c, 7));
            tookDrawColour = true;
            break;
        case MODEL_VERTEX_NORMAL_TEXTURE_COLOUR:
            D3DPrim_VertexNormalTextureColour(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), F(c, 6), F(c, 7),
                                              Colour(c, 8), F(c, 9));
            break;
        case MODEL_BLOCK:
            D3D_DrawBlock(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7));
            tookDrawColour = true;
            break;
        case MODEL_CYLINDER:
            D3D_DrawCylinder(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7),
                             I(c, 8) == 1, I(c, 9));
            tookDrawColour = true;
            break;
        case MODEL_CONE:
            D3D_DrawCone(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7),
                         I(c, 8) == 1, I(c, 9));
            tookDrawColour = true;
            break;
        case MODEL_ELLIPSOID:
            D3D_DrawEllipsoid(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7),
                              I(c, 8));
            tookDrawColour = true;
            break;
        case MODEL_WALL:
            D3D_DrawWall(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7));
            tookDrawColour = true;
            break;
        case MODEL_FLOOR:
            D3D_DrawFloor(F(c, 0), F(c, 1), F(c, 2), F(c, 3), F(c, 4), F(c, 5), texture, F(c, 6), F(c, 7));
            tookDrawColour = true;
            break;
        default: break;
        }
    }
    return tookDrawColour;
}

RecordedBatch* Record(Graphics3DModel* model, int texture)
{
    auto* batch = new RecordedBatch;
    batch->colourMarker = DrawColour & ~1u;
    batch->textureKey = texture;
    batch->texture = DrawnTexture(texture);
    model->batches.push_back(batch);
    const D3DPrimRecorder recorder = RecordedBatch_Recorder(batch);
    D3DPrim_SetRecorder(&recorder);
    batch->takesDrawColour = Replay(model->commands, texture);
    D3DPrim_SetRecorder(nullptr);
    if (!batch->takesDrawColour) batch->colourMarker = 0;
    return batch;
}

}  // namespace

Graphics3DModel* Model_Get(int id)
{
    std::vector<Graphics3DModel*>& table = Table();
    return id >= 0 && static_cast<size_t>(id) < table.size() ? table[static_cast<size_t>(id)] : nullptr;
}

int Model_Create()
{
    std::vector<Graphics3DModel*>& table = Table();
    for (size_t slot = 0; slot < table.size(); ++slot) {
        if (!table[slot]) {
            table[slot] = new Graphics3DModel;
            return static_cast<int>(slot);
        }
    }
    table.push_back(new Graphics3DModel);
    return static_cast<int>(table.size() - 1);
}

bool Model_Exists(int id) { return Model_Get(id) != nullptr; }

void Model_Destroy(int id)
{
    Graphics3DModel* model = Model_Get(id);
    if (!model) return;
    FreeBatches(model);
    delete model;
    Table()[static_cast<size_t>(id)] = nullptr;
}

void Model_Clear(int id)
{
    Graphics3DModel* model = Model_Get(id);
    if (!model) return;
    model->commands.clear();
    model->commands.shrink_to_fit();
    FreeBatches(model);
}

void Model_FreeAll()
{
    for (size_t slot = 0; slot < Table().size(); ++slot) Model_Destroy(static_cast<int>(slot));
    Table().clear();
}

const ModelCommand* Model_Commands(int id, int* count)
{
    const Graphics3DModel* model = Model_Get(id);
    if (count) *count = model ? static_cast<int>(model->commands.size()) : 0;
    return model && !model->commands.empty() ? model->commands.data() : nullptr;
}

int Model_BatchCount(int id)
{
    const Graphics3DModel* model = Model_Get(id);
    return model ? static_cast<int>(model->batches.size()) : 0;
}

void Model_Draw(int id, float x, float y, float z, int texture)
{
    Graphics3DModel* model = Model_Get(id);
    if (!model) return;
    for (size_t k = 0; k < model->batches.size(); ++k) {
        RecordedBatch* batch = model->batches[k];
        if (batch->textureKey != texture) continue;
        if (DrawnTexture(texture) == batch->texture) {
            const uint32_t colour = DrawColour & ~1u;
            if (batch->takesDrawColour && batch->colourMarker != colour) batch->Recolour(colour);
            batch->Draw(x, y, z);
            return;
        }
        // The number names another texture now (or none): record afresh.
        delete batch;
        model->batches.erase(model->batches.begin() + static_cast<std::ptrdiff_t>(k));
        break;
    }
    Record(model, texture)->Draw(x, y, z);
}

void Model_PrimitiveBegin(int id, int kind) { Add(id, Make(MODEL_BEGIN, {static_cast<float>(kind)})); }

void Model_PrimitiveEnd(int id) { Add(id, Make(MODEL_END, {})); }

void Model_Vertex(int id, float x, float y, float z) { Add(id, Make(MODEL_VERTEX, {x, y, z})); }

void Model_VertexColour(int id, float x, float y, float z, int32_t colour, float alpha)
{
    ModelCommand c = Make(MODEL_VERTEX_COLOUR, {x, y, z, 0, alpha});
    c.fields[3].i = colour;
    Add(id, c);
}

void Model_VertexTexture(int id, float x, float y, float z, float u, float v)
{
    Add(id, Make(MODEL_VERTEX_TEXTURE, {x, y, z, u, v}));
}

void Model_VertexTextureColour(int id, float x, float y, float z, float u, float v, int32_t colour, float alpha)
{
    ModelCommand c = Make(MODEL_VERTEX_TEXTURE_COLOUR, {x, y, z, u, v, 0, alpha});
    c.fields[5].i = colour;
    Add(id, c);
}

void Model_VertexNormal(int id, float x, float y, float z, float nx, float ny, float nz)
{
    Add(id, Make(MODEL_VERTEX_NORMAL, {x, y, z, nx, ny, nz}));
}

void Model_VertexNormalColour(int id, float x, float y, float z, float nx, float ny, float nz, int32_t colour,
                              float alpha)
{
    ModelCommand c = Make(MODEL_VERTEX_NORMAL_COLOUR, {x, y, z, nx, ny, nz, 0, alpha});
    c.fields[6].i = colour;
    Add(id, c);
}

void Model_VertexNormalTexture(int id, float x, float y, float z, float nx, float ny, float nz, float u, float v)
{
    Add(id, Make(MODEL_VERTEX_NORMAL_TEXTURE, {x, y, z, nx, ny, nz, u, v}));
}

void Model_VertexNormalTextureColour(int id, float x, float y, float z, float nx, float ny, float nz, float u,
                                     float v, int32_t colour, float alpha)
{
    ModelCommand c = Make(MODEL_VERTEX_NORMAL_TEXTURE_COLOUR, {x, y, z, nx, ny, nz, u, v, 0, alpha});
    c.fields[8].i = colour;
    Add(id, c);
}

void Model_Block(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep)
{
    Add(id, Make(MODEL_BLOCK, {x1, y1, z1, x2, y2, z2, hrep, vrep}));
}

void Model_Cylinder(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                    bool closed, int32_t steps)
{
    AddRound(id, MODEL_CYLINDER, x1, y1, z1, x2, y2, z2, hrep, vrep, closed, steps);
}

void Model_Cone(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                bool closed, int32_t steps)
{
    AddRound(id, MODEL_CONE, x1, y1, z1, x2, y2, z2, hrep, vrep, closed, steps);
}

void Model_Ellipsoid(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep,
                     int32_t steps)
{
    ModelCommand c = Make(MODEL_ELLIPSOID, {x1, y1, z1, x2, y2, z2, hrep, vrep});
    c.fields[8].i = steps;
    Add(id, c);
}

void Model_Wall(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep)
{
    Add(id, Make(MODEL_WALL, {x1, y1, z1, x2, y2, z2, hrep, vrep}));
}

void Model_Floor(int id, float x1, float y1, float z1, float x2, float y2, float z2, float hrep, float vrep)
{
    Add(id, Make(MODEL_FLOOR, {x1, y1, z1, x2, y2, z2, hrep, vrep}));
}
