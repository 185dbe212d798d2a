#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace natalis::store {

// The program's one "ANSI" code page: the system's on Windows, GB18030 (a superset of GBK)
// elsewhere. Text files are read and written in it, and every length limit the user is told in
// "个字符(1个汉字算2个字符)" is counted in its bytes.

QByteArray ToAnsi(QStringView text);
QString FromAnsi(QByteArrayView bytes);

// Bytes of text in the ANSI code page: 1 for ASCII, 2 for a Chinese character.
qsizetype AnsiByteLength(QStringView text);

} // namespace natalis::store
