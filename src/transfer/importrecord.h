#pragma once

#include "store/birthdayrecord.h"

#include <QString>

namespace natalis::transfer {

// One birthday read from an import file, before it is stored. The date texts strGL and strNL
// of fields stay empty: they are built from date when the record is added.
struct ImportRecord
{
    store::BirthdayRecord fields;
    // The accepted date field: a Gregorian date as the file wrote it with "-" separators
    // ("1976-2-25"), or a lunar date in its normal form ("2006-闰07-15"); empty when none.
    QString date;
    bool dateIsLunar = false;

    friend bool operator==(const ImportRecord &, const ImportRecord &) = default;
};

} // namespace natalis::transfer

// Texts only: the lists of a large import move their records as bytes.
Q_DECLARE_TYPEINFO(natalis::transfer::ImportRecord, Q_RELOCATABLE_TYPE);
