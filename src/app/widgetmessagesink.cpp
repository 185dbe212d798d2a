#include "app/widgetmessagesink.h"

#include <QMessageBox>

namespace natalis::app {

namespace {

QMessageBox::Icon boxIcon(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A long path has no blank to break at, and the box grew wider than the screen: a
// zero-width break after each folder separator lets the text wrap inside a box of its own size.
QString breakableText(const QString &text)
{
    QString shown = text;
    shown.replace(u'/', QStringLiteral("/\u200B"));
    return shown;
}

} // namespace

MessageButton WidgetMessageSink::show(
    const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons)
{
    QMessageBox box(boxIcon(icon), title, breakableText(text), QMessageBox::NoButton, m_owner);
    switch (buttons) {
    case MessageButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MessageButtons::YesNo:
        // A question that destroys something defaults to No.
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageButton::Yes;
    case QMessageBox::No:
        return MessageButton::No;
    case QMessageBox::Cancel:
        return MessageButton::Cancel;
    default:
        return buttons == MessageButtons::YesNo ? MessageButton::No : MessageButton::Ok;
    }
}

} // namespace natalis::app
