// The main window's SMS group-sending panel: recipients from the ticked list entries and from
// numbers typed in or imported for this send, one text, sent at once or scheduled at the gateway.

#include "session/appcontext.h"
#include "platform/clock.h"
#include "widgets/dialogparts.h"
#include "dialogs/frmdxhist.h"
#include "app/frmget.h"
#include "dialogs/frmmydlg1.h"
#include "platform/messagesink.h"
#include "session/smsgatewayprocess.h"
#include "calendar_ui/datebox.h"
#include "calendar_ui/datepickers.h"
#include "calendar_ui/typeddate.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "sms/smssetup.h"
#include "store/phonenumber.h"
#include "transfer/numberfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

const QString SmsPanelClosedCaption = QStringLiteral("短信窗口(▼)");
const QString SmsPanelOpenCaption = QStringLiteral("短信窗口(▲)");
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

QWidget *frmGet::buildSmsPanel()
{
    auto *panel = new QGroupBox(QStringLiteral("[短信群发]"), this);
    panel->setObjectName(QStringLiteral("fraDuanxin"));
    m_sms.panel = panel;

    auto *columns = new QHBoxLayout;
    columns->addWidget(buildTemporaryNumbers(panel));
    columns->addWidget(buildSmsText(panel), 1);
    columns->addWidget(buildSchedule(panel));

    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 4, 8, 6);
    layout->addWidget(buildSmsAccountRow(panel));
    layout->addLayout(columns);
    layout->addWidget(namedLabel(panel, QStringLiteral("Label12"),
        QStringLiteral("接收短信号码数如果超过200个,将按200/组分批发送短信")));
    panel->hide();
    connectSmsPanel();
    return panel;
}

QWidget *frmGet::buildSmsAccountRow(QWidget *panel)
{
    auto *row = new QWidget(panel);
    auto *image2 = new QToolButton(row);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setArrowType(Qt::UpArrow);
    image2->setAutoRaise(true);
    image2->setToolTip(QStringLiteral("关闭短信窗口"));
    connect(image2, &QToolButton::clicked, this, &frmGet::Image2_Click);
    m_sms.image2 = image2;

    m_sms.user = new QComboBox(row);
    m_sms.user->setObjectName(QStringLiteral("cboDxTxUser"));
    m_sms.user->setMinimumWidth(180);
    m_sms.balance = namedButton(row, QStringLiteral("cmdBalance"), QStringLiteral("帐户余额"));
    m_sms.price = namedButton(row, QStringLiteral("cmdPrice"), QStringLiteral("短信单价"));
    m_sms.keywords = namedLabel(row, QStringLiteral("Label7"), QStringLiteral("违规关键字"));
    m_sms.keywords->setCursor(Qt::PointingHandCursor);
    m_sms.keywords->setStyleSheet(QStringLiteral("color: #0000ee; text-decoration: underline;"));
    m_sms.keywords->installEventFilter(this);
    auto *history = namedButton(row, QStringLiteral("Command7"), QStringLiteral("发送记录(&H)"));
    auto *setup = namedButton(row, QStringLiteral("cmdDxSet"), QStringLiteral("短信设置(&X)"));
    connect(history, &QPushButton::clicked, this, &frmGet::Command7_Click);
    connect(setup, &QPushButton::clicked, this, &frmGet::cmdDxSet_Click);

    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(image2);
    layout->addWidget(new QLabel(QStringLiteral("发送账号:"), row));
    layout->addWidget(m_sms.user);
    layout->addWidget(m_sms.balance);
    layout->addWidget(m_sms.price);
    layout->addStretch(1);
    layout->addWidget(m_sms.keywords);
    layout->addSpacing(12);
    layout->addWidget(history);
    layout->addWidget(setup);
    return row;
}

