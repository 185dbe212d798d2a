#include "dialogs/frmdxhist.h"

#include "calendar/datetext.h"
#include "calendar_ui/datepickers.h"
#include "platform/clock.h"
#include "sms/smsdispatch.h"
#include "widgets/dialogparts.h"

#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace natalis::dialogs {

namespace {

const QString AllItem = QStringLiteral("所有");

enum Column {
    SdDateColumn,
    ComputerColumn,
    TypeColumn,
    TitleColumn,
    TelColumn,
    TelNumColumn,
    ContentColumn,
    DxNumColumn,
    DxUserColumn,
    YyDateColumn,
    StatusColumn,
    ForColumn,
    ColumnCount
};

struct ColumnLayout
{
    QString header;
    QString widest; // a typical long value; the column starts wide enough for it
};

const ColumnLayout Columns[ColumnCount] = {
    { QStringLiteral("发送日期"), QStringLiteral("2026-12-06 09:00:00") },
    { QStringLiteral("站点名称"), QStringLiteral("PC-OFFICE") },
    { QStringLiteral("短信类型"), QStringLiteral("生日短信") },
    { QStringLiteral("生日名称"), QStringLiteral("张三,李四") },
    { QStringLiteral("手机号码"), QStringLiteral("13800000000,") },
    { QStringLiteral("号码数量"), QStringLiteral("号码数量") },
    { QStringLiteral("短信内容"), QStringLiteral("祝你生日快乐，天天开心！【青萍】") },
    { QStringLiteral("短信数量"), QStringLiteral("短信数量") },
    { QStringLiteral("短信账号"), QStringLiteral("13800000000") },
    { QStringLiteral("预约时间"), QStringLiteral("2026/12/06 09:00:00") },
    { QStringLiteral("发送状态"), QStringLiteral("发送状态") },
    { QStringLiteral("原因"), QStringLiteral("预约时间不合适") },
};

QComboBox *comboBox(const char *name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return box;
}

QRadioButton *option(const QString &name, int index, const QString &caption, QWidget *parent)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QStringLiteral("%1_%2").arg(name).arg(index));
    return radio;
}

// The registered accounts as the filter offers them, without the empty choice.
QStringList accountItems(const sms::SmsAccountTable &accounts)
{
    QStringList items { AllItem };
    for (const QString &item : sms::smsAccountItems(accounts)) {
        if (!item.trimmed().isEmpty())
            items.append(item);
    }
    return items;
}

QString filterText(const QComboBox *box)
{
    return box->currentIndex() > 0 ? box->currentText() : QString();
}

QTreeWidgetItem *itemOf(const sms::SmsHistoryRow &row)
{
    auto *item = new QTreeWidgetItem;
    item->setText(SdDateColumn, row.strSdDate);
    item->setData(SdDateColumn, HistoryKeyRole, QStringLiteral("R%1").arg(row.Id));
    item->setText(ComputerColumn, row.strComputer);
    item->setText(TypeColumn, row.strType);
    item->setText(TitleColumn, row.strTitle);
    item->setText(TelColumn, row.strTel);
    // Numbers stay numbers in the display role, so a header click sorts 9 before 10.
    item->setData(TelNumColumn, Qt::DisplayRole, row.intTelNum);
    item->setText(ContentColumn, sms::listedSmsContent(row.strContent));
    item->setData(DxNumColumn, Qt::DisplayRole, row.intDxNum);
    item->setText(DxUserColumn, row.strDxUser);
    item->setText(YyDateColumn, row.strYyDate);
    item->setText(StatusColumn, row.strStatus);
    item->setText(ForColumn, row.strFor);
    // Joined names and numbers outgrow their columns; the tool tip shows a cell whole.
    for (int column = 0; column < ColumnCount; ++column)
        item->setToolTip(column, item->text(column));
    return item;
}

} // namespace

frmDxHist::frmDxHist(Services services, QWidget *parent)
    : QDialog(parent), m_services(std::move(services))
{
    setObjectName(QStringLiteral("frmDxHist"));
    setWindowTitle(QStringLiteral("短信发送记录"));
    pickDate = [&clock = m_services.clock, skin = m_services.skin](
                   QWidget *anchor, QString &gl, QString &nl) {
        return calendar_ui::pickGregorianDate(anchor, skin, clock.now().date(), gl, nl);
    };
    buildControls();
    fillFilters();
    widgets::applyListSkin(this, m_services.skin);
    resize(1240, 600);
    RunHistoryQuery({});
}

