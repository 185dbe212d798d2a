#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace natalis::transfer {

// Phone numbers read from a text file for one group send, one number a line.
struct NumberFileReading
{
    bool readable = false; // false: the file is missing or cannot be read; nothing was taken
    QStringList added; // new numbers in file order
};

// The lines of the file, trimmed, that pass the phone-number rule and are neither in `listed`
// nor earlier in the file. The file's encoding is detected as for a birthday import.
NumberFileReading ReadPhoneNumberFile(const QString &path, const QStringList &listed);

// The same on the file's bytes.
QStringList NewPhoneNumbers(QByteArrayView bytes, const QStringList &listed);

} // namespace natalis::transfer