QWidget *frmGet::buildTemporaryNumbers(QWidget *panel)
{
    auto *box = new QGroupBox(QStringLiteral("临时号码"), panel);
    m_sms.tmpText = new QLineEdit(box);
    m_sms.tmpText->setObjectName(QStringLiteral("txtTmp"));
    m_sms.tmpText->setMaxLength(12);
    m_sms.tmpAdd = namedButton(box, QStringLiteral("cmdTmpAdd"), QStringLiteral("添加号码"));
    m_sms.tmpList = new QListWidget(box);
    m_sms.tmpList->setObjectName(QStringLiteral("lstTmp"));
    m_sms.tmpList->setFixedHeight(PanelBoxHeight);
    m_sms.tmpDel = namedButton(box, QStringLiteral("cmdTmpDel"), QStringLiteral("删除号码"));
    m_sms.tmpCls = namedButton(box, QStringLiteral("cmdTmpCls"), QStringLiteral("清空号码"));
    m_sms.tmpFAdd = namedButton(box, QStringLiteral("cmdTmpFAdd"), QStringLiteral("文本导入"));
    m_sms.tmpDel->setEnabled(false);
    m_sms.tmpCls->setEnabled(false);

    auto *entry = new QHBoxLayout;
    entry->addWidget(m_sms.tmpText);
    entry->addWidget(m_sms.tmpAdd);
    auto *actions = new QHBoxLayout;
    for (QPushButton *b : { m_sms.tmpDel, m_sms.tmpCls, m_sms.tmpFAdd })
        actions->addWidget(b);
    auto *layout = new QVBoxLayout(box);
    layout->addLayout(entry);
    layout->addWidget(m_sms.tmpList, 1);
    layout->addLayout(actions);
    return box;
}

QWidget *frmGet::buildSmsText(QWidget *panel)
{
    auto *box = new QGroupBox(QStringLiteral("短信内容"), panel);
    m_sms.selNums = namedLabel(box, QStringLiteral("lblSelNums"), QStringLiteral("0"));
    m_sms.tmpNums = namedLabel(box, QStringLiteral("lblTmpNums"), QStringLiteral("0"));
    m_sms.telNums = namedLabel(box, QStringLiteral("lblTelNums"), QStringLiteral("0"));
    auto *mdbCls =
        namedButton(box, QStringLiteral("cmdMdbCls"), QStringLiteral("清空生日数据库中所选"));
    connect(mdbCls, &QPushButton::clicked, this, &frmGet::cmdMdbCls_Click);

    m_sms.content = new QPlainTextEdit(box);
    m_sms.content->setObjectName(QStringLiteral("txtContent"));
    m_sms.content->setToolTip(ContentToolTip);
    m_sms.content->setFixedHeight(PanelBoxHeight);
    m_sms.zfNums = namedLabel(box, QStringLiteral("lblZfNums"), QStringLiteral("0"));
    m_sms.fgNums = namedLabel(box, QStringLiteral("lblFgNums"), QStringLiteral("0"));
    m_sms.fgNums1 = namedLabel(box, QStringLiteral("lblFgNums1"), QStringLiteral("0"));

    auto *numbers = new QHBoxLayout;
    numbers->addWidget(new QLabel(QStringLiteral("生日数据库所选号码:"), box));
    numbers->addWidget(m_sms.selNums);
    numbers->addSpacing(10);
    numbers->addWidget(new QLabel(QStringLiteral("临时号码:"), box));
    numbers->addWidget(m_sms.tmpNums);
    numbers->addSpacing(10);
    numbers->addWidget(new QLabel(QStringLiteral("接收号码总数:"), box));
    numbers->addWidget(m_sms.telNums);
    numbers->addStretch(1);
    numbers->addWidget(mdbCls);

    auto *counters = new QHBoxLayout;
    counters->addWidget(new QLabel(QStringLiteral("字数:"), box));
    counters->addWidget(m_sms.zfNums);
    counters->addSpacing(10);
    counters->addWidget(new QLabel(QStringLiteral("移动/联通短信条数:"), box));
    counters->addWidget(m_sms.fgNums);
    counters->addSpacing(10);
    counters->addWidget(new QLabel(QStringLiteral("小灵通短信条数:"), box));
    counters->addWidget(m_sms.fgNums1);
    counters->addStretch(1);

    auto *layout = new QVBoxLayout(box);
    layout->addLayout(numbers);
    layout->addWidget(m_sms.content, 1);
    layout->addLayout(counters);
    return box;
}

