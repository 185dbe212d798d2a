#pragma once

// What a query reads from a database, in one value a test compares at once.

#include "store/connection.h"
#include "store/statement.h"

#include <QStringList>
#include <string>

namespace natalis::test {

// The rows the query gives, in its order, each its columns joined by '|' (NULL reads as empty).
inline QStringList queryRows(store::Connection &db, const std::string &query)
{
    QStringList rows;
    store::Statement select = db.prepare(query);
    while (select.step()) {
        QStringList fields;
        for (int i = 0; i < select.columnCount(); ++i)
            fields << select.text(i);
        rows << fields.join(u'|');
    }
    return rows;
}

} // namespace natalis::test
