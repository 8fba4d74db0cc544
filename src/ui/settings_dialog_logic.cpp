#include "ui/settings_dialog_logic.h"

#include "ostrel_version.h"

#include <climits>
#include <cstdint>

std::uint16_t ReadDialogUInt16(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    std::int64_t value = 0;
    for (; i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1)
            value = static_cast<std::int64_t>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        value = INT_MAX;
    if (value < INT_MIN)
        value = INT_MIN;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) & 0xFFFFu);
}

std::optional<DownloadValues> ReadDownloadValues(const QString &threads, const QString &timeout,
                                                 const QString &minSize, const QString &maxSize)
{
    DownloadValues v;
    v.threads = ReadDialogUInt16(threads);
    v.timeoutSeconds = ReadDialogUInt16(timeout);
    v.minSizeKB = ReadDialogUInt16(minSize);
    v.maxSizeKB = ReadDialogUInt16(maxSize);
    if (v.threads < 1 || v.threads > 15 || v.timeoutSeconds < 10)
        return std::nullopt;
    return v;
}

QString CutNamingText(const QString &text)
{
    if (text.size() <= kNamingTextMax)
        return text;
    QString cut = text.left(kNamingTextMax);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

QString NamingHelpText()
{
    return QStringLiteral("设置前后缀，可以在图片本来的文件名前后加上指定的字符\n如：图片本来的文件名为：zvk.jpg，如果前缀为空，后缀为_com\n则最后图片名将变为zvk_com.jpg\n")
         + QStringLiteral("如果前缀为www_，后缀为_com\n则最后图片名将变为www_zvk_com.jpg\n")
         + QStringLiteral("相册名那里前后缀一样\n同时，支持转义字符，当前后缀中含有转义字符时，程序会将转义字符转换为转义字符所表示的字符串\n")
         + QStringLiteral("转义字符如下（问号为英文的问号，相册名的转义字符只支持?1,?3,?9）：\n")
         + QStringLiteral("?1:相册名称\n?2:图片在相册中的序号\n?3:相册在列表中的序号(格式为：1,2,3...)\n?4:未定义\n?5:未定义\n?6:选中的相册数\n?7:总共的相册数(选中的+未选中的)\n?9:相册在列表中的序号(格式为：0001,0002,0003...)");
}

QString VersionLine()
{
    return QStringLiteral("版本号：") + QString::fromUtf8(kOstrelVersion);
}