QWidget *frmGet::buildSchedule(QWidget *panel)
{
    auto *box = new QGroupBox(QStringLiteral("预约发送时间"), panel);
    m_sms.yyGL = pickerBox(box, QStringLiteral("txtYyGL"));
    m_sms.yyNl = pickerBox(box, QStringLiteral("txtYyNl"));
    const auto showPicked = [this](const calendar_ui::PickedTexts &texts) {
        m_sms.yyGL->setText(texts.gregorian);
        m_sms.yyNl->setText(texts.lunar);
        ProcTelSelect();
    };
    const auto refused = [this] { setStatus(1, QStringLiteral("预约发送日期输入有误!")); };
    new calendar_ui::DateBox(*m_sms.yyGL, calendar_ui::TypedGregorianDate,
        [this] { openScheduleGregorianPicker(); }, showPicked, refused);
    new calendar_ui::DateBox(*m_sms.yyNl, calendar_ui::TypedLunarDate,
        [this] { openScheduleLunarPicker(); }, showPicked, refused);
    m_sms.hour = twoDigitList(box, QStringLiteral("cboYyHour"), 24, 8);
    m_sms.minute = twoDigitList(box, QStringLiteral("cboYyMin"), 60, 30);
    m_sms.send[0] = namedButton(box, QStringLiteral("cmdSend_0"), QStringLiteral("即时发送(&J)"));
    m_sms.send[1] = namedButton(box, QStringLiteral("cmdSend_1"), QStringLiteral("预约发送(&Y)"));

    auto *time = new QHBoxLayout;
    time->addWidget(m_sms.hour);
    time->addWidget(new QLabel(QStringLiteral("时"), box));
    time->addWidget(m_sms.minute);
    time->addWidget(new QLabel(QStringLiteral("分"), box));
    time->addStretch(1);
    auto *send = new QHBoxLayout;
    send->addWidget(m_sms.send[0]);
    send->addWidget(m_sms.send[1]);

    auto *layout = new QVBoxLayout(box);
    layout->addWidget(m_sms.yyGL);
    layout->addWidget(m_sms.yyNl);
    layout->addLayout(time);
    layout->addStretch(1);
    layout->addLayout(send);
    box->setMinimumWidth(230);
    return box;
}

