#include "app/dblocation.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::app {
namespace {

struct LocationCase
{
    const char *situation;
    QString appFolder;
    bool writable;
    QString expected;
};

const LocationCase LocationCases[] = {
    { "program folder", u"/opt/natalis"_s, true, u"/opt/natalis/natalis.mdb"_s },
    { "folder given with a trailing separator", u"/opt/natalis/"_s, true,
        u"/opt/natalis/natalis.mdb"_s },
    { "root folder", u"/"_s, true, u"/natalis.mdb"_s },
    { "read-only program folder", u"/usr/bin"_s, false,
        u"/home/u/.local/share/natalis/natalis.mdb"_s },
};

class DefaultDbPathTest : public testing::TestWithParam<LocationCase>
{
};

TEST_P(DefaultDbPathTest, HasOneSeparatorBeforeTheName)
{
    EXPECT_EQ(
        defaultDbPath(GetParam().appFolder, GetParam().writable, u"/home/u/.local/share/natalis"_s),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, DefaultDbPathTest, testing::ValuesIn(LocationCases), test::BySituation());

} // namespace
} // namespace natalis::app
