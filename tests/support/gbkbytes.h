#pragma once

// GBK (CP936) bytes of a text, as a Chinese Windows writes its "ANSI" files.

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>

namespace natalis::test {

inline QByteArray gbk(QStringView text)
{
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

} // namespace natalis::test
