#pragma once

#include "engine/job_host.h"

#include <atomic>
#include <chrono>
#include <mutex>

class CEngineState;
struct ST_DOWNJOB;

// The headless host: status lines go to standard output, progress as one
// updating line on a terminal only, notices to standard error.  The "grid"
// holds the albums of the current list job and is fully selected when the
// list job selects all rows.
class CCliHost final : public IJobHost
{
public:
    // Without `bStatusLines` (quiet, or a names-only run whose standard
    // output is the picture list) only notices are printed.
    CCliHost(CEngineState &state, bool bTerminal, bool bStatusLines = true)
        : m_state(state), m_bTerminal(bTerminal), m_bStatusLines(bStatusLines)
    {
    }

    void SetAddress(const QString &address) { m_address = address; }
    void SetSavePath(const QString &path) { m_savePath = path; }

    // One line per picture: its address and full path, tab-separated.
    void ListPictures(const ST_DOWNJOB &job);

    // The address's closing line: on standard output with the status
    // lines, else on standard error, so a picture listing stays clean.
    void PrintSummary(const QString &text);

    void ShowMessage(const QString &text) override;
    void SetControlText(int nCtrl, const QString &text) override;
    void DownloadFinished(int64_t nElapsedSec, int nCount) override;

    void SetStatus1(const QString &text) override { Print(text, false); }
    void SetStatus2(const QString &text) override;
    void SetListCaption(const QString &) override {}
    void ShowListRunningLook() override {}
    void ShowListIdleLook(int) override {}
    void ShowDownloadRunningLook() override {}
    void ShowDownloadIdleLook() override {}
    void ResetAlbumGrid() override { m_bAllSelected = false; }
    void AddAlbumRow(int albumIndex) override;
    void RedrawAlbumGrid() override {}
    void SelectAllRows() override { m_bAllSelected = true; }
    std::vector<int> ChosenAlbums() override;
    QString AddressText() override { return m_address; }
    void AddAddressItem(const QString &) override {}
    QString SavePathText() override { return m_savePath; }
    int ListTypeChoice() override { return -1; }
    void OpenFolder(const QString &) override {} // scripts open nothing
    int ShowLoginPage(const QString &) override { return 0; } // no browser without a window
    bool OfferShopLogin(const QString &) override { return false; }

private:
    void Print(const QString &text, bool bProgress);
    void EndProgressLine(); // with m_mtx held

    CEngineState &m_state;
    const bool m_bTerminal;
    const bool m_bStatusLines;
    QString m_address;
    QString m_savePath;
    std::atomic<bool> m_bAllSelected{false};
    std::mutex m_mtx;           // calls come from several job threads
    bool m_bProgressOpen = false; // a progress line waits for its line end
    std::chrono::steady_clock::time_point m_downloadStarted; // of the album's pictures
};