void frmGet::connectSmsPanel()
{
    connect(m_sms.user, &QComboBox::activated, this, &frmGet::cboDxTxUser_Click);
    connect(m_sms.balance, &QPushButton::clicked, this, &frmGet::cmdBalance_Click);
    connect(m_sms.price, &QPushButton::clicked, this, &frmGet::cmdPrice_Click);
    connect(m_sms.tmpAdd, &QPushButton::clicked, this, &frmGet::cmdTmpAdd_Click);
    connect(m_sms.tmpText, &QLineEdit::returnPressed, this, &frmGet::cmdTmpAdd_Click);
    connect(m_sms.tmpDel, &QPushButton::clicked, this, &frmGet::cmdTmpDel_Click);
    connect(m_sms.tmpCls, &QPushButton::clicked, this, &frmGet::cmdTmpCls_Click);
    connect(m_sms.tmpFAdd, &QPushButton::clicked, this, &frmGet::cmdTmpFAdd_Click);
    connect(m_sms.tmpList, &QListWidget::itemSelectionChanged, this,
        [this] { m_sms.tmpDel->setEnabled(!m_sms.tmpList->selectedItems().isEmpty()); });
    connect(m_sms.content, &QPlainTextEdit::textChanged, this, &frmGet::txtContent_Change);
    for (QComboBox *box : { m_sms.hour, m_sms.minute })
        connect(box, &QComboBox::currentIndexChanged, this, &frmGet::ProcTelSelect);
    connect(m_sms.send[0], &QPushButton::clicked, this, [this] { cmdSend_Click(0); });
    connect(m_sms.send[1], &QPushButton::clicked, this, [this] { cmdSend_Click(1); });
    for (BirthdayListModel *model : m_models) {
        connect(model, &BirthdayListModel::ticksChanged, this, &frmGet::ProcTelSelect);
        connect(model, &QAbstractItemModel::modelReset, this, &frmGet::ProcTelSelect);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &frmGet::ProcTelSelect);
    }
    pickGregorianDate = [this](QWidget *anchor, QString &gl, QString &nl) {
        return calendar_ui::PickGregorianDate(
            anchor, m_context.CurrentSkin, m_clock.now().date(), gl, nl);
    };
    pickLunarDate = [this](QWidget *anchor, QString &gl, QString &nl) {
        return calendar_ui::PickLunarDate(
            anchor, m_context.CurrentSkin, m_clock.now().date(), gl, nl);
    };
    chooseTextFile = [this](const QString &title) {
        PickedFile picked;
        return PickFile(this, picked, title, TextFileFilter, runDialog, ChooserUse::Numbers)
            ? picked.PickedFileText
            : QString();
    };
}

// Opening and closing

void frmGet::cmdDuanxin_Click()
{
    showSmsPanel(!SmsPanelOpen);
}

void frmGet::Image2_Click()
{
    if (SmsPanelOpen)
        showSmsPanel(false);
}

void frmGet::showSmsPanel(bool open)
{
    SmsPanelOpen = open;
    for (BirthdayListModel *model : m_models) {
        model->setCheckable(open);
        if (open)
            model->setAllTicks(false);
    }
    m_typeSel->setChecked(false);
    m_typeSel->setVisible(open);
    m_duanxin->setText(open ? SmsPanelOpenCaption : SmsPanelClosedCaption);
    m_sms.panel->setVisible(open);
    resizeForSmsPanel(open);
    ProcTelSelect();
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
    int wanted = height() + m_sms.panel->sizeHint().height();
    if (const QScreen *display = screen()) {
        const int frame = frameGeometry().height() - height();
        wanted = qMin(wanted, display->availableGeometry().height() - frame);
    }
    resize(width(), qMax(wanted, height()));
}

// Accounts and counters

void frmGet::AlterGetCboUser()
{
    m_sms.user->clear();
    m_sms.user->addItems(sms::SmsAccountItems(m_context.SmsAccounts));
    const bool anyAccount = m_sms.user->count() >= 2;
    m_sms.user->setCurrentIndex(anyAccount ? 1 : 0);
    m_sms.balance->setEnabled(anyAccount);
    m_sms.price->setEnabled(anyAccount);
}

void frmGet::cboDxTxUser_Click(int index)
{
    m_sms.balance->setEnabled(index >= 1);
    m_sms.price->setEnabled(index >= 1);
    ProcTelSelect();
}

sms::GroupRecipients frmGet::groupRecipients() const
{
    sms::GroupRecipients recipients;
    if (SmsPanelOpen) {
        // In the order the user sees each list.
        for (int index = 0; index < CategoryCount; ++index) {
            const QSortFilterProxyModel *proxy = m_proxies[index];
            const QList<BirthdayListModel::Row> &rows = m_models[index]->rows();
            for (int row = 0; row < proxy->rowCount(); ++row) {
                const BirthdayListModel::Row &entry =
                    rows[proxy->mapToSource(proxy->index(row, 0)).row()];
                if (entry.ticked)
                    recipients.ticked.append({ entry.columns[0],
                        entry.columns[BirthdayListModel::TelColumn].trimmed() });
            }
        }
    }
    for (int row = 0; row < m_sms.tmpList->count(); ++row)
        recipients.temporary << m_sms.tmpList->item(row)->text();
    return recipients;
}

