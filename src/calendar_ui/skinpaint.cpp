#include "calendar_ui/skinpaint.h"

#include "widgets/skincolors.h"

#include <QComboBox>
#include <QPalette>

namespace natalis::calendar_ui {

namespace {

void setColours(QWidget *widget, int skin, int backItem, int textItem)
{
    QPalette palette = widget->palette();
    if (backItem >= 0) {
        const QColor back = widgets::skinColor(skin, backItem);
        palette.setColor(QPalette::Window, back);
        palette.setColor(QPalette::Base, back);
        palette.setColor(QPalette::Button, back);
        widget->setAutoFillBackground(true);
    }
    const QColor text = widgets::skinColor(skin, textItem);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    widget->setPalette(palette);
}

} // namespace

void paintComboBox(QComboBox *box, int skin)
{
    setColours(box, skin, 0, 1);
}

void paintCaption(QWidget *label, int skin)
{
    setColours(label, skin, -1, 3);
}

void paintWeekdayHeader(QWidget *label, int skin)
{
    setColours(label, skin, 8, 3);
}

void paintNotice(QWidget *label, int skin)
{
    setColours(label, skin, 10, 11);
}

void paintBackground(QWidget *widget, int skin, int item)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, widgets::skinColor(skin, item));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace natalis::calendar_ui
