#pragma once

#include "store/birthdayrecord.h"
#include "store/categories.h"

#include <QStringList>
#include <QStringView>
#include <QTableView>

class QStandardItemModel;

namespace natalis::dialogs {

// The main window's list 0..7 a birthday of category type shows in: an unknown category's row
// lands in the first, where the duplicate check looks too.
inline int listOf(QStringView type)
{
    return qMax(store::categoryIndex(type.trimmed()), 0);
}

inline int listOf(const store::BirthdayRecord &record)
{
    return listOf(record.Type);
}

// The tab caption of list 0..7.
inline QString listCaption(int index)
{
    return store::CategoryNames[index].toString();
}

// A read-only list of birthdays from every category, one row each, whose rows lead to the
// birthday in its own list: the search's hits and the upcoming birthdays.
class JumpList : public QTableView
{
    Q_OBJECT

public:
    // columnWidth: the columns' default width in pixels.
    JumpList(int columnWidth, QWidget *parent);

    int rowCount() const;

Q_SIGNALS:
    // Enter or a double click on a row: the birthday with this Id in list 0..7.
    void rowChosen(int list, qint32 id);

protected:
    // Empties the list and sets its column titles.
    void restart(const QStringList &titles);
    // A row of cells for record, in the order of the titles.
    void append(const store::BirthdayRecord &record, const QStringList &cells);

private:
    QStandardItemModel *m_rows = nullptr;
};

} // namespace natalis::dialogs
