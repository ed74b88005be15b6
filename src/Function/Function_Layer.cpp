// Registration of the layer built-ins: one ordered table of names and counts,
// the routines found by name in the tables of their families.
#include "Function/Function_Layer.h"

#include <cstring>

#include "Function/Function_LayerCommon.h"

namespace {
struct Entry {
    const char* name;
    int32_t count;
};

// The order of the built-in function table.
constexpr Entry kOrder[] = {
    {"layer_get_id", 1}, {"layer_get_id_at_depth", 1}, {"layer_get_depth", 1}, {"layer_create", 2},
    {"layer_destroy", 1}, {"layer_destroy_instances", 1}, {"layer_add_instance", 2}, {"layer_has_instance", 2},
    {"layer_set_visible", 2}, {"layer_get_visible", 1}, {"layer_exists", 1}, {"layer_x", 2}, {"layer_y", 2},
    {"layer_get_x", 1}, {"layer_get_y", 1}, {"layer_hspeed", 2}, {"layer_vspeed", 2}, {"layer_get_hspeed", 1},
    {"layer_get_vspeed", 1}, {"layer_script_begin", 2}, {"layer_script_end", 2}, {"layer_shader", 2},
    {"layer_get_script_begin", 1}, {"layer_get_script_end", 1}, {"layer_get_shader", 1},
    {"layer_set_target_room", 1}, {"layer_get_target_room", 0}, {"layer_reset_target_room", 0},
    {"layer_get_all", 0}, {"layer_get_all_elements", 1}, {"layer_get_name", 1}, {"layer_depth", 2},
    {"layer_get_element_layer", 1}, {"layer_get_element_type", 1}, {"layer_element_move", 2},
    {"layer_force_draw_depth", 2}, {"layer_is_draw_depth_forced", 0}, {"layer_get_forced_depth", 0},
    {"layer_background_get_id", 1}, {"layer_background_exists", 2}, {"layer_background_create", 2},
    {"layer_background_destroy", 1}, {"layer_background_visible", 2}, {"layer_background_change", 2},
    {"layer_background_htiled", 2}, {"layer_background_vtiled", 2}, {"layer_background_xscale", 2},
    {"layer_background_yscale", 2}, {"layer_background_blend", 2}, {"layer_background_alpha", 2},
    {"layer_background_index", 2}, {"layer_background_speed", 2}, {"layer_background_get_visible", 1},
    {"layer_background_get_sprite", 1}, {"layer_background_get_htiled", 1}, {"layer_background_get_vtiled", 1},
    {"layer_background_get_xscale", 1}, {"layer_background_get_yscale", 1}, {"layer_background_get_blend", 1},
    {"layer_background_get_alpha", 1}, {"layer_background_get_index", 1}, {"layer_background_get_speed", 1},
    {"layer_sprite_get_id", 2}, {"layer_sprite_exists", 2}, {"layer_sprite_create", 4},
    {"layer_sprite_destroy", 1}, {"layer_sprite_change", 2}, {"layer_sprite_index", 2}, {"layer_sprite_speed", 2},
    {"layer_sprite_xscale", 2}, {"layer_sprite_yscale", 2}, {"layer_sprite_angle", 2}, {"layer_sprite_blend", 2},
    {"layer_sprite_alpha", 2}, {"layer_sprite_x", 2}, {"layer_sprite_y", 2}, {"layer_sprite_get_sprite", 1},
    {"layer_sprite_get_index", 1}, {"layer_sprite_get_speed", 1}, {"layer_sprite_get_xscale", 1},
    {"layer_sprite_get_yscale", 1}, {"layer_sprite_get_angle", 1}, {"layer_sprite_get_blend", 1},
    {"layer_sprite_get_alpha", 1}, {"layer_sprite_get_x", 1}, {"layer_sprite_get_y", 1},
    {"instance_activate_layer", 1}, {"instance_deactivate_layer", 1}, {"layer_tilemap_get_id", 1},
    {"layer_tilemap_exists", 2}, {"layer_tilemap_create", 6}, {"layer_tilemap_destroy", 1},
    {"tilemap_tileset", 2}, {"tilemap_x", 2}, {"tilemap_y", 2}, {"tilemap_set", 4}, {"tilemap_set_at_pixel", 4},
    {"tilemap_get_tileset", 1}, {"tilemap_get_tile_width", 1}, {"tilemap_get_tile_height", 1},
    {"tilemap_get_width", 1}, {"tilemap_get_height", 1}, {"tilemap_get_x", 1}, {"tilemap_get_y", 1},
    {"tilemap_get", 3}, {"tilemap_get_at_pixel", 3}, {"tilemap_get_cell_x_at_pixel", 3},
    {"tilemap_get_cell_y_at_pixel", 3}, {"tilemap_clear", 2}, {"draw_tilemap", 3}, {"draw_tile", 5},
    {"tilemap_set_global_mask", 1}, {"tilemap_get_global_mask", 0}, {"tilemap_set_mask", 2},
    {"tilemap_get_mask", 1}, {"tilemap_get_frame", 1}, {"tile_set_empty", 1}, {"tile_set_index", 2},
    {"tile_set_flip", 2}, {"tile_set_mirror", 2}, {"tile_set_rotate", 2}, {"tile_get_empty", 1},
    {"tile_get_index", 1}, {"tile_get_flip", 1}, {"tile_get_mirror", 1}, {"tile_get_rotate", 1},
    {"layer_tile_exists", 2}, {"layer_tile_create", 8}, {"layer_tile_destroy", 1}, {"layer_tile_change", 2},
    {"layer_tile_xscale", 2}, {"layer_tile_yscale", 2}, {"layer_tile_blend", 2}, {"layer_tile_alpha", 2},
    {"layer_tile_x", 2}, {"layer_tile_y", 2}, {"layer_tile_region", 5}, {"layer_tile_visible", 2},
    {"layer_tile_get_sprite", 1}, {"layer_tile_get_xscale", 1}, {"layer_tile_get_yscale", 1},
    {"layer_tile_get_blend", 1}, {"layer_tile_get_alpha", 1}, {"layer_tile_get_x", 1}, {"layer_tile_get_y", 1},
    {"layer_tile_get_region", 1}, {"layer_tile_get_visible", 1}, {"layer_instance_get_instance", 1},
};
static_assert(sizeof kOrder / sizeof kOrder[0] == 148);

BuiltinRoutine FindRoutine(const char* name)
{
    for (auto family : {LayerPropertyRoutines, LayerElementRoutines, LayerBackgroundRoutines, LayerSpriteRoutines,
                        TilemapRoutines, TileDataRoutines, LayerTileRoutines}) {
        for (const LayerRoutine& r : family()) {
            if (std::strcmp(r.name, name) == 0) return r.routine;
        }
    }
    return nullptr;
}
}  // namespace

void InitLayerFunctions()
{
    for (const Entry& e : kOrder) CodeFunction_Register(e.name, FindRoutine(e.name), e.count, 1);
}
