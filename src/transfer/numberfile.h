#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace natalis::transfer {

// Phone numbers read from a text file for one group send, one number a line.
struct NumberFileReading
{
    bool readable = false; // false: the file is missing or refused; nothing was taken
    // Why it was refused, worded to follow the path as the birthday import words it
    // ("不是普通文件,", "超过512MB,", "无法读取,"); the text of the message box is the path, this
    // and "没有导入任何有效的临时手机号码!".
    QString refusal;
    QStringList added; // new numbers in file order
};

// The lines of the file, trimmed, that pass the phone-number rule and are neither in `listed`
// nor earlier in the file. The file's encoding is detected and its size limited as for a
// birthday import.
NumberFileReading readPhoneNumberFile(const QString &path, const QStringList &listed);

// The same on the file's bytes.
QStringList newPhoneNumbers(QByteArrayView bytes, const QStringList &listed);

} // namespace natalis::transfer
