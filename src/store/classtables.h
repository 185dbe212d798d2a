#pragma once

#include <QStringList>
#include <optional>

namespace natalis::store {

class Connection;

// The one-column tables of departments or classes of the first four categories.
enum class ClassTable { Tsclass, Khclass, Dlsclass, Gysclass };

// "同事", "客户", "代理商", "供应商" select their table; any other category has none.
std::optional<ClassTable> classTableForCategory(QStringView category);
// The settings dialog's tab numbers 1..4 select the tables in the same order.
std::optional<ClassTable> classTableForTab(int tab);

// Every [Class] value of the table, trimmed, in table order; empty on a database error.
QStringList readClassNames(Connection &connection, ClassTable table);

// Stores the trimmed text as a new class of the category. Every failure is silent: a duplicate,
// a category without a table, database trouble.
void AddClassFromEditor(Connection &connection, QStringView category, const QString &text);

// Mode 1 inserts the trimmed text into the table of tab 1..4, any other mode deletes it. False
// on any error, a duplicate insert included.
bool ChangeClassTable(Connection &connection, int mode, int tab, const QString &text);

} // namespace natalis::store
