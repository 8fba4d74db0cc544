// soft.dat of any content: loading never fails, and what one load saved
// loads back to the very same settings and bytes.

#include "fuzz_support.h"

#include "core/soft_settings.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString folder = fuzz::FreshFolder(QStringLiteral("soft"));
    {
        QFile f(folder + SOFTDAT_FILE_NAME);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    SoftSettings first;
    FUZZ_CHECK(LoadSettings(first, folder));
    QFile f(folder + SOFTDAT_FILE_NAME);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    const QByteArray saved = f.readAll();
    f.close();
    FUZZ_CHECK(saved.size() == SOFTDAT_SIZE);
    FUZZ_CHECK(saved == SerializeSettings(first));

    SoftSettings second;
    FUZZ_CHECK(LoadSettings(second, folder));
    FUZZ_CHECK(second == first);
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    FUZZ_CHECK(f.readAll() == saved);
    return 0;
}
