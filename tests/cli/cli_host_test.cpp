// The headless host's own rules: album names cut as the grid cuts them.

#include "cli/cli_host.h"

#include "engine/engine_state.h"

#include <gtest/gtest.h>

namespace {

TEST(CliHost, LongAlbumNameIsCutAtAWholeCharacter)
{
    const QString a79(79, u'a');
    const QString smile = QString::fromUtf8("\xF0\x9F\x98\x80"); // two UTF-16 units
    const struct { QString name, cut; } cases[] = {
        {a79 + smile + QStringLiteral("bc"), a79},
        {a79 + QStringLiteral("b") + smile, a79 + QStringLiteral("b")},
        {a79.left(78) + smile, a79.left(78) + smile}, // 80 units: whole
        {QStringLiteral("保温杯"), QStringLiteral("保温杯")},
    };
    for (const auto &c : cases) {
        CEngineState state;
        CCliHost host(state, false, false);
        ST_PERLISTRECORD rec;
        rec.strName = c.name;
        state.albums.AddAlbum(rec);
        host.AddAlbumRow(0);
        EXPECT_EQ(state.albums.GetAlbum(0).strName, c.cut) << c.name.toStdString();
    }
}

} // namespace
