#include "dialogs/frmverselect.h"

#include "widgets/dialogparts.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace natalis::dialogs {

namespace {

using transfer::ImportLayout;

constexpr std::array<ImportLayout, 4> OptionLayouts = {
    ImportLayout::V31,
    ImportLayout::V30,
    ImportLayout::V20,
    ImportLayout::V10,
};

} // namespace

frmVerSelect::frmVerSelect(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmVerSelect"));
    setWindowTitle(QStringLiteral("从旧版本导出的生日文件导入生日"));
    const QStringList captions = { QStringLiteral("青萍生日提醒v3.1"),
        QStringLiteral("青萍生日提醒v3.0"), QStringLiteral("青萍生日提醒v2.0"),
        QStringLiteral("青萍生日提醒v1.0") };
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("版本选择: "), this));
    for (int i = 0; i < int(m_options.size()); ++i) {
        m_options[i] = new QRadioButton(captions[i], this);
        m_options[i]->setObjectName(QStringLiteral("optVer_%1").arg(i));
        layout->addWidget(m_options[i]);
    }
    m_options[0]->setChecked(true);
    auto *buttons = new QDialogButtonBox(this);
    connect(actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Accept),
        &QPushButton::clicked, this, &frmVerSelect::cmdOK_Click);
    connect(actButton(buttons, QStringLiteral("cmdNo"), widgets::WindowAct::Reject),
        &QPushButton::clicked, this, &frmVerSelect::cmdNo_Click);
    layout->addWidget(buttons);
}

void frmVerSelect::selectVersion(int option)
{
    if (option >= 0 && option < int(m_options.size()))
        m_options[option]->setChecked(true);
}

void frmVerSelect::cmdOK_Click()
{
    for (int i = 0; i < int(m_options.size()); ++i) {
        if (m_options[i]->isChecked())
            m_chosen = OptionLayouts[i];
    }
    accept();
}

void frmVerSelect::cmdNo_Click()
{
    m_chosen.reset();
    reject();
}

} // namespace natalis::dialogs
