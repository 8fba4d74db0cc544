#pragma once

// What every naming path must give: the album folder is the job folder or one
// safe component below it, and (unless an adapter chose an absolute name)
// every picture is one safe component inside it.

#include "fuzz_support.h"

#include "core/records.h"

namespace fuzz {

inline void CheckInsideAlbum(const ST_DOWNJOB &job, const QString &jobFolder, bool bFileNamesToo)
{
    FUZZ_CHECK(job.arrUrl.size() == job.arrFileName.size());
    FUZZ_CHECK(job.strFolder.startsWith(jobFolder) && job.strFolder.endsWith(u'/'));
    const QString albumFolder = job.strFolder.mid(jobFolder.size());
    if (!albumFolder.isEmpty())
        FUZZ_CHECK(SafeComponent(albumFolder.chopped(1)));
    if (bFileNamesToo)
        for (const QString &file : job.arrFileName)
            FUZZ_CHECK(SafeComponent(file));
}

} // namespace fuzz
