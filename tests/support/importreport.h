#pragma once

#include "transfer/importreader.h"

#include <QStringList>

namespace natalis::test {

// The per-line report of a reading as the preview and the CLI show it: "第N行: …".
inline QStringList reportOf(const transfer::ImportReading &reading)
{
    QStringList report;
    for (const transfer::LineNote &note : reading.notes)
        report << transfer::lineNoteText(note);
    return report;
}

} // namespace natalis::test
