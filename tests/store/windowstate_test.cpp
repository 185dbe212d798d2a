#include "store/windowstate.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace natalis;

namespace {

// That a window's state comes back at the next start is the main window's test; here the bytes
// as they are and a file from before the table.
TEST(WindowState, AFileFromBeforeTheTableGetsItAndTheBytesComeBackAsWritten)
{
    test::TempDatabase database;
    store::Connection connection = database.create();
    connection.exec("drop table windowstate");
    const QString geometry = QStringLiteral("frmGet.geometry");
    EXPECT_FALSE(store::readWindowState(connection, geometry));
    const QByteArray binary("\x01\x00\xff geometry", 12);
    ASSERT_TRUE(store::writeWindowState(connection, geometry, "first"));
    ASSERT_TRUE(store::writeWindowState(connection, geometry, binary));
    EXPECT_EQ(store::readWindowState(connection, geometry), binary);
}

} // namespace
