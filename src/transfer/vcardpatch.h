#pragma once

#include "store/birthdayrecord.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>

namespace natalis::transfer {

// A contact card changed in place: the card a server (or a phone) holds stays the user's, and
// only the properties that carry a field of ours whose value differs between synced (the values
// the card was last read as) and changed (the birthday as it is here) are written, in the
// form readVcardImportBytes reads back as the new value:
//   name       FN and N (N's first component, the others emptied)
//   category   the item of CATEGORIES that names one of the eight, the others kept
//   contact    the TEL the number was read from (contactProperty), its parameters kept
//   date/rule  the X-ALTBDAY;CALSCALE=chinese the lunar date was read from, in its own form,
//              when the card has one (its BDAY stays the phone's and none is added); else
//              BDAY, with an X-ALTBDAY added for the lunar rule; for a 纪念日 or 忌日 the
//              properties of its kind (vcarddates.h), and a changed kind takes the date off
//              the old kind's properties
//   remark     NOTE; company and department: ORG's first two components
//   address    ADR's first five components (postal code and country kept); sex: GENDER
//   ours       X-NATALIS-*: rewritten where the card has them, all added when it has none
// A value emptied here removes its property. Every other line (its group, parameters, folding
// and line end), the VERSION and the order stay byte for byte; added lines go before END, in the
// card's own line end. REV is set to revised (UTC) whenever anything changed. A card that
// changes nothing comes back as it was; bytes without a card give buildVcards of changed.
QByteArray patchVcard(QByteArrayView card, const store::BirthdayRecord &synced,
    const store::BirthdayRecord &changed, const QDateTime &revised);

} // namespace natalis::transfer
