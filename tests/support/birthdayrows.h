#pragma once

// Rows of table birthday in bulk, and what a database holds after a process was killed over it,
// for the tests of compaction, backups and restore.

#include "store/birthdays.h"
#include "store/connection.h"
#include "store/statement.h"
#include "store/transaction.h"
#include "support/birthdaybuilder.h"
#include "support/childprocess.h"

#include <QElapsedTimer>
#include <functional>
#include <gtest/gtest.h>

namespace natalis::test {

// Adds birthdays of category 朋友 named prefix0, prefix1 …, with a remark, in one transaction.
inline QList<qint32> addBirthdays(
    store::Connection &db, int rows, const QString &prefix = QStringLiteral("友"))
{
    store::Transaction transaction(db);
    store::BirthdayRecord record;
    record.Type = QStringLiteral("朋友");
    record.Beizhu = QString(50, u'备');
    QList<qint32> ids;
    for (int i = 0; i < rows; ++i) {
        record.About = prefix + QString::number(i);
        ids << store::AddBirthToMdb(db, record, test::EnteredAt);
    }
    transaction.commit();
    return ids;
}

// The rows of table birthday of the database at path, or -1 when it does not open under the key
// or fails the engine's integrity check.
inline int soundBirthdayCount(const QString &path)
{
    auto db = store::Connection::open(path, store::Connection::OpenMode::ExistingOnly);
    if (!db)
        return -1;
    store::Statement check = db->prepare("PRAGMA integrity_check");
    if (!check.step() || check.text(0) != u"ok")
        return -1;
    store::Statement rows = db->prepare("select count(*) from birthday");
    return rows.step() ? int(rows.integer(0)) : -1;
}

// Runs run over and over in a child process and kills it (SIGKILL) at fixed moments: shares of
// the time one run takes on this machine, measured first in this process, so that the kills
// land in every phase of the work however fast the machine is. afterKill checks what was left.
inline void killAtEveryPhase(
    const std::function<void()> &run, const std::function<void()> &afterKill)
{
    QElapsedTimer timer;
    timer.start();
    run();
    const qint64 oneRunUs = qMax<qint64>(timer.nsecsElapsed() / 1000, 1000);
    for (const double share : { 0.02, 0.15, 0.3, 0.45, 0.6, 0.75, 0.9, 1.05, 1.5 }) {
        SCOPED_TRACE(
            testing::Message() << "killed at " << share << " of one run (" << oneRunUs << " µs)");
        ChildProcess child([&] {
            ChildProcess::signalReady();
            for (;;)
                run();
            return 0;
        });
        ASSERT_TRUE(child.waitReady());
        ::usleep(useconds_t(double(oneRunUs) * share));
        child.kill();
        afterKill();
    }
}

} // namespace natalis::test
