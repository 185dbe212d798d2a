#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QWidget;

namespace natalis::app {

// Puts a status bar "StatusBar1" at the end of layout and returns its panel 1, where the dialogs
// of the settings, chooser and import windows tell the user what went wrong or what they do.
QLabel *addStatusPanel(QBoxLayout *layout, QWidget *parent);

// Colours the list, text and combo boxes under root with skin 1..4: background item 0, text
// item 1.
void applyListSkin(QWidget *root, int skin);

} // namespace natalis::app
