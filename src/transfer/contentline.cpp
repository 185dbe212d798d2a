#include "contentline.h"

namespace natalis::transfer {

namespace {

bool isUtf8Continuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

QByteArray foldContentLine(QStringView line)
{
    const QByteArray bytes = line.toUtf8();
    QByteArray folded;
    folded.reserve(bytes.size() + bytes.size() / 40 * 3 + 2);
    qsizetype at = 0;
    bool first = true;
    while (true) {
        // A continuation line spends one octet on its leading blank.
        const qsizetype room = first ? MaxContentLineOctets : MaxContentLineOctets - 1;
        qsizetype end = at + room;
        if (end >= bytes.size()) {
            if (!first)
                folded += ' ';
            folded += QByteArrayView(bytes).sliced(at);
            folded += "\r\n";
            return folded;
        }
        while (end > at + 1 && isUtf8Continuation(bytes[end]))
            --end;
        if (!first)
            folded += ' ';
        folded += QByteArrayView(bytes).sliced(at, end - at);
        folded += "\r\n";
        at = end;
        first = false;
    }
}

QString escapeText(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u';' || c == u',') {
            escaped += u'\\';
            escaped += c;
        } else if (c == u'\r') {
            escaped += u"\\n";
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            escaped += u"\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QString unescapeText(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\' || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        plain += (next == u'n' || next == u'N') ? QChar(u'\n') : next;
    }
    return plain;
}

} // namespace natalis::transfer
