#include "app/smspanel.h"

#include "app/birthdaylistmodel.h"
#include "app/smssetupaction.h"
#include "calendar_ui/datebox.h"
#include "calendar_ui/datepickers.h"
#include "calendar_ui/typeddate.h"
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
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QToolButton>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

const QString ContentToolTip = QStringLiteral("最多500字符,移动/联通短信推荐70字符以内,"
                                              "小灵通推荐58字符以内,不然短信平台自动分割为多条.");
// The number list and the text box are short, so the folded-out window still fits a laptop
// screen.
constexpr int PanelBoxHeight = 84;

const QString TemporaryImportTitle = QStringLiteral("临时手机号码导入");

QComboBox *twoDigitList(QWidget *parent, const QString &name, int count, int selected)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    for (int value = 0; value < count; ++value)
        box->addItem(QStringLiteral("%1").arg(value, 2, 10, QChar(u'0')));
    box->setCurrentIndex(selected);
    return box;
}

QLineEdit *pickerBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setCursor(Qt::PointingHandCursor);
    return box;
}

// The text as the gateway gets it: the typed text without line breaks.
QString withoutLineBreaks(QString text)
{
    text.remove(u'\r');
    text.remove(u'\n');
    return text;
}

} // namespace

// Building

SmsPanel::SmsPanel(AppContext &context, MessageSink &messages, const Clock &clock,
    QList<ShownList> lists, QWidget *parent)
    : QGroupBox(QStringLiteral("[短信群发]"), parent), m_context(context), m_messages(messages),
      m_clock(clock), m_lists(std::move(lists))
{
    setObjectName(QStringLiteral("fraDuanxin"));
    auto *columns = new QHBoxLayout;
    columns->addWidget(buildTemporaryNumbers());
    columns->addWidget(buildText(), 1);
    columns->addWidget(buildSchedule());

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(buildAccountRow());
    layout->addLayout(columns);
    layout->addWidget(namedLabel(this, QStringLiteral("Label12"),
        QStringLiteral("接收短信号码数如果超过200个,将按200/组分批发送短信")));
    hide();
    connectControls();
}

SmsPanel::~SmsPanel() = default;

QWidget *SmsPanel::buildAccountRow()
{
    auto *row = new QWidget(this);
    auto *image2 = new QToolButton(row);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setArrowType(Qt::UpArrow);
    image2->setAutoRaise(true);
    image2->setToolTip(QStringLiteral("关闭短信窗口"));
    nameForReader(image2, image2->toolTip());
    connect(image2, &QToolButton::clicked, this, &SmsPanel::closeRequested);

    m_user = new QComboBox(row);
    m_user->setObjectName(QStringLiteral("cboDxTxUser"));
    m_user->setMinimumWidth(180);
    nameForReader(m_user, QStringLiteral("发送账号"));
    m_balance = namedButton(row, QStringLiteral("cmdBalance"), QStringLiteral("帐户余额"));
    m_price = namedButton(row, QStringLiteral("cmdPrice"), QStringLiteral("短信单价"));
    m_keywords = namedLabel(row, QStringLiteral("Label7"), QStringLiteral("违规关键字"));
    m_keywords->setCursor(Qt::PointingHandCursor);
    paintKeywordsLink();
    QFont linkFont = m_keywords->font();
    linkFont.setUnderline(true);
    m_keywords->setFont(linkFont);
    m_keywords->installEventFilter(this);
    // H belongs to the main window's help menu, whose window this panel shares.
    auto *history = namedButton(row, QStringLiteral("Command7"), QStringLiteral("发送记录(&R)"));
    auto *setup = namedButton(row, QStringLiteral("cmdDxSet"), QStringLiteral("短信设置(&X)"));
    connect(history, &QPushButton::clicked, this, &SmsPanel::Command7_Click);
    connect(setup, &QPushButton::clicked, this, &SmsPanel::cmdDxSet_Click);

    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(image2);
    auto *userLabel = new QLabel(QStringLiteral("发送账号:"), row);
    userLabel->setBuddy(m_user);
    layout->addWidget(userLabel);
    layout->addWidget(m_user);
    layout->addWidget(m_balance);
    layout->addWidget(m_price);
    layout->addStretch(1);
    layout->addWidget(m_keywords);
    layout->addSpacing(12);
    layout->addWidget(history);
    layout->addWidget(setup);
    return row;
}

