#pragma once

#include "sms/groupsend.h"
#include "widgets/modalrunner.h"

#include <QGroupBox>
#include <QList>
#include <array>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSortFilterProxyModel;

namespace natalis::dialogs {
class BirthdayListModel;
} // namespace natalis::dialogs

namespace natalis::platform {
class Clock;
class MessageSink;
enum class MessageButton;
enum class MessageButtons;
enum class MessageIcon;
} // namespace natalis::platform

namespace natalis::session {
struct AppContext;
} // namespace natalis::session

namespace natalis::app {

// One birthday list of the main window: its rows, and the order the user sees them in.
struct ShownList
{
    dialogs::BirthdayListModel *model;
    const QSortFilterProxyModel *order;
};

// The main window's SMS group-sending panel: recipients from the ticked list entries and from
// numbers typed in or imported for this send, one text, sent at once or scheduled at the gateway.
// The window folds it out and in (setOpen); the ticks count only while it is open.
class SmsPanel : public QGroupBox
{
    Q_OBJECT

public:
    SmsPanel(session::AppContext &context, platform::MessageSink &messages,
        const platform::Clock &clock, QList<ShownList> lists, QWidget *parent = nullptr);
    ~SmsPanel() override;

    void setOpen(bool open);
    bool isOpen() const { return m_open; }

    // The account list from the registered accounts.
    void AlterGetCboUser();
    // The counters, and which of the sending controls may act.
    void ProcTelSelect();
    int CountNumbersByKind(QChar digit) const;
    bool CheckScheduleTime() const;
    void cmdBalance_Click();
    void cmdPrice_Click();
    void cmdTmpAdd_Click();
    void cmdTmpDel_Click();
    void cmdTmpCls_Click();
    void cmdTmpFAdd_Click();
    // The number import of cmdTmpFAdd once a file is chosen.
    void importTemporaryNumbers(const QString &path);
    void cmdMdbCls_Click();
    void cmdSend_Click(int index); // 0 at once, 1 scheduled
    void Command7_Click();
    void Label7_Click();
    void cmdDxSet_Click();
    void openScheduleGregorianPicker();
    void openScheduleLunarPicker();

    // What tests replace: the Gregorian date picker of the schedule and the runner of the
    // panel's dialogs (history, SMS settings, the number file's chooser).
    using DatePicker = std::function<bool(QWidget *anchor, QString &gl, QString &nl)>;
    DatePicker pickGregorianDate = [this](QWidget *anchor, QString &gl, QString &nl) {
        return pickDate(false, anchor, gl, nl);
    };
    widgets::ModalRunner runDialog = [](QDialog &dialog) { dialog.exec(); };

Q_SIGNALS:
    // Text for the window's status bar panel 1..5.
    void statusChanged(int panel, const QString &text);
    // A dialog or message of the panel opens (true) or has closed (false).
    void modalChanged(bool busy);
    // The up-arrow beside the accounts.
    void closeRequested();
    // "清空生日数据库中所选" has removed every tick.
    void ticksCleared();
    // An SMS went out (the activity indicator's cue).
    void smsSent();
    // A file to open with the desktop's program for it.
    void documentRequested(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Brackets a dialog or message of the panel: the window is modal-busy while it lives.
    class ModalGuard
    {
    public:
        explicit ModalGuard(SmsPanel &panel) : m_panel(panel) { Q_EMIT m_panel.modalChanged(true); }
        ~ModalGuard() { Q_EMIT m_panel.modalChanged(false); }
        ModalGuard(const ModalGuard &) = delete;
        ModalGuard &operator=(const ModalGuard &) = delete;

    private:
        SmsPanel &m_panel;
    };

    QWidget *buildAccountRow();
    QWidget *buildTemporaryNumbers();
    QWidget *buildText();
    QWidget *buildSchedule();
    void paintKeywordsLink();
    void connectControls();
    void txtContent_Change();
    void cboDxTxUser_Click(int index);
    sms::GroupRecipients groupRecipients() const;
    QString smsText() const;
    bool pickDate(bool lunar, QWidget *anchor, QString &gl, QString &nl) const;
    void openSchedulePicker(const DatePicker &picker, QLineEdit *anchor);
    platform::MessageButton ask(const QString &text, const QString &title,
        platform::MessageIcon icon, platform::MessageButtons buttons);
    void tell(const QString &text, const QString &title);
    // The text as the gateway gets it: the typed text without line breaks.
    static QString withoutLineBreaks(QString text);
    // The group send goes on in steps: each gateway call on the gateway's thread, what follows
    // it in the slot its answer comes back to.
    using BufferOperation = sms::GatewayResult (sms::SmsGateway::*)(const QString &, QString &);
    void askForBuffer(BufferOperation operation, const QString &account,
        std::function<void(sms::GatewayResult, const QString &)> answered);
    void startGroupSend(sms::GroupSend send, int index);
    void groupBalanceAnswered(sms::GatewayResult result, const QString &buffer);
    void sendNextBatch();
    void endGroupSend();
    // The context of the group send's own steps; none answers any gateway call with a failure.
    sms::SmsSendContext sendContext(sms::SmsGateway &none) const;
    void clearAfterGroupSend(int index);
    bool smsBusy() const;
    // The program is ending: a gateway call that came back empty for it says nothing more.
    bool programEnding() const;

    session::AppContext &m_context;
    platform::MessageSink &m_messages;
    const platform::Clock &m_clock;
    QList<ShownList> m_lists;
    bool m_open = false;
    // The last group send while some of its batches have not gone out: sending it again
    // continues it rather than sending the batches that went out a second time.
    std::optional<sms::GroupSend> m_unfinishedGroupSend;
    // The group send under way; while it is, no other may start.
    struct GroupSending
    {
        sms::GroupSend send;
        int index = 0; // 0 at once, 1 scheduled
        QString accountItem;
        qsizetype next = 0; // the batch whose turn it is
        sms::GroupSendSummary summary;
    };
    std::optional<GroupSending> m_sending;

    QComboBox *m_user = nullptr;
    QPushButton *m_balance = nullptr;
    QPushButton *m_price = nullptr;
    QListWidget *m_tmpList = nullptr;
    QLineEdit *m_tmpText = nullptr;
    QPushButton *m_tmpAdd = nullptr;
    QPushButton *m_tmpDel = nullptr;
    QPushButton *m_tmpCls = nullptr;
    QPushButton *m_tmpFAdd = nullptr;
    QLabel *m_selNums = nullptr;
    QLabel *m_tmpNums = nullptr;
    QLabel *m_telNums = nullptr;
    QPlainTextEdit *m_content = nullptr;
    QLabel *m_zfNums = nullptr;
    QLabel *m_fgNums = nullptr;
    QLabel *m_fgNums1 = nullptr;
    QLineEdit *m_yyGL = nullptr;
    QLineEdit *m_yyNl = nullptr;
    QComboBox *m_hour = nullptr;
    QComboBox *m_minute = nullptr;
    std::array<QPushButton *, 2> m_send {};
    QLabel *m_keywords = nullptr;
};

} // namespace natalis::app
