#include "ui/menu_model.h"

#include "core/soft_settings.h"

#include <array>

namespace {

constexpr std::array kLogin{
    MenuItemDef{ID_LOGIN_MODE1, "登录方式1（如果登录失败，可勾选该项后再登录）"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_LOGIN_JD, "京东"},
    MenuItemDef{ID_LOGIN_QQ, "QQ空间/QQ群"},
    MenuItemDef{ID_LOGIN_TWEIBO, "腾讯微博（登录时勾上下次自动登录）"},
    MenuItemDef{ID_LOGIN_BAIDU, "百度"},
    MenuItemDef{ID_LOGIN_NETEASE, "网易"},
    MenuItemDef{ID_LOGIN_RENREN, "人人"},
    MenuItemDef{ID_LOGIN_YUPOO, "又拍（下载器没弹窗提示你登录，就不要在这里登录）"},
    MenuItemDef{ID_LOGIN_MOKO, "美空"},
    MenuItemDef{ID_LOGIN_SINA, "新浪微博（登录时勾上下次自动登录）"},
    MenuItemDef{ID_LOGIN_TAOBAO, "淘宝（强烈建议用小号登录）"},
    MenuItemDef{ID_LOGIN_56, "56"},
    MenuItemDef{ID_LOGIN_HUPU, "虎扑"},
    MenuItemDef{ID_LOGIN_CUSTOM, "自定义登录"},
};

constexpr std::array kSettings{
    MenuItemDef{ID_DOWNLOAD_SETTINGS, "下载参数设置"},
    MenuItemDef{ID_NAME_SETTINGS, "文件名设置"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_THUNDER_LIST_ONLY, "只生成迅雷下载列表"},
    MenuItemDef{ID_ORIGINAL_NAME_FILE, "生成图片原始名文件"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_FIX_ORDER, "修正图片顺序"},
    MenuItemDef{ID_FIX_FORMAT, "修正图片格式"},
    MenuItemDef{ID_SKIP_DOWNLOADED, "不下载以前下载过的图片"},
    MenuItemDef{ID_OPEN_FOLDER, "下载完成后打开保存路径"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_MAIN_PICTURES_ONLY, "只下载宝贝(商品)主图"},
    MenuItemDef{ID_DESCRIPTION_PICTURES_ONLY, "只下载宝贝(商品)描述里的图片"},
    MenuItemDef{ID_YUPOO_BIG, "又拍相册下载大图（不勾选为下载原图，下载原图速度更慢）"},
};

constexpr std::array kImportExport{
    MenuItemDef{ID_IMPORT_AND_DOWNLOAD, "导入下载文件并开始下载"},
    MenuItemDef{ID_IMPORT_ADDRESS_LIST, "导入网址列表…"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_EXPORT_DOWNLOAD, "导出下载文件"},
    MenuItemDef{ID_EXPORT_THUNDER, "导出迅雷下载列表"},
};

constexpr std::array kTools{
    MenuItemDef{ID_FILE_TOOLS, "文件处理"},
    MenuItemDef{ID_RETRY_FAILED, "重试失败"},
};

constexpr std::array kHelp{
    MenuItemDef{ID_HELP_MANUAL, "使用说明"},
    MenuItemDef{ID_HELP_CONSULT, "软件咨询"},
    MenuItemDef{ID_HELP_FEEDBACK, "问题反馈"},
    MenuItemDef{kSeparator, ""},
    MenuItemDef{ID_HELP_ABOUT, "版本信息"},
};

constexpr std::array kMenu{
    MenuPopupDef{"登录", kLogin},
    MenuPopupDef{"设置", kSettings},
    MenuPopupDef{"导入/导出", kImportExport},
    MenuPopupDef{"辅助功能", kTools},
    MenuPopupDef{"帮助", kHelp},
};

} // namespace

std::span<const MenuPopupDef> MainMenuDefinition()
{
    return kMenu;
}

std::uint16_t NamingFlagOfCommand(int id)
{
    switch (id) {
    case ID_FIX_FORMAT: return FixFormat;
    case ID_FIX_ORDER: return FixOrder;
    case ID_ORIGINAL_NAME_FILE: return OriginalNameFile;
    case ID_THUNDER_LIST_ONLY: return ThunderListOnly;
    case ID_OPEN_FOLDER: return OpenFolderWhenDone;
    case ID_MAIN_PICTURES_ONLY: return MainPicturesOnly;
    case ID_SKIP_DOWNLOADED: return SkipDownloaded;
    case ID_YUPOO_BIG: return YupooBigPictures;
    case ID_DESCRIPTION_PICTURES_ONLY: return DescriptionPicturesOnly;
    default: return 0;
    }
}

std::uint16_t ToggleNamingFlag(std::uint16_t flags, int id)
{
    const std::uint16_t bit = NamingFlagOfCommand(id);
    if (bit == 0)
        return flags;
    if (id == ID_MAIN_PICTURES_ONLY || id == ID_DESCRIPTION_PICTURES_ONLY) {
        const std::uint16_t other = id == ID_MAIN_PICTURES_ONLY ? std::uint16_t(DescriptionPicturesOnly)
                                                                : std::uint16_t(MainPicturesOnly);
        if (flags & bit)
            return static_cast<std::uint16_t>(flags & ~bit);
        return static_cast<std::uint16_t>((flags & ~other) | bit);
    }
    return static_cast<std::uint16_t>(flags ^ bit);
}

MenuItemState MenuItemStateFor(int id, std::uint16_t namingFlags, int siteKind, bool loginMode1)
{
    MenuItemState state;
    if (id == ID_LOGIN_MODE1) {
        state.checkable = true;
        state.checked = loginMode1;
        return state;
    }
    // Entries the program keeps for their place in the menu but gives nothing
    // to do: greyed, rather than taking a click and saying nothing.
    switch (id) {
    case ID_IMPORT_AND_DOWNLOAD:
    case ID_EXPORT_DOWNLOAD:
    case ID_EXPORT_THUNDER:
    case ID_FILE_TOOLS:
    case ID_HELP_MANUAL:
    case ID_HELP_CONSULT:
    case ID_HELP_FEEDBACK:
        state.enabled = false;
        return state;
    default:
        break;
    }
    const std::uint16_t bit = NamingFlagOfCommand(id);
    if (bit == 0)
        return state;
    state.checkable = true;
    state.checked = (namingFlags & bit) != 0;
    if (id == ID_YUPOO_BIG)
        state.enabled = siteKind == SITE_YUPOO;
    else if (id == ID_MAIN_PICTURES_ONLY || id == ID_DESCRIPTION_PICTURES_ONLY)
        state.enabled = siteKind == SITE_TAOBAO || siteKind == SITE_JD;
    return state;
}