QWidget *SmsPanel::buildTemporaryNumbers()
{
    auto *box = new QGroupBox(QStringLiteral("临时号码"), this);
    m_tmpText = new QLineEdit(box);
    m_tmpText->setObjectName(QStringLiteral("txtTmp"));
    m_tmpText->setMaxLength(12);
    nameForReader(m_tmpText, QStringLiteral("临时号码"), QStringLiteral("输入手机号码后回车添加"));
    m_tmpAdd = namedButton(box, QStringLiteral("cmdTmpAdd"), QStringLiteral("添加号码"));
    m_tmpList = new QListWidget(box);
    m_tmpList->setObjectName(QStringLiteral("lstTmp"));
    m_tmpList->setFixedHeight(PanelBoxHeight);
    nameForReader(m_tmpList, QStringLiteral("临时号码列表"));
    m_tmpDel = namedButton(box, QStringLiteral("cmdTmpDel"), QStringLiteral("删除号码"));
    m_tmpCls = namedButton(box, QStringLiteral("cmdTmpCls"), QStringLiteral("清空号码"));
    m_tmpFAdd = namedButton(box, QStringLiteral("cmdTmpFAdd"), QStringLiteral("文本导入"));
    m_tmpDel->setEnabled(false);
    m_tmpCls->setEnabled(false);

    // Two buttons a row, the ways in beside the box and the ways out below the list: with three
    // in a row the panel was wider than 1920 pixels at scale 2 or a 1024-pixel screen allow.
    auto *entry = new QHBoxLayout;
    entry->addWidget(m_tmpText, 1);
    entry->addWidget(m_tmpAdd);
    entry->addWidget(m_tmpFAdd);
    auto *actions = new QHBoxLayout;
    actions->addWidget(m_tmpDel);
    actions->addWidget(m_tmpCls);
    actions->addStretch(1);
    auto *layout = new QVBoxLayout(box);
    layout->addLayout(entry);
    layout->addWidget(m_tmpList, 1);
    layout->addLayout(actions);
    return box;
}

QWidget *SmsPanel::buildText()
{
    auto *box = new QGroupBox(QStringLiteral("短信内容"), this);
    m_selNums = namedLabel(box, QStringLiteral("lblSelNums"), QStringLiteral("0"));
    m_tmpNums = namedLabel(box, QStringLiteral("lblTmpNums"), QStringLiteral("0"));
    m_telNums = namedLabel(box, QStringLiteral("lblTelNums"), QStringLiteral("0"));
    auto *mdbCls =
        namedButton(box, QStringLiteral("cmdMdbCls"), QStringLiteral("清空生日数据库中所选"));
    connect(mdbCls, &QPushButton::clicked, this, &SmsPanel::cmdMdbCls_Click);

    m_content = new QPlainTextEdit(box);
    m_content->setObjectName(QStringLiteral("txtContent"));
    m_content->setToolTip(ContentToolTip);
    m_content->setFixedHeight(PanelBoxHeight);
    nameForReader(m_content, QStringLiteral("短信内容"), ContentToolTip);
    m_zfNums = namedLabel(box, QStringLiteral("lblZfNums"), QStringLiteral("0"));
    m_fgNums = namedLabel(box, QStringLiteral("lblFgNums"), QStringLiteral("0"));
    m_fgNums1 = namedLabel(box, QStringLiteral("lblFgNums1"), QStringLiteral("0"));

    auto *numbers = new QHBoxLayout;
    numbers->addWidget(new QLabel(QStringLiteral("生日数据库所选号码:"), box));
    numbers->addWidget(m_selNums);
    numbers->addSpacing(10);
    numbers->addWidget(new QLabel(QStringLiteral("临时号码:"), box));
    numbers->addWidget(m_tmpNums);
    numbers->addSpacing(10);
    numbers->addWidget(new QLabel(QStringLiteral("接收号码总数:"), box));
    numbers->addWidget(m_telNums);
    numbers->addStretch(1);
    numbers->addWidget(mdbCls);

    auto *counters = new QHBoxLayout;
    counters->addWidget(new QLabel(QStringLiteral("字数:"), box));
    counters->addWidget(m_zfNums);
    counters->addSpacing(10);
    counters->addWidget(new QLabel(QStringLiteral("移动/联通短信条数:"), box));
    counters->addWidget(m_fgNums);
    counters->addSpacing(10);
    counters->addWidget(new QLabel(QStringLiteral("小灵通短信条数:"), box));
    counters->addWidget(m_fgNums1);
    counters->addStretch(1);

    auto *layout = new QVBoxLayout(box);
    layout->addLayout(numbers);
    layout->addWidget(m_content, 1);
    layout->addLayout(counters);
    return box;
}