void frmDxHist::buildControls()
{
    auto *buttons = new QDialogButtonBox(Qt::Vertical, this);
    auto *query =
        widgets::namedButton(this, QStringLiteral("cmdQuery"), QStringLiteral("查询(&Q)"));
    buttons->addButton(query, QDialogButtonBox::ActionRole);
    auto *ok = actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Close);

    auto *upper = new QHBoxLayout;
    upper->addWidget(
        buildRangeEnd(m_start, "Start", QStringLiteral("起始发送日期"), QStringLiteral("最早")));
    upper->addWidget(
        buildRangeEnd(m_end, "End", QStringLiteral("截止发送日期"), QStringLiteral("现在")));
    upper->addWidget(buildFilters());
    upper->addStretch();
    upper->addWidget(buttons, 0, Qt::AlignTop);

    buildList();
    m_total = new QLabel(QStringLiteral("0"), this);
    m_total->setObjectName(QStringLiteral("lblDxNums"));
    auto *total = new QHBoxLayout;
    total->addWidget(new QLabel(QStringLiteral("短信数量:"), this));
    total->addWidget(m_total);
    total->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(upper);
    layout->addWidget(m_list, 1);
    layout->addLayout(total);
    m_statusPanel = widgets::addStatusPanel(layout, this);
    buildMenu();

    connect(query, &QPushButton::clicked, this, &frmDxHist::cmdQuery_Click);
    connect(ok, &QPushButton::clicked, this, &frmDxHist::cmdOK_Click);
}

QGroupBox *frmDxHist::buildRangeEnd(
    RangeEnd &end, const char *name, const QString &title, const QString &anyCaption)
{
    const QString suffix = QString::fromLatin1(name);
    end.frame = new QGroupBox(title, this);
    end.any = option(QStringLiteral("opt") + suffix, 0, anyCaption, end.frame);
    end.chosen = option(QStringLiteral("opt") + suffix, 1, QStringLiteral("指定"), end.frame);
    end.box = new QLineEdit(end.frame);
    end.box->setObjectName(QStringLiteral("txt") + suffix);
    end.box->setReadOnly(true);
    end.box->setMinimumWidth(
        end.box->fontMetrics().horizontalAdvance(QStringLiteral("公历2026年 12月06日")) + 16);
    end.box->installEventFilter(this);
    // The frame keeps its size while the box comes and goes.
    QSizePolicy policy = end.box->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    end.box->setSizePolicy(policy);
    end.box->hide();
    end.any->setChecked(true);
    // Both frames offer 指定: a reader names each by the end of the range it sets.
    widgets::nameForReader(end.chosen, QStringLiteral("指定") + title);
    widgets::nameForReader(end.box, title, QStringLiteral("单击选择日期"));

    auto *grid = new QGridLayout(end.frame);
    grid->addWidget(end.any, 0, 0);
    grid->addWidget(end.chosen, 0, 1);
    grid->addWidget(end.box, 1, 0, 1, 2);
    connect(end.chosen, &QRadioButton::toggled, this, [this, &end] { chooseRange(end); });
    return end.frame;
}

QWidget *frmDxHist::buildFilters()
{
    auto *filters = new QWidget(this);
    auto *grid = new QGridLayout(filters);
    m_user = comboBox("cboDxUser", {}, filters);
    m_type = comboBox("cboDxType", {}, filters);
    m_status = comboBox("cboDxStatus", {}, filters);
    m_computers = comboBox("cboComputers", {}, filters);
    const std::pair<QString, QComboBox *> rows[] = { { QStringLiteral("发送帐号"), m_user },
        { QStringLiteral("短信类型"), m_type }, { QStringLiteral("发送状态"), m_status },
        { QStringLiteral("发送站点"), m_computers } };
    for (int i = 0; i < 4; ++i) {
        const int row = i % 2;
        const int column = (i / 2) * 2;
        auto *caption = new QLabel(rows[i].first, filters);
        caption->setBuddy(rows[i].second);
        widgets::nameForReader(rows[i].second, rows[i].first,
            QStringLiteral("只列出此") + rows[i].first + QStringLiteral("的记录"));
        grid->addWidget(caption, row, column);
        grid->addWidget(rows[i].second, row, column + 1);
    }
    return filters;
}

void frmDxHist::buildList()
{
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    widgets::nameForReader(m_list, QStringLiteral("短信发送记录"),
        QStringLiteral("点击标题栏按相应标题排序,右击复制所选记录"));
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setColumnCount(ColumnCount);
    QStringList headers;
    for (const ColumnLayout &column : Columns)
        headers.append(column.header);
    m_list->setHeaderLabels(headers);
    const QFontMetrics metrics = m_list->fontMetrics();
    for (int column = 0; column < ColumnCount; ++column) {
        const int widest = qMax(metrics.horizontalAdvance(Columns[column].header),
            metrics.horizontalAdvance(Columns[column].widest));
        m_list->setColumnWidth(column, widest + 14);
    }
    // Rows come in time order; a header click sorts until the next query.
    QHeaderView *header = m_list->header();
    header->setToolTip(QStringLiteral("点击标题栏按相应标题排序"));
    header->setSectionsClickable(true);
    connect(header, &QHeaderView::sectionClicked, this, &frmDxHist::sortByColumn);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (QTreeWidgetItem *item = m_list->itemAt(at))
            m_list->setCurrentItem(item);
        m_editMenu->popup(m_list->viewport()->mapToGlobal(at));
    });
}

