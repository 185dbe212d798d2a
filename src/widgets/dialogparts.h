#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace natalis::app {

// A button with its control name. It is never an auto-default button: Enter in a text box must
// not press whichever button happens to be the default behind the user's back.
QPushButton *namedButton(
    QWidget *parent, const QString &name, const QString &caption, const QString &toolTip = {});

// A label with its control name.
QLabel *namedLabel(QWidget *parent, const QString &name, const QString &text = {});

// Puts a status bar "StatusBar1" at the end of layout and returns its panel 1, where the dialogs
// of the settings, chooser and import windows tell the user what went wrong or what they do.
QLabel *addStatusPanel(QBoxLayout *layout, QWidget *parent);

// Colours the list, text and combo boxes under root with skin 1..4: background item 0, text
// item 1.
void applyListSkin(QWidget *root, int skin);

} // namespace natalis::app
