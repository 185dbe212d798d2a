// The SMS panel's controls and their connections.

#include "app/smspanel.h"
#include "calendar_ui/datebox.h"
#include "calendar_ui/typeddate.h"
#include "dialogs/birthdaylistmodel.h"
#include "widgets/dialogparts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

const QString ContentToolTip = QStringLiteral("最多500字符,移动/联通短信推荐70字符以内,"
                                              "小灵通推荐58字符以内,不然短信平台自动分割为多条.");
// The number list and the text box are short, so the folded-out window still fits a laptop
// screen.
constexpr int PanelBoxHeight = 84;

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

} // namespace

SmsPanel::SmsPanel(session::AppContext &context, platform::MessageSink &messages,
    const platform::Clock &clock, QList<ShownList> lists, QWidget *parent)
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
    layout->addWidget(widgets::namedLabel(this, QStringLiteral("Label12"),
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
    widgets::nameForReader(image2, image2->toolTip());
    connect(image2, &QToolButton::clicked, this, &SmsPanel::closeRequested);

    m_user = new QComboBox(row);
    m_user->setObjectName(QStringLiteral("cboDxTxUser"));
    m_user->setMinimumWidth(180);
    widgets::nameForReader(m_user, QStringLiteral("发送账号"));
    m_balance = widgets::namedButton(row, QStringLiteral("cmdBalance"), QStringLiteral("帐户余额"));
    m_price = widgets::namedButton(row, QStringLiteral("cmdPrice"), QStringLiteral("短信单价"));
    m_keywords = widgets::namedLabel(row, QStringLiteral("Label7"), QStringLiteral("违规关键字"));
    m_keywords->setCursor(Qt::PointingHandCursor);
    paintKeywordsLink();
    QFont linkFont = m_keywords->font();
    linkFont.setUnderline(true);
    m_keywords->setFont(linkFont);
    m_keywords->installEventFilter(this);
    // H belongs to the main window's help menu, whose window this panel shares.
    auto *history =
        widgets::namedButton(row, QStringLiteral("Command7"), QStringLiteral("发送记录(&R)"));
    auto *setup =
        widgets::namedButton(row, QStringLiteral("cmdDxSet"), QStringLiteral("短信设置(&X)"));
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
    widgets::nameForReader(
        m_tmpText, QStringLiteral("临时号码"), QStringLiteral("输入手机号码后回车添加"));
    m_tmpAdd = widgets::namedButton(box, QStringLiteral("cmdTmpAdd"), QStringLiteral("添加号码"));
    m_tmpList = new QListWidget(box);
    m_tmpList->setObjectName(QStringLiteral("lstTmp"));
    m_tmpList->setFixedHeight(PanelBoxHeight);
    widgets::nameForReader(m_tmpList, QStringLiteral("临时号码列表"));
    m_tmpDel = widgets::namedButton(box, QStringLiteral("cmdTmpDel"), QStringLiteral("删除号码"));
    m_tmpCls = widgets::namedButton(box, QStringLiteral("cmdTmpCls"), QStringLiteral("清空号码"));
    m_tmpFAdd = widgets::namedButton(box, QStringLiteral("cmdTmpFAdd"), QStringLiteral("文本导入"));
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
    m_selNums = widgets::namedLabel(box, QStringLiteral("lblSelNums"), QStringLiteral("0"));
    m_tmpNums = widgets::namedLabel(box, QStringLiteral("lblTmpNums"), QStringLiteral("0"));
    m_telNums = widgets::namedLabel(box, QStringLiteral("lblTelNums"), QStringLiteral("0"));
    auto *mdbCls = widgets::namedButton(
        box, QStringLiteral("cmdMdbCls"), QStringLiteral("清空生日数据库中所选"));
    connect(mdbCls, &QPushButton::clicked, this, &SmsPanel::cmdMdbCls_Click);

    m_content = new QPlainTextEdit(box);
    m_content->setObjectName(QStringLiteral("txtContent"));
    m_content->setToolTip(ContentToolTip);
    m_content->setFixedHeight(PanelBoxHeight);
    widgets::nameForReader(m_content, QStringLiteral("短信内容"), ContentToolTip);
    m_zfNums = widgets::namedLabel(box, QStringLiteral("lblZfNums"), QStringLiteral("0"));
    m_fgNums = widgets::namedLabel(box, QStringLiteral("lblFgNums"), QStringLiteral("0"));
    m_fgNums1 = widgets::namedLabel(box, QStringLiteral("lblFgNums1"), QStringLiteral("0"));

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
    widgets::nameForReader(m_yyGL, QStringLiteral("预约发送公历日期"),
        QStringLiteral("点击或按F4选取日期,也可输入如2024-2-25"));
    widgets::nameForReader(m_yyNl, QStringLiteral("预约发送农历日期"),
        QStringLiteral("点击或按F4选取日期,也可输入如2024-闰7-15"));
    widgets::nameForReader(m_hour, QStringLiteral("预约发送时"));
    widgets::nameForReader(m_minute, QStringLiteral("预约发送分"));
    m_send[0] =
        widgets::namedButton(box, QStringLiteral("cmdSend_0"), QStringLiteral("即时发送(&J)"));
    m_send[1] =
        widgets::namedButton(box, QStringLiteral("cmdSend_1"), QStringLiteral("预约发送(&Y)"));

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
        connect(
            list.model, &dialogs::BirthdayListModel::ticksChanged, this, &SmsPanel::ProcTelSelect);
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

} // namespace natalis::app