QString frmGet::smsText() const
{
    return withoutLineBreaks(m_sms.content->toPlainText()).trimmed();
}

int frmGet::CountNumbersByKind(QChar digit) const
{
    return sms::CountNumbersByKind(groupRecipients(), digit);
}

void frmGet::ProcTelSelect()
{
    // Runs on every tick: counting is enough, the recipients are gathered only to send.
    int ticked = 0;
    if (SmsPanelOpen) {
        for (const BirthdayListModel *model : m_models)
            ticked += model->tickedCount();
    }
    const int temporary = m_sms.tmpList->count();
    const int total = ticked + temporary;
    m_sms.telNums->setText(QString::number(total));
    m_sms.selNums->setText(QString::number(ticked));
    m_sms.tmpNums->setText(QString::number(temporary));
    // While the gateway is busy the sending controls wait: one call at a time.
    const bool idle = !smsBusy();
    const bool account = m_sms.user->currentIndex() >= 1;
    const bool ready = idle && total > 0 && account && !smsText().isEmpty();
    m_sms.send[0]->setEnabled(ready);
    m_sms.send[1]->setEnabled(ready && CheckScheduleTime());
    m_sms.balance->setEnabled(idle && account);
    m_sms.price->setEnabled(idle && account);
}

bool frmGet::CheckScheduleTime() const
{
    return sms::CheckScheduleTime(sms::ScheduleMoment(m_sms.yyGL->text(), m_sms.hour->currentText(),
                                      m_sms.minute->currentText()),
        m_clock.now());
}

void frmGet::txtContent_Change()
{
    const QString typed = m_sms.content->toPlainText();
    const QString text = withoutLineBreaks(typed);
    if (text != typed) {
        const QSignalBlocker quiet(m_sms.content);
        m_sms.content->setPlainText(text);
        m_sms.content->moveCursor(QTextCursor::End);
    }
    const sms::SmsContentCounters counters = sms::ContentCounters(text);
    m_sms.zfNums->setText(QString::number(counters.characters));
    m_sms.fgNums->setText(QString::number(counters.mobileMessages));
    m_sms.fgNums1->setText(QString::number(counters.phsMessages));
    ProcTelSelect();
}

// Ticks

void frmGet::chkTypeSel_Click(bool checked)
{
    m_models[currentCategory()]->setAllTicks(checked); // recounts through ticksChanged
}

void frmGet::cmdMdbCls_Click()
{
    for (BirthdayListModel *model : m_models)
        model->setAllTicks(false); // recounts through ticksChanged
    m_typeSel->setChecked(false);
}

// Temporary numbers

void frmGet::cmdTmpAdd_Click()
{
    const QString number = m_sms.tmpText->text().trimmed();
    m_sms.tmpText->setFocus();
    const bool listed = !m_sms.tmpList->findItems(number, Qt::MatchExactly).isEmpty();
    if (!store::IsPhoneNumber(number) || listed) {
        // The one message there is for both refusals; a repeated number is what it names.
        if (listed)
            setStatus(1, QStringLiteral("临时手机号码重复,请重新输入!"));
        m_sms.tmpText->selectAll();
        return;
    }
    m_sms.tmpList->addItem(number);
    m_sms.tmpText->clear();
    m_sms.tmpCls->setEnabled(true);
    ProcTelSelect();
}

void frmGet::cmdTmpDel_Click()
{
    const QList<QListWidgetItem *> selected = m_sms.tmpList->selectedItems();
    if (selected.isEmpty())
        return;
    delete selected.first();
    m_sms.tmpDel->setEnabled(!m_sms.tmpList->selectedItems().isEmpty());
    ProcTelSelect();
}

