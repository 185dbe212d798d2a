#include "textencoding.h"

#include <QStringEncoder>
#include <algorithm>

namespace natalis::transfer {

namespace {

// ICU's name for CP936 (Qt reaches every non-Unicode code page through ICU).
constexpr const char *GbkName = "GBK";

constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";
constexpr QByteArrayView Utf16LeBom = "\xFF\xFE";
constexpr QByteArrayView Utf16BeBom = "\xFE\xFF";

// Enough lines with non-ASCII bytes to tell the encodings apart; detection stops there, so a
// large file is not read twice.
constexpr int DetectionLines = 500;

bool inRange(unsigned value, unsigned low, unsigned high)
{
    return value >= low && value <= high;
}

// GB2312's hanzi (levels 1 and 2) and its rows of punctuation and full-width forms: what a
// list of Chinese names and remarks is made of.
bool isCommonGbkPair(unsigned lead, unsigned trail)
{
    return inRange(trail, 0xA1, 0xFE) && (inRange(lead, 0xB0, 0xF7) || inRange(lead, 0xA1, 0xA3));
}

bool isCommonCjk(char16_t c)
{
    return inRange(c, 0x4E00, 0x9FFF) || inRange(c, 0x3400, 0x4DBF) || inRange(c, 0x3000, 0x303F)
        || inRange(c, 0xFF00, 0xFFEF);
}

struct Tally
{
    int common = 0;
    int odd = 0;
};

// The GBK reading of one line, counted from its bytes; nullopt when it is no valid GBK.
std::optional<Tally> tallyGbk(QByteArrayView line)
{
    Tally tally;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const auto lead = static_cast<unsigned char>(line[i]);
        if (lead < 0x80)
            continue;
        if (lead == 0x80) { // the euro sign of CP936
            ++tally.odd;
            continue;
        }
        if (lead == 0xFF || i + 1 >= line.size())
            return std::nullopt;
        const auto trail = static_cast<unsigned char>(line[++i]);
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF)
            return std::nullopt;
        if (isCommonGbkPair(lead, trail))
            ++tally.common;
        else
            ++tally.odd;
    }
    return tally;
}

Tally tallyUtf8(QStringView text)
{
    Tally tally;
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            continue;
        if (isCommonCjk(c.unicode()))
            ++tally.common;
        else if (!c.isLowSurrogate())
            ++tally.odd;
    }
    return tally;
}

bool isAscii(QByteArrayView line)
{
    for (char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The next line of bytes, its end being CR LF, LF or CR.
QByteArrayView nextLine(QByteArrayView bytes, qsizetype &start)
{
    qsizetype end = start;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    const QByteArrayView line = bytes.sliced(start, end - start);
    start = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
    return line;
}

TextEncoding detectWithoutMark(QByteArrayView bytes)
{
    if (!bytes.isValidUtf8())
        return TextEncoding::Gbk;
    Tally gbk;
    Tally utf8;
    int lines = 0;
    for (qsizetype start = 0; start < bytes.size() && lines < DetectionLines;) {
        const QByteArrayView line = nextLine(bytes, start);
        if (isAscii(line))
            continue;
        ++lines;
        const std::optional<Tally> gbkLine = tallyGbk(line);
        if (!gbkLine)
            return TextEncoding::Utf8;
        const Tally utf8Line = tallyUtf8(QString::fromUtf8(line));
        gbk.common += gbkLine->common;
        gbk.odd += gbkLine->odd;
        utf8.common += utf8Line.common;
        utf8.odd += utf8Line.odd;
    }
    return utf8.common > 0 && utf8.odd < gbk.odd ? TextEncoding::Utf8 : TextEncoding::Gbk;
}

} // namespace

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Gbk:
        return QStringLiteral("GBK");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Utf16Le:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16Be:
        break;
    }
    return QStringLiteral("UTF-16 BE");
}

TextEncoding detectEncoding(QByteArrayView bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return TextEncoding::Utf8;
    if (bytes.startsWith(Utf16LeBom))
        return TextEncoding::Utf16Le;
    if (bytes.startsWith(Utf16BeBom))
        return TextEncoding::Utf16Be;
    return detectWithoutMark(bytes);
}

TextEncoding resolveEncoding(QByteArrayView bytes, EncodingChoice choice)
{
    switch (choice) {
    case EncodingChoice::Auto:
        return detectEncoding(bytes);
    case EncodingChoice::Gbk:
        return TextEncoding::Gbk;
    case EncodingChoice::Utf8:
        return TextEncoding::Utf8;
    case EncodingChoice::Utf16:
        break;
    }
    return bytes.startsWith(Utf16BeBom) ? TextEncoding::Utf16Be : TextEncoding::Utf16Le;
}

qsizetype byteOrderMarkLength(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Gbk:
        return 0;
    case TextEncoding::Utf8:
        return bytes.startsWith(Utf8Bom) ? Utf8Bom.size() : 0;
    case TextEncoding::Utf16Le:
        return bytes.startsWith(Utf16LeBom) ? Utf16LeBom.size() : 0;
    case TextEncoding::Utf16Be:
        break;
    }
    return bytes.startsWith(Utf16BeBom) ? Utf16BeBom.size() : 0;
}

LineDecoder::LineDecoder(TextEncoding encoding) : m_encoding(encoding)
{
    renew();
}

void emplaceDecoder(
    std::optional<QStringDecoder> &decoder, TextEncoding encoding, QStringConverter::Flags flags)
{
    switch (encoding) {
    case TextEncoding::Gbk:
        decoder.emplace(GbkName, flags);
        return;
    case TextEncoding::Utf8:
        decoder.emplace(QStringConverter::Utf8, flags);
        return;
    case TextEncoding::Utf16Le:
        decoder.emplace(QStringConverter::Utf16LE, flags);
        return;
    case TextEncoding::Utf16Be:
        break;
    }
    decoder.emplace(QStringConverter::Utf16BE, flags);
}

void LineDecoder::renew()
{
    // Built in place: a converter moved into an old one's place no longer reports errors.
    emplaceDecoder(m_decoder, m_encoding, QStringConverter::Flag::Stateless);
}

// ICU maps CP936's undefined byte 0xFF and its user-defined areas to private-use characters
// without an error; no name or remark of a real file holds one.
bool holdsPrivateUse(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
        [](QChar c) { return c.unicode() >= 0xE000 && c.unicode() <= 0xF8FF; });
}

std::optional<QString> LineDecoder::decode(QByteArrayView bytes)
{
    QString text = m_decoder->decode(bytes);
    if (!m_decoder->hasError() && !(m_encoding == TextEncoding::Gbk && holdsPrivateUse(text)))
        return text;
    // The error flag stays set for the converter's life, so a fresh one serves the next text.
    renew();
    return std::nullopt;
}

QByteArray toGbk(QStringView text, qsizetype *unencodable)
{
    QStringEncoder toGbk(GbkName);
    QByteArray bytes = toGbk.encode(text);
    *unencodable = 0;
    if (!toGbk.hasError())
        return bytes;
    // Rare: find the culprits one character (or surrogate pair) at a time, so that each counts
    // once and is written as one "?".
    bytes.clear();
    std::optional<QStringEncoder> single;
    single.emplace(GbkName, QStringConverter::Flag::Stateless);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        QByteArray piece = single->encode(text.mid(i, length));
        if (single->hasError()) {
            ++*unencodable;
            piece = "?";
            single.emplace(GbkName, QStringConverter::Flag::Stateless);
        }
        bytes += piece;
        i += length - 1;
    }
    return bytes;
}

} // namespace natalis::transfer
