#include "dialogs/searchpage.h"

#include "calendar/datetext.h"
#include "platform/clock.h"
#include "reminder/nextbirthday.h"
#include "widgets/dialogparts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStackedWidget>

namespace natalis::dialogs {

SearchPage::SearchPage(std::function<const store::BirthdayList &()> birthdays,
    const platform::Clock &clock, QStackedWidget *stack, QWidget *window)
    : JumpList(120, stack), m_birthdays(std::move(birthdays)), m_clock(clock), m_stack(stack)
{
    m_field = new QLineEdit(window);
    m_field->setObjectName(QStringLiteral("txtSearch"));
    m_field->setPlaceholderText(QStringLiteral("搜索 姓名/电话/备注/拼音首字母 (Ctrl+F)"));
    m_field->setToolTip(
        QStringLiteral("在所有类别中查找:姓名、电话或备注的任一部分,或姓名的拼音首字母"));
    m_field->setClearButtonEnabled(true);
    widgets::nameForReader(m_field, QStringLiteral("搜索生日"), m_field->toolTip());
    m_field->setMinimumWidth(260);
    // Escape and the undo keys are the window's, not the field's own (eventFilter).
    m_field->installEventFilter(this);

    setObjectName(QStringLiteral("lstSearch"));
    widgets::nameForReader(this, QStringLiteral("搜索结果"),
        QStringLiteral("在所有类别中找到的生日,回车转到所在类别"));

    connect(m_field, &QLineEdit::textChanged, this, &SearchPage::refresh);
    // Enter takes the user to the hits, where Enter again opens the list that holds one.
    connect(m_field, &QLineEdit::returnPressed, this, [this] {
        if (rowCount() == 0)
            return;
        setFocus();
        selectRow(0);
    });
}

bool SearchPage::isActive() const
{
    return !m_field->text().trimmed().isEmpty();
}

void SearchPage::clear()
{
    m_field->clear();
}

void SearchPage::focusField()
{
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void SearchPage::setBirthdays(const store::BirthdayList &birthdays)
{
    m_search.setBirthdays(birthdays);
}

void SearchPage::refreshHits()
{
    if (isActive())
        refresh();
}

void SearchPage::refresh()
{
    const QString typed = m_field->text().trimmed();
    if (typed.isEmpty()) {
        Q_EMIT closed(m_status);
        return;
    }
    const store::BirthdayList &birthdays = m_birthdays();
    const QList<qsizetype> found = m_search.find(typed);
    QList<store::BirthdayRecord> records;
    for (qsizetype i : found)
        records.append(birthdays.value(i));
    const QList<reminder::NextBirthday> next =
        reminder::nextBirthdays(records, m_clock.now().date());
    restart({ QStringLiteral("生日名称"), QStringLiteral("所在类别"), QStringLiteral("联系方式"),
        QStringLiteral("生日备注"), QStringLiteral("下次生日") });
    for (qsizetype i = 0; i < records.size(); ++i) {
        const store::BirthdayRecord &record = records[i];
        append(record,
            { record.About.trimmed(), listCaption(listOf(record)), record.Tel.trimmed(),
                record.Beizhu.trimmed(), calendar::comingDayText(next[i].date) });
    }
    m_stack->setCurrentWidget(this);
    m_status = found.isEmpty()
        ? QStringLiteral("没找到相应的生日提醒！")
        : QStringLiteral("找到%1个生日提醒,双击或回车转到所在类别").arg(found.size());
    Q_EMIT statusChanged(m_status);
}

bool SearchPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field && fieldKey(event))
        return true;
    return JumpList::eventFilter(watched, event);
}

bool SearchPage::fieldKey(QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // A change the user just made is undone with Ctrl+Z, whatever was typed into the search
    // since: the field's own undo would take the key first.
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::KeyPress || key->key() != Qt::Key_Escape
        || key->modifiers() != Qt::NoModifier)
        return false;
    if (!m_field->text().isEmpty())
        m_field->clear();
    else if (QWidget *page = m_stack->currentWidget())
        page->setFocus(Qt::OtherFocusReason);
    return true;
}

} // namespace natalis::dialogs
