#include "importtext.h"

#include "store/ansicodec.h"

#include <optional>

namespace natalis::transfer {

namespace {

constexpr QByteArrayView Utf8Bom = "\xEF\xBB\xBF";

bool holdsControlBytes(QByteArrayView line)
{
    for (char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 && byte != '\t')
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

} // namespace

int ForEachImportLine(QByteArrayView bytes, const std::function<void(QStringView)> &lineRead)
{
    const bool bom = bytes.startsWith(Utf8Bom);
    if (bom)
        bytes = bytes.sliced(Utf8Bom.size());
    const bool utf8 = bom || bytes.isValidUtf8();
    store::AnsiDecoder ansi;

    int skipped = 0;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        QByteArrayView line = bytes.sliced(start, end - start);
        start = next;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > MaxImportLineBytes || holdsControlBytes(line)) {
            ++skipped;
            continue;
        }
        std::optional<QString> text;
        if (isAscii(line))
            text = QString::fromLatin1(line);
        else if (utf8)
            text = line.isValidUtf8() ? std::optional(QString::fromUtf8(line)) : std::nullopt;
        else
            text = ansi.decode(line);
        if (text)
            lineRead(*text);
        else
            ++skipped;
    }
    return skipped;
}

} // namespace natalis::transfer
