#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

// The persisted settings, stored whole in "soft.dat" (19808 bytes,
// little-endian, field by field; see SerializeSettings).

inline constexpr int SITE_COUNT = 24;
inline constexpr int SITE_YUPOO = 7;
inline constexpr int SITE_51 = 8;
inline constexpr int SITE_TAOBAO = 11;
inline constexpr int SITE_JD = 16;
inline constexpr int SITE_INSTAGRAM = 17;

inline constexpr int HISTORY_COUNT = 5;
inline constexpr int HISTORY_CHARS = 400; // per entry, terminating zero included
inline constexpr int NAMING_CHARS = 40;   // per naming text, terminating zero included

inline constexpr int SOFTDAT_SIZE = 19808;
inline constexpr int DOWNLOADPARAMS_SIZE = 8;
inline constexpr int NAMINGRECORD_SIZE = 484;
inline constexpr int SOFTDAT_NAMING_OFFSET = 192;
inline constexpr int SOFTDAT_URLHISTORY_OFFSET = 11808;
inline constexpr int SOFTDAT_SAVEHISTORY_OFFSET = 15808;

inline const QString SOFTDAT_FILE_NAME = QStringLiteral("soft.dat");

// NamingFlags bits (the menu switches), per site entry.
enum NamingFlags : uint16_t {
    FixFormat = 0x0001,
    FixOrder = 0x0002,
    OriginalNameFile = 0x0004,
    ThunderListOnly = 0x0008,
    OpenFolderWhenDone = 0x0010,
    MainPicturesOnly = 0x0020,
    SkipDownloaded = 0x0040,
    YupooBigPictures = 0x0080,
    DescriptionPicturesOnly = 0x0100,
};

// 8 bytes: four unsigned 16-bit values in this order.
struct DownloadParams
{
    uint16_t wMinKB = 0;      // smallest picture size in KB, 0 = none
    uint16_t wMaxKB = 0;      // largest picture size in KB, 0 = none
    uint16_t wThreads = 0;    // 1..15
    uint16_t wTimeoutSec = 0; // at least 10

    bool operator==(const DownloadParams &) const = default;
};

// 484 bytes: six texts of 40 UTF-16 units (at most 39 characters each), the
// flag word and the two naming choices.
struct NamingRecord
{
    QString strFilePrefix;   // offset 0
    QString strFileSuffix;   // 80
    QString strReplaceWhat;  // 160, several separated by "|"
    QString strReplaceWith;  // 240
    QString strFolderPrefix; // 320
    QString strFolderSuffix; // 400
    uint16_t wFlags = 0;            // 480, NamingFlags
    uint8_t nFileNameSource = 0;    // 482: 0 "描述", 1 "序号", 2 "网址"
    uint8_t nFolderSource = 0;      // 483: 0 "相册名", 1 "无"

    bool operator==(const NamingRecord &) const = default;
};

using HistoryList = std::array<QString, HISTORY_COUNT>; // entry 0 newest

struct SoftSettings
{
    std::array<DownloadParams, SITE_COUNT> arrDownload{}; // offset 0, by SiteKind
    std::array<NamingRecord, SITE_COUNT> arrNaming{};     // offset 192, by SiteKind
    HistoryList arrUrlHistory{};                          // offset 11808
    HistoryList arrSavePathHistory{};                     // offset 15808

    bool operator==(const SoftSettings &) const = default;
};

// Exactly SOFTDAT_SIZE bytes.  Texts longer than their field are cut so that
// the terminating zero always fits.
QByteArray SerializeSettings(const SoftSettings &s);
// Reads what there is (a shorter buffer leaves the rest zero, bytes past
// SOFTDAT_SIZE are ignored).  Every text ends at its first zero or at its
// field's end.  No repair is done here.
SoftSettings DeserializeSettings(const QByteArray &data);

// Thread count 0 or above 15 becomes 5, a time-out below 10 becomes 30.
void RepairSettings(SoftSettings &s);
// The switches and names a first start gives every site entry.
void ApplyFirstRunDefaults(SoftSettings &s);

// Reads `programFolder` + "soft.dat" (up to 19808 bytes), repairs it, applies
// the first-run defaults when the file did not exist, and saves it back.
// Returns true when the file existed.
bool LoadSettings(SoftSettings &s, const QString &programFolder);
// Replaces `programFolder` + "soft.dat" atomically.  Returns false when it
// could not be written; the settings then live on in memory only.
bool SaveSettings(const SoftSettings &s, const QString &programFolder);

// Puts `text` at the top of a history list, shifting the others down.
// Refused (0) when the text has 400 or more characters or equals, ignoring
// case, one of the five entries; 1 when inserted.
int PushHistory(HistoryList &list, const QString &text);