void frmDxHist::buildMenu()
{
    m_editMenu = new QMenu(QStringLiteral("编辑"), this);
    m_editMenu->setObjectName(QStringLiteral("mnuEdit"));
    QAction *copy = m_editMenu->addAction(QStringLiteral("复制"));
    copy->setObjectName(QStringLiteral("mnuCopy"));
    connect(copy, &QAction::triggered, this, &frmDxHist::mnuCopy_Click);
}

void frmDxHist::fillFilters()
{
    m_user->addItems(accountItems(m_services.accounts));
    m_type->addItems({ AllItem, sms::BirthdaySmsType.toString(), sms::ImmediateSmsType.toString(),
        sms::ScheduledSmsType.toString() });
    m_status->addItems({ AllItem, sms::SentStatus.toString(), sms::FailedStatus.toString(),
        sms::NetworkFailureStatus.toString(), sms::UnknownStatus.toString() });
    m_computers->addItem(m_services.computerName);
    for (QComboBox *box : { m_user, m_type, m_status, m_computers })
        box->setCurrentIndex(0);
}

void frmDxHist::sortByColumn(int column)
{
    QHeaderView *header = m_list->header();
    const bool again = header->isSortIndicatorShown() && header->sortIndicatorSection() == column
        && header->sortIndicatorOrder() == Qt::AscendingOrder;
    const Qt::SortOrder order = again ? Qt::DescendingOrder : Qt::AscendingOrder;
    header->setSortIndicatorShown(true);
    m_list->sortItems(column, order);
}

void frmDxHist::chooseRange(RangeEnd &end)
{
    const bool chosen = end.chosen->isChecked();
    end.box->setVisible(chosen);
    end.date = chosen ? calendar::parseGregorianText(end.box->text()) : std::nullopt;
}

void frmDxHist::pickInto(RangeEnd &end)
{
    QString gl = end.box->text();
    QString nl;
    if (!pickDate || !pickDate(end.frame, gl, nl))
        return;
    end.box->setText(gl);
    end.date = calendar::parseGregorianText(gl);
}

sms::SmsHistoryQuery frmDxHist::queryFromControls() const
{
    sms::SmsHistoryQuery query;
    query.start = m_start.date;
    query.end = m_end.date;
    query.account = sms::accountOfItem(filterText(m_user));
    query.type = filterText(m_type);
    query.status = filterText(m_status);
    return query;
}

std::optional<qint64> frmDxHist::RunHistoryQuery(const sms::SmsHistoryQuery &query)
{
    m_list->clear();
    m_list->header()->setSortIndicatorShown(false);
    const std::optional<QList<sms::SmsHistoryRow>> rows =
        sms::querySmsHistory(m_services.connection, query, m_services.clock.now().date());
    if (!rows) {
        m_total->setText(QStringLiteral("0"));
        m_statusPanel->setText(QStringLiteral("查询短信发送历史记录失败!"));
        return std::nullopt;
    }
    QList<QTreeWidgetItem *> items;
    items.reserve(rows->size());
    for (const sms::SmsHistoryRow &row : *rows)
        items.append(itemOf(row));
    m_list->addTopLevelItems(items);
    const qint64 charged = sms::chargedMessages(*rows);
    m_total->setText(QString::number(charged));
    m_statusPanel->setText(QStringLiteral("查询短信发送历史记录成功!"));
    return charged;
}

void frmDxHist::cmdQuery_Click()
{
    RunHistoryQuery(queryFromControls());
}

void frmDxHist::cmdOK_Click()
{
    accept();
}

void frmDxHist::txtStart_Click()
{
    pickInto(m_start);
}

void frmDxHist::txtEnd_Click()
{
    pickInto(m_end);
}

void frmDxHist::mnuCopy_Click()
{
    const QList<QTreeWidgetItem *> selected = m_list->selectedItems();
    if (selected.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(selected.front()->text(ContentColumn));
}

QString frmDxHist::statusText() const
{
    return m_statusPanel->text();
}

bool frmDxHist::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_start.box) {
            txtStart_Click();
            return true;
        }
        if (watched == m_end.box) {
            txtEnd_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace natalis::dialogs
