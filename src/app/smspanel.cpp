#include "app/smspanel.h"

#include "app/smssetupaction.h"
#include "calendar_ui/datepickers.h"
#include "dialogs/birthdaylistmodel.h"
#include "dialogs/filechooser.h"
#include "dialogs/frmdxhist.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/smsgatewayprocess.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "sms/smssetup.h"
#include "store/phonenumber.h"
#include "transfer/numberfile.h"
#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>

namespace natalis::app {

namespace {

const QString TemporaryImportTitle = QStringLiteral("临时手机号码导入");

} // namespace

QString SmsPanel::withoutLineBreaks(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

// Accounts and counters

void SmsPanel::AlterGetCboUser()
{
    m_user->clear();
    m_user->addItems(sms::smsAccountItems(m_context.SmsAccounts));
    const bool anyAccount = m_user->count() >= 2;
    m_user->setCurrentIndex(anyAccount ? 1 : 0);
    m_balance->setEnabled(anyAccount);
    m_price->setEnabled(anyAccount);
}

void SmsPanel::cboDxTxUser_Click(int index)
{
    m_balance->setEnabled(index >= 1);
    m_price->setEnabled(index >= 1);
    ProcTelSelect();
}

sms::GroupRecipients SmsPanel::groupRecipients() const
{
    sms::GroupRecipients recipients;
    if (m_open) {
        // In the order the user sees each list.
        for (const ShownList &list : m_lists) {
            for (int row = 0; row < list.order->rowCount(); ++row) {
                const int entry = list.order->mapToSource(list.order->index(row, 0)).row();
                if (list.model->isTicked(entry))
                    recipients.ticked.append({ list.model->cell(entry, 0),
                        list.model->cell(entry, dialogs::BirthdayListModel::TelColumn) });
            }
        }
    }
    for (int row = 0; row < m_tmpList->count(); ++row)
        recipients.temporary << m_tmpList->item(row)->text();
    return recipients;
}

QString SmsPanel::smsText() const
{
    return withoutLineBreaks(m_content->toPlainText()).trimmed();
}

int SmsPanel::CountNumbersByKind(QChar digit) const
{
    return sms::CountNumbersByKind(groupRecipients(), digit);
}

bool SmsPanel::smsBusy() const
{
    return m_sending || (m_context.SmsGateway && m_context.SmsGateway->isBusy());
}

bool SmsPanel::programEnding() const
{
    return m_context.SmsGateway && m_context.SmsGateway->isFinishing();
}

void SmsPanel::ProcTelSelect()
{
    // Runs on every tick: counting is enough, the recipients are gathered only to send.
    int ticked = 0;
    if (m_open) {
        for (const ShownList &list : std::as_const(m_lists))
            ticked += list.model->tickedCount();
    }
    const int temporary = m_tmpList->count();
    const int total = ticked + temporary;
    m_telNums->setText(QString::number(total));
    m_selNums->setText(QString::number(ticked));
    m_tmpNums->setText(QString::number(temporary));
    // While the gateway is busy the sending controls wait: one call at a time.
    const bool idle = !smsBusy();
    const bool account = m_user->currentIndex() >= 1;
    const bool ready = idle && total > 0 && account && !smsText().isEmpty();
    m_send[0]->setEnabled(ready);
    m_send[1]->setEnabled(ready && CheckScheduleTime());
    m_balance->setEnabled(idle && account);
    m_price->setEnabled(idle && account);
}

bool SmsPanel::CheckScheduleTime() const
{
    return sms::CheckScheduleTime(
        sms::scheduleMoment(m_yyGL->text(), m_hour->currentText(), m_minute->currentText()),
        m_clock.now());
}

void SmsPanel::txtContent_Change()
{
    const QString typed = m_content->toPlainText();
    const QString text = withoutLineBreaks(typed);
    if (text != typed) {
        const QSignalBlocker quiet(m_content);
        m_content->setPlainText(text);
        m_content->moveCursor(QTextCursor::End);
    }
    const sms::SmsContentCounters counters = sms::contentCounters(text);
    m_zfNums->setText(QString::number(counters.characters));
    m_fgNums->setText(QString::number(counters.mobileMessages));
    m_fgNums1->setText(QString::number(counters.phsMessages));
    ProcTelSelect();
}

// Ticks

void SmsPanel::cmdMdbCls_Click()
{
    for (const ShownList &list : std::as_const(m_lists))
        list.model->setAllTicks(false); // recounts through ticksChanged
    Q_EMIT ticksCleared();
}

// Temporary numbers

void SmsPanel::cmdTmpAdd_Click()
{
    const QString number = m_tmpText->text().trimmed();
    m_tmpText->setFocus();
    const bool listed = !m_tmpList->findItems(number, Qt::MatchExactly).isEmpty();
    if (!store::IsPhoneNumber(number) || listed) {
        // The one message there is for both refusals; a repeated number is what it names.
        if (listed)
            Q_EMIT statusChanged(1, QStringLiteral("临时手机号码重复,请重新输入!"));
        m_tmpText->selectAll();
        return;
    }
    m_tmpList->addItem(number);
    m_tmpText->clear();
    m_tmpCls->setEnabled(true);
    ProcTelSelect();
}

void SmsPanel::cmdTmpDel_Click()
{
    const QList<QListWidgetItem *> selected = m_tmpList->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    m_tmpDel->setEnabled(!m_tmpList->selectedItems().isEmpty());
    ProcTelSelect();
}

void SmsPanel::cmdTmpCls_Click()
{
    m_tmpList->clear();
    m_tmpCls->setEnabled(false);
    m_tmpDel->setEnabled(false);
    ProcTelSelect();
}

void SmsPanel::cmdTmpFAdd_Click()
{
    dialogs::PickedFile picked;
    bool chosen = false;
    {
        const ModalGuard modal(*this);
        chosen = pickFile(window(), picked, QStringLiteral("从外部文本文件中导入临时手机号码"),
            dialogs::TextFileFilter, runDialog, dialogs::ChooserUse::Numbers);
    }
    if (chosen && !picked.PickedFileText.isEmpty())
        importTemporaryNumbers(picked.PickedFileText);
}

void SmsPanel::importTemporaryNumbers(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        tell(path + QStringLiteral("不存在"), QStringLiteral("生日导入"));
        return;
    }
    Q_EMIT statusChanged(1, QStringLiteral("外部文本文件中导入临时手机号码分析提取中,请稍候..."));
    QStringList listed;
    for (int row = 0; row < m_tmpList->count(); ++row)
        listed << m_tmpList->item(row)->text();
    const transfer::NumberFileReading reading = transfer::readPhoneNumberFile(path, listed);
    if (!reading.readable) {
        const QString message =
            path + reading.refusal + QStringLiteral("没有导入任何有效的临时手机号码!");
        Q_EMIT statusChanged(1, message);
        tell(message, TemporaryImportTitle);
        return;
    }
    m_tmpList->addItems(reading.added);
    const QString message = reading.added.isEmpty()
        ? QStringLiteral("号码重复或者外部文件为空,没有导入任何有效的临时手机号码!")
        : QStringLiteral("从外部文本文件中导入了%1个有效的临时手机号码!").arg(reading.added.size());
    Q_EMIT statusChanged(1, message);
    tell(message, TemporaryImportTitle);
    m_tmpCls->setEnabled(m_tmpList->count() > 0);
    ProcTelSelect();
}

// Gateway questions

platform::MessageButton SmsPanel::ask(const QString &text, const QString &title,
    platform::MessageIcon icon, platform::MessageButtons buttons)
{
    const ModalGuard modal(*this);
    return m_messages.show(text, title, icon, buttons);
}

void SmsPanel::tell(const QString &text, const QString &title)
{
    ask(text, title, platform::MessageIcon::None, platform::MessageButtons::Ok);
}

// The other windows of the panel

void SmsPanel::Command7_Click()
{
    if (!m_context.DbConnection)
        return;
    const ModalGuard modal(*this);
    dialogs::frmDxHist history({ *m_context.DbConnection, m_context.SmsAccounts, m_clock,
                                   m_context.ComputerName, m_context.CurrentSkin },
        window());
    widgets::runModal(runDialog, history);
}

void SmsPanel::Label7_Click()
{
    const QString keywords =
        QFileInfo(m_context.DbPath).dir().filePath(QStringLiteral("wgkeys.txt"));
    if (!QFileInfo::exists(keywords)) {
        Q_EMIT statusChanged(1, keywords + QStringLiteral("不存在"));
        return;
    }
    Q_EMIT documentRequested(keywords);
}

void SmsPanel::cmdDxSet_Click()
{
    {
        const ModalGuard modal(*this);
        runSmsSetup(window(), m_context, m_messages, runDialog);
    }
    // Accounts registered or unregistered in there count whether or not the rest was saved.
    AlterGetCboUser();
    ProcTelSelect();
}

bool SmsPanel::pickDate(bool lunar, QWidget *anchor, QString &gl, QString &nl) const
{
    const QDate today = m_clock.now().date();
    return lunar ? calendar_ui::pickLunarDate(anchor, m_context.CurrentSkin, today, gl, nl)
                 : calendar_ui::pickGregorianDate(anchor, m_context.CurrentSkin, today, gl, nl);
}

void SmsPanel::openScheduleGregorianPicker()
{
    openSchedulePicker(pickGregorianDate, m_yyGL);
}

void SmsPanel::openScheduleLunarPicker()
{
    openSchedulePicker([this](QWidget *anchor, QString &gl,
                           QString &nl) { return pickDate(true, anchor, gl, nl); },
        m_yyNl);
}

void SmsPanel::openSchedulePicker(const DatePicker &picker, QLineEdit *anchor)
{
    QString gl = m_yyGL->text();
    QString nl = m_yyNl->text();
    bool picked = false;
    {
        const ModalGuard modal(*this);
        picked = picker(anchor, gl, nl);
    }
    if (!picked || (gl == m_yyGL->text() && nl == m_yyNl->text()))
        return;
    m_yyGL->setText(gl);
    m_yyNl->setText(nl);
    ProcTelSelect();
}

// The link takes the palette's link colour, so it follows the desktop into a dark theme where a
// fixed blue would not read; a theme whose link colour does not read on its window is corrected.
void SmsPanel::paintKeywordsLink()
{
    QPalette linkPalette = m_keywords->palette();
    linkPalette.setColor(QPalette::WindowText,
        widgets::readableOn(palette().color(QPalette::Link), palette().color(QPalette::Window)));
    m_keywords->setPalette(linkPalette);
}

void SmsPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange && m_keywords)
        paintKeywordsLink();
    QGroupBox::changeEvent(event);
}

bool SmsPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_keywords && event->type() == QEvent::MouseButtonRelease) {
        Label7_Click();
        return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void SmsPanel::keyPressEvent(QKeyEvent *event)
{
    // Delete in the temporary numbers removes the selected number, never a birthday.
    if (event->key() == Qt::Key_Delete && focusWidget() == m_tmpList) {
        cmdTmpDel_Click();
        return;
    }
    QGroupBox::keyPressEvent(event);
}

} // namespace natalis::app
