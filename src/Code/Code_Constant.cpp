#include "Code/Code_Constant.h"

#include "Base/TextCopy.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "Base/MemoryManager.h"
#include "GameData/GameHeader.h"
#include "GameData/GameOptions.h"
#include "Options/Runner_Options.h"
#include "IO/IO_Dialog.h"
#include "Code/Kivo_Constants.h"

namespace {
char** s_names = nullptr;
ScriptValue* s_values = nullptr;
int32_t s_count = 0;

enum Condition : uint8_t { kAlways, kLayerMode, kExternalCalls };

struct BuiltinConstant {
    const char* name;
    double value;
    Condition condition;
};

// In registration order; pi is the single-precision value widened to double.
const BuiltinConstant kBuiltinConstants[] = {
    {"self", -1, kAlways},
    {"other", -2, kAlways},
    {"all", -3, kAlways},
    {"noone", -4, kAlways},
    {"global", -5, kAlways},
    {"local", -7, kAlways},
    {"true", 1, kAlways},
    {"false", 0, kAlways},
    {"pi", 3.1415927410125732, kAlways},
    {"pr_pointlist", 1, kAlways},
    {"pr_linelist", 2, kAlways},
    {"pr_linestrip", 3, kAlways},
    {"pr_trianglelist", 4, kAlways},
    {"pr_trianglestrip", 5, kAlways},
    {"pr_trianglefan", 6, kAlways},
    {"c_aqua", 16776960, kAlways},
    {"c_black", 0, kAlways},
    {"c_blue", 16711680, kAlways},
    {"c_dkgray", 4210752, kAlways},
    {"c_fuchsia", 16711935, kAlways},
    {"c_gray", 8421504, kAlways},
    {"c_green", 32768, kAlways},
    {"c_lime", 65280, kAlways},
    {"c_ltgray", 12632256, kAlways},
    {"c_maroon", 128, kAlways},
    {"c_navy", 8388608, kAlways},
    {"c_olive", 32896, kAlways},
    {"c_purple", 8388736, kAlways},
    {"c_red", 255, kAlways},
    {"c_silver", 12632256, kAlways},
    {"c_teal", 8421376, kAlways},
    {"c_white", 16777215, kAlways},
    {"c_yellow", 65535, kAlways},
    {"c_orange", 4235519, kAlways},
    {"bm_normal", 0, kAlways},
    {"bm_add", 1, kAlways},
    {"bm_max", 2, kAlways},
    {"bm_subtract", 3, kAlways},
    {"bm_zero", 1, kAlways},
    {"bm_one", 2, kAlways},
    {"bm_src_color", 3, kAlways},
    {"bm_src_colour", 3, kAlways},
    {"bm_inv_src_color", 4, kAlways},
    {"bm_inv_src_colour", 4, kAlways},
    {"bm_src_alpha", 5, kAlways},
    {"bm_inv_src_alpha", 6, kAlways},
    {"bm_dest_alpha", 7, kAlways},
    {"bm_inv_dest_alpha", 8, kAlways},
    {"bm_dest_color", 9, kAlways},
    {"bm_dest_colour", 9, kAlways},
    {"bm_inv_dest_colour", 10, kAlways},
    {"bm_src_alpha_sat", 11, kAlways},
    {"se_none", 0, kAlways},
    {"se_chorus", 1, kAlways},
    {"se_echo", 2, kAlways},
    {"se_flanger", 4, kAlways},
    {"se_gargle", 8, kAlways},
    {"se_reverb", 16, kAlways},
    {"se_compressor", 32, kAlways},
    {"se_equalizer", 64, kAlways},
    {"fa_left", 0, kAlways},
    {"fa_center", 1, kAlways},
    {"fa_right", 2, kAlways},
    {"fa_top", 0, kAlways},
    {"fa_middle", 1, kAlways},
    {"fa_bottom", 2, kAlways},
    {"mb_any", -1, kAlways},
    {"mb_none", 0, kAlways},
    {"mb_left", 1, kAlways},
    {"mb_right", 2, kAlways},
    {"mb_middle", 3, kAlways},
    {"vk_nokey", 0, kAlways},
    {"vk_anykey", 1, kAlways},
    {"vk_enter", 13, kAlways},
    {"vk_return", 13, kAlways},
    {"vk_shift", 16, kAlways},
    {"vk_control", 17, kAlways},
    {"vk_alt", 18, kAlways},
    {"vk_escape", 27, kAlways},
    {"vk_space", 32, kAlways},
    {"vk_backspace", 8, kAlways},
    {"vk_tab", 9, kAlways},
    {"vk_pause", 19, kAlways},
    {"vk_printscreen", 44, kAlways},
    {"vk_left", 37, kAlways},
    {"vk_right", 39, kAlways},
    {"vk_up", 38, kAlways},
    {"vk_down", 40, kAlways},
    {"vk_home", 36, kAlways},
    {"vk_end", 35, kAlways},
    {"vk_delete", 46, kAlways},
    {"vk_insert", 45, kAlways},
    {"vk_pageup", 33, kAlways},
    {"vk_pagedown", 34, kAlways},
    {"vk_f1", 112, kAlways},
    {"vk_f2", 113, kAlways},
    {"vk_f3", 114, kAlways},
    {"vk_f4", 115, kAlways},
    {"vk_f5", 116, kAlways},
    {"vk_f6", 117, kAlways},
    {"vk_f7", 118, kAlways},
    {"vk_f8", 119, kAlways},
    {"vk_f9", 120, kAlways},
    {"vk_f10", 121, kAlways},
    {"vk_f11", 122, kAlways},
    {"vk_f12", 123, kAlways},
    {"vk_numpad0", 96, kAlways},
    {"vk_numpad1", 97, kAlways},
    {"vk_numpad2", 98, kAlways},
    {"vk_numpad3", 99, kAlways},
    {"vk_numpad4", 100, kAlways},
    {"vk_numpad5", 101, kAlways},
    {"vk_numpad6", 102, kAlways},
    {"vk_numpad7", 103, kAlways},
    {"vk_numpad8", 104, kAlways},
    {"vk_numpad9", 105, kAlways},
    {"vk_divide", 111, kAlways},
    {"vk_multiply", 106, kAlways},
    {"vk_subtract", 109, kAlways},
    {"vk_add", 107, kAlways},
    {"vk_decimal", 110, kAlways},
    {"vk_lshift", 160, kAlways},
    {"vk_lcontrol", 162, kAlways},
    {"vk_lalt", 164, kAlways},
    {"vk_rshift", 161, kAlways},
    {"vk_rcontrol", 163, kAlways},
    {"vk_ralt", 165, kAlways},
    {"gp_face1", 32769, kAlways},
    {"gp_face2", 32770, kAlways},
    {"gp_face3", 32771, kAlways},
    {"gp_face4", 32772, kAlways},
    {"gp_shoulderl", 32773, kAlways},
    {"gp_shoulderr", 32774, kAlways},
    {"gp_shoulderlb", 32775, kAlways},
    {"gp_shoulderrb", 32776, kAlways},
    {"gp_select", 32777, kAlways},
    {"gp_start", 32778, kAlways},
    {"gp_stickl", 32779, kAlways},
    {"gp_stickr", 32780, kAlways},
    {"gp_padu", 32781, kAlways},
    {"gp_padd", 32782, kAlways},
    {"gp_padl", 32783, kAlways},
    {"gp_padr", 32784, kAlways},
    {"gp_axislh", 32785, kAlways},
    {"gp_axislv", 32786, kAlways},
    {"gp_axisrh", 32787, kAlways},
    {"gp_axisrv", 32788, kAlways},
    {"ev_create", 0, kAlways},
    {"ev_destroy", 1, kAlways},
    {"ev_clean_up", 12, kAlways},
    {"ev_step", 3, kAlways},
    {"ev_alarm", 2, kAlways},
    {"ev_keyboard", 5, kAlways},
    {"ev_mouse", 6, kAlways},
    {"ev_collision", 4, kAlways},
    {"ev_other", 7, kAlways},
    {"ev_draw", 8, kAlways},
    {"ev_keypress", 9, kAlways},
    {"ev_keyrelease", 10, kAlways},
    {"ev_cleanup", 12, kLayerMode},
    {"ev_gesture", 13, kLayerMode},
    {"ev_left_button", 0, kAlways},
    {"ev_right_button", 1, kAlways},
    {"ev_middle_button", 2, kAlways},
    {"ev_no_button", 3, kAlways},
    {"ev_left_press", 4, kAlways},
    {"ev_right_press", 5, kAlways},
    {"ev_middle_press", 6, kAlways},
    {"ev_left_release", 7, kAlways},
    {"ev_right_release", 8, kAlways},
    {"ev_middle_release", 9, kAlways},
    {"ev_mouse_enter", 10, kAlways},
    {"ev_mouse_leave", 11, kAlways},
    {"ev_global_press", 12, kAlways},
    {"ev_global_release", 13, kAlways},
    {"ev_joystick1_left", 16, kAlways},
    {"ev_joystick1_right", 17, kAlways},
    {"ev_joystick1_up", 18, kAlways},
    {"ev_joystick1_down", 19, kAlways},
    {"ev_joystick1_button1", 21, kAlways},
    {"ev_joystick1_button2", 22, kAlways},
    {"ev_joystick1_button3", 23, kAlways},
    {"ev_joystick1_button4", 24, kAlways},
    {"ev_joystick1_button5", 25, kAlways},
    {"ev_joystick1_button6", 26, kAlways},
    {"ev_joystick1_button7", 27, kAlways},
    {"ev_joystick1_button8", 28, kAlways},
    {"ev_joystick2_left", 31, kAlways},
    {"ev_joystick2_right", 32, kAlways},
    {"ev_joystick2_up", 33, kAlways},
    {"ev_joystick2_down", 34, kAlways},
    {"ev_joystick2_button1", 36, kAlways},
    {"ev_joystick2_button2", 37, kAlways},
    {"ev_joystick2_button3", 38, kAlways},
    {"ev_joystick2_button4", 39, kAlways},
    {"ev_joystick2_button5", 40, kAlways},
    {"ev_joystick2_button6", 41, kAlways},
    {"ev_joystick2_button7", 42, kAlways},
    {"ev_joystick2_button8", 43, kAlways},
    {"ev_global_left_button", 50, kAlways},
    {"ev_global_right_button", 51, kAlways},
    {"ev_global_middle_button", 52, kAlways},
    {"ev_global_left_press", 53, kAlways},
    {"ev_global_right_press", 54, kAlways},
    {"ev_global_middle_press", 55, kAlways},
    {"ev_global_left_release", 56, kAlways},
    {"ev_global_right_release", 57, kAlways},
    {"ev_global_middle_release", 58, kAlways},
    {"ev_mouse_wheel_up", 60, kAlways},
    {"ev_mouse_wheel_down", 61, kAlways},
    {"ev_outside", 0, kAlways},
    {"ev_boundary", 1, kAlways},
    {"ev_game_start", 2, kAlways},
    {"ev_game_end", 3, kAlways},
    {"ev_room_start", 4, kAlways},
    {"ev_room_end", 5, kAlways},
    {"ev_no_more_lives", 6, kAlways},
    {"ev_animation_end", 7, kAlways},
    {"ev_end_of_path", 8, kAlways},
    {"ev_no_more_health", 9, kAlways},
    {"ev_user0", 10, kAlways},
    {"ev_user1", 11, kAlways},
    {"ev_user2", 12, kAlways},
    {"ev_user3", 13, kAlways},
    {"ev_user4", 14, kAlways},
    {"ev_user5", 15, kAlways},
    {"ev_user6", 16, kAlways},
    {"ev_user7", 17, kAlways},
    {"ev_user8", 18, kAlways},
    {"ev_user9", 19, kAlways},
    {"ev_user10", 20, kAlways},
    {"ev_user11", 21, kAlways},
    {"ev_user12", 22, kAlways},
    {"ev_user13", 23, kAlways},
    {"ev_user14", 24, kAlways},
    {"ev_user15", 25, kAlways},
    {"ev_close_button", 30, kAlways},
    {"ev_step_normal", 0, kAlways},
    {"ev_step_begin", 1, kAlways},
    {"ev_step_end", 2, kAlways},
    {"ev_gesture_tap", 0, kLayerMode},
    {"ev_gesture_double_tap", 1, kLayerMode},
    {"ev_gesture_drag_start", 2, kLayerMode},
    {"ev_gesture_dragging", 3, kLayerMode},
    {"ev_gesture_drag_end", 4, kLayerMode},
    {"ev_gesture_flick", 5, kLayerMode},
    {"ev_global_gesture_tap", 64, kLayerMode},
    {"ev_global_gesture_double_tap", 65, kLayerMode},
    {"ev_global_gesture_drag_start", 66, kLayerMode},
    {"ev_global_gesture_dragging", 67, kLayerMode},
    {"ev_global_gesture_drag_end", 68, kLayerMode},
    {"ev_global_gesture_flick", 69, kLayerMode},
    {"ev_async", 62, kAlways},
    {"ev_dialog", 63, kAlways},
    {"ev_gui", 64, kAlways},
    {"ev_iap", 66, kAlways},
    {"ev_cloud", 67, kAlways},
    {"ev_networking", 68, kAlways},
    {"ev_steam", 69, kAlways},
    {"ev_social", 70, kAlways},
    {"ev_push_notification", 71, kAlways},
    {"ev_save_load", 72, kAlways},
    {"ev_audio_recording", 73, kAlways},
    {"ev_audio_playback", 74, kAlways},
    {"ev_system_event", 75, kAlways},
    {"ty_real", 0, kAlways},
    {"ty_string", 1, kAlways},
    {"dll_cdecl", 0, kExternalCalls},
    {"dll_stdcall", 1, kExternalCalls},
    {"fa_readonly", 1, kAlways},
    {"fa_hidden", 2, kAlways},
    {"fa_sysfile", 4, kAlways},
    {"fa_volumeid", 8, kAlways},
    {"fa_directory", 16, kAlways},
    {"fa_archive", 32, kAlways},
    {"cr_default", 0, kAlways},
    {"cr_none", -1, kAlways},
    {"cr_arrow", -2, kAlways},
    {"cr_cross", -3, kAlways},
    {"cr_beam", -4, kAlways},
    {"cr_size_nesw", -6, kAlways},
    {"cr_size_ns", -7, kAlways},
    {"cr_size_nwse", -8, kAlways},
    {"cr_size_we", -9, kAlways},
    {"cr_uparrow", -10, kAlways},
    {"cr_hourglass", -11, kAlways},
    {"cr_drag", -12, kAlways},
    {"cr_nodrop", -13, kAlways},
    {"cr_hsplit", -14, kAlways},
    {"cr_vsplit", -15, kAlways},
    {"cr_multidrag", -16, kAlways},
    {"cr_sqlwait", -17, kAlways},
    {"cr_no", -18, kAlways},
    {"cr_appstart", -19, kAlways},
    {"cr_help", -20, kAlways},
    {"cr_handpoint", -21, kAlways},
    {"cr_size_all", -22, kAlways},
    {"pt_shape_pixel", 0, kAlways},
    {"pt_shape_disk", 1, kAlways},
    {"pt_shape_square", 2, kAlways},
    {"pt_shape_line", 3, kAlways},
    {"pt_shape_star", 4, kAlways},
    {"pt_shape_circle", 5, kAlways},
    {"pt_shape_ring", 6, kAlways},
    {"pt_shape_sphere", 7, kAlways},
    {"pt_shape_flare", 8, kAlways},
    {"pt_shape_spark", 9, kAlways},
    {"pt_shape_explosion", 10, kAlways},
    {"pt_shape_cloud", 11, kAlways},
    {"pt_shape_smoke", 12, kAlways},
    {"pt_shape_snow", 13, kAlways},
    {"ps_distr_linear", 0, kAlways},
    {"ps_distr_gaussian", 1, kAlways},
    {"ps_distr_invgaussian", 2, kAlways},
    {"ps_shape_rectangle", 0, kAlways},
    {"ps_shape_ellipse", 1, kAlways},
    {"ps_shape_diamond", 2, kAlways},
    {"ps_shape_line", 3, kAlways},
    {"ps_force_constant", 0, kAlways},
    {"ps_force_linear", 1, kAlways},
    {"ps_force_quadratic", 2, kAlways},
    {"ps_deflect_vertical", 0, kAlways},
    {"ps_deflect_horizontal", 1, kAlways},
    {"ps_change_all", 0, kAlways},
    {"ps_change_shape", 1, kAlways},
    {"ps_change_motion", 2, kAlways},
    {"ef_explosion", 0, kAlways},
    {"ef_ring", 1, kAlways},
    {"ef_ellipse", 2, kAlways},
    {"ef_firework", 3, kAlways},
    {"ef_smoke", 4, kAlways},
    {"ef_smokeup", 5, kAlways},
    {"ef_star", 6, kAlways},
    {"ef_spark", 7, kAlways},
    {"ef_flare", 8, kAlways},
    {"ef_cloud", 9, kAlways},
    {"ef_rain", 10, kAlways},
    {"ef_snow", 11, kAlways},
    {"display_landscape", 0, kAlways},
    {"display_portrait", 1, kAlways},
    {"display_landscape_flipped", 2, kAlways},
    {"display_portrait_flipped", 3, kAlways},
    {"phy_joint_anchor_1_x", 0, kAlways},
    {"phy_joint_anchor_1_y", 1, kAlways},
    {"phy_joint_anchor_2_x", 2, kAlways},
    {"phy_joint_anchor_2_y", 3, kAlways},
    {"phy_joint_reaction_force_x", 4, kAlways},
    {"phy_joint_reaction_force_y", 5, kAlways},
    {"phy_joint_reaction_torque", 6, kAlways},
    {"phy_joint_angle", 8, kAlways},
    {"phy_joint_motor_speed", 7, kAlways},
    {"phy_joint_motor_torque", 9, kAlways},
    {"phy_joint_max_motor_torque", 10, kAlways},
    {"phy_joint_translation", 11, kAlways},
    {"phy_joint_speed", 12, kAlways},
    {"phy_joint_motor_force", 13, kAlways},
    {"phy_joint_max_motor_force", 14, kAlways},
    {"phy_joint_length_1", 15, kAlways},
    {"phy_joint_length_2", 16, kAlways},
    {"phy_joint_damping_ratio", 17, kAlways},
    {"phy_joint_frequency", 18, kAlways},
    {"phy_debug_render_shapes", 1, kAlways},
    {"phy_debug_render_joints", 2, kAlways},
    {"phy_debug_render_coms", 4, kAlways},
    {"phy_debug_render_aabb", 8, kAlways},
    {"phy_debug_render_obb", 16, kAlways},
    {"phy_debug_render_core_shapes", 32, kAlways},
    {"phy_debug_render_collision_pairs", 64, kAlways},
    {"audio_falloff_none", 0, kAlways},
    {"audio_falloff_inverse_distance", 1, kAlways},
    {"audio_falloff_inverse_distance_clamped", 2, kAlways},
    {"audio_falloff_linear_distance", 3, kAlways},
    {"audio_falloff_linear_distance_clamped", 4, kAlways},
    {"audio_falloff_exponent_distance", 5, kAlways},
    {"audio_falloff_exponent_distance_clamped", 6, kAlways},
    {"audio_old_system", 0, kAlways},
    {"audio_new_system", 1, kAlways},
    {"audio_mono", 0, kAlways},
    {"audio_stereo", 1, kAlways},
    {"audio_3d", 2, kAlways},
    {"ov_friends", 0, kAlways},
    {"ov_community", 1, kAlways},
    {"ov_players", 2, kAlways},
    {"ov_settings", 3, kAlways},
    {"ov_gamegroup", 4, kAlways},
    {"ov_achievements", 5, kAlways},
    {"lb_sort_none", 0, kAlways},
    {"lb_sort_ascending", 1, kAlways},
    {"lb_sort_descending", 2, kAlways},
    {"lb_disp_none", 0, kAlways},
    {"lb_disp_numeric", 1, kAlways},
    {"lb_disp_time_sec", 2, kAlways},
    {"lb_disp_time_ms", 3, kAlways},
    {"ugc_result_success", 1, kAlways},
    {"ugc_filetype_community", 0, kAlways},
    {"ugc_filetype_microtrans", 1, kAlways},
    {"ugc_visibility_public", 0, kAlways},
    {"ugc_visibility_friends_only", 1, kAlways},
    {"ugc_visibility_private", 2, kAlways},
    {"ugc_query_RankedByVote", 0, kAlways},
    {"ugc_query_RankedByPublicationDate", 1, kAlways},
    {"ugc_query_AcceptedForGameRankedByAcceptanceDate", 2, kAlways},
    {"ugc_query_RankedByTrend", 3, kAlways},
    {"ugc_query_FavoritedByFriendsRankedByPublicationDate", 4, kAlways},
    {"ugc_query_CreatedByFriendsRankedByPublicationDate", 5, kAlways},
    {"ugc_query_RankedByNumTimesReported", 6, kAlways},
    {"ugc_query_CreatedByFollowedUsersRankedByPublicationDate", 7, kAlways},
    {"ugc_query_NotYetRated", 8, kAlways},
    {"ugc_query_RankedByTotalVotesAsc", 9, kAlways},
    {"ugc_query_RankedByVotesUp", 10, kAlways},
    {"ugc_query_RankedByTextSearch", 11, kAlways},
    {"ugc_sortorder_CreationOrderDesc", 0, kAlways},
    {"ugc_sortorder_CreationOrderAsc", 1, kAlways},
    {"ugc_sortorder_TitleAsc", 2, kAlways},
    {"ugc_sortorder_LastUpdatedDesc", 3, kAlways},
    {"ugc_sortorder_SubscriptionDateDesc", 4, kAlways},
    {"ugc_sortorder_VoteScoreDesc", 5, kAlways},
    {"ugc_sortorder_ForModeration", 6, kAlways},
    {"ugc_list_Published", 0, kAlways},
    {"ugc_list_VotedOn", 1, kAlways},
    {"ugc_list_VotedUp", 2, kAlways},
    {"ugc_list_VotedDown", 3, kAlways},
    {"ugc_list_WillVoteLater", 4, kAlways},
    {"ugc_list_Favorited", 5, kAlways},
    {"ugc_list_Subscribed", 6, kAlways},
    {"ugc_list_UsedOrPlayed", 7, kAlways},
    {"ugc_list_Followed", 8, kAlways},
    {"ugc_match_Items", 0, kAlways},
    {"ugc_match_Items_Mtx", 1, kAlways},
    {"ugc_match_Items_ReadyToUse", 2, kAlways},
    {"ugc_match_Collections", 3, kAlways},
    {"ugc_match_Artwork", 4, kAlways},
    {"ugc_match_Videos", 5, kAlways},
    {"ugc_match_Screenshots", 6, kAlways},
    {"ugc_match_AllGuides", 7, kAlways},
    {"ugc_match_WebGuides", 8, kAlways},
    {"ugc_match_IntegratedGuides", 9, kAlways},
    {"ugc_match_UsableInGame", 10, kAlways},
    {"ugc_match_ControllerBindings", 11, kAlways},
    {"timezone_local", 0, kAlways},
    {"timezone_utc", 1, kAlways},
};

bool IsLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Index of the last constant with that exact name, -1 when none.
int32_t FindExact(const char* name)
{
    for (int32_t i = s_count - 1; i >= 0; --i)
        if (std::strcmp(s_names[i], name) == 0) return i;
    return -1;
}
}  // namespace

