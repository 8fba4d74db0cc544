#pragma once

#include <QString>
#include <cstdint>

// The hand-edited extension settings file in the program folder; read at the
// start of every list and download job, never written.
inline const QString EXT_SETTINGS_FILE_NAME = QStringLiteral("下载器扩展设置.ini");

struct ExtSettings
{
    uint8_t bQzoneV2Encoding = 0;   // "QQ空间" "V2编码": GetResponseText flags (UTF8 2, ANSI 0, AUTO 16, BIG5 8)
    uint8_t bQzoneV3Encoding = 0;   // "QQ空间" "V3编码"
    uint8_t bQzoneOriginalName = 1; // "QQ空间" "取原始名方式"
    uint8_t bTaobaoPriceInName = 0; // "淘宝" "图片名中是否有价格": 1 when the value begins with "有"
    int32_t nTaobaoPriceAdjust = 0; // "淘宝" "价格增减"
    uint8_t bInstagramPictureMethod = 1; // "Instagram" "图片获取方式"
    uint8_t bJdPictureMethod = 1;   // "京东" "图片获取方式": 1 visits every colour or version choice
    uint8_t bJdDescriptionPictures = 0; // "京东" "下载描述图片": JD_DESC_* below
    uint8_t bJdBrowserPages = 0;    // "京东" "用浏览器读取页面": 1 reads product pages in the browser

    bool operator==(const ExtSettings &) const = default;
};

// Values of "下载描述图片"; any other value counts as JD_DESC_NONE.
inline constexpr uint8_t JD_DESC_NONE = 0;       // main pictures only
inline constexpr uint8_t JD_DESC_AFTER_MAIN = 1; // main pictures, then the description's
inline constexpr uint8_t JD_DESC_ONLY = 2;       // the description's pictures alone

inline const QString JD_BROWSER_PAGES_KEY = QStringLiteral("用浏览器读取页面");

// Defaults, overridden by whatever `programFolder` + "下载器扩展设置.ini" says.
ExtSettings LoadExtSettings(const QString &programFolder);
