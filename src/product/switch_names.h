// The switches the program reads and the ones it writes for its own copies (the elevated
// relaunch, the pre-install uninstaller): one spelling for both sides.
#pragma once

inline constexpr char SWITCH_SKIP_WELCOME[] = "/SKIPWELCOME";
inline constexpr char SWITCH_DRY_RUN[] = "/DRYRUN";
inline constexpr char SWITCH_UNINSTALL_FIRST[] = "/UNINSTALLFIRST";
inline constexpr char SWITCH_DECRYPT_HTTPS[] = "/DECRYPTHTTPS";
inline constexpr char SWITCH_USAGE_DATA[] = "/USAGEDATA";
inline constexpr char SWITCH_UNINSTALL_BEFORE_INSTALL[] = "/UNINSTALLBEFOREINSTALL";
