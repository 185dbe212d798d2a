#include "store/windowstate.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis;

namespace {

TEST(WindowState, StoredValuesComeBackAndReplaceEarlierOnes)
{
    test::TempDatabase database;
    store::Connection connection = database.create();
    EXPECT_FALSE(store::readWindowState(connection, QStringLiteral("frmGet.geometry")));
    const QByteArray binary("\x01\x00\xff geometry", 12);
    ASSERT_TRUE(store::writeWindowState(connection, QStringLiteral("frmGet.geometry"), binary));
    ASSERT_TRUE(store::writeWindowState(connection, QStringLiteral("frmGet.columns0"), "widths"));
    EXPECT_EQ(store::readWindowState(connection, QStringLiteral("frmGet.geometry")), binary);
    ASSERT_TRUE(store::writeWindowState(connection, QStringLiteral("frmGet.geometry"), "again"));
    EXPECT_EQ(
        store::readWindowState(connection, QStringLiteral("frmGet.geometry")), QByteArray("again"));
}

TEST(WindowState, AFileFromBeforeTheTableGetsItOnTheFirstWrite)
{
    test::TempDatabase database;
    store::Connection connection = database.create();
    connection.exec("drop table windowstate");
    EXPECT_FALSE(store::readWindowState(connection, QStringLiteral("frmGet.geometry")))
        << "a missing table reads as nothing remembered";
    ASSERT_TRUE(store::writeWindowState(connection, QStringLiteral("frmGet.geometry"), "g"));
    EXPECT_EQ(
        store::readWindowState(connection, QStringLiteral("frmGet.geometry")), QByteArray("g"));
}

} // namespace
