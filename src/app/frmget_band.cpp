// The band under the main window's lists: the counts, the find box and the buttons.

#include "app/frmget.h"
#include "dialogs/upcomingpage.h"
#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>

namespace natalis::app {

void frmGet::buildControls()
{
    auto *shape = new QWidget(this);
    shape->setObjectName(QStringLiteral("Shape3"));
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    // The counts are white on the blue band: the band is deepened until they read on it.
    palette.setColor(QPalette::Window,
        widgets::readableOn(widgets::ParseHexColor(widgets::Shape3Color), Qt::white));
    palette.setColor(QPalette::WindowText, Qt::white);
    shape->setPalette(palette);
    auto *shapeLayout = new QVBoxLayout(shape);
    shapeLayout->setContentsMargins(8, 6, 8, 6);
    shapeLayout->addLayout(buildCounts(shape));
    shapeLayout->addLayout(buildButtons(shape));
    centralWidget()->layout()->addWidget(shape);
    buildSmsPanel();
}

QLayout *frmGet::buildCounts(QWidget *shape)
{
    m_tabName = widgets::namedLabel(shape, QStringLiteral("lblTabNums1"));
    auto *tabCountCaption =
        widgets::namedLabel(shape, QStringLiteral("lblTabNums2"), QStringLiteral("提醒数:"));
    m_tabCount = widgets::namedLabel(shape, QStringLiteral("lblTabNums"), QStringLiteral("0"));
    auto *allCaption =
        widgets::namedLabel(shape, QStringLiteral("lblAllNums1"), QStringLiteral("所有提醒数:"));
    m_allCount = widgets::namedLabel(shape, QStringLiteral("lblAllNums"), QStringLiteral("0"));
    m_typeSel = new QCheckBox(QStringLiteral("全选当前类别"), shape);
    m_typeSel->setObjectName(QStringLiteral("chkTypeSel"));
    m_typeSel->hide();
    connect(m_typeSel, &QCheckBox::clicked, this, &frmGet::chkTypeSel_Click);

    auto *counts = new QHBoxLayout;
    for (QWidget *w : { static_cast<QWidget *>(m_tabName), static_cast<QWidget *>(tabCountCaption),
             static_cast<QWidget *>(m_tabCount) })
        counts->addWidget(w);
    counts->addSpacing(24);
    counts->addWidget(allCaption);
    counts->addWidget(m_allCount);
    counts->addStretch(1);
    counts->addWidget(m_typeSel);
    return counts;
}

QLayout *frmGet::buildButtons(QWidget *shape)
{
    m_found = new QLineEdit(shape);
    m_found->setObjectName(QStringLiteral("txtFound"));
    m_found->setToolTip(QStringLiteral("请先点击相应的标题栏,输入查找的内容后,点击查找"));
    m_found->setMinimumWidth(90);
    m_found->setMaximumWidth(150);
    widgets::nameForReader(m_found, QStringLiteral("查找内容"), m_found->toolTip());
    m_find = widgets::namedButton(shape, QStringLiteral("cmdFind"), QStringLiteral("查找(&F)"),
        QStringLiteral("按生日内容查找"));
    auto *add = widgets::namedButton(shape, QStringLiteral("cmdAdd"), QStringLiteral("增加(&A)"),
        QStringLiteral("增加1条生日提醒"));
    m_edit = widgets::namedButton(shape, QStringLiteral("cmdEdit"), QStringLiteral("修改(&M)"),
        QStringLiteral("修改当前所选生日提醒"));
    m_delete = widgets::namedButton(shape, QStringLiteral("cmdDel"), QStringLiteral("删除(&D)"),
        QStringLiteral("删除当前所选生日提醒"));
    auto *setup = widgets::namedButton(shape, QStringLiteral("cmdSetup"),
        QStringLiteral("设置(&S)"), QStringLiteral("节日提醒和提醒方式设置"));
    auto *notify =
        widgets::namedButton(shape, QStringLiteral("cmdNotify"), QStringLiteral("生日提醒(&T)"));
    auto *wnl = widgets::namedButton(shape, QStringLiteral("cmdWnl"), QStringLiteral("万年历(&W)"));
    m_duanxin = widgets::namedButton(shape, QStringLiteral("cmdDuanxin"), smsPanelCaption(false));
    // The arrow in the caption means nothing read aloud; the description says what it does.
    widgets::nameForReader(m_duanxin, QStringLiteral("短信窗口"), QStringLiteral("展开短信群发"));
    auto *close = widgets::namedButton(
        shape, QStringLiteral("cmdExit"), actCaption(widgets::WindowAct::Close));

    connect(m_find, &QPushButton::clicked, this, &frmGet::cmdFind_Click);
    connect(m_found, &QLineEdit::returnPressed, this, &frmGet::cmdFind_Click);
    connect(close, &QPushButton::clicked, this, &frmGet::putAwayRequested);
    connect(add, &QPushButton::clicked, this, &frmGet::cmdAdd_Click);
    connect(m_edit, &QPushButton::clicked, this, &frmGet::cmdEdit_Click);
    connect(m_delete, &QPushButton::clicked, this, &frmGet::cmdDel_Click);
    connect(notify, &QPushButton::clicked, this, [this] { Q_EMIT calendarRequested(false); });
    connect(wnl, &QPushButton::clicked, this, [this] { Q_EMIT calendarRequested(true); });
    connect(setup, &QPushButton::clicked, this, &frmGet::cmdSetup_Click);
    connect(m_duanxin, &QPushButton::clicked, this, &frmGet::cmdDuanxin_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_found);
    buttons->addWidget(m_find);
    buttons->addSpacing(12);
    for (QPushButton *b : { add, m_edit, m_delete })
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton *b : { setup, notify, wnl, m_duanxin, close })
        buttons->addWidget(b);
    return buttons;
}

void frmGet::ProcCmd(int index)
{
    const bool upcoming = m_tabs->currentIndex() == UpcomingTab;
    const int count = upcoming ? m_upcoming->rowCount() : m_models[index]->rowCount();
    m_tabName->setText(upcoming ? m_tabs->tabText(UpcomingTab) : dialogs::listCaption(index));
    m_tabCount->setText(QString::number(count));
    m_allCount->setText(QString::number(myAllNums()));
    // The upcoming birthdays are a view: their rows are changed in their own lists.
    for (QPushButton *b : { m_edit, m_delete, m_find })
        b->setEnabled(count > 0 && !upcoming);
}

void frmGet::cmdFind_Click()
{
    const QString wanted = m_found->text();
    if (wanted.isEmpty())
        return;
    const int index = currentCategory();
    QSortFilterProxyModel *proxy = m_proxies[index];
    // The sort key decides where to look: the names, or the column the user sorted by.
    const int column = qMax(proxy->sortColumn(), 0);
    for (int row = 0; row < proxy->rowCount(); ++row) {
        const QModelIndex cell = proxy->index(row, column);
        if (cell.data().toString().startsWith(wanted, Qt::CaseInsensitive)) {
            QTableView *view = m_views[index];
            view->clearSelection();
            view->scrollTo(cell);
            view->setCurrentIndex(cell);
            view->selectRow(row);
            view->setFocus();
            return;
        }
    }
    setStatus(1, QStringLiteral("没找到相应的生日提醒！"));
}

} // namespace natalis::app