void Code_Constant_Add(const char* name, const ScriptValue* value)
{
    size_t n = static_cast<size_t>(s_count) + 1;
    auto* names = static_cast<char**>(MemoryManager::Realloc(s_names, sizeof(char*) * n, "Code_Constant", __LINE__));
    if (!names) return;
    s_names = names;
    uintptr_t oldValues = reinterpret_cast<uintptr_t>(s_values);
    auto* values = static_cast<ScriptValue*>(MemoryManager::Realloc(s_values, sizeof(ScriptValue) * n, "Code_Constant", __LINE__));
    if (!values) return;
    ScriptValue_FixOwnersAfterMove(values, oldValues, s_count);
    s_values = values;
    s_names[s_count] = DupString(name);
    s_values[s_count] = ScriptValue_Undefined();
    s_values[s_count].Assign(*value);
    ++s_count;
}

void Code_Constant_AddReal(const char* name, double value)
{
    ScriptValue v = ScriptValue_Real(value);
    Code_Constant_Add(name, &v);
}

bool Code_Constant_IsValidName(const char* text)
{
    auto* p = reinterpret_cast<const unsigned char*>(text);
    if (!p || !*p || !(IsLetter(*p) || *p == '_')) return false;
    for (++p; *p; ++p)
        if (!(IsLetter(*p) || IsDigit(*p) || *p == '_')) return false;
    return true;
}

