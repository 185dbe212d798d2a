#pragma once

#include "store/birthdayrecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QUuid>
#include <array>

namespace natalis::transfer {

// One birthday read from an import file, before it is stored. The date texts strGL and strNL
// of fields stay empty: they are built from date when the record is added.
//
// Kept packed: a file of a million lines is a million of these, and seventeen texts each would
// take several times the file's size. The texts live in one UTF-8 buffer and are unpacked on
// demand; category, rule, SMS flag, sex, kind and leap-month rule, nearly always one of a few
// known texts, as a number.
class ImportRecord
{
public:
    ImportRecord() = default;
    // date: the accepted date field, a Gregorian date as the file wrote it with "-" separators
    // ("1976-2-25") or a lunar date in its normal form ("2006-闰07-15"); empty when none.
    ImportRecord(const store::BirthdayRecord &fields, const QString &date, bool dateIsLunar);

    store::BirthdayRecord fields() const;
    QString date() const;
    bool dateIsLunar() const { return m_dateIsLunar; }
    qint16 days() const { return m_days; }
    // The birthday's Uid when the file carried one (our own CSV and vCard files do): the stored
    // birthday keeps it, and a second import of the file finds it present. Null otherwise.
    QUuid uid() const { return m_uid; }
    void setUid(const QUuid &uid) { m_uid = uid; }
    // The name and the category without unpacking the rest: UTF-8 views into the record.
    QByteArrayView name() const;
    QByteArrayView category() const;
    bool hasName() const { return !name().isEmpty(); }

    friend bool operator==(const ImportRecord &, const ImportRecord &) = default;

private:
    QByteArrayView part(int index) const;

    QByteArray m_texts; // the text fields and the date, each ended by a unit separator
    std::array<quint8, 6> m_known {}; // per known-value field: 0 in m_texts, else index + 1
    QUuid m_uid;
    qint16 m_days = 7;
    bool m_dateIsLunar = false;
};

} // namespace natalis::transfer

// Texts only: the lists of a large import move their records as bytes.
Q_DECLARE_TYPEINFO(natalis::transfer::ImportRecord, Q_RELOCATABLE_TYPE);
