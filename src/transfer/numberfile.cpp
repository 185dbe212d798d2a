#include "transfer/numberfile.h"

#include "store/phonenumber.h"
#include "transfer/importreader.h"
#include "transfer/importtext.h"

#include <QSet>

namespace natalis::transfer {

QStringList NewPhoneNumbers(QByteArrayView bytes, const QStringList &listed)
{
    QSet<QString> known(listed.cbegin(), listed.cend());
    QStringList added;
    ForEachImportLine(bytes, DetectEncoding(bytes), [&](const ImportLine &line) {
        const QString number = line.text.trimmed().toString();
        if (!store::IsPhoneNumber(number) || known.contains(number))
            return;
        known.insert(number);
        added << number;
    });
    return added;
}

NumberFileReading ReadPhoneNumberFile(const QString &path, const QStringList &listed)
{
    const WholeFile whole = ReadWholeImportFile(path);
    if (whole.refusal)
        return { false, *whole.refusal, {} };
    return { true, QString(), NewPhoneNumbers(whole.bytes, listed) };
}

} // namespace natalis::transfer
