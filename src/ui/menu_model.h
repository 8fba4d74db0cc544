#pragma once

#include <cstdint>
#include <span>

// Command ids of menu 129.
enum : int
{
    ID_LOGIN_MODE1 = 32796,
    ID_LOGIN_JD = 32840, // ours: the shop the program downloads from
    ID_LOGIN_QQ = 32781,
    ID_LOGIN_TWEIBO = 32782,
    ID_LOGIN_BAIDU = 32789,
    ID_LOGIN_NETEASE = 32790,
    ID_LOGIN_RENREN = 32791,
    ID_LOGIN_YUPOO = 32792,
    ID_LOGIN_MOKO = 32793,
    ID_LOGIN_SINA = 32794,
    ID_LOGIN_TAOBAO = 32803,
    ID_LOGIN_56 = 32813,
    ID_LOGIN_HUPU = 32815,
    ID_LOGIN_CUSTOM = 32795,
    ID_DOWNLOAD_SETTINGS = 32778,
    ID_NAME_SETTINGS = 32779,
    ID_THUNDER_LIST_ONLY = 32802,
    ID_ORIGINAL_NAME_FILE = 32804,
    ID_FIX_ORDER = 32799,
    ID_FIX_FORMAT = 32800,
    ID_SKIP_DOWNLOADED = 32774,
    ID_OPEN_FOLDER = 32812,
    ID_MAIN_PICTURES_ONLY = 32808,
    ID_DESCRIPTION_PICTURES_ONLY = 32814,
    ID_YUPOO_BIG = 32776,
    ID_IMPORT_AND_DOWNLOAD = 32811,
    ID_IMPORT_ADDRESS_LIST = 32841, // ours: a text file of product addresses
    ID_EXPORT_DOWNLOAD = 32809,
    ID_EXPORT_THUNDER = 32810,
    ID_FILE_TOOLS = 32807,
    ID_RETRY_FAILED = 32842, // ours: the failed pictures of the last download again
    ID_HELP_MANUAL = 32806,
    ID_HELP_CONSULT = 32773,
    ID_HELP_FEEDBACK = 32772,
    ID_HELP_ABOUT = 32775,
};

inline constexpr int kSeparator = 0;

struct MenuItemDef
{
    int id;            // kSeparator for a separator
    const char *text;  // UTF-8
};

struct MenuPopupDef
{
    const char *title;  // UTF-8
    std::span<const MenuItemDef> items;
};

// Menu 129: five popups, in order.
std::span<const MenuPopupDef> MainMenuDefinition();

// The NamingFlags bit a switch entry toggles, or 0 for other entries.
std::uint16_t NamingFlagOfCommand(int id);

// Switches of the settings popup after choosing `id`: toggles its bit, and
// keeps 32808 and 32814 exclusive.
std::uint16_t ToggleNamingFlag(std::uint16_t flags, int id);

struct MenuItemState
{
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
};

// Check mark and grey state of an entry when its popup opens.
MenuItemState MenuItemStateFor(int id, std::uint16_t namingFlags, int siteKind, bool loginMode1);
