#include "cli/cli_host.h"

#include "cli/cli_progress.h"
#include "engine/engine_state.h"
#include "util/text_utils.h"

#include <cstdio>

namespace {

constexpr int kGridNameChars = 80;

// One field of the picture listing: never a tab or a line end inside, so a
// page can add no row of its own.  An address keeps its meaning escaped; a
// path shows '?' where the file system holds such a character.
QString ListingField(const QString &text, bool bAddress)
{
    QString field;
    field.reserve(text.size());
    for (const QChar c : text) {
        if (!IsControlCharacter(c))
            field += c;
        else if (bAddress && c.unicode() < 0x100)
            field += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QChar(u'0')).toUpper();
        else
            field += u'?';
    }
    return field;
}

// The first `nMax` UTF-16 units at most, never half of a character.
void CutAtWholeCharacter(QString &text, qsizetype nMax)
{
    if (text.size() <= nMax)
        return;
    if (nMax > 0 && text[nMax - 1].isHighSurrogate() && text[nMax].isLowSurrogate())
        --nMax;
    text.truncate(nMax);
}

void Write(FILE *out, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

} // namespace

void CCliHost::EndProgressLine()
{
    if (m_bProgressOpen)
        Write(stdout, QStringLiteral("\n"));
    m_bProgressOpen = false;
}

void CCliHost::Print(const QString &text, bool bProgress)
{
    if (text.isEmpty() || !m_bStatusLines || (bProgress && !m_bTerminal))
        return;
    std::lock_guard lock(m_mtx);
    if (bProgress) {
        Write(stdout, QStringLiteral("\r") + text + QStringLiteral("\x1b[K"));
        m_bProgressOpen = true;
    } else {
        EndProgressLine();
        Write(stdout, text + u'\n');
    }
    std::fflush(stdout);
}

void CCliHost::ListPictures(const ST_DOWNJOB &job)
{
    std::lock_guard lock(m_mtx);
    EndProgressLine();
    for (int i = 0; i < job.Count(); ++i) {
        // An alternative address after CR LF is only a fall-back.
        const QString url = job.arrUrl[i].section(QStringLiteral("\r\n"), 0, 0);
        Write(stdout, ListingField(url, true) + u'\t' + ListingField(job.FullPath(i), false) + u'\n');
    }
    std::fflush(stdout);
}

void CCliHost::PrintSummary(const QString &text)
{
    if (m_bStatusLines) {
        Print(text, false);
        return;
    }
    ShowMessage(text);
}

void CCliHost::ShowMessage(const QString &text)
{
    std::lock_guard lock(m_mtx);
    EndProgressLine();
    std::fflush(stdout);
    Write(stderr, text + u'\n');
    std::fflush(stderr);
}

void CCliHost::SetStatus2(const QString &text)
{
    if (text == QStringLiteral("已开始下载图片")) {
        std::lock_guard lock(m_mtx);
        m_downloadStarted = std::chrono::steady_clock::now();
    }
    if (text.startsWith(QStringLiteral("已下载"))) {
        std::chrono::steady_clock::time_point started;
        {
            std::lock_guard lock(m_mtx);
            started = m_downloadStarted;
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started);
        Print(ProgressLine(text, m_state.pics.nBytesDone.load(), elapsed.count()), true);
        return;
    }
    Print(text, text.startsWith(QStringLiteral("已获取到")) || text == QStringLiteral("......"));
}

void CCliHost::SetControlText(int nCtrl, const QString &text)
{
    if (nCtrl == 1006)
        SetStatus2(text);
}

void CCliHost::DownloadFinished(int64_t, int)
{
    std::lock_guard lock(m_mtx);
    EndProgressLine();
    std::fflush(stdout);
}

void CCliHost::AddAlbumRow(int albumIndex)
{
    // Long names are cut as the grid cuts them, for folders and files too.
    m_state.albums.UpdateAlbum(albumIndex, [](ST_PERLISTRECORD &rec) { CutAtWholeCharacter(rec.strName, kGridNameChars); });
    const ST_PERLISTRECORD rec = m_state.albums.GetAlbum(albumIndex);
    Print(QStringLiteral("%1 %2").arg(albumIndex + 1, 4, 10, QChar(u'0')).arg(rec.strName), false);
}

std::vector<int> CCliHost::ChosenAlbums()
{
    std::vector<int> chosen;
    if (m_bAllSelected)
        for (int i = 0; i < m_state.albums.Count(); ++i)
            chosen.push_back(i);
    return chosen;
}
