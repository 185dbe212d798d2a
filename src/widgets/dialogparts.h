#pragma once

#include <QDialogButtonBox>
#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace natalis::widgets {

// A button with its control name. It is never an auto-default button: Enter in a text box must
// not press whichever button happens to be the default behind the user's back.
QPushButton *namedButton(
    QWidget *parent, const QString &name, const QString &caption, const QString &toolTip = {});

// What a button does to its window. Each act has one wording in every window, with a letter that
// no window gives to another of its controls: close E, accept Y, reject N.
enum class WindowAct { Close, Accept, Reject };

QString actCaption(WindowAct act);

// A named button for act in buttons, under the role that makes the box put it where the desktop
// puts such a button (closing is the reject role, as the box's own Close button has it). An
// accepting button is the window's default, so that Enter accepts as in every dialog.
QPushButton *actButton(QDialogButtonBox *buttons, const QString &name, WindowAct act);

// A label with its control name.
QLabel *namedLabel(QWidget *parent, const QString &name, const QString &text = {});

// Names a control for screen readers. The description is for controls whose name alone leaves
// open what they do or what they take.
void nameForReader(QWidget *control, const QString &name, const QString &description = {});

// Shows a message on a status label and has a screen reader say it at once: the label's
// accessible name follows the message, and a non-empty message is raised as an alert, since the
// user's focus stays on the field that was refused.
void announce(QLabel *status, const QString &text);

// Puts a status bar "StatusBar1" at the end of layout and returns its panel 1, where the dialogs
// of the settings, chooser and import windows tell the user what went wrong or what they do.
QLabel *addStatusPanel(QBoxLayout *layout, QWidget *parent);

// Colours the list, text and combo boxes under root with skin 1..4: background item 0, text
// item 1.
void applyListSkin(QWidget *root, int skin);

} // namespace natalis::widgets
