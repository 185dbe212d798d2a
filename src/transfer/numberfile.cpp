#include "transfer/numberfile.h"

#include "store/phonenumber.h"
#include "transfer/importreader.h"
#include "transfer/importtext.h"

#include <QSet>

namespace natalis::transfer {

QStringList newPhoneNumbers(QByteArrayView bytes, const QStringList &listed)
{
    QSet<QString> known(listed.cbegin(), listed.cend());
    QStringList added;
    forEachImportLine(bytes, detectEncoding(bytes), [&](const ImportLine &line) {
        const QString number = line.text.trimmed().toString();
        if (!store::IsPhoneNumber(number) || known.contains(number))
            return;
        known.insert(number);
        added << number;
    });
    return added;
}

NumberFileReading readPhoneNumberFile(const QString &path, const QStringList &listed)
{
    const WholeFile whole = readWholeImportFile(path);
    if (whole.refusal)
        return { false, *whole.refusal, {} };
    return { true, QString(), newPhoneNumbers(whole.bytes, listed) };
}

} // namespace natalis::transfer
