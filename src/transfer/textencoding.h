#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <optional>

namespace natalis::transfer {

// The encodings an import file is read in and an export file written in. Gbk is the Windows
// Chinese code page CP936 (GBK with 0x80 for the euro sign), the "ANSI" of the users' systems.
enum class TextEncoding { Gbk, Utf8, Utf16Le, Utf16Be };

// What the user asks the importer for; Auto detects (see detectEncoding).
enum class EncodingChoice { Auto, Gbk, Utf8, Utf16 };

// "GBK", "UTF-8", "UTF-16 LE", "UTF-16 BE", as the preview shows it.
QString encodingName(TextEncoding encoding);

// A byte order mark decides (UTF-8, UTF-16 LE or BE). Without one the bytes are read both ways
// and GBK wins unless the UTF-8 reading is plainly the intended one: the bytes are valid UTF-8,
// and either they are no valid GBK, or the UTF-8 reading holds Chinese characters and fewer
// odd ones than the GBK reading (odd: a non-ASCII character that is neither a common GB2312
// character nor CJK punctuation, such as the Cyrillic or Greek letters that GBK names become
// when read as UTF-8). Ties go to GBK, which every layout of ours specifies.
TextEncoding detectEncoding(QByteArrayView bytes);

// The encoding a choice reads the bytes in: Auto detects; Utf16 follows a byte order mark and
// is little-endian (as Windows writes it) without one.
TextEncoding resolveEncoding(QByteArrayView bytes, EncodingChoice choice);

// Bytes of the byte order mark of that encoding at the start of bytes; 0 when there is none.
qsizetype byteOrderMarkLength(QByteArrayView bytes, TextEncoding encoding);

// Builds the decoder of the encoding in place (a converter moved into another's place no longer
// reports errors).
void emplaceDecoder(
    std::optional<QStringDecoder> &decoder, TextEncoding encoding, QStringConverter::Flags flags);

// Decodes texts one after another in GBK (CP936) or UTF-8, strictly: a sequence the encoding
// does not define gives nullopt instead of a replacement character.
class LineDecoder
{
public:
    explicit LineDecoder(TextEncoding encoding);
    std::optional<QString> decode(QByteArrayView bytes);

private:
    void renew();

    TextEncoding m_encoding;
    std::optional<QStringDecoder> m_decoder;
};

// text in GBK (CP936); each character GBK cannot hold is written as "?" and counted in
// *unencodable.
QByteArray toGbk(QStringView text, qsizetype *unencodable);

} // namespace natalis::transfer
