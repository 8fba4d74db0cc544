// 下载器扩展设置.ini of any content (any encoding, any line shape): the
// reader and the extension settings built on it never fail, and a lookup
// gives the same answer every time.  The first line of the input names the
// section and key looked up ("section=key"); the rest is the file.

#include "fuzz_support.h"

#include "core/ext_settings.h"
#include "util/ini.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray all(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype eol = all.indexOf('\n');
    const QByteArray lookup = eol < 0 ? QByteArray() : all.left(eol);
    const QByteArray file = eol < 0 ? all : all.mid(eol + 1);
    const qsizetype eq = lookup.indexOf('=');
    const QString section = QString::fromUtf8(eq < 0 ? lookup : lookup.left(eq));
    const QString key = eq < 0 ? QStringLiteral("图片获取方式") : QString::fromUtf8(lookup.mid(eq + 1));

    const QString folder = fuzz::FreshFolder(QStringLiteral("ini"));
    const QString path = folder + EXT_SETTINGS_FILE_NAME;
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly));
        f.write(file);
    }
    const CIni ini(path);
    const QString value = ini.GetString(section, key, QStringLiteral("<none>"));
    FUZZ_CHECK(ini.GetString(section, key, QStringLiteral("<none>")) == value);
    // A value is the rest of one line.
    FUZZ_CHECK(!value.contains(u'\n'));
    (void)ini.GetInt(section, key, 7);
    FUZZ_CHECK(LoadExtSettings(folder) == LoadExtSettings(folder));
    return 0;
}
