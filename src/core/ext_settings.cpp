#include "core/ext_settings.h"

#include "util/ini.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdint>

namespace {

uint8_t EncodingChoice(const QString &value)
{
    // First prefix that matches wins; the numbers are GetResponseText flags.
    if (value.startsWith(QStringLiteral("UTF8")))
        return 2;
    if (value.startsWith(QStringLiteral("ANSI")))
        return 0;
    if (value.startsWith(QStringLiteral("AUTO")))
        return 16;
    if (value.startsWith(QStringLiteral("BIG5")))
        return 8;
    return 0;
}

// The price adjustment is the one signed value: a leading minus lowers the
// price, where the unsigned reading of the other keys gives 0.
int32_t PriceAdjust(QString value)
{
    value = value.left(64).trimmed();
    const bool bMinus = value.startsWith(u'-');
    qsizetype i = bMinus ? 1 : 0;
    int64_t n = 0;
    for (; i < value.size() && value[i] >= u'0' && value[i] <= u'9' && n <= INT32_MAX; ++i)
        n = n * 10 + (value[i].unicode() - u'0');
    n = std::min<int64_t>(n, INT32_MAX);
    return int32_t(bMinus ? -n : n);
}

} // namespace

ExtSettings LoadExtSettings(const QString &programFolder)
{
    ExtSettings e;
    QString path = programFolder;
    if (!path.isEmpty() && !path.endsWith(u'/'))
        path += u'/';
    path += EXT_SETTINGS_FILE_NAME;
    if (!QFileInfo(path).isFile())
        return e;

    const CIni ini(path);
    const QString qzone = QStringLiteral("QQ空间");
    e.bQzoneV2Encoding = EncodingChoice(ini.GetString(qzone, QStringLiteral("V2编码"), QStringLiteral("ANSI")));
    e.bQzoneV3Encoding = EncodingChoice(ini.GetString(qzone, QStringLiteral("V3编码"), QStringLiteral("ANSI")));
    e.bQzoneOriginalName = uint8_t(ini.GetInt(qzone, QStringLiteral("取原始名方式"), 1));
    const QString taobao = QStringLiteral("淘宝");
    e.bTaobaoPriceInName =
        ini.GetString(taobao, QStringLiteral("图片名中是否有价格"), QStringLiteral("无")).startsWith(u'有') ? 1 : 0;
    e.nTaobaoPriceAdjust = PriceAdjust(ini.GetString(taobao, QStringLiteral("价格增减")));
    e.bInstagramPictureMethod = uint8_t(ini.GetInt(QStringLiteral("Instagram"), QStringLiteral("图片获取方式"), 1));
    e.bJdPictureMethod = uint8_t(ini.GetInt(QStringLiteral("京东"), QStringLiteral("图片获取方式"), 1));
    e.bJdDescriptionPictures =
        uint8_t(ini.GetInt(QStringLiteral("京东"), QStringLiteral("下载描述图片"), JD_DESC_NONE));
    e.bJdBrowserPages = ini.GetInt(QStringLiteral("京东"), JD_BROWSER_PAGES_KEY, 0) == 1 ? 1 : 0;
    return e;
}
