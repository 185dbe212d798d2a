#pragma once

// Compares a long output with the golden file that holds it, byte for byte. Run with
// NATALIS_UPDATE_GOLDEN=1 to write the file instead, then read its diff before committing it.

#include <QFile>
#include <QString>
#include <gtest/gtest.h>

namespace natalis::test {

inline void expectGolden(const QByteArray &actual, const QString &golden)
{
    if (qEnvironmentVariableIsSet("NATALIS_UPDATE_GOLDEN")) {
        QFile out(golden);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(actual) == actual.size());
        return;
    }
    QFile in(golden);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly)) << golden.toStdString();
    if (in.readAll() == actual)
        return;
    // Beside the build's other files, for `diff` against the golden one.
    const QString written = QStringLiteral("golden-actual-") + golden.section(u'/', -1);
    QFile out(written);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(actual);
    ADD_FAILURE() << "differs from " << golden.toStdString() << "; see " << written.toStdString();
}

} // namespace natalis::test
