#include "transfer/numberfile.h"

#include "store/phonenumber.h"
#include "transfer/importtext.h"

#include <QFile>
#include <QSet>

namespace natalis::transfer {

QStringList NewPhoneNumbers(QByteArrayView bytes, const QStringList &listed)
{
    QSet<QString> known(listed.cbegin(), listed.cend());
    QStringList added;
    ForEachImportLine(bytes, [&](QStringView line) {
        const QString number = line.trimmed().toString();
        if (!store::IsPhoneNumber(number) || known.contains(number))
            return;
        known.insert(number);
        added << number;
    });
    return added;
}

NumberFileReading ReadPhoneNumberFile(const QString &path, const QStringList &listed)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return { true, NewPhoneNumbers(bytes, listed) };
}

} // namespace natalis::transfer
