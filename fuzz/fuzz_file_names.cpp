// Names of any content: MakeSafeFileName gives a name a folder can hold, and
// AddPicture puts every picture inside the album folder under a name of one
// path component of at most 255 bytes.  Input parts: switches (file-name
// source, folder source, naming flags), the picture's name (UTF-16 units),
// its address, the album title, then the six naming texts of the settings
// (file prefix, file suffix, replace what, replace with, folder prefix,
// folder suffix).

#include "job_checks.h"

#include "engine/engine_state.h"
#include "engine/picture_naming.h"
#include "engine/test_host.h"
#include "util/file_utils.h"

#include <QDir>
#include <QFile>

namespace {

void CheckCleanName(const QString &raw)
{
    QString name = raw;
    MakeSafeFileName(name, 0, false);
    FUZZ_CHECK(name.isEmpty() || fuzz::SafeComponent(name) || QFile::encodeName(name).size() > 255);
    FUZZ_CHECK(!name.startsWith(u'.') && !name.endsWith(u'.'));
    QString withFallback = raw;
    MakeSafeFileName(withFallback, 3, true);
    FUZZ_CHECK(!withFallback.isEmpty() && !withFallback.contains(u'/') && withFallback != u"..");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QList<QByteArray> parts = fuzz::Parts(data, size);
    auto part = [&](qsizetype i) { return i < parts.size() ? parts[i] : QByteArray(); };
    auto setting = [&](qsizetype i) { return QString::fromUtf8(part(i)).left(NAMING_CHARS - 1); };
    const QByteArray switches = part(0);
    auto sw = [&](qsizetype i) { return i < switches.size() ? uchar(switches[i]) : uchar(0); };

    const QString name = fuzz::Utf16Units(part(1));
    CheckCleanName(name);

    CEngineState state;
    CTestHost host(state);
    state.SiteKind = SITE_JD;
    NamingRecord &rec = state.settings.arrNaming[SITE_JD];
    rec.nFileNameSource = sw(0) % 3;
    rec.nFolderSource = sw(1) & 1;
    rec.wFlags = uint16_t(sw(2) & (OriginalNameFile | SkipDownloaded));
    rec.strFilePrefix = setting(4);
    rec.strFileSuffix = setting(5);
    rec.strReplaceWhat = setting(6);
    rec.strReplaceWith = setting(7);
    rec.strFolderPrefix = setting(8);
    rec.strFolderSuffix = setting(9);

    ST_PERLISTRECORD album;
    album.strName = fuzz::Utf16Units(part(3));
    album.strUrl = QStringLiteral("http://item.jd.com/1.html");
    state.albums.AddAlbum(album);

    const QString jobFolder = fuzz::FreshFolder(QStringLiteral("names"));
    state.job.strFolder = jobFolder;
    const QString url = QString::fromUtf8(part(2));
    // The same name twice: the second one goes through the collision rule.
    // As the page reader does, collection ends when SkipDownloaded says so.
    AddPicture(state, host, url, name, QString(), 0);
    if (state.DownloadJobState.load() != DOWN_SKIP_REST)
        AddPicture(state, host, url + u'2', name, QString(), 0);

    const ST_DOWNJOB &job = state.job;
    // An absolute name is the adapter's own choice and stays as given.
    fuzz::CheckInsideAlbum(job, jobFolder, !IsAbsoluteFileName(name));
    FUZZ_CHECK(job.Count() <= 2);
    if (job.Count() == 2)
        FUZZ_CHECK(job.arrFileName[0].compare(job.arrFileName[1], Qt::CaseInsensitive) != 0);
    if ((rec.wFlags & OriginalNameFile) && job.Count() > 0)
        FUZZ_CHECK(!QDir(job.strFolder).entryList({QStringLiteral("*.txt")}, QDir::Files).isEmpty());
    return 0;
}
