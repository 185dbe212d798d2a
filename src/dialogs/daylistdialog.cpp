#include "dialogs/daylistdialog.h"

#include "widgets/pictures.h"
#include "widgets/skincolors.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

// A picture that closes its window when clicked.
class ClosePicture : public QLabel
{
public:
    explicit ClosePicture(QDialog *dialog) : QLabel(dialog), m_dialog(dialog)
    {
        setObjectName(QStringLiteral("Image1"));
        setPixmap(app::picture(Picture::Close).pixmap(16, 16));
        setCursor(Qt::PointingHandCursor);
        setToolTip(QStringLiteral("关闭"));
    }

protected:
    void mouseReleaseEvent(QMouseEvent *) override { m_dialog->close(); }

private:
    QDialog *m_dialog;
};

} // namespace

DayListDialog::DayListDialog(int skin, QWidget *parent)
    : QDialog(parent), m_skin(skin), m_frame(new QFrame(this)), m_date(new QLabel(m_frame)),
      m_body(new QVBoxLayout)
{
    setWindowTitle(QStringLiteral("节假日/生日列表"));
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setStyleSheet(
        QStringLiteral("#Frame1 { border: 2px solid %1; }").arg(skinColor(skin, 13).name()));
    m_date->setObjectName(QStringLiteral("lblDate"));

    auto *heading = new QHBoxLayout;
    heading->addWidget(m_date, 1);
    heading->addWidget(new ClosePicture(this), 0, Qt::AlignTop);
    m_body->addLayout(heading);
    m_frame->setLayout(m_body);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(m_frame);
}

void DayListDialog::paintList(QWidget *list) const
{
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, skinColor(m_skin, 0));
    palette.setColor(QPalette::Text, skinColor(m_skin, 1));
    list->setPalette(palette);
}

} // namespace natalis::app
