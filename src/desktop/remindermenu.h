#pragma once

#include "reminder/reminderitems.h"

#include <functional>

class QMenu;
class QWidget;

namespace natalis::desktop {

// What the user can answer a reminder with wherever it shows (the tray icon's menu, the strip,
// the balloon): "知道了" first, then "稍后提醒" with its three choices.
struct ReminderAnswers
{
    std::function<void()> acknowledge;
    std::function<void(reminder::Snooze choice)> snooze;
};

// Adds the answers at the top of menu (before its first entry, when it has any).
void addReminderAnswers(QMenu &menu, const ReminderAnswers &answers);

// A menu of the answers alone, owned by parent.
QMenu *reminderAnswerMenu(QWidget *parent, const ReminderAnswers &answers);

} // namespace natalis::desktop
