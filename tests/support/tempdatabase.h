#pragma once

#include "store/connection.h"
#include "store/database.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

namespace natalis::test {

// A fresh folder for one test's database files, removed with the object.
class TempDatabase
{
public:
    TempDatabase() { EXPECT_TRUE(m_dir.isValid()); }

    QString folder() const { return m_dir.path(); }
    QString path(const QString &name = QStringLiteral("natalis.mdb")) const
    {
        return m_dir.filePath(name);
    }

    store::Connection create(const QString &name = QStringLiteral("natalis.mdb")) const
    {
        store::DbError error;
        auto connection = store::OpenBirthDb(path(name), &error);
        if (!connection)
            throw std::runtime_error(
                "cannot create test database: " + error.describe().toStdString());
        return std::move(*connection);
    }

    QByteArray bytes(const QString &name = QStringLiteral("natalis.mdb")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void write(const QString &name, const QByteArray &content) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

    // A file for the owner's eyes only, as a password file must be.
    void writePrivate(const QString &name, const QByteArray &content) const
    {
        write(name, content);
        QFile::setPermissions(path(name), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // Turns over bytes of the file's last page, which then no longer reads under the key while
    // the file still opens; returns the file's new bytes.
    QByteArray damageLastPage(const QString &name = QStringLiteral("natalis.mdb")) const
    {
        QByteArray content = bytes(name);
        for (qsizetype i = content.size() - 600; i < content.size() - 500; ++i)
            content[i] = char(~content[i]);
        write(name, content);
        return content;
    }

    bool exists(const QString &name) const { return QFile::exists(path(name)); }

    QStringList files() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }

private:
    QTemporaryDir m_dir;
};

} // namespace natalis::test
