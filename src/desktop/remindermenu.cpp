#include "desktop/remindermenu.h"

#include <QMenu>

namespace natalis::desktop {

namespace {

struct SnoozeEntry
{
    const char *objectName;
    const char16_t *text;
    reminder::Snooze choice;
};

constexpr SnoozeEntry SnoozeEntries[] = {
    { "mnuSnooze10", u"10 分钟后", reminder::Snooze::TenMinutes },
    { "mnuSnooze60", u"1 小时后", reminder::Snooze::OneHour },
    { "mnuSnoozeTomorrow", u"明天 9:00", reminder::Snooze::TomorrowMorning },
};

} // namespace

void addReminderAnswers(QMenu &menu, const ReminderAnswers &answers)
{
    QAction *first = menu.actions().value(0);
    auto *acknowledge = new QAction(QStringLiteral("知道了"), &menu);
    acknowledge->setObjectName(QStringLiteral("mnuAcknowledge"));
    QObject::connect(acknowledge, &QAction::triggered, &menu, [answers] { answers.acknowledge(); });
    auto *snooze = new QMenu(QStringLiteral("稍后提醒"), &menu);
    snooze->setObjectName(QStringLiteral("mnuSnooze"));
    for (const SnoozeEntry &entry : SnoozeEntries) {
        QAction *action = snooze->addAction(QString::fromUtf16(entry.text));
        action->setObjectName(QString::fromLatin1(entry.objectName));
        QObject::connect(action, &QAction::triggered, &menu,
            [answers, choice = entry.choice] { answers.snooze(choice); });
    }
    menu.insertAction(first, acknowledge);
    menu.insertMenu(first, snooze);
    if (first)
        menu.insertSeparator(first);
}

QMenu *reminderAnswerMenu(QWidget *parent, const ReminderAnswers &answers)
{
    auto *menu = new QMenu(parent);
    addReminderAnswers(*menu, answers);
    return menu;
}

} // namespace natalis::desktop