void frmGet::cmdTmpCls_Click()
{
    m_sms.tmpList->clear();
    m_sms.tmpCls->setEnabled(false);
    m_sms.tmpDel->setEnabled(false);
    ProcTelSelect();
}

void frmGet::cmdTmpFAdd_Click()
{
    QString path;
    {
        const ModalBracket modal(*this);
        path = chooseTextFile(QStringLiteral("从外部文本文件中导入临时手机号码"));
    }
    if (!path.isEmpty())
        importTemporaryNumbers(path);
}

void frmGet::importTemporaryNumbers(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        tell(path + QStringLiteral("不存在"), QStringLiteral("生日导入"));
        return;
    }
    setStatus(1, QStringLiteral("外部文本文件中导入临时手机号码分析提取中,请稍候..."));
    QStringList listed;
    for (int row = 0; row < m_sms.tmpList->count(); ++row)
        listed << m_sms.tmpList->item(row)->text();
    const transfer::NumberFileReading reading = transfer::ReadPhoneNumberFile(path, listed);
    if (!reading.readable) {
        const QString message =
            path + reading.refusal + QStringLiteral("没有导入任何有效的临时手机号码!");
        setStatus(1, message);
        tell(message, TemporaryImportTitle);
        return;
    }
    m_sms.tmpList->addItems(reading.added);
    const QString message = reading.added.isEmpty()
        ? QStringLiteral("号码重复或者外部文件为空,没有导入任何有效的临时手机号码!")
        : QStringLiteral("从外部文本文件中导入了%1个有效的临时手机号码!").arg(reading.added.size());
    setStatus(1, message);
    tell(message, TemporaryImportTitle);
    m_sms.tmpCls->setEnabled(m_sms.tmpList->count() > 0);
    ProcTelSelect();
}

// Gateway questions

void frmGet::tell(const QString &text, const QString &title)
{
    ask(text, title, MessageIcon::None, MessageButtons::Ok);
}

