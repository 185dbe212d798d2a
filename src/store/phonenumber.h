#pragma once

#include <QStringView>

namespace natalis::store {

// The phone-number rule, on the text without surrounding blanks: a mobile number "1" + 10 digits
// or "01" + 9 digits, or a fixed-line number "0", a digit 2..9 and 8 to 10 more digits. Digits
// are ASCII; anything else, the empty text included, is not a phone number.
bool IsPhoneNumber(QStringView text);

} // namespace natalis::store
