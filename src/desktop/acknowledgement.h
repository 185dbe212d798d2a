#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace natalis::desktop {

// When the user has seen the reminder in the main window. Only an act of the user counts: a
// window manager activates a window the program shows, and that activation must not stop the
// reminder of a login. So after the program showed the window, its activation counts only once
// the user has typed or clicked into it, or has left it and come back.
class AcknowledgementRule
{
public:
    void programShows() { m_shownByProgram = true; }
    // Each returns true when the event acknowledges the reminder.
    bool activated() const { return !m_shownByProgram; }
    bool userInput()
    {
        const bool acknowledges = m_shownByProgram;
        m_shownByProgram = false;
        return acknowledges;
    }
    void deactivated() { m_shownByProgram = false; }

private:
    bool m_shownByProgram = false;
};

// Feeds the rule with the activation of window and the user's presses and keys inside it,
// and calls acknowledge when it says so.
class AcknowledgementGate : public QObject
{
public:
    AcknowledgementGate(QWidget *window, std::function<void()> acknowledge);
    ~AcknowledgementGate() override;

    void programShows() { m_rule.programShows(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_window;
    std::function<void()> m_acknowledge;
    AcknowledgementRule m_rule;
};

} // namespace natalis::desktop
