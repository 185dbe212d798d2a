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
void emplaceStrictDecoder(std::optional<QStringDecoder> &decoder)
{
    decoder.emplace(QStringConverter::System, QStringConverter::Flag::Stateless);
}
QStringEncoder strictEncoder()
{
    return QStringEncoder(QStringConverter::System, QStringConverter::Flag::Stateless);
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
void emplaceStrictDecoder(std::optional<QStringDecoder> &decoder)
{
    decoder.emplace("GB18030", QStringConverter::Flag::Stateless);
}
QStringEncoder strictEncoder()
{
    return QStringEncoder("GB18030", QStringConverter::Flag::Stateless);
}
#endif

} // namespace

QByteArray toAnsi(QStringView text)
{
    QStringEncoder toAnsi = encoder();
    return toAnsi.encode(text);
}

QString fromAnsi(QByteArrayView bytes)
{
    QStringDecoder fromAnsi = decoder();
    return fromAnsi.decode(bytes);
}

QByteArray toAnsi(QStringView text, qsizetype *unencodable)
{
    QStringEncoder toAnsi = encoder();
    QByteArray bytes = toAnsi.encode(text);
    *unencodable = 0;
    if (!toAnsi.hasError())
        return bytes;
    // Rare: find the culprits one character (or surrogate pair) at a time. Each piece is a whole
    // text of its own, so a lone surrogate must not be held back waiting for its partner.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        QStringEncoder single = strictEncoder();
        // The conversion runs when its result is taken, not when encode() returns.
        const QByteArray piece = single.encode(text.mid(i, length));
        *unencodable += single.hasError() ? 1 : 0;
        i += length - 1;
    }
    return bytes;
}

AnsiDecoder::AnsiDecoder()
{
    emplaceStrictDecoder(m_decoder);
}

std::optional<QString> AnsiDecoder::decode(QByteArrayView bytes)
{
    QString text = m_decoder->decode(bytes);
    if (!m_decoder->hasError())
        return text;
    // The error flag stays set for the converter's life, so a fresh one serves the next text.
    // It is built in place: a converter moved into an old one's place no longer counts errors.
    emplaceStrictDecoder(m_decoder);
    return std::nullopt;
}

qsizetype ansiByteLength(QStringView text)
{
    // Most texts are plain ASCII; they need no conversion to be measured.
    bool ascii = true;
    for (QChar c : text)
        ascii = ascii && c.unicode() < 0x80;
    return ascii ? text.size() : toAnsi(text).size();
}

} // namespace natalis::store
