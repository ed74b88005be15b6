#include "Code/Kivo_Constants.h"

#include <cstring>

#include "Code/Code_Constant.h"
#include "GameData/GameHeader.h"

namespace {
struct PlatformConstant {
    const char* name;
    double value;
};

const PlatformConstant kPlatformConstants[] = {
    {"os_unknown", -1}, {"os_win32", 0}, {"os_windows", 0}, {"os_macosx", 1}, {"os_psp", 2}, {"os_ios", 3},
    {"os_android", 4}, {"os_symbian", 5}, {"os_linux", 6}, {"os_winphone", 7}, {"os_tizen", 8},
    {"os_win8native", 9}, {"os_wiiu", 10}, {"os_3ds", 11}, {"os_psvita", 12}, {"os_bb10", 13}, {"os_ps4", 14},
    {"os_xboxone", 15}, {"os_ps3", 16}, {"os_xbox360", 17}, {"os_uwp", 18}, {"os_amazon", 19},
    {"os_llvm_win32", 65536}, {"os_llvm_macosx", 65537}, {"os_llvm_psp", 65538}, {"os_llvm_ios", 65539},
    {"os_llvm_android", 65540}, {"os_llvm_symbian", 65541}, {"os_llvm_linux", 65542},
    {"os_llvm_winphone", 65543},
    {"device_ios_unknown", -1}, {"device_ios_iphone", 0}, {"device_ios_iphone_retina", 1}, {"device_ios_ipad", 2},
    {"device_ios_ipad_retina", 3}, {"device_ios_iphone5", 4}, {"device_emulator", 256}, {"device_tablet", 2},
    {"browser_not_a_browser", -1}, {"browser_unknown", 0}, {"browser_ie", 1}, {"browser_firefox", 2},
    {"browser_chrome", 3}, {"browser_safari", 4}, {"browser_safari_mobile", 5}, {"browser_opera", 6},
    {"browser_android_default", 7}, {"browser_windows_store", 8}, {"browser_tizen", 9},
    {"browser_ie_mobile", 10},
    {"of_challenge_win", 0}, {"of_challenge_lose", 1}, {"of_challenge_tie", 2}, {"leaderboard_type_number", 0},
    {"leaderboard_type_time_mins_secs", 1},
    {"achievement_our_info", 1002}, {"achievement_friends_info", 1003}, {"achievement_leaderboard_info", 1004},
    {"achievement_achievement_info", 1005}, {"achievement_pic_loaded", 1006},
    {"achievement_challenge_completed", 1007}, {"achievement_challenge_completed_by_remote", 1008},
    {"achievement_challenge_received", 1009}, {"achievement_challenge_list_received", 1010},
    {"achievement_challenge_launched", 1011}, {"achievement_filter_all_players", 0},
    {"achievement_filter_friends_only", 1}, {"achievement_filter_favorites_only", 2},
    {"achievement_filter_friends_alt", 3}, {"achievement_type_achievement_challenge", 0},
    {"achievement_type_achievement_score", 1},
    {"asset_unknown", -1}, {"asset_object", 0}, {"asset_sprite", 1}, {"asset_sound", 2}, {"asset_room", 3},
    {"asset_background", 4}, {"asset_path", 5}, {"asset_script", 6}, {"asset_font", 7}, {"asset_timeline", 8},
    {"ds_type_map", 1}, {"ds_type_list", 2}, {"ds_type_stack", 3}, {"ds_type_queue", 4}, {"ds_type_grid", 5},
    {"ds_type_priority", 6},
    {"fb_login_default", 0}, {"fb_login_fallback_to_webview", 1}, {"fb_login_no_fallback_to_webview", 2},
    {"fb_login_forcing_webview", 3}, {"fb_login_use_system_account", 4}, {"fb_login_forcing_safari", 5},
};
}  // namespace

void InitKivoConstants()
{
    for (const PlatformConstant& c : kPlatformConstants) {
        // Game data of major version 2 and later knows no such system.
        if (LayerMode && std::strcmp(c.name, "os_psp") == 0) continue;
        Code_Constant_AddReal(c.name, c.value);
    }
}
