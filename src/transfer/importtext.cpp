#include "importtext.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

unsigned codeOf(char c)
{
    return static_cast<unsigned char>(c);
}

unsigned codeOf(QChar c)
{
    return c.unicode();
}

template<typename Text>
bool holdsControlCharacters(const Text &line)
{
    for (auto c : line) {
        if (codeOf(c) < 0x20 && codeOf(c) != '\t')
            return true;
    }
    return false;
}

bool isAscii(QByteArrayView line)
{
    for (char c : line) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The end of the line that starts at start, and where the next one starts: CR LF, LF or CR.
template<typename Text>
qsizetype lineEnd(const Text &text, qsizetype start, qsizetype &next)
{
    qsizetype end = start;
    while (end < text.size() && codeOf(text[end]) != '\n' && codeOf(text[end]) != '\r')
        ++end;
    next = end
        + (end + 1 < text.size() && codeOf(text[end]) == '\r' && codeOf(text[end + 1]) == '\n' ? 2
                                                                                               : 1);
    return end;
}

int forEachByteLine(QByteArrayView bytes, TextEncoding encoding,
    const std::function<void(const ImportLine &)> &lineRead)
{
    LineDecoder decoder(encoding);
    int problems = 0;
    ImportLine line;
    for (qsizetype start = 0, next = 0; start < bytes.size(); start = next) {
        const QByteArrayView raw = bytes.sliced(start, lineEnd(bytes, start, next) - start);
        ++line.number;
        line.problem = raw.size() > MaxImportLineBytes ? LineProblem::TooLong
            : holdsControlCharacters(raw)              ? LineProblem::ControlCharacters
                                                       : LineProblem::None;
        std::optional<QString> text;
        if (line.problem == LineProblem::None) {
            text = isAscii(raw) ? QString::fromLatin1(raw) : decoder.decode(raw);
            if (!text)
                line.problem = LineProblem::Undecodable;
        }
        line.text = text ? QStringView(*text) : QStringView();
        problems += line.problem == LineProblem::None ? 0 : 1;
        lineRead(line);
    }
    return problems;
}

int forEachTextLine(const QString &text, const std::function<void(const ImportLine &)> &lineRead)
{
    int problems = 0;
    ImportLine line;
    for (qsizetype start = 0, next = 0; start < text.size(); start = next) {
        const QStringView whole =
            QStringView(text).sliced(start, lineEnd(text, start, next) - start);
        ++line.number;
        line.problem = whole.size() * 2 > MaxImportLineBytes ? LineProblem::TooLong
            : holdsControlCharacters(whole)                  ? LineProblem::ControlCharacters
            : whole.contains(QChar::ReplacementCharacter)    ? LineProblem::Undecodable
                                                             : LineProblem::None;
        line.text = line.problem == LineProblem::None ? whole : QStringView();
        problems += line.problem == LineProblem::None ? 0 : 1;
        lineRead(line);
    }
    return problems;
}

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

} // namespace

int forEachImportLine(QByteArrayView bytes, TextEncoding encoding,
    const std::function<void(const ImportLine &)> &lineRead)
{
    bytes = bytes.sliced(byteOrderMarkLength(bytes, encoding));
    // UTF-16 has no byte for a line end of its own; such files come from Excel's "Unicode 文本"
    // and are small enough to be decoded whole.
    if (isUtf16(encoding))
        return forEachTextLine(decodeImportText(bytes, encoding), lineRead);
    return forEachByteLine(bytes, encoding, lineRead);
}

QString decodeImportText(QByteArrayView bytes, TextEncoding encoding, bool *undecodable)
{
    bytes = bytes.sliced(byteOrderMarkLength(bytes, encoding));
    std::optional<QStringDecoder> decoder;
    emplaceDecoder(decoder, encoding, QStringConverter::Flag::Default);
    QString text = decoder->decode(bytes);
    if (undecodable)
        *undecodable = decoder->hasError();
    return text;
}

QString lineProblemText(LineProblem problem)
{
    switch (problem) {
    case LineProblem::None:
        return QString();
    case LineProblem::Undecodable:
        return u"含有无法识别的字符,已跳过"_s;
    case LineProblem::TooLong:
        return u"过长,已跳过"_s;
    case LineProblem::ControlCharacters:
        break;
    }
    return u"含有控制字符,已跳过"_s;
}

} // namespace natalis::transfer
