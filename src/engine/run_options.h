#pragma once

#include <cstdint>
#include <functional>
#include <optional>

struct ST_DOWNJOB;

// What a front end chooses for one run on top of soft.dat; never saved.  Set
// before the first job starts and left alone while jobs run.
struct RunOptions
{
    // Download settings in place of those of the site entry.
    std::optional<uint16_t> wThreads;
    std::optional<uint16_t> wTimeoutSec;
    std::optional<uint16_t> wMinKB;
    std::optional<uint16_t> wMaxKB;

    // When set, the download job only names: it hands each album's job object
    // here, with the addresses and paths a download would use, and makes no
    // folder, fetches no picture and writes no file.
    std::function<void(const ST_DOWNJOB &job)> listNamedPictures;

    // Product pages are read in the front end's browser, as the extension
    // setting "用浏览器读取页面" asks.
    bool bBrowserPages = false;

    bool NamesOnly() const { return bool(listNamedPictures); }
};
