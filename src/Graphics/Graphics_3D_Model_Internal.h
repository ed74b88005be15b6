#pragma once
// The model record behind an id, shared by the model table and the model file.
#include <vector>

#include "Graphics/GraphicsRecorder.h"
#include "Graphics/Graphics_3D_Model.h"

struct Graphics3DModel {
    std::vector<ModelCommand> commands;
    // One batch per texture the model was drawn with, oldest first; owned.
    std::vector<RecordedBatch*> batches;
};

// The model of an id; null for an id outside the table or a free slot.
Graphics3DModel* Model_Get(int id);
