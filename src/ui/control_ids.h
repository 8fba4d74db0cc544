#pragma once

// Control ids of the main window (dialog 102).
enum : int
{
    IDC_SAVEPATH = 1000,
    IDC_ADDRESS = 1001,
    IDC_SITE = 1002,
    IDC_GRID = 1003,
    IDC_GETLIST = 1004,
    IDC_DOWNLOAD = 1005,
    IDC_STATE2 = 1006,
    IDC_SETPATH = 1007,
    IDC_OPENPATH = 1008,
    IDC_STATE1 = 1009,
    IDC_LISTGROUP = 1011,
    IDC_SELECTALL = 1012,
    IDC_NOTICE = 1013,
    IDC_THUMBS = 1014,
    IDC_SORT1 = 1027,
    IDC_SORT2 = 1028,
    IDC_SORT3 = 1029,
    IDC_UPDATELINK = 1030,
    IDC_BOTTOMTEXT = 1031,
    IDC_FIND = 1034,
    IDC_LISTTYPE = 1035,
    IDC_FILTER = 1036,
    IDC_EXPORT = 1037,
};

// Standard button id.
enum : int
{
    IDOK = 1,
    IDCANCEL = 2,
};

// About box (dialog 100).
enum : int
{
    IDC_ABOUT_VERSION = 1014,
    IDC_ABOUT_LINE2 = 1015,
};

// File-name settings (dialog 130).
enum : int
{
    IDC_NAME_PREFIX = 1000,
    IDC_NAME_SUFFIX = 1001,
    IDC_FOLDER_PREFIX = 1002,
    IDC_FOLDER_SUFFIX = 1003,
    IDC_NAMING_HELP = 1010,
    IDC_SRC_DESC = 1016,
    IDC_SRC_NUMBER = 1017,
    IDC_SRC_ADDRESS = 1018,
    IDC_FOLDER_ALBUM = 1019,
    IDC_FOLDER_NONE = 1020,
    IDC_REPLACE_FROM = 1021,
    IDC_REPLACE_TO = 1022,
    IDC_SET_OK = 1023,
};

// Download settings (dialog 131).
enum : int
{
    IDC_DL_MINSIZE = 1000,
    IDC_DL_MAXSIZE = 1001,
    IDC_DL_THREADS = 1002,
    IDC_DL_TIMEOUT = 1003,
    IDC_DL_BROWSER = 1004, // the extension setting "用浏览器读取页面"
};

// Log-in browser (dialog 133).
enum : int
{
    IDC_WEB_ADDRESS = 1001,
    IDC_WEB_BROWSER = 1025,
    IDC_WEB_OPEN = 1026,
};

// Find dialog (dialog 704).
enum : int
{
    IDC_FIND_NEXT = 1006,
    IDC_FIND_MATCHCASE = 1033,
    IDC_FIND_WHOLE = 1034,
    IDC_FIND_KEYWORD = 1639,
    IDC_FIND_CLOSE = 1699,
    IDC_FIND_PREV = 1701,
};

// Window messages of the main window.
enum : unsigned
{
    WM_DOWNLOAD_FINISHED = 0x59D,
    WM_OPEN_LOGIN_PAGE = 0x59E,
    WM_STARTUP_DONE = 0x59F,
};

// System menu entry "关于".
inline constexpr int IDM_ABOUTBOX = 16;
