#include "dialogs/daylistdialog.h"

#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace natalis::dialogs {

DayListDialog::DayListDialog(int skin, QWidget *parent)
    : QDialog(parent), m_skin(skin), m_frame(new QFrame(this)), m_date(new QLabel(m_frame)),
      m_body(new QVBoxLayout)
{
    setWindowTitle(QStringLiteral("节假日/生日列表"));
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setStyleSheet(QStringLiteral("#Frame1 { border: 2px solid %1; }")
                               .arg(widgets::skinColor(skin, 13).name()));
    m_date->setObjectName(QStringLiteral("lblDate"));

    m_body->addWidget(m_date);
    m_frame->setLayout(m_body);

    auto *buttons = new QDialogButtonBox(this);
    connect(actButton(buttons, QStringLiteral("cmdExit"), widgets::WindowAct::Close),
        &QPushButton::clicked, this, &QDialog::reject);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(m_frame, 1);
    outer->addWidget(buttons);
}

void DayListDialog::paintList(QWidget *list) const
{
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, widgets::skinColor(m_skin, 0));
    palette.setColor(QPalette::Text, widgets::skinColor(m_skin, 1));
    list->setPalette(palette);
}

} // namespace natalis::dialogs
