#pragma once

#include "transfer/textencoding.h"

#include <QByteArrayView>
#include <QStringView>
#include <functional>

namespace natalis::transfer {

// Lines longer than this (in bytes) are no birthday of ours, whatever they hold.
inline constexpr qsizetype MaxImportLineBytes = 16 * 1024;

// Why a line was not handed on as text.
enum class LineProblem {
    None,
    Undecodable, // bytes the encoding does not define
    TooLong, // more than MaxImportLineBytes
    ControlCharacters, // control characters other than tab
};

struct ImportLine
{
    qsizetype number = 0; // from 1, counting every line end of the file
    QStringView text; // without its line end; empty unless problem is None
    LineProblem problem = LineProblem::None;
};

// Splits the bytes of an import file into lines of text in the given encoding (a byte order mark
// is skipped). Lines may end in CR LF, LF or CR, the last one with none. Hands every line to
// lineRead in file order, empty ones too, and returns the number of lines with a problem.
int forEachImportLine(QByteArrayView bytes, TextEncoding encoding,
    const std::function<void(const ImportLine &)> &lineRead);

// The whole file as one text, for layouts whose records may span lines. Bytes the encoding
// does not define become U+FFFD; *undecodable (when given) tells whether there were any.
QString decodeImportText(QByteArrayView bytes, TextEncoding encoding, bool *undecodable = nullptr);

// The reason of a problem line as the import report words it.
QString lineProblemText(LineProblem problem);

} // namespace natalis::transfer
