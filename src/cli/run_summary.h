#pragma once

#include <QString>

#include <cstdint>

class CEngineState;

// What one address of an ostrel-cli run came to.
struct AddressOutcome
{
    bool bOneAlbum = false;  // the list job found the product's album
    uint32_t nCollected = 0; // pictures collected for download (or listing)
    uint32_t nSaved = 0;     // written to their files
    uint32_t nFailed = 0;    // tried and not written
    uint32_t nSkipped = 0;   // listed only, found downloaded earlier, or left by a stop
    uint32_t nUpToDate = 0;  // albums "不下载以前下载过的图片" found complete
};

// Clears the job counts before the next address.
void ResetJobCounts(CEngineState &state);
// The counts of the address just run.
AddressOutcome TakeOutcome(const CEngineState &state);
// True when every collected picture was saved (or listed), or the album was
// found complete: exit status 0 for this address.
bool Succeeded(const AddressOutcome &o);
// "汇总: 已保存 3, 失败 1, 跳过 0 (address)"
QString SummaryLine(const QString &address, const AddressOutcome &o);
