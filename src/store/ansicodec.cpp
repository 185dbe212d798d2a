#include "ansicodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace natalis::store {

namespace {

// Qt's converters reach GB18030 through ICU; the system code page is only meaningful on Windows.
#ifdef Q_OS_WIN
QStringEncoder encoder()
{
    return QStringEncoder(QStringConverter::System);
}
QStringDecoder decoder()
{
    return QStringDecoder(QStringConverter::System);
}
#else
QStringEncoder encoder()
{
    return QStringEncoder("GB18030");
}
QStringDecoder decoder()
{
    return QStringDecoder("GB18030");
}
#endif

} // namespace

QByteArray ToAnsi(QStringView text)
{
    QStringEncoder toAnsi = encoder();
    return toAnsi.encode(text);
}

QString FromAnsi(QByteArrayView bytes)
{
    QStringDecoder fromAnsi = decoder();
    return fromAnsi.decode(bytes);
}

qsizetype AnsiByteLength(QStringView text)
{
    // Most texts are plain ASCII; they need no conversion to be measured.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    return ascii ? text.size() : ToAnsi(text).size();
}

} // namespace natalis::store
