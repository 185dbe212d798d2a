#include "session/unopenedcause.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sqlcipher/sqlite3.h>

using namespace Qt::StringLiterals;

namespace natalis::session {

namespace {

// Our files are made of whole pages of this many bytes (store/cipher.h).
constexpr qint64 PageBytes = 1024;

// A keyed page is random bytes, of which one in ten is a control character: text (UTF-8 or GBK)
// has none but the line and tab ones.
bool isText(const QByteArray &head)
{
    return std::none_of(head.begin(), head.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
}

// What another program's file begins with, by what the user would call that program's file.
QString foreignKind(const QByteArray &head)
{
    if (head.startsWith("SQLite format 3"))
        return u"未加密的SQLite数据库"_s;
    // The old program's Access files, which users still have under the same name.
    if (head.left(32).contains("Standard Jet DB") || head.left(32).contains("Standard ACE DB"))
        return u"Access数据库"_s;
    if (isText(head))
        return u"文本文件"_s;
    return {};
}

} // namespace

QString unopenedCause(const QString &dbPath, const store::DbError &error)
{
    const QFileInfo info(dbPath);
    if (info.exists() && !info.isFile())
        return u"不是文件"_s;
    if (info.size() == 0)
        return u"文件是空的"_s;
    QFile file(dbPath);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QString foreign = foreignKind(file.read(PageBytes));
    if (!foreign.isEmpty())
        return u"不是本程序的数据库(%1)"_s.arg(foreign);
    if (info.size() % PageBytes != 0)
        return u"文件已损坏(文件不完整)"_s;
    // The engine cannot tell a damaged first page from another key: both fail its check.
    if ((error.number & 0xff) == SQLITE_NOTADB)
        return u"文件已损坏,或不是用本程序的密钥加密的"_s;
    if (store::isDamage(error))
        return u"文件已损坏"_s;
    return error.description;
}

} // namespace natalis::session
