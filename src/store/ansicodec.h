#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringView>
#include <optional>

namespace natalis::store {

// The program's one "ANSI" code page: the system's on Windows, GB18030 (a superset of GBK)
// elsewhere. Text files are read and written in it, and every length limit the user is told in
// "个字符(1个汉字算2个字符)" is counted in its bytes.

QByteArray toAnsi(QStringView text);
QString fromAnsi(QByteArrayView bytes);

// toAnsi that also counts, in *unencodable, the characters the code page cannot hold; the
// converter writes a substitute byte for each of them.
QByteArray toAnsi(QStringView text, qsizetype *unencodable);

// Decodes text after text with one converter, which is far cheaper than fromAnsi in a loop.
class AnsiDecoder
{
public:
    AnsiDecoder();
    // nullopt when bytes hold a sequence the code page does not define, a truncated one included.
    std::optional<QString> decode(QByteArrayView bytes);

private:
    std::optional<QStringDecoder> m_decoder;
};

// Bytes of text in the ANSI code page: 1 for ASCII, 2 for a Chinese character.
qsizetype ansiByteLength(QStringView text);

} // namespace natalis::store
