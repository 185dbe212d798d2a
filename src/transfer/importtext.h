#pragma once

#include <QByteArrayView>
#include <QStringView>
#include <functional>

namespace natalis::transfer {

// Lines longer than this (in bytes) are no birthday of ours, whatever they hold.
inline constexpr qsizetype MaxImportLineBytes = 16 * 1024;

// Splits an import file into lines of text. A UTF-8 byte order mark, or content that is valid
// UTF-8 throughout, is read as UTF-8; anything else in the ANSI code page. Lines may end in
// CR LF or LF, the last one with neither. A line with bytes its encoding does not define,
// control characters other than tab, or more than MaxImportLineBytes is skipped and counted.
// Hands each other line to lineRead in file order, without its line end (empty lines too), and
// returns the number of lines skipped.
int ForEachImportLine(QByteArrayView bytes, const std::function<void(QStringView)> &lineRead);

} // namespace natalis::transfer
