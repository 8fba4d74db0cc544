#include "ui/dialog_template.h"

#include "ui/control_ids.h"

#include <array>

const CtlTemplate *DlgTemplate::Find(int id) const
{
    for (const CtlTemplate &c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

namespace {

using K = CtlKind;

// Order matters: it is the creation order, so later controls lie above
// earlier ones (the group box before what sits inside it) and it is the tab order.
constexpr std::array kMainControls{
    CtlTemplate{IDC_NOTICE, K::Static, {7, 1, 381, 16}, ""},
    CtlTemplate{IDC_STATE1, K::Static, {12, 1, 99, 11}, ""},
    CtlTemplate{IDC_STATE2, K::Static, {119, 1, 269, 11}, ""},
    CtlTemplate{IDC_SITE, K::ComboDropList, {7, 20, 70, 400}, ""},
    CtlTemplate{IDC_LISTTYPE, K::ComboDropList, {79, 20, 53, 200}, ""},
    CtlTemplate{IDC_ADDRESS, K::ComboHistory, {134, 20, 252, 162}, ""},
    CtlTemplate{IDC_GETLIST, K::DefPushButton, {389, 19, 36, 13}, "获取相册"},
    CtlTemplate{IDC_DOWNLOAD, K::PushButton, {430, 19, 36, 13}, "下载", false, true},
    CtlTemplate{kIdStatic, K::Static, {7, 40, 32, 8}, "保存路径:"},
    CtlTemplate{IDC_SAVEPATH, K::ComboHistory, {40, 38, 346, 151}, ""},
    CtlTemplate{IDC_SETPATH, K::PushButton, {389, 38, 36, 13}, "设置"},
    CtlTemplate{IDC_OPENPATH, K::PushButton, {430, 38, 36, 13}, "打开"},
    CtlTemplate{IDC_LISTGROUP, K::GroupBox, {3, 52, 465, 246}, "相册列表"},
    CtlTemplate{IDC_GRID, K::Custom, {6, 64, 459, 231}, ""},
    CtlTemplate{IDC_SELECTALL, K::CheckBox, {441, 53, 23, 10}, "全选"},
    CtlTemplate{IDC_THUMBS, K::CheckBox, {402, 53, 32, 10}, "预览图"},
    CtlTemplate{IDC_SORT1, K::Link, {223, 53, 21, 8}, "好评", true},
    CtlTemplate{IDC_SORT2, K::Link, {246, 53, 21, 8}, "好评", true},
    CtlTemplate{IDC_SORT3, K::Link, {269, 53, 21, 8}, "好评", true},
    CtlTemplate{IDC_FIND, K::Link, {376, 53, 21, 8}, "查找"},
    CtlTemplate{IDC_FILTER, K::Link, {346, 53, 21, 8}, "筛选"},
    CtlTemplate{IDC_EXPORT, K::Link, {316, 53, 21, 8}, "导出"},
    CtlTemplate{IDC_UPDATELINK, K::Link, {273, 300, 35, 9}, "程序有更新", true},
    CtlTemplate{IDC_BOTTOMTEXT, K::Static, {4, 301, 265, 8}, ""},
};

constexpr std::array kAboutControls{
    CtlTemplate{kIdStatic, K::GroupBox, {7, 3, 196, 52}, "Ostrel京东商品图片批量下载助手"},
    CtlTemplate{kIdStatic, K::Icon, {17, 17, 20, 20}, ""},
    CtlTemplate{IDC_ABOUT_VERSION, K::Static, {47, 17, 150, 8}, ""},
    CtlTemplate{IDC_ABOUT_LINE2, K::Static, {47, 31, 150, 18}, ""},
    CtlTemplate{IDOK, K::DefPushButton, {153, 60, 50, 14}, "确定"},
};

constexpr std::array kSaveSetControls{
    CtlTemplate{kIdStatic, K::GroupBox, {7, 7, 251, 56}, "文件名"},
    CtlTemplate{kIdStatic, K::Static, {14, 23, 17, 8}, "前缀"},
    CtlTemplate{IDC_NAME_PREFIX, K::Edit, {32, 20, 50, 14}, ""},
    CtlTemplate{IDC_SRC_DESC, K::RadioButton, {86, 22, 28, 10}, "描述"},
    CtlTemplate{IDC_SRC_NUMBER, K::RadioButton, {116, 22, 28, 10}, "序号"},
    CtlTemplate{IDC_SRC_ADDRESS, K::RadioButton, {146, 22, 28, 10}, "网址"},
    CtlTemplate{kIdStatic, K::Static, {178, 23, 17, 8}, "后缀"},
    CtlTemplate{IDC_NAME_SUFFIX, K::Edit, {196, 20, 55, 14}, ""},
    CtlTemplate{kIdStatic, K::Static, {14, 44, 17, 8}, "替换"},
    CtlTemplate{IDC_REPLACE_FROM, K::Edit, {32, 41, 90, 14}, ""},
    CtlTemplate{kIdStatic, K::Static, {127, 44, 26, 8}, "替换为"},
    CtlTemplate{IDC_REPLACE_TO, K::Edit, {155, 41, 96, 14}, ""},
    CtlTemplate{kIdStatic, K::GroupBox, {7, 70, 251, 36}, "相册路径(相册名)"},
    CtlTemplate{kIdStatic, K::Static, {14, 86, 17, 8}, "前缀"},
    CtlTemplate{IDC_FOLDER_PREFIX, K::Edit, {32, 83, 50, 14}, ""},
    CtlTemplate{IDC_FOLDER_ALBUM, K::RadioButton, {86, 85, 36, 10}, "相册名"},
    CtlTemplate{IDC_FOLDER_NONE, K::RadioButton, {126, 85, 28, 10}, "无"},
    CtlTemplate{kIdStatic, K::Static, {178, 86, 17, 8}, "后缀"},
    CtlTemplate{IDC_FOLDER_SUFFIX, K::Edit, {196, 83, 55, 14}, ""},
    CtlTemplate{IDC_NAMING_HELP, K::Link, {10, 132, 50, 8}, "前后缀说明"},
    CtlTemplate{IDC_SET_OK, K::DefPushButton, {208, 130, 50, 14}, "确 定"},
};

constexpr std::array kDownSetControls{
    CtlTemplate{kIdStatic, K::GroupBox, {7, 7, 182, 100}, "下载参数设置"},
    CtlTemplate{kIdStatic, K::Static, {20, 24, 72, 8}, "线程数(1~15)："},
    CtlTemplate{IDC_DL_THREADS, K::Edit, {96, 21, 80, 14}, ""},
    CtlTemplate{kIdStatic, K::Static, {20, 45, 72, 8}, "超时(S, >=10)："},
    CtlTemplate{IDC_DL_TIMEOUT, K::Edit, {96, 42, 80, 14}, ""},
    CtlTemplate{kIdStatic, K::Static, {20, 66, 72, 8}, "图片最小值(K)："},
    CtlTemplate{IDC_DL_MINSIZE, K::Edit, {96, 63, 80, 14}, ""},
    CtlTemplate{kIdStatic, K::Static, {20, 87, 72, 8}, "图片最大值(K)："},
    CtlTemplate{IDC_DL_MAXSIZE, K::Edit, {96, 84, 80, 14}, ""},
    CtlTemplate{IDC_DL_BROWSER, K::CheckBox, {20, 113, 169, 10}, "用浏览器读取京东页面（可通过验证页）"},
    CtlTemplate{IDC_SET_OK, K::DefPushButton, {73, 131, 50, 14}, "确 定"},
};

// The browser (Custom) is made by the log-in dialog; the button's right edge
// and the address box's end follow the dialog's width when it is resized.
constexpr std::array kWebOpenControls{
    CtlTemplate{kIdStatic, K::Static, {4, 6, 24, 8}, "网址："},
    CtlTemplate{IDC_WEB_ADDRESS, K::Edit, {28, 3, 390, 14}, ""},
    CtlTemplate{IDC_WEB_OPEN, K::DefPushButton, {421, 3, 49, 14}, "打开"},
    CtlTemplate{IDC_WEB_BROWSER, K::Custom, {0, 20, 470, 361}, ""},
};

constexpr std::array kFindControls{
    CtlTemplate{kIdStatic, K::Static, {7, 3, 60, 8}, "相册搜索"},
    CtlTemplate{IDC_FIND_CLOSE, K::PushButton, {115, 1, 13, 11}, "×"},
    CtlTemplate{kIdStatic, K::Static, {7, 19, 28, 8}, "关键字:"},
    CtlTemplate{IDC_FIND_KEYWORD, K::Edit, {36, 16, 87, 13}, ""},
    CtlTemplate{IDC_FIND_MATCHCASE, K::CheckBox, {7, 35, 56, 10}, "区分大小写"},
    CtlTemplate{IDC_FIND_WHOLE, K::CheckBox, {67, 35, 56, 10}, "全字匹配"},
    CtlTemplate{IDC_FIND_PREV, K::PushButton, {19, 52, 45, 14}, "上一个"},
    CtlTemplate{IDC_FIND_NEXT, K::DefPushButton, {70, 52, 45, 14}, "下一个"},
};

const DlgTemplate kMain{102, "Ostrel京东商品图片批量下载助手", 471, 323, kMainControls};
const DlgTemplate kAbout{100, "关于", 210, 79, kAboutControls};
const DlgTemplate kSaveSet{130, "文件名设置", 265, 154, kSaveSetControls};
const DlgTemplate kDownSet{131, "下载参数设置", 196, 153, kDownSetControls};
const DlgTemplate kWebOpen{133, "登录成功后手动关闭对话框", 470, 381, kWebOpenControls};
const DlgTemplate kFind{704, "", 130, 71, kFindControls};

} // namespace

const DlgTemplate &MainDialogTemplate() { return kMain; }
const DlgTemplate &AboutDialogTemplate() { return kAbout; }
const DlgTemplate &SaveSetDialogTemplate() { return kSaveSet; }
const DlgTemplate &DownSetDialogTemplate() { return kDownSet; }
const DlgTemplate &WebOpenDialogTemplate() { return kWebOpen; }
const DlgTemplate &FindDialogTemplate() { return kFind; }
