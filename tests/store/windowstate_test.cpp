#include "store/windowstate.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis;

namespace {

TEST(WindowState, StoredValuesComeBackAndAFileFromBeforeTheTableGetsIt)
{
    test::TempDatabase database;
    store::Connection connection = database.create();
    const QString geometry = QStringLiteral("frmGet.geometry");
    EXPECT_FALSE(store::readWindowState(connection, geometry));
    const QByteArray binary("\x01\x00\xff geometry", 12);
    ASSERT_TRUE(store::writeWindowState(connection, geometry, binary));
    ASSERT_TRUE(store::writeWindowState(connection, QStringLiteral("frmGet.columns0"), "widths"));
    EXPECT_EQ(store::readWindowState(connection, geometry), binary);
    ASSERT_TRUE(store::writeWindowState(connection, geometry, "again"));
    EXPECT_EQ(store::readWindowState(connection, geometry), QByteArray("again"));

    connection.exec("drop table windowstate");
    EXPECT_FALSE(store::readWindowState(connection, geometry));
    ASSERT_TRUE(store::writeWindowState(connection, geometry, "g"));
    EXPECT_EQ(store::readWindowState(connection, geometry), QByteArray("g"));
}

} // namespace
