#include "store/classtables.h"

#include "store/categories.h"
#include "store/connection.h"
#include "store/statement.h"

#include <array>

namespace natalis::store {

namespace {

struct TableSql
{
    const char *select;
    const char *insert;
    const char *remove;
};

// Table names are fixed here; only the class text is ever bound.
constexpr std::array<TableSql, 4> Sql = { {
    { "select [Class] from tsclass order by rowid", "insert into tsclass([Class]) values(?)",
        "delete from tsclass where [Class]=?" },
    { "select [Class] from khclass order by rowid", "insert into khclass([Class]) values(?)",
        "delete from khclass where [Class]=?" },
    { "select [Class] from dlsclass order by rowid", "insert into dlsclass([Class]) values(?)",
        "delete from dlsclass where [Class]=?" },
    { "select [Class] from gysclass order by rowid", "insert into gysclass([Class]) values(?)",
        "delete from gysclass where [Class]=?" },
} };

const TableSql &sqlOf(ClassTable table)
{
    return Sql[std::size_t(table)];
}

bool runWithText(Connection &connection, const char *sql, const QString &text)
{
    try {
        connection.cached(sql).bind(1, text.trimmed()).run();
        return true;
    } catch (const DbException &) {
        return false;
    }
}

} // namespace

std::optional<ClassTable> classTableForCategory(QStringView category)
{
    const int index = categoryIndex(category);
    if (index < 0 || index > 3)
        return std::nullopt;
    return ClassTable(index);
}

std::optional<ClassTable> classTableForTab(int tab)
{
    if (tab < 1 || tab > 4)
        return std::nullopt;
    return ClassTable(tab - 1);
}

QStringList readClassNames(Connection &connection, ClassTable table)
{
    QStringList names;
    try {
        Statement select = connection.prepare(sqlOf(table).select);
        while (select.step())
            names.append(select.text(0).trimmed());
    } catch (const DbException &) {
        return {};
    }
    return names;
}

void AddClassFromEditor(Connection &connection, QStringView category, const QString &text)
{
    if (const auto table = classTableForCategory(category))
        runWithText(connection, sqlOf(*table).insert, text);
}

bool ChangeClassTable(Connection &connection, int mode, int tab, const QString &text)
{
    const auto table = classTableForTab(tab);
    if (!table)
        return false;
    return runWithText(connection, mode == 1 ? sqlOf(*table).insert : sqlOf(*table).remove, text);
}

} // namespace natalis::store
