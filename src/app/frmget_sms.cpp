// The main window's SMS panel, which folds out under the lists: while it is open the lists
// take ticks.

#include "app/frmget.h"
#include "app/smspanel.h"

#include <QCheckBox>
#include <QDir>
#include <QLayout>
#include <QPushButton>
#include <QScreen>

namespace natalis::app {

QString frmGet::smsPanelCaption(bool open)
{
    return open ? QStringLiteral("短信窗口(▲)") : QStringLiteral("短信窗口(▼)");
}

void frmGet::buildSmsPanel()
{
    QList<ShownList> lists;
    for (int index = 0; index < CategoryCount; ++index)
        lists.append({ m_models[index], m_proxies[index] });
    m_smsPanel = new SmsPanel(m_context, m_messages, m_clock, lists, this);
    connect(m_smsPanel, &SmsPanel::statusChanged, this, &frmGet::setStatus);
    connect(m_smsPanel, &SmsPanel::modalChanged, this, &frmGet::setModal);
    connect(m_smsPanel, &SmsPanel::closeRequested, this, &frmGet::Image2_Click);
    connect(m_smsPanel, &SmsPanel::ticksCleared, this, [this] { m_typeSel->setChecked(false); });
    connect(m_smsPanel, &SmsPanel::documentRequested, this, [this](const QString &path) {
        openDocument(path, [this, path] {
            setStatus(
                1, QStringLiteral("没有可以打开%1的程序").arg(QDir::toNativeSeparators(path)));
        });
    });
    centralWidget()->layout()->addWidget(m_smsPanel);
}

void frmGet::cmdDuanxin_Click()
{
    showSmsPanel(!m_smsPanel->isOpen());
}

void frmGet::Image2_Click()
{
    if (m_smsPanel->isOpen())
        showSmsPanel(false);
}

void frmGet::chkTypeSel_Click(bool checked)
{
    m_models[currentCategory()]->setAllTicks(checked); // recounts through ticksChanged
}

void frmGet::showSmsPanel(bool open)
{
    for (dialogs::BirthdayListModel *model : m_models) {
        model->setCheckable(open);
        if (open)
            model->setAllTicks(false);
    }
    m_typeSel->setChecked(false);
    m_typeSel->setVisible(open);
    m_duanxin->setText(smsPanelCaption(open));
    m_duanxin->setAccessibleDescription(
        open ? QStringLiteral("收起短信群发") : QStringLiteral("展开短信群发"));
    m_smsPanel->setOpen(open);
    resizeForSmsPanel(open);
    m_smsPanel->ProcTelSelect();
}

// The window grows by the panel, as far as the screen allows, and shrinks back to its height
// before, so the lists keep their height.
void frmGet::resizeForSmsPanel(bool open)
{
    if (isMaximized() || isFullScreen())
        return;
    if (!open) {
        if (m_heightWithoutSmsPanel > 0)
            resize(width(), m_heightWithoutSmsPanel);
        return;
    }
    m_heightWithoutSmsPanel = height();
    int wanted = height() + m_smsPanel->sizeHint().height();
    if (const QScreen *display = screen()) {
        const int frame = frameGeometry().height() - height();
        wanted = qMin(wanted, display->availableGeometry().height() - frame);
    }
    resize(width(), qMax(wanted, height()));
}

} // namespace natalis::app