QWidget *SmsPanel::buildSchedule()
{
    auto *box = new QGroupBox(QStringLiteral("预约发送时间"), this);
    m_yyGL = pickerBox(box, QStringLiteral("txtYyGL"));
    m_yyNl = pickerBox(box, QStringLiteral("txtYyNl"));
    const auto showPicked = [this](const calendar_ui::PickedTexts &texts) {
        m_yyGL->setText(texts.gregorian);
        m_yyNl->setText(texts.lunar);
        ProcTelSelect();
    };
    const auto refused = [this] {
        Q_EMIT statusChanged(1, QStringLiteral("预约发送日期输入有误!"));
    };
    new calendar_ui::DateBox(
        *m_yyGL, calendar_ui::typedGregorianDate, [this] { openScheduleGregorianPicker(); },
        showPicked, refused);
    new calendar_ui::DateBox(
        *m_yyNl, calendar_ui::typedLunarDate, [this] { openScheduleLunarPicker(); }, showPicked,
        refused);
    m_hour = twoDigitList(box, QStringLiteral("cboYyHour"), 24, 8);
    m_minute = twoDigitList(box, QStringLiteral("cboYyMin"), 60, 30);
    // The two date boxes look alike; each says which calendar it takes.
    nameForReader(m_yyGL, QStringLiteral("预约发送公历日期"),
        QStringLiteral("点击或按F4选取日期,也可输入如2024-2-25"));
    nameForReader(m_yyNl, QStringLiteral("预约发送农历日期"),
        QStringLiteral("点击或按F4选取日期,也可输入如2024-闰7-15"));
    nameForReader(m_hour, QStringLiteral("预约发送时"));
    nameForReader(m_minute, QStringLiteral("预约发送分"));
    m_send[0] = namedButton(box, QStringLiteral("cmdSend_0"), QStringLiteral("即时发送(&J)"));
    m_send[1] = namedButton(box, QStringLiteral("cmdSend_1"), QStringLiteral("预约发送(&Y)"));

    auto *time = new QHBoxLayout;
    // Linux readers call a combo box by its value and by the label that points at it.
    for (auto [combo, caption] : { std::pair { m_hour, QStringLiteral("时") },
             std::pair { m_minute, QStringLiteral("分") } }) {
        auto *unit = new QLabel(caption, box);
        unit->setBuddy(combo);
        time->addWidget(combo);
        time->addWidget(unit);
    }
    time->addStretch(1);
    auto *send = new QHBoxLayout;
    send->addWidget(m_send[0]);
    send->addWidget(m_send[1]);

    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_yyGL);
    layout->addWidget(m_yyNl);
    layout->addLayout(time);
    layout->addStretch(1);
    layout->addLayout(send);
    return box;
}

void SmsPanel::connectControls()
{
    connect(m_user, &QComboBox::activated, this, &SmsPanel::cboDxTxUser_Click);
    connect(m_balance, &QPushButton::clicked, this, &SmsPanel::cmdBalance_Click);
    connect(m_price, &QPushButton::clicked, this, &SmsPanel::cmdPrice_Click);
    connect(m_tmpAdd, &QPushButton::clicked, this, &SmsPanel::cmdTmpAdd_Click);
    connect(m_tmpText, &QLineEdit::returnPressed, this, &SmsPanel::cmdTmpAdd_Click);
    connect(m_tmpDel, &QPushButton::clicked, this, &SmsPanel::cmdTmpDel_Click);
    connect(m_tmpCls, &QPushButton::clicked, this, &SmsPanel::cmdTmpCls_Click);
    connect(m_tmpFAdd, &QPushButton::clicked, this, &SmsPanel::cmdTmpFAdd_Click);
    connect(m_tmpList, &QListWidget::itemSelectionChanged, this,
        [this] { m_tmpDel->setEnabled(!m_tmpList->selectedItems().isEmpty()); });
    connect(m_content, &QPlainTextEdit::textChanged, this, &SmsPanel::txtContent_Change);
    for (QComboBox *box : { m_hour, m_minute })
        connect(box, &QComboBox::currentIndexChanged, this, &SmsPanel::ProcTelSelect);
    connect(m_send[0], &QPushButton::clicked, this, [this] { cmdSend_Click(0); });
    connect(m_send[1], &QPushButton::clicked, this, [this] { cmdSend_Click(1); });
    for (const ShownList &list : std::as_const(m_lists)) {
        connect(list.model, &BirthdayListModel::ticksChanged, this, &SmsPanel::ProcTelSelect);
        connect(list.model, &QAbstractItemModel::modelReset, this, &SmsPanel::ProcTelSelect);
        connect(list.model, &QAbstractItemModel::rowsRemoved, this, &SmsPanel::ProcTelSelect);
    }
}

