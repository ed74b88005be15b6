#pragma once
// The built-ins that ask about the system: os_get_language, os_get_region,
// os_get_config (and Kivo_GetConfig), os_get_info, display_get_dpi_x and
// display_get_dpi_y, os_is_network_connected, Kivo_GetDevice,
// os_powersave_enable and os_lock_orientation.
// Registers them.
void InitKivoOSFunctions();