void frmGet::cmdBalance_Click()
{
    if (m_sms.user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    const QString item = m_sms.user->currentText();
    sms::AwaitingGateway gateway(ProcessSmsGateway(m_context));
    QString buffer(sms::GatewayBufferWidth, u' ');
    const sms::GatewayResult result = gateway.GetBalance(sms::AccountOfItem(item), buffer);
    if (m_quitting)
        return;
    tell(sms::BalanceAnswer(result, item, buffer), QStringLiteral("帐户余额"));
}

void frmGet::cmdPrice_Click()
{
    if (m_sms.user->currentIndex() < 1 || !m_context.DbConnection)
        return;
    sms::AwaitingGateway gateway(ProcessSmsGateway(m_context));
    QString buffer(sms::GatewayBufferWidth, u' ');
    const sms::GatewayResult result =
        gateway.GetPrice(sms::AccountOfItem(m_sms.user->currentText()), buffer);
    if (m_quitting)
        return;
    tell(sms::PriceAnswer(result, buffer), QStringLiteral("短信单价"));
}

// Sending

void frmGet::cmdSend_Click(int index)
{
    if (!m_context.DbConnection || m_sms.user->currentIndex() < 1)
        return;
    const QString title = sms::GroupSendTitle.toString();
    const QString text = withoutLineBreaks(m_sms.content->toPlainText());
    if (text != m_sms.content->toPlainText())
        m_sms.content->setPlainText(text);
    // Every refusal is told before the gateway is asked anything.
    if (const std::optional<QString> refusal = sms::GroupTextRefusal(text)) {
        tell(*refusal, title);
        return;
    }
    QString schedule;
    if (index == 1) {
        if (m_sms.yyGL->text().isEmpty()) {
            const QString refusal = QStringLiteral("定时发送的发送时间必须指定！");
            setStatus(3, refusal);
            tell(refusal, title);
            return;
        }
        if (!CheckScheduleTime()) {
            tell(QStringLiteral("预约发送的时间必须在当前时间的15分钟之后和半年之内,,短信发送失败"),
                title);
            return;
        }
        schedule = sms::GroupScheduleText(
            m_sms.yyGL->text(), m_sms.hour->currentText(), m_sms.minute->currentText());
    }
    const QString question = (index == 0 ? QStringLiteral("您确认现在立即发送短信给")
                                         : QStringLiteral("您确认现在预约发送短信给"))
        + m_sms.telNums->text() + QStringLiteral("个手机号码吗?");
    if (ask(question, title, MessageIcon::Question, MessageButtons::OkCancel) != MessageButton::Ok)
        return;

    const QString item = m_sms.user->currentText();
    sms::GroupSend send =
        sms::PlanGroupSend(groupRecipients(), text, sms::AccountOfItem(item), schedule);
    if (m_unfinishedGroupSend && sms::SameGroupSend(*m_unfinishedGroupSend, send))
        send = *m_unfinishedGroupSend;
    sms::AwaitingGateway gateway(ProcessSmsGateway(m_context));
    const sms::GroupBalanceCheck balance =
        sms::CheckGroupBalance(gateway, item, send.messagesNeeded());
    if (m_quitting)
        return;
    if (!balance.enough) {
        tell(balance.message, title);
        return;
    }

    const sms::SmsSendContext context { *m_context.DbConnection, gateway, m_context.Settings,
        m_context.SmsAccounts, m_context.ComputerName, m_clock.now() };
    const sms::GroupSendSummary summary = sms::SendGroup(context, send);
    m_unfinishedGroupSend.reset();
    if (!send.allSent())
        m_unfinishedGroupSend = send;
    if (m_quitting)
        return;
    if (!summary.panelTexts.isEmpty())
        showSmsActivity();
    for (const QString &panelText : summary.panelTexts)
        setStatus(3, panelText);
    if (summary.historySaveFailed)
        setStatus(3, sms::HistorySaveFailedText.toString());
    tell(summary.message(), title);
    if (summary.allSent())
        clearAfterGroupSend(index);
}

void frmGet::clearAfterGroupSend(int index)
{
    m_sms.content->clear();
    if (index == 1) {
        m_sms.yyGL->clear();
        m_sms.yyNl->clear();
    }
    cmdMdbCls_Click();
}

// The other windows of the panel

void frmGet::Command7_Click()
{
    if (!m_context.DbConnection)
        return;
    const ModalBracket modal(*this);
    frmDxHist history({ *m_context.DbConnection, m_context.SmsAccounts, m_clock,
                          m_context.ComputerName, m_context.CurrentSkin },
        this);
    runModal(runDialog, history);
}

void frmGet::Label7_Click()
{
    const QString keywords =
        QFileInfo(m_context.DbPath).dir().filePath(QStringLiteral("wgkeys.txt"));
    if (!QFileInfo::exists(keywords)) {
        setStatus(1, keywords + QStringLiteral("不存在"));
        return;
    }
    openDocument(keywords);
}

void frmGet::openScheduleGregorianPicker()
{
    openSchedulePicker(pickGregorianDate, m_sms.yyGL);
}

void frmGet::openScheduleLunarPicker()
{
    openSchedulePicker(pickLunarDate, m_sms.yyNl);
}

void frmGet::openSchedulePicker(const DatePicker &picker, QLineEdit *anchor)
{
    QString gl = m_sms.yyGL->text();
    QString nl = m_sms.yyNl->text();
    bool picked = false;
    {
        const ModalBracket modal(*this);
        picked = picker(anchor, gl, nl);
    }
    if (!picked || (gl == m_sms.yyGL->text() && nl == m_sms.yyNl->text()))
        return;
    m_sms.yyGL->setText(gl);
    m_sms.yyNl->setText(nl);
    ProcTelSelect();
}

bool frmGet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_sms.keywords) {
            Label7_Click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace natalis::app
