#include "widgets/dialogparts.h"

#include "widgets/skincolors.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

namespace natalis::widgets {

QPushButton *namedButton(
    QWidget *parent, const QString &name, const QString &caption, const QString &toolTip)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setAutoDefault(false);
    return button;
}

QString actCaption(WindowAct act)
{
    switch (act) {
    case WindowAct::Close:
        return QStringLiteral("关闭(&E)");
    case WindowAct::Accept:
        return QStringLiteral("确定(&Y)");
    case WindowAct::Reject:
        break;
    }
    return QStringLiteral("取消(&N)");
}

QPushButton *actButton(QDialogButtonBox *buttons, const QString &name, WindowAct act)
{
    QPushButton *button = namedButton(buttons, name, actCaption(act));
    buttons->addButton(button,
        act == WindowAct::Accept ? QDialogButtonBox::AcceptRole : QDialogButtonBox::RejectRole);
    button->setDefault(act == WindowAct::Accept);
    return button;
}

QLabel *namedLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

void nameForReader(QWidget *control, const QString &name, const QString &description)
{
    control->setAccessibleName(name);
    if (!description.isEmpty())
        control->setAccessibleDescription(description);
}

void announce(QLabel *status, const QString &text)
{
    status->setText(text);
    // Setting the name sends the name change itself.
    status->setAccessibleName(text);
    if (text.isEmpty())
        return;
    QAccessibleEvent alert(status, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QLabel *addStatusPanel(QBoxLayout *layout, QWidget *parent)
{
    auto *bar = new QStatusBar(parent);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    auto *panel = new QLabel(bar);
    panel->setObjectName(QStringLiteral("StatusBar1_1"));
    bar->addWidget(panel, 1);
    layout->addWidget(bar);
    return panel;
}

void applyListSkin(QWidget *root, int skin)
{
    const QColor background = skinColor(skin, 0);
    const QColor text = skinColor(skin, 1);
    if (!background.isValid() || !text.isValid())
        return;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QComboBox *>(w)
            && !qobject_cast<QAbstractItemView *>(w))
            continue;
        QPalette palette = w->palette();
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Text, text);
        w->setPalette(palette);
    }
}

} // namespace natalis::widgets
