#include "core/records.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// The list job adds while the window reads rows.
TEST(AlbumListThreads, ReadersSeeWholeRecordsWhileTheListGrows)
{
    CAlbumList list;
    constexpr int kCount = 300;
    std::thread writer([&] {
        for (int i = 0; i < kCount; ++i) {
            ST_PERLISTRECORD r;
            r.strName = QStringLiteral("album");
            r.strUrl = QStringLiteral("u%1").arg(i);
            list.AddAlbum(r);
        }
    });
    int seen = 0;
    while (seen < kCount) {
        const int n = list.Count();
        for (; seen < n; ++seen) {
            const ST_PERLISTRECORD r = list.GetAlbum(seen);
            ASSERT_EQ(r.nListIndex, seen);
            ASSERT_EQ(r.strUrl, QStringLiteral("u%1").arg(seen));
            list.UpdateAlbum(seen, [](ST_PERLISTRECORD &rec) { rec.nThumbIndex = rec.nListIndex; });
        }
    }
    writer.join();
    EXPECT_EQ(list.GetAlbum(kCount - 1).strName, QStringLiteral("album (%1)").arg(kCount - 1));
    EXPECT_EQ(list.GetAlbum(kCount - 1).nThumbIndex, kCount - 1);
}

} // namespace