void SmsPanel::setOpen(bool open)
{
    m_open = open;
    setVisible(open);
    ProcTelSelect();
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
                        list.model->cell(entry, BirthdayListModel::TelColumn) });
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
    return m_context.SmsGateway && m_context.SmsGateway->isBusy();
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
    PickedFile picked;
    bool chosen = false;
    {
        const ModalGuard modal(*this);
        chosen = pickFile(window(), picked, QStringLiteral("从外部文本文件中导入临时手机号码"),
            TextFileFilter, runDialog, ChooserUse::Numbers);
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

MessageButton SmsPanel::ask(
    const QString &text, const QString &title, MessageIcon icon, MessageButtons buttons)
{
    const ModalGuard modal(*this);
    return m_messages.show(text, title, icon, buttons);
}

void SmsPanel::tell(const QString &text, const QString &title)
{
    ask(text, title, MessageIcon::None, MessageButtons::Ok);
}

void SmsPanel::cmdBalance_Click()
{
    if (m_user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    const QString item = m_user->currentText();
    sms::AwaitingGateway gateway(processSmsGateway(m_context));
    QString buffer(sms::GatewayBufferWidth, u' ');
    const sms::GatewayResult result = gateway.GetBalance(sms::accountOfItem(item), buffer);
    if (programEnding())
        return;
    tell(sms::balanceAnswer(result, item, buffer), QStringLiteral("帐户余额"));
}

void SmsPanel::cmdPrice_Click()
{
    if (m_user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    sms::AwaitingGateway gateway(processSmsGateway(m_context));
    QString buffer(sms::GatewayBufferWidth, u' ');
    const sms::GatewayResult result =
        gateway.GetPrice(sms::accountOfItem(m_user->currentText()), buffer);
    if (programEnding())
        return;
    tell(sms::priceAnswer(result, buffer), QStringLiteral("短信单价"));
}

// Sending

void SmsPanel::cmdSend_Click(int index)
{
    if (!m_context.DbConnection || m_user->currentIndex() < 1)
        return;
    const QString title = sms::GroupSendTitle.toString();
    const QString text = withoutLineBreaks(m_content->toPlainText());
    if (text != m_content->toPlainText())
        m_content->setPlainText(text);
    // Every refusal is told before the gateway is asked anything.
    if (const std::optional<QString> refusal = sms::groupTextRefusal(text)) {
        tell(*refusal, title);
        return;
    }
    QString schedule;
    if (index == 1) {
        if (m_yyGL->text().isEmpty()) {
            const QString refusal = QStringLiteral("定时发送的发送时间必须指定！");
            Q_EMIT statusChanged(3, refusal);
            tell(refusal, title);
            return;
        }
        if (!CheckScheduleTime()) {
            tell(QStringLiteral("预约发送的时间必须在当前时间的15分钟之后和半年之内,,短信发送失败"),
                title);
            return;
        }
        schedule =
            sms::groupScheduleText(m_yyGL->text(), m_hour->currentText(), m_minute->currentText());
    }
    const QString question = (index == 0 ? QStringLiteral("您确认现在立即发送短信给")
                                         : QStringLiteral("您确认现在预约发送短信给"))
        + m_telNums->text() + QStringLiteral("个手机号码吗?");
    if (ask(question, title, MessageIcon::Question, MessageButtons::OkCancel) != MessageButton::Ok)
        return;

    const QString item = m_user->currentText();
    sms::GroupSend send =
        sms::planGroupSend(groupRecipients(), text, sms::accountOfItem(item), schedule);
    if (m_unfinishedGroupSend)
        send = sms::continueGroupSend(*m_unfinishedGroupSend, std::move(send));
    sms::AwaitingGateway gateway(processSmsGateway(m_context));
    const sms::GroupBalanceCheck balance =
        sms::checkGroupBalance(gateway, item, send.messagesNeeded());
    if (programEnding())
        return;
    if (!balance.enough) {
        tell(balance.message, title);
        return;
    }

    const sms::SmsSendContext context { *m_context.DbConnection, gateway, m_context.Settings,
        m_context.SmsAccounts, m_context.ComputerName, m_clock.now() };
    const sms::GroupSendSummary summary = sms::sendGroup(context, send);
    m_unfinishedGroupSend.reset();
    if (!send.allSent())
        m_unfinishedGroupSend = send;
    if (programEnding())
        return;
    if (!summary.panelTexts.isEmpty())
        Q_EMIT smsSent();
    for (const QString &panelText : summary.panelTexts)
        Q_EMIT statusChanged(3, panelText);
    if (summary.historySaveFailed)
        Q_EMIT statusChanged(3, sms::HistorySaveFailedText.toString());
    tell(summary.message(), title);
    if (summary.allSent())
        clearAfterGroupSend(index);
}

void SmsPanel::clearAfterGroupSend(int index)
{
    m_content->clear();
    if (index == 1) {
        m_yyGL->clear();
        m_yyNl->clear();
    }
    cmdMdbCls_Click();
}

// The other windows of the panel

void SmsPanel::Command7_Click()
{
    if (!m_context.DbConnection)
        return;
    const ModalGuard modal(*this);
    frmDxHist history({ *m_context.DbConnection, m_context.SmsAccounts, m_clock,
                          m_context.ComputerName, m_context.CurrentSkin },
        window());
    runModal(runDialog, history);
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
        readableOn(palette().color(QPalette::Link), palette().color(QPalette::Window)));
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
