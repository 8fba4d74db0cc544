#pragma once

// A host that records what the jobs tell the window, for the engine tests.

#include "engine/engine_state.h"
#include "engine/job_host.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <mutex>
#include <vector>

class CTestHost : public IJobHost
{
public:
    explicit CTestHost(CEngineState &state) : m_state(state) {}

    QString address;
    QString savePath;
    bool bSelectAllOnList = false; // rows chosen without SelectAllRows
    int listType = -1;

    void ShowMessage(const QString &text) override { Add(m_messages, text); }
    void SetControlText(int nCtrl, const QString &text) override
    {
        if (nCtrl == 1006)
            SetStatus2(text);
    }
    void DownloadFinished(int64_t nElapsedSec, int nCount) override
    {
        std::lock_guard lock(m_mtx);
        m_finished.push_back({nElapsedSec, nCount});
    }
    void SetStatus1(const QString &text) override { Add(m_status1, text); }
    void SetStatus2(const QString &text) override { Add(m_status2, text); }
    void SetListCaption(const QString &text) override { Add(m_captions, text); }
    void ShowListRunningLook() override { Add(m_looks, QStringLiteral("list-running")); }
    void ShowListIdleLook(int n) override { Add(m_looks, QStringLiteral("list-idle %1").arg(n)); }
    void ShowDownloadRunningLook() override { Add(m_looks, QStringLiteral("download-running")); }
    void ShowDownloadIdleLook() override { Add(m_looks, QStringLiteral("download-idle")); }
    void ResetAlbumGrid() override
    {
        std::lock_guard lock(m_mtx);
        m_rows.clear();
        m_bSelected = false;
    }
    void AddAlbumRow(int albumIndex) override
    {
        std::lock_guard lock(m_mtx);
        m_rows.push_back(albumIndex);
    }
    void RedrawAlbumGrid() override {}
    void SelectAllRows() override
    {
        std::lock_guard lock(m_mtx);
        m_bSelected = true;
    }
    std::vector<int> ChosenAlbums() override
    {
        std::lock_guard lock(m_mtx);
        if (!m_bSelected && !bSelectAllOnList)
            return {};
        std::vector<int> all;
        for (int i = 0; i < m_state.albums.Count(); ++i)
            all.push_back(i);
        return all;
    }
    QString AddressText() override { return address; }
    void AddAddressItem(const QString &text) override { Add(m_addressItems, text); }
    QString SavePathText() override { return savePath; }
    int ListTypeChoice() override { return listType; }
    void OpenFolder(const QString &folder) override { Add(m_opened, folder); }
    int ShowLoginPage(const QString &) override { return 0; }
    // Stands for the user in the log-in browser; none: no browser.
    std::function<bool(const QString &)> offerShopLogin;
    bool OfferShopLogin(const QString &address) override { return offerShopLogin && offerShopLogin(address); }

    QStringList Messages() const { return Get(m_messages); }
    QStringList Status1() const { return Get(m_status1); }
    QStringList Status2() const { return Get(m_status2); }
    QStringList Captions() const { return Get(m_captions); }
    QStringList Looks() const { return Get(m_looks); }
    QStringList Opened() const { return Get(m_opened); }
    // "index count state" for every album state the download job told.
    QStringList AlbumStates() const { return Get(m_albumStates); }
    void ShowAlbumState(int albumIndex, int nPicCount, const QString &state) override
    {
        Add(m_albumStates, QStringLiteral("%1 %2 %3").arg(albumIndex).arg(nPicCount).arg(state).trimmed());
    }
    QStringList AddressItems() const { return Get(m_addressItems); }
    std::vector<int> Rows() const
    {
        std::lock_guard lock(m_mtx);
        return m_rows;
    }
    std::vector<std::pair<int64_t, int>> Finished() const
    {
        std::lock_guard lock(m_mtx);
        return m_finished;
    }

private:
    void Add(QStringList &list, const QString &text)
    {
        std::lock_guard lock(m_mtx);
        list.append(text);
    }
    QStringList Get(const QStringList &list) const
    {
        std::lock_guard lock(m_mtx);
        return list;
    }

    CEngineState &m_state;
    mutable std::mutex m_mtx;
    QStringList m_messages, m_status1, m_status2, m_captions, m_looks, m_opened, m_addressItems, m_albumStates;
    std::vector<int> m_rows;
    std::vector<std::pair<int64_t, int>> m_finished;
    bool m_bSelected = false;
};
