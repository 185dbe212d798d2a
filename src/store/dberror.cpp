#include "store/dberror.h"

using namespace Qt::StringLiterals;

namespace natalis::store {

QString DbError::describe() const
{
    return source + u" reported "_s + QString::number(number) + u" - "_s + description + u"\r\n"_s;
}

} // namespace natalis::store
