#include "ui/download_values_check.h"

namespace {

struct Field
{
    const QString &text;
    const char16_t *name;
    long long lowest;
    long long highest;
    const char16_t *unit;
};

} // namespace

QString DownloadValuesProblem(const QString &threads, const QString &timeout, const QString &minSize,
                              const QString &maxSize)
{
    const Field fields[] = {
        {threads, u"线程数", 1, 15, u""},
        {timeout, u"超时", 10, 0xFFFF, u" 秒"},
        {minSize, u"图片最小值", 0, 0xFFFF, u" K"},
        {maxSize, u"图片最大值", 0, 0xFFFF, u" K"},
    };
    for (const Field &f : fields) {
        bool ok = false;
        const long long value = f.text.trimmed().toLongLong(&ok);
        if (!ok || value < f.lowest || value > f.highest)
            return QStringLiteral("%1须为 %2~%3%4")
                .arg(QString::fromUtf16(f.name))
                .arg(f.lowest)
                .arg(f.highest)
                .arg(QString::fromUtf16(f.unit));
    }
    return {};
}
