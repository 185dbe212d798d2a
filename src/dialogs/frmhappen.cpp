#include "dialogs/frmhappen.h"

#include "widgets/dialogparts.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace natalis::dialogs {

frmHappen::frmHappen(
    const QString &dateText, const QString &todayNotifyText, int skin, QWidget *parent)
    : DayListDialog(skin, parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmHappen"));
    dateLabel()->setText(dateText);
    m_list->setObjectName(QStringLiteral("lstContent"));
    widgets::nameForReader(m_list, QStringLiteral("今天的生日提醒"));
    paintList(m_list);
    const QStringList items = todayNotifyText.split(u' ', Qt::SkipEmptyParts);
    for (int i = 0; i < items.size(); ++i)
        m_list->addItem(QString::number(i + 1) + u' ' + items[i]);
    body()->addWidget(m_list);
    resize(420, 280);
}

} // namespace natalis::dialogs
