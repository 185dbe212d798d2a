#include "calendar_ui/datepickers.h"

#include "calendar_ui/frmindate.h"
#include "calendar_ui/frmindate1.h"

#include <QWidget>

namespace natalis::calendar_ui {

namespace {

bool runPicker(PickerDialog &picker, QWidget *anchor, QString &glText, QString &nlText)
{
    if (anchor)
        picker.move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    if (picker.exec() != QDialog::Accepted)
        return false;
    glText = picker.PickedGLText();
    nlText = picker.PickedNLText();
    return true;
}

} // namespace

bool pickGregorianDate(
    QWidget *anchor, int skin, QDate today, QString &PickedGLText, QString &PickedNLText)
{
    frmInDate picker(skin, today, PickedGLText, anchor);
    return runPicker(picker, anchor, PickedGLText, PickedNLText);
}

bool pickLunarDate(
    QWidget *anchor, int skin, QDate today, QString &PickedGLText, QString &PickedNLText)
{
    frmInDate1 picker(skin, today, PickedNLText, anchor);
    return runPicker(picker, anchor, PickedGLText, PickedNLText);
}

} // namespace natalis::calendar_ui
