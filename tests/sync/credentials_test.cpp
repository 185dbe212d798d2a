// Run twice by ctest: inside a session bus with an unlocked keyring of its own, and with no
// session bus at all, where the store refuses rather than falling back to a plain file.
#include "sync/credentials.h"

#include <QThread>
#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

TEST(Keyring, KeepsThePasswordOfEachAccount)
{
    KeychainPasswordStore store;
    QString error;
    ASSERT_TRUE(
        store.write(QStringLiteral("alice@dav.example.com"), QStringLiteral("密码 1"), &error))
        << error.toStdString();
    ASSERT_TRUE(
        store.write(QStringLiteral("bob@dav.example.com"), QStringLiteral("other"), &error));
    // The sync reads it on its worker thread.
    std::optional<QString> read;
    QThread *worker = QThread::create([&] {
        read = KeychainPasswordStore().read(QStringLiteral("alice@dav.example.com"), nullptr);
    });
    worker->start();
    worker->wait();
    delete worker;
    EXPECT_EQ(read, QStringLiteral("密码 1"));
    EXPECT_EQ(store.read(QStringLiteral("carol@dav.example.com"), &error), std::nullopt);
    EXPECT_FALSE(error.isEmpty());
}

TEST(NoKeyring, RefusesInsteadOfWritingAPlainFile)
{
    KeychainPasswordStore store;
    QString error;
    EXPECT_FALSE(store.write(QStringLiteral("alice@dav.example.com"), QStringLiteral("x"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(store.read(QStringLiteral("alice@dav.example.com"), &error), std::nullopt);
}

} // namespace
} // namespace natalis::sync
