#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace natalis::transfer {

// Lines longer than this (in bytes) are no birthday of ours, whatever they hold.
inline constexpr qsizetype MaxImportLineBytes = 16 * 1024;

struct ImportLines
{
    QList<QString> lines; // in file order, without their line ends; empty lines kept
    int skipped = 0; // lines that could not be read as text
};

// Splits an import file into lines of text. A UTF-8 byte order mark, or content that is valid
// UTF-8 throughout, is read as UTF-8; anything else in the ANSI code page. Lines may end in
// CR LF or LF, the last one with neither. A line with bytes its encoding does not define,
// control characters other than tab, or more than MaxImportLineBytes is skipped and counted.
ImportLines DecodeImportLines(QByteArrayView bytes);

} // namespace natalis::transfer