// The value text is not read: a defined constant is the number 0.
namespace {
// The asset tables asked first by Code_Constant_Lookup, in their order.
AssetFinder const* s_assetFinders = nullptr;
int32_t s_assetFinderCount = 0;
}  // namespace

bool Code_Constant_Define(const char* nameText, const char*)
{
    char* name = nullptr;
    TrimString(&name, nameText);
    if (!name) return false;
    bool valid = Code_Constant_IsValidName(name);
    if (valid) {
        Code_Constant_AddReal(name, 0.0);
    } else {
        char message[1024];
        std::snprintf(message, sizeof message, "Constant name %s  is not valid.", name);
        ShowMessageBox(message);
    }
    QS_FREE(name);
    return valid;
}

bool Code_Constant_Prepare()
{
    for (uint32_t i = 0; i < GameOptions.constantCount; ++i)
        if (!Code_Constant_Define(GameOptions.constantNames[i], GameOptions.constantValues[i])) return false;
    return true;
}

ScriptValue* Code_Constant_Get(const char* name)
{
    for (int32_t i = s_count - 1; i >= 0; --i)
        if (strcasecmp(s_names[i], name) == 0) return &s_values[i];
    return nullptr;
}

void Code_Constant_SetAssetFinders(AssetFinder const* finders, int32_t count)
{
    s_assetFinders = finders;
    s_assetFinderCount = finders ? count : 0;
}

bool Code_Constant_Lookup(const char* name, ScriptValue* out)
{
    ScriptValue_SetReal(out, -1.0);
    for (int32_t k = 0; k < s_assetFinderCount; ++k) {
        int index = s_assetFinders[k](name);
        if (index >= 0) {
            out->real = index;
            return true;
        }
    }
    int32_t i = FindExact(name);
    if (i < 0) return false;
    out->Assign(s_values[i]);
    return true;
}

void Code_Constant_Free()
{
    for (int32_t i = 0; i < s_count; ++i) {
        QS_FREE(s_names[i]);
        ScriptValue_SetUndefined(&s_values[i]);
    }
    QS_FREE(s_names);
    QS_FREE(s_values);
    s_names = nullptr;
    s_values = nullptr;
    s_count = 0;
}

void Code_Constant_Init()
{
    for (const BuiltinConstant& c : kBuiltinConstants) {
        if (c.condition == kLayerMode && !LayerMode) continue;
        if (c.condition == kExternalCalls && NoExternalCalls) continue;
        Code_Constant_AddReal(c.name, c.value);
    }
    InitKivoConstants();
}

int32_t Code_Constant_Count() { return s_count; }
