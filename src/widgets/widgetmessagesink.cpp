#include "widgets/widgetmessagesink.h"

#include <QMessageBox>
#include <QPushButton>

namespace natalis::widgets {

namespace {

QMessageBox::Icon boxIcon(platform::MessageIcon icon)
{
    switch (icon) {
    case platform::MessageIcon::Information:
        return QMessageBox::Information;
    case platform::MessageIcon::Question:
        return QMessageBox::Question;
    case platform::MessageIcon::Warning:
        return QMessageBox::Warning;
    case platform::MessageIcon::Critical:
        return QMessageBox::Critical;
    case platform::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A long path has no blank to break at, and the box grew wider than the screen: a run of text
// without a break is broken into lines after a folder separator once it is long, and
// anywhere once it is very long, so the box keeps a size that fits its text.
QString breakableText(const QString &text)
{
    constexpr int BreakAfterSeparator = 60;
    constexpr int BreakAnywhere = 90;
    QString shown;
    shown.reserve(text.size() + text.size() / BreakAfterSeparator);
    int run = 0;
    for (const QChar c : text) {
        shown += c;
        run = c.isSpace() ? 0 : run + 1;
        if ((run >= BreakAfterSeparator && c == u'/') || run >= BreakAnywhere) {
            shown += u'\n';
            run = 0;
        }
    }
    return shown;
}

} // namespace

platform::MessageButton WidgetMessageSink::show(const QString &text, const QString &title,
    platform::MessageIcon icon, platform::MessageButtons buttons)
{
    QMessageBox box(boxIcon(icon), title, breakableText(text), QMessageBox::NoButton, m_owner);
    switch (buttons) {
    case platform::MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case platform::MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case platform::MessageButtons::YesNo:
        // A question that destroys something defaults to No.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return platform::MessageButton::Yes;
    case QMessageBox::No:
        return platform::MessageButton::No;
    case QMessageBox::Cancel:
        return platform::MessageButton::Cancel;
    default:
        return buttons == platform::MessageButtons::YesNo ? platform::MessageButton::No
                                                          : platform::MessageButton::Ok;
    }
}

int WidgetMessageSink::choose(const QString &text, const QString &title, platform::MessageIcon icon,
    const QStringList &buttons)
{
    QMessageBox box(boxIcon(icon), title, breakableText(text), QMessageBox::NoButton, m_owner);
    QList<QAbstractButton *> shown;
    for (const QString &button : buttons)
        shown.append(box.addButton(button, QMessageBox::ActionRole));
    if (!shown.isEmpty()) {
        // The first is the way the caller recommends; the last, as closing the box, the way out.
        box.setDefaultButton(qobject_cast<QPushButton *>(shown.first()));
        box.setEscapeButton(shown.last());
    }
    box.exec();
    return int(shown.indexOf(box.clickedButton()));
}

} // namespace natalis::widgets
