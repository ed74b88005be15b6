#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Function/LayerFunctionFixture.h"
#include "World/Instance_Lookup.h"
#include "World/Room_Main.h"

namespace {

using LayerElements = LayerFunctions;

std::vector<int32_t> ElementIds(const RoomLayer* layer)
{
    std::vector<int32_t> out;
    for (const LayerElement* e = layer->first; e; e = e->next) out.push_back(e->id);
    return out;
}

TEST_F(LayerElements, ElementListsKindsAndLayers)
{
    RoomLayer* layer = Layer_Create(&room, 0, "assets");
    RoomLayer* empty = Layer_Create(&room, 10, "empty");
    const double lid = layer->id;
    const double sprite = Real("layer_sprite_create", {lid, 1, 2, 0});
    const double map = Real("layer_tilemap_create", {lid, 0, 0, 0, 2, 2});
    const double tile = Real("layer_tile_create", {lid, 0, 0, 0, 0, 0, 8, 8});
    const double background = Real("layer_background_create", {lid, 0});
    EXPECT_EQ(Row(Call("layer_get_all_elements", {R(lid)})), (std::vector<double>{background, tile, map, sprite}));
    EXPECT_EQ(Row(Call("layer_get_all_elements", {R(empty->id)})), std::vector<double>{});
    EXPECT_EQ(Real("layer_get_element_type", {sprite}), 4.0);
    EXPECT_EQ(Real("layer_get_element_type", {map}), 5.0);
    EXPECT_EQ(Real("layer_get_element_type", {tile}), 7.0);
    EXPECT_EQ(Real("layer_get_element_type", {background}), 1.0);
    EXPECT_EQ(Real("layer_get_element_layer", {tile}), lid);
    EXPECT_EQ(Log(), "");

    EXPECT_EQ(Real("layer_get_all_elements", {999}), -1.0);
    EXPECT_EQ(Real("layer_get_element_type", {9999}), -1.0);
    EXPECT_EQ(Real("layer_get_element_layer", {9999}), -1.0);
    EXPECT_EQ(Log(), "layer_get_all_elements() - can't find specified layer\n"
                     "layer_get_element_type() - can't find specified element\n"
                     "layer_get_element_layer() - can't find specified element\n");
    EXPECT_EQ(Real("layer_instance_get_instance", {background}), -4.0);
    EXPECT_EQ(Real("layer_instance_get_instance", {9999}), -4.0);

    Run_Room = nullptr;
    log.emplace();
    EXPECT_EQ(Real("layer_get_all_elements", {lid}), -1.0);
    EXPECT_EQ(Real("layer_get_element_type", {sprite}), -1.0);
    EXPECT_EQ(Real("layer_get_element_layer", {sprite}), -1.0);
    EXPECT_EQ(Real("layer_element_move", {sprite, lid}), -1.0);
    EXPECT_EQ(Log(), "layer_get_element_type() - room is invalid\n"
                     "layer_get_element_layer() - room is invalid\n"
                     "layer_element_move() - room is invalid\n");
    Run_Room = &room;
}

TEST_F(LayerElements, MovingElementsBetweenLayers)
{
    RoomLayer* from = Layer_Create(&room, 0, "from");
    RoomLayer* to = Layer_Create(&room, 40, "to");
    const double sprite = Real("layer_sprite_create", {1.0 * from->id, 0, 0, 0});
    CInstance* instance = room.CreateInstanceOnLayerId(0, 0, from->id, -1);
    const int32_t element = room.layers.instanceMap.Find(instance->id)->id;

    EXPECT_EQ(Real("layer_element_move", {sprite, 999}), -1.0);
    EXPECT_EQ(Log(), "layer_element_move() - can't find target layer\n");
    EXPECT_EQ(Real("layer_get_element_layer", {sprite}), from->id);
    EXPECT_EQ(Real("layer_element_move", {sprite, 1.0 * from->id}), -1.0);  // already there
    EXPECT_EQ(ElementIds(from), (std::vector<int32_t>{element, static_cast<int32_t>(sprite)}));

    EXPECT_EQ(Real("layer_element_move", {1.0 * element, 1.0 * to->id}), -1.0);
    EXPECT_EQ(instance->layer, to->id);
    EXPECT_FLOAT_EQ(instance->depth, 0.0f);  // keeps its depth
    EXPECT_EQ(Real("layer_element_move", {sprite, 1.0 * to->id}), -1.0);
    EXPECT_EQ(ElementIds(to), (std::vector<int32_t>{static_cast<int32_t>(sprite), element}));
    EXPECT_EQ(from->count, 0);
    EXPECT_EQ(Real("layer_instance_get_instance", {1.0 * element}), instance->id);
}

TEST_F(LayerElements, AddingInstancesToLayers)
{
    RoomLayer* first = Layer_Create(&room, 10, "first");
    RoomLayer* second = Layer_Create(&room, 20, "second");
    CInstance* instance = room.CreateInstanceOnLayerId(0, 0, first->id, -1);
    EXPECT_EQ(Call("layer_add_instance", {Text("Second"), R(instance->id)}).real, -1.0);
    EXPECT_EQ(instance->layer, second->id);
    EXPECT_FLOAT_EQ(instance->depth, 20.0f);
    EXPECT_EQ(first->count, 0);
    EXPECT_EQ(second->count, 1);

    EXPECT_EQ(Real("layer_add_instance", {999, 1.0 * instance->id}), -1.0);
    EXPECT_EQ(LastReport(), "layer_add_instance() - could not find specified layer in current room");
    ForgetErrors();
    EXPECT_EQ(Real("layer_add_instance", {1.0 * first->id, 100999}), -1.0);
    EXPECT_EQ(LastReport(), "layer_add_instance() - could not find specified instance");
    EXPECT_EQ(instance->layer, second->id);

    // Added again to its own layer: it comes to the front and takes the layer's depth.
    CInstance* neighbour = room.CreateInstanceOnLayerId(0, 0, second->id, -1);
    instance->depth = 3;
    EXPECT_EQ(Real("layer_add_instance", {1.0 * second->id, 1.0 * instance->id}), -1.0);
    EXPECT_EQ(static_cast<LayerElement_Instance*>(second->first)->instance, instance);
    EXPECT_EQ(second->count, 2);
    EXPECT_FLOAT_EQ(instance->depth, 20.0f);
    EXPECT_EQ(neighbour->layer, second->id);

    // Alone on a dynamic layer, added to that same layer: it stays, and so does the layer.
    CInstance* loose = room.CreateInstance(0, 0, -1);
    const int32_t dynamic = loose->layer;
    ASSERT_TRUE(Layer_FindByID(&room, dynamic)->dynamic);
    ForgetErrors();
    EXPECT_EQ(Real("layer_add_instance", {1.0 * dynamic, 1.0 * loose->id}), -1.0);
    EXPECT_EQ(LastReport(), "");
    ASSERT_NE(Layer_FindByID(&room, dynamic), nullptr);
    EXPECT_EQ(loose->layer, dynamic);
    EXPECT_EQ(Layer_FindByID(&room, dynamic)->count, 1);
    EXPECT_TRUE(loose->m_onLayer);
}

TEST_F(LayerElements, HasInstanceByIdOrObject)
{
    const int32_t parent = NewObject();
    const int32_t child = NewObject(parent);
    const int32_t unrelated = NewObject();
    RoomLayer* layer = Layer_Create(&room, 10, "l");
    RoomLayer* other = Layer_Create(&room, 20, "o");
    CInstance* kid = room.CreateInstanceOnLayerId(0, 0, layer->id, child);
    CInstance* elsewhere = room.CreateInstanceOnLayerId(0, 0, other->id, unrelated);
    const double lid = layer->id;
    EXPECT_EQ(Real("layer_has_instance", {lid, 1.0 * kid->id}), 1.0);
    EXPECT_EQ(Real("layer_has_instance", {lid, 1.0 * elsewhere->id}), -1.0);
    EXPECT_EQ(Real("layer_has_instance", {lid, 1.0 * child}), 1.0);
    EXPECT_EQ(Real("layer_has_instance", {lid, 1.0 * parent}), 1.0);  // an ancestor
    EXPECT_EQ(Real("layer_has_instance", {lid, 1.0 * unrelated}), -1.0);
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(Real("layer_has_instance", {lid, 100999}), -1.0);
    EXPECT_EQ(Real("layer_has_instance", {999, 1.0 * kid->id}), -1.0);
    EXPECT_EQ(Log(), "layer_has_instance() - could not find specified instance\n"
                     "layer_has_instance() - could not find specified layer in current room\n");
}

TEST_F(LayerElements, DestroyingTheInstancesOfALayerKeepsEverythingElse)
{
    RoomLayer* layer = Layer_Create(&room, 10, "mixed");
    const double lid = layer->id;
    CInstance* a = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    const double sprite = Real("layer_sprite_create", {lid, 0, 0, 0});
    CInstance* b = room.CreateInstanceOnLayerId(0, 0, layer->id, -1);
    const double tile = Real("layer_tile_create", {lid, 0, 0, 0, 0, 0, 4, 4});
    const double background = Real("layer_background_create", {lid, 0});
    EXPECT_EQ(Real("layer_destroy_instances", {lid}), -1.0);
    EXPECT_TRUE(a->m_marked);
    EXPECT_TRUE(b->m_marked);
    EXPECT_EQ(ElementIds(layer), (std::vector<int32_t>{static_cast<int32_t>(background), static_cast<int32_t>(tile),
                                                       static_cast<int32_t>(sprite)}));
    EXPECT_EQ(Layer_FindByID(&room, layer->id), layer);

    // A dynamic layer left empty stays too.
    CInstance* loose = room.CreateInstance(0, 0, -1);
    const int32_t dynamic = loose->layer;
    Real("layer_destroy_instances", {1.0 * dynamic});
    ASSERT_NE(Layer_FindByID(&room, dynamic), nullptr);
    EXPECT_EQ(Layer_FindByID(&room, dynamic)->count, 0);
    EXPECT_EQ(Real("layer_destroy_instances", {999}), -1.0);
    EXPECT_EQ(Log(), "layer_destroy_instances() - can't find specified layer\n");
}

TEST_F(LayerElements, DeactivatingAndActivatingEveryInstanceOfALayer)
{
    RoomLayer* layer = Layer_Create(&room, 10, "five");
    std::vector<CInstance*> instances;
    for (int i = 0; i < 5; ++i) instances.push_back(room.CreateInstanceOnLayerId(0, 0, layer->id, -1));
    Real("layer_sprite_create", {1.0 * layer->id, 0, 0, 0});
    EXPECT_EQ(Real("instance_deactivate_layer", {1.0 * layer->id}), 0.0);
    for (CInstance* instance : instances) EXPECT_TRUE(instance->m_deactivated);
    EXPECT_EQ(layer->first->kind, LAYER_ELEMENT_SPRITE);  // deactivated instances go last
    room.UpdateActiveLists();
    EXPECT_EQ(room.deactivatedInstances.count, 5);
    ActivationQueue.count = 0;
    EXPECT_EQ(Real("instance_activate_layer", {1.0 * layer->id}), 0.0);
    for (CInstance* instance : instances) EXPECT_FALSE(instance->m_deactivated);
    EXPECT_EQ(ActivationQueue.count, 5);
    room.UpdateActiveLists();
    EXPECT_EQ(room.activeInstances.count, 5);
    EXPECT_EQ(Real("instance_activate_layer", {999}), 0.0);
    EXPECT_EQ(Log(), "");
}

// A room selected with layer_set_target_room that is not running: its layers
// and elements change, nothing of the running room does.
TEST_F(LayerElements, BuiltInsAimedAtARoomThatIsNotRunning)
{
    Room_Init();
    const int32_t index = Room_Add();
    ASSERT_GE(index, 0);
    CGameRoom* target = Room_Get(index);
    CInstance* live = room.CreateInstance(0, 0, -1);
    const int32_t liveLayer = live->layer;

    Call("layer_set_target_room", {R(index)});
    const double lid = Call("layer_create", {R(5), Text("far")}).real;
    EXPECT_NE(Layer_FindByID(target, static_cast<int32_t>(lid)), nullptr);
    EXPECT_EQ(Layer_FindByID(&room, static_cast<int32_t>(lid)), nullptr);
    EXPECT_EQ(Real("layer_get_depth", {1.0 * liveLayer}), -1.0);

    const double sprite = Real("layer_sprite_create", {lid, 0, 0, 3});
    EXPECT_GE(sprite, 0.0);
    EXPECT_FALSE(Layer_FindElement(target, static_cast<int32_t>(sprite), nullptr)->ready);  // resolved when it starts
    EXPECT_EQ(Real("layer_add_instance", {lid, 1.0 * live->id}), -1.0);
    const LayerElement_Instance* element = target->layers.instanceMap.Find(live->id);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->instance, nullptr);
    EXPECT_EQ(live->layer, liveLayer);  // the running instance is untouched
    EXPECT_EQ(Real("layer_instance_get_instance", {1.0 * element->id}), live->id);
    EXPECT_EQ(Real("layer_add_instance", {lid, 100777}), -1.0);  // no instance needs to exist
    EXPECT_EQ(LastReport(), "");

    // Removing the elements there never destroys a running instance of that id.
    EXPECT_EQ(Real("layer_destroy_instances", {lid}), -1.0);
    EXPECT_FALSE(live->m_marked);
    EXPECT_EQ(Row(Call("layer_get_all_elements", {R(lid)})), (std::vector<double>{sprite}));
    Real("layer_add_instance", {lid, 1.0 * live->id});
    EXPECT_EQ(Real("layer_destroy", {lid}), -1.0);
    EXPECT_FALSE(live->m_marked);
    EXPECT_EQ(Layer_FindByID(target, static_cast<int32_t>(lid)), nullptr);

    Call("layer_reset_target_room", {});
    EXPECT_EQ(Real("layer_get_depth", {1.0 * liveLayer}), 0.0);
    Room_FreeAll();
}

}  // namespace
