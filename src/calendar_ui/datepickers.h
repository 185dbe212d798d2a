#pragma once

#include <QDate>
#include <QString>

class QWidget;

namespace natalis::calendar_ui {

// Shows the picker modally below `anchor` (may be null). PickedGLText/PickedNLText carry the
// caller's texts in and the picked day's texts out; returns true when a day was picked, false on
// cmdExit or close (both texts then unchanged). `skin` is 1..4; `today` marks today's cell and
// gives the month shown when the caller's text is empty.
bool pickGregorianDate(
    QWidget *anchor, int skin, QDate today, QString &PickedGLText, QString &PickedNLText);
bool pickLunarDate(
    QWidget *anchor, int skin, QDate today, QString &PickedGLText, QString &PickedNLText);

} // namespace natalis::calendar_ui
