#pragma once

class QComboBox;
class QWidget;

namespace natalis::calendar_ui {

// The static colours the calendar and both pickers take from skin 1..4.
void paintComboBox(QComboBox *box, int skin); // back item 0, text item 1
void paintCaption(QWidget *label, int skin); // text item 3
void paintWeekdayHeader(QWidget *label, int skin); // text item 3 on item 8
void paintNotice(QWidget *label, int skin); // text item 11 on item 10
void paintBackground(QWidget *widget, int skin, int item);

} // namespace natalis::calendar_ui
