#pragma once

#include "dialogs/jumplist.h"
#include "reminder/birthdaysearch.h"
#include "store/birthdaylist.h"

#include <functional>

class QLineEdit;
class QStackedWidget;

namespace natalis::platform {
class Clock;
} // namespace natalis::platform

namespace natalis::dialogs {

// The search of the main window: a field beside the tabs and, while it holds text, the hits
// from every list in place of the lists, in the window's page stack.
class SearchPage : public JumpList
{
    Q_OBJECT

public:
    // birthdays: the loaded birthdays of the moment, which the hits' positions point into.
    // The field is made a child of window, for the window's layout to place; the hits go into
    // stack.
    SearchPage(std::function<const store::BirthdayList &()> birthdays, const platform::Clock &clock,
        QStackedWidget *stack, QWidget *window);

    QLineEdit *field() const { return m_field; }
    // True while the field holds more than blanks and the hits stand in for the lists.
    bool isActive() const;
    void clear();
    // Ctrl+F: the field focused with its text selected.
    void focusField();
    // The birthdays to search changed: their readings are worked out again.
    void setBirthdays(const store::BirthdayList &birthdays);
    // The hits of the field's text found again, unless the field is empty.
    void refreshHits();

Q_SIGNALS:
    // The count of hits for the status bar.
    void statusChanged(const QString &text);
    // The field was emptied: the window shows its page again, and lastStatus, the count of the
    // hits now gone, leaves the status bar if it still stands there.
    void closed(const QString &lastStatus);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    // Escape clears the field, or in an empty field goes back to the page shown; the undo keys
    // pass to the window's undo. True when the event is dealt with.
    bool fieldKey(QEvent *event);

    std::function<const store::BirthdayList &()> m_birthdays;
    const platform::Clock &m_clock;
    QStackedWidget *m_stack;
    QLineEdit *m_field = nullptr;
    reminder::BirthdaySearch m_search;
    QString m_status;
};

} // namespace natalis::dialogs
