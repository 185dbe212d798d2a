#include "app/frmget.h"

#include "app/birthdaylistview.h"
#include "app/birthdaysortmodel.h"
#include "app/smspanel.h"
#include "app/transferactions.h"
#include "calendar/datetext.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "reminder/nextbirthday.h"
#include "reminder/upcomingbirthdays.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "store/categories.h"
#include "transfer/exportfile.h"
#include "widgets/dialogparts.h"
#include "widgets/elidedlabel.h"
#include "widgets/helpdocument.h"
#include "widgets/pictures.h"
#include "widgets/skincolors.h"
#include "widgets/windowmemory.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

namespace natalis::app {

namespace {

const QString SmsPanelClosedCaption = QStringLiteral("短信窗口(▼)");
const QString SmsPanelOpenCaption = QStringLiteral("短信窗口(▲)");

QString categoryName(int index)
{
    return store::CategoryNames[index].toString();
}

QAction *action(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// The list an unknown category's row lands in: the first, where the duplicate check looks too.
int listOf(QStringView type)
{
    return qMax(store::categoryIndex(type.trimmed()), 0);
}

int listOf(const store::BirthdayRecord &record)
{
    return listOf(record.Type);
}

} // namespace

frmGet::frmGet(AppContext &context, MessageSink &messages, const Clock &clock, MusicPlayer *music,
    QWidget *parent)
    : QMainWindow(parent), m_context(context), m_messages(messages), m_clock(clock), m_music(music)
{
    setObjectName(QStringLiteral("frmGet"));
    setWindowTitle(AppTitle.toString() + QStringLiteral("[生日设置]"));
    setWindowIcon(picture(Picture::Tray));

    buildMenus();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    m_stack = new QStackedWidget(central);
    auto *tabRow = new QHBoxLayout;
    tabRow->addWidget(m_tabs, 1);
    layout->addLayout(tabRow);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);
    buildLists();
    buildSearch(tabRow);
    buildUpcoming();
    buildControls();
    buildStatusBar();
    buildKeys();
    resize(1000, 580);
    QList<QHeaderView *> headers;
    for (QTableView *view : m_views)
        headers.append(view->horizontalHeader());
    // The memory also saves when the window hides while it is being destroyed, after frmGet's own
    // part is gone: it may reach only the context, which outlives the window.
    m_memory = new WindowMemory(*this, headers, [&context = m_context]() -> store::Connection * {
        return context.DbConnection ? &*context.DbConnection : nullptr;
    });

    connect(m_tabs, &QTabBar::currentChanged, this, &frmGet::TabStrip1_Click);
}

frmGet::~frmGet() = default;

void frmGet::buildMenus()
{
    // The buttons below the lists hold F, A, M, D, S, T, W and E: the menu titles take other
    // letters, so that each Alt key reaches one thing.
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件(&I)"));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction *addIn =
        action(file, "mnuFileAddIn", QStringLiteral("从外部制表符分割的文本文件导入生日"));
    QAction *oldAddIn =
        action(file, "mnuOldAddIn", QStringLiteral("从旧版本导出的生日文件导入生日"));
    QAction *csvAddIn = action(file, "mnuCsvAddIn", QStringLiteral("从CSV文件(Excel/WPS)导入生日"));
    file->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
    QAction *fileOut =
        action(file, "mnuFileOut", QStringLiteral("生日导出到外部制表符分割的文本文件"));
    QAction *csvOut = action(file, "mnuCsvOut", QStringLiteral("生日导出到CSV文件(Excel/WPS)"));
    connect(addIn, &QAction::triggered, this, [this] { importBirthdays(ImportMenu::TabFile); });
    connect(
        oldAddIn, &QAction::triggered, this, [this] { importBirthdays(ImportMenu::OldVersions); });
    connect(csvAddIn, &QAction::triggered, this, [this] { importBirthdays(ImportMenu::CsvFile); });
    connect(fileOut, &QAction::triggered, this, [this] { exportBirthdays(false); });
    connect(csvOut, &QAction::triggered, this, [this] { exportBirthdays(true); });
    addPhoneMenu(file);
    file->addSeparator();
    connect(action(file, "mnuRestore", QStringLiteral("从备份恢复…")), &QAction::triggered, this,
        &frmGet::mnuRestore_Click);

    // Filled with the list actions once the lists exist (buildKeys).
    m_editMenu = menuBar()->addMenu(QStringLiteral("编辑(&B)"));
    m_editMenu->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = new QUndoStack(this);
    QAction *undo = m_undo->createUndoAction(this, QStringLiteral("撤销"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = m_undo->createRedoAction(this, QStringLiteral("重做"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(QKeySequence::Redo);
    m_editMenu->addAction(undo);
    m_editMenu->addAction(redo);
    m_editMenu->addSeparator();

    m_toolMenu = menuBar()->addMenu(QStringLiteral("操作(&O)"));
    m_toolMenu->setObjectName(QStringLiteral("mnuTool"));
    connect(action(m_toolMenu, "mnuSetup", QStringLiteral("生日设置(&S)")), &QAction::triggered,
        this, &frmGet::showInFront);
    m_notifyAction = action(m_toolMenu, "mnuNotify", QStringLiteral("生日提醒(&T)"));
    connect(m_notifyAction, &QAction::triggered, this, &frmGet::mnuNotify_Click);
    m_wnlAction = action(m_toolMenu, "mnuWnl", QStringLiteral("万年历(&W)"));
    connect(m_wnlAction, &QAction::triggered, this, [this] { Q_EMIT calendarRequested(true); });
    m_toolMenu->addSeparator()->setObjectName(QStringLiteral("mnuSeperator"));
    m_exitAction = action(m_toolMenu, "mnuExit", QStringLiteral("退出(&E)"));
    m_exitAction->setShortcut(QKeySequence::Quit);
    connect(m_exitAction, &QAction::triggered, this, &frmGet::quitRequested);

    QMenu *skins = menuBar()->addMenu(QStringLiteral("换肤(&K)"));
    skins->setObjectName(QStringLiteral("mnuHuanfu"));
    m_skins = new QActionGroup(this);
    m_skins->setExclusive(true);
    const char *names[] = { "mnuHf0", "mnuHf1", "mnuHf2", "mnuHf3", "mnuHf4" };
    const QString captions[] = { QStringLiteral("跟随系统"), QStringLiteral("缺省"),
        QStringLiteral("皮肤1"), QStringLiteral("皮肤2"), QStringLiteral("皮肤3") };
    for (int skin = FollowSystemSkin; skin <= SkinCount; ++skin) {
        QAction *entry = action(skins, names[skin], captions[skin]);
        entry->setCheckable(true);
        entry->setChecked(skin == m_context.CurrentSkin);
        m_skins->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, skin] { chooseSkin(skin); });
    }

    m_helpAction = menuBar()->addAction(QStringLiteral("帮助(&H)"));
    m_helpAction->setObjectName(QStringLiteral("mnuHelp"));
    m_helpAction->setShortcut(QKeySequence::HelpContents);
    connect(m_helpAction, &QAction::triggered, this, &frmGet::openHelp);
}

void frmGet::buildKeys()
{
    const auto key = [this](const char *name, QList<QKeySequence> keys, auto slot,
                         const QString &caption = QString()) {
        auto *a = new QAction(caption, this);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcuts(keys);
        // An entry in the edit menu shows its key there; the others belong to the window.
        if (caption.isEmpty())
            addAction(a);
        else
            m_editMenu->addAction(a);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    // Ctrl+Tab and Ctrl+Page Down walk the tabs as in a browser, round from the last to the first.
    const auto step = [this](int by) {
        const int count = m_tabs->count();
        m_tabs->setCurrentIndex((m_tabs->currentIndex() + by + count) % count);
    };
    key("actNextTab",
        { QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown) },
        [step] { step(1); });
    key("actPreviousTab",
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
            QKeySequence(Qt::CTRL | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp) },
        [step] { step(-1); });
    key(
        "actAdd", QKeySequence::keyBindings(QKeySequence::New), [this] { cmdAdd_Click(); },
        QStringLiteral("增加生日(&A)"));
    // Delete belongs to the birthday lists only: the SMS panel's number list and every text box
    // keep their own.
    m_deleteAction = new QAction(QStringLiteral("删除生日(&D)"), this);
    m_editMenu->addAction(m_deleteAction);
    m_deleteAction->setObjectName(QStringLiteral("actDelete"));
    m_deleteAction->setShortcuts(QKeySequence::Delete);
    m_deleteAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_deleteAction, &QAction::triggered, this, &frmGet::cmdDel_Click);
    for (QTableView *view : m_views)
        view->addAction(m_deleteAction);
    m_editMenu->addSeparator();
    key(
        "actFind", QKeySequence::keyBindings(QKeySequence::Find),
        [this] {
            m_search->setFocus(Qt::ShortcutFocusReason);
            m_search->selectAll();
        },
        QStringLiteral("搜索(&S)"));
}

void frmGet::buildLists()
{
    for (int index = 0; index < CategoryCount; ++index) {
        m_tabs->addTab(categoryName(index));
        m_models[index] = new BirthdayListModel(this);
        m_proxies[index] = new BirthdaySortModel(this);
        m_proxies[index]->setSourceModel(m_models[index]);
        auto *view = new BirthdayListView(m_stack);
        view->setObjectName(QStringLiteral("ListView1_%1").arg(index));
        nameForReader(view, categoryName(index),
            QStringLiteral("%1类别的生日提醒,回车修改,空格勾选发短信").arg(categoryName(index)));
        view->setModel(m_proxies[index]);
        view->horizontalHeader()->setDefaultSectionSize(96);
        view->horizontalHeader()->resizeSection(0, 110);
        view->horizontalHeader()->resizeSection(2, 112);
        view->horizontalHeader()->resizeSection(3, 140);
        view->horizontalHeader()->resizeSection(4, 150);
        view->horizontalHeader()->resizeSection(5, 150);
        view->horizontalHeader()->resizeSection(BirthdayListModel::AgeColumn, 56);
        for (int column = BirthdayListModel::KindColumn; column < BirthdayListModel::ColumnCount;
             ++column)
            view->horizontalHeader()->resizeSection(column, 56);
        // Room for the longest coming day, two-digit month and day.
        view->horizontalHeader()->resizeSection(BirthdayListModel::NextColumn,
            view->fontMetrics().horizontalAdvance(calendar::comingDayText(QDate(2026, 12, 30)))
                + 24);
        defaultColumns(view->horizontalHeader());
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
            [this, index](const QPoint &at) { showListMenu(index, at); });
        view->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view->horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            [this, index](
                const QPoint &at) { showColumnMenu(m_views[index]->horizontalHeader(), at); });
        connect(view->horizontalHeader(), &QHeaderView::sectionMoved, this,
            [this, index](int logical, int, int to) {
                columnMoved(m_views[index]->horizontalHeader(), logical, to);
            });
        // A header click makes that column the list's sort key; a second click turns the order.
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, index](int column) {
                static_cast<BirthdaySortModel *>(m_proxies[index])->sortByHeader(column);
                QHeaderView *header = m_views[index]->horizontalHeader();
                header->setSortIndicator(column, m_proxies[index]->sortOrder());
                header->setSortIndicatorShown(true);
            });
        connect(view, &BirthdayListView::doubleClickedAnywhere, this,
            [this, index] { listDoubleClicked(index); });
        connect(view, &BirthdayListView::editRequested, this, &frmGet::cmdEdit_Click);
        m_views[index] = view;
        m_stack->addWidget(view);
    }
}

void frmGet::defaultColumns(QHeaderView *header)
{
    // What a reader looks for first stands beside the name: when, and how old.
    for (int logical = 0; logical < BirthdayListModel::ColumnCount; ++logical) {
        header->setSectionHidden(logical, false);
        header->moveSection(header->visualIndex(logical), logical);
    }
    header->moveSection(header->visualIndex(BirthdayListModel::NextColumn), 1);
    header->moveSection(header->visualIndex(BirthdayListModel::AgeColumn), 2);
    header->moveSection(header->visualIndex(BirthdayListModel::KindColumn), 3);
}

void frmGet::columnMoved(QHeaderView *moved, int logical, int to)
{
    if (m_movingColumns)
        return;
    m_movingColumns = true;
    for (QTableView *view : m_views) {
        QHeaderView *header = view->horizontalHeader();
        if (header != moved)
            header->moveSection(header->visualIndex(logical), to);
    }
    m_movingColumns = false;
}

void frmGet::showColumnMenu(QHeaderView *header, const QPoint &at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuColumns"));
    const QStringList titles = BirthdayListModel::columnTitles();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        QAction *entry = menu.addAction(titles[logical]);
        entry->setCheckable(true);
        entry->setChecked(!header->isSectionHidden(logical));
        // The name tells the rows apart: it always shows.
        entry->setEnabled(logical != 0);
        connect(entry, &QAction::toggled, this, [this, logical](bool shown) {
            for (QTableView *view : m_views)
                view->horizontalHeader()->setSectionHidden(logical, !shown);
        });
    }
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("恢复默认列")), &QAction::triggered, this, [this] {
        m_movingColumns = true;
        for (QTableView *view : m_views)
            defaultColumns(view->horizontalHeader());
        m_movingColumns = false;
    });
    runMenu(menu, header->viewport()->mapToGlobal(at));
}

void frmGet::showListMenu(int index, const QPoint &at)
{
    const bool chosen = !selectedIds(index).isEmpty();
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuList"));
    const auto entry = [&menu, chosen, this](const QString &caption, auto slot) {
        QAction *a = menu.addAction(caption);
        a->setEnabled(chosen);
        connect(a, &QAction::triggered, this, slot);
    };
    entry(QStringLiteral("编辑(&E)"), &frmGet::cmdEdit_Click);
    entry(QStringLiteral("删除(&D)"), &frmGet::cmdDel_Click);
    menu.addSeparator();
    entry(QStringLiteral("发送短信(&S)"), &frmGet::smsToSelected);
    entry(QStringLiteral("复制电话(&C)"), &frmGet::copySelectedPhones);
    runMenu(menu, m_views[index]->viewport()->mapToGlobal(at));
}

void frmGet::smsToSelected()
{
    const int index = currentCategory();
    const QList<qint32> ids = selectedIds(index);
    if (!m_smsPanel->isOpen())
        showSmsPanel(true);
    // Rows whose number cannot take an SMS refuse the tick, as a click on their box does.
    for (qint32 id : ids)
        m_models[index]->setData(m_models[index]->index(m_models[index]->rowOfId(id), 0),
            Qt::Checked, Qt::CheckStateRole);
}

void frmGet::copySelectedPhones()
{
    const int index = currentCategory();
    QStringList phones;
    for (qint32 id : selectedIds(index)) {
        const QString tel =
            m_models[index]->cell(m_models[index]->rowOfId(id), BirthdayListModel::TelColumn);
        if (!tel.isEmpty())
            phones << tel;
    }
    QGuiApplication::clipboard()->setText(phones.join(u'\n'));
    setStatus(1, QStringLiteral("已复制%1个电话号码").arg(phones.size()));
}

bool frmGet::listShown() const
{
    return m_stack->currentIndex() == currentCategory();
}

void frmGet::showCurrentPage()
{
    if (!m_search->text().trimmed().isEmpty())
        return;
    if (m_tabs->currentIndex() == UpcomingTab)
        m_stack->setCurrentWidget(m_upcomingView);
    else
        m_stack->setCurrentIndex(currentCategory());
}

void frmGet::buildUpcoming()
{
    m_tabs->addTab(QStringLiteral("近期生日"));
    m_tabs->setTabToolTip(UpcomingTab, QStringLiteral("所有类别中今后30天内过生日的人,近者在前"));
    m_upcoming = new QStandardItemModel(this);
    m_upcomingView = new QTableView(m_stack);
    m_upcomingView->setObjectName(QStringLiteral("lstUpcoming"));
    m_upcomingView->setModel(m_upcoming);
    nameForReader(m_upcomingView, QStringLiteral("近期生日"),
        m_tabs->tabToolTip(UpcomingTab) + QStringLiteral(",回车转到所在类别"));
    m_upcomingView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_upcomingView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_upcomingView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_upcomingView->setTabKeyNavigation(false);
    m_upcomingView->setShowGrid(false);
    m_upcomingView->verticalHeader()->hide();
    m_upcomingView->verticalHeader()->setDefaultSectionSize(
        m_upcomingView->fontMetrics().height() + 6);
    m_upcomingView->horizontalHeader()->setStretchLastSection(true);
    m_upcomingView->horizontalHeader()->setDefaultSectionSize(110);
    m_stack->addWidget(m_upcomingView);
    connect(m_upcomingView, &QTableView::activated, this, &frmGet::showHit);
}

void frmGet::refreshUpcoming()
{
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    const QList<reminder::UpcomingBirthday> upcoming =
        reminder::upcomingBirthdays(birthdays, m_clock.now().date());
    m_upcoming->clear();
    m_upcoming->setHorizontalHeaderLabels({ QStringLiteral("生日名称"), QStringLiteral("所在类别"),
        QStringLiteral("下次生日"), QStringLiteral("还有"), QStringLiteral("年龄"),
        QStringLiteral("提醒方式"), QStringLiteral("联系方式"), QStringLiteral("类型") });
    for (const reminder::UpcomingBirthday &entry : upcoming) {
        const store::BirthdayRecord &record = birthdays[entry.index];
        const QString left = entry.daysLeft == 0 ? QStringLiteral("今天")
            : entry.daysLeft == 1                ? QStringLiteral("明天")
                                                 : QStringLiteral("%1天").arg(entry.daysLeft);
        QList<QStandardItem *> cells;
        for (const QString &text : { record.About.trimmed(), categoryName(listOf(record)),
                 calendar::comingDayText(entry.next.date), left,
                 entry.next.hasYear ? QString::number(entry.next.age) : QString(),
                 entry.next.lunar ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒"),
                 record.Tel.trimmed(), record.Kind })
            cells.append(new QStandardItem(text));
        cells[0]->setData(record.Id, Qt::UserRole);
        cells[0]->setData(listOf(record), Qt::UserRole + 1);
        m_upcoming->appendRow(cells);
    }
    m_upcomingView->resizeColumnToContents(2);
}

void frmGet::buildSearch(QLayout *tabRow)
{
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("txtSearch"));
    m_search->setPlaceholderText(QStringLiteral("搜索 姓名/电话/备注/拼音首字母 (Ctrl+F)"));
    m_search->setToolTip(
        QStringLiteral("在所有类别中查找:姓名、电话或备注的任一部分,或姓名的拼音首字母"));
    m_search->setClearButtonEnabled(true);
    nameForReader(m_search, QStringLiteral("搜索生日"), m_search->toolTip());
    m_search->setMinimumWidth(260);
    // Escape and the undo keys are the window's, not the box's own (eventFilter).
    m_search->installEventFilter(this);
    tabRow->addWidget(m_search);

    m_hits = new QStandardItemModel(this);
    m_hitsView = new QTableView(m_stack);
    m_hitsView->setObjectName(QStringLiteral("lstSearch"));
    m_hitsView->setModel(m_hits);
    nameForReader(m_hitsView, QStringLiteral("搜索结果"),
        QStringLiteral("在所有类别中找到的生日,回车转到所在类别"));
    m_hitsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_hitsView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_hitsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_hitsView->setTabKeyNavigation(false);
    m_hitsView->setShowGrid(false);
    m_hitsView->verticalHeader()->hide();
    m_hitsView->verticalHeader()->setDefaultSectionSize(m_hitsView->fontMetrics().height() + 6);
    m_hitsView->horizontalHeader()->setStretchLastSection(true);
    m_hitsView->horizontalHeader()->setDefaultSectionSize(120);
    m_stack->addWidget(m_hitsView);

    connect(m_search, &QLineEdit::textChanged, this, &frmGet::refreshSearch);
    // Enter takes the user to the hits, where Enter again opens the list that holds one.
    connect(m_search, &QLineEdit::returnPressed, this, [this] {
        if (m_hits->rowCount() == 0)
            return;
        m_hitsView->setFocus();
        m_hitsView->selectRow(0);
    });
    connect(m_hitsView, &QTableView::activated, this, &frmGet::showHit);
}

void frmGet::refreshSearch()
{
    const QString typed = m_search->text().trimmed();
    if (typed.isEmpty()) {
        // The count of hits no longer shown goes with them.
        if (statusText(1) == m_searchStatus)
            setStatus(1, QString());
        showCurrentPage();
        return;
    }
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    const QList<qsizetype> found = m_birthdaySearch.find(typed);
    QList<store::BirthdayRecord> records;
    for (qsizetype i : found)
        records.append(birthdays.value(i));
    const QList<reminder::NextBirthday> next =
        reminder::nextBirthdays(records, m_clock.now().date());
    m_hits->clear();
    m_hits->setHorizontalHeaderLabels({ QStringLiteral("生日名称"), QStringLiteral("所在类别"),
        QStringLiteral("联系方式"), QStringLiteral("生日备注"), QStringLiteral("下次生日") });
    for (qsizetype i = 0; i < records.size(); ++i) {
        const store::BirthdayRecord &record = records[i];
        QList<QStandardItem *> cells;
        for (const QString &text :
            { record.About.trimmed(), categoryName(listOf(record)), record.Tel.trimmed(),
                record.Beizhu.trimmed(), calendar::comingDayText(next[i].date) })
            cells.append(new QStandardItem(text));
        cells[0]->setData(record.Id, Qt::UserRole);
        cells[0]->setData(listOf(record), Qt::UserRole + 1);
        m_hits->appendRow(cells);
    }
    m_stack->setCurrentWidget(m_hitsView);
    m_searchStatus = found.isEmpty()
        ? QStringLiteral("没找到相应的生日提醒！")
        : QStringLiteral("找到%1个生日提醒,双击或回车转到所在类别").arg(found.size());
    setStatus(1, m_searchStatus);
}

void frmGet::showHit(const QModelIndex &hit)
{
    const QModelIndex first = hit.siblingAtColumn(0);
    showRows(first.data(Qt::UserRole + 1).toInt(), { first.data(Qt::UserRole).toInt() });
}

void frmGet::showRows(int index, const QList<qint32> &ids)
{
    m_search->clear();
    m_tabs->setCurrentIndex(index);
    QTableView *view = m_views[index];
    view->clearSelection();
    for (qint32 id : ids) {
        const int row = m_models[index]->rowOfId(id);
        if (row < 0)
            continue;
        const QModelIndex shown = m_proxies[index]->mapFromSource(m_models[index]->index(row, 0));
        if (!view->selectionModel()->hasSelection()) {
            view->setCurrentIndex(shown);
            view->scrollTo(shown);
        }
        view->selectionModel()->select(
            shown, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    view->setFocus();
}

void frmGet::showStates(const QList<store::BirthdayState> &states)
{
    QSet<QUuid> present;
    for (const store::BirthdayState &state : states) {
        if (state.record)
            present.insert(state.uid);
    }
    // The rows are shown in the list of the first one; a batch edit keeps to one list anyway.
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    int index = -1;
    QList<qint32> ids;
    for (qsizetype i = 0; i < birthdays.size() && !present.isEmpty(); ++i) {
        if (!present.contains(birthdays.uid(i)))
            continue;
        const int list = listOf(birthdays.value(i));
        if (index < 0)
            index = list;
        if (list == index)
            ids.append(birthdays.id(i));
    }
    if (index >= 0)
        showRows(index, ids);
}

void frmGet::buildControls()
{
    auto *shape = new QWidget(this);
    shape->setObjectName(QStringLiteral("Shape3"));
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    // The counts are white on the blue band: the band is deepened until they read on it.
    palette.setColor(QPalette::Window, readableOn(ParseHexColor(Shape3Color), Qt::white));
    palette.setColor(QPalette::WindowText, Qt::white);
    shape->setPalette(palette);

    m_tabName = namedLabel(shape, QStringLiteral("lblTabNums1"));
    auto *tabCountCaption =
        namedLabel(shape, QStringLiteral("lblTabNums2"), QStringLiteral("提醒数:"));
    m_tabCount = namedLabel(shape, QStringLiteral("lblTabNums"), QStringLiteral("0"));
    auto *allCaption =
        namedLabel(shape, QStringLiteral("lblAllNums1"), QStringLiteral("所有提醒数:"));
    m_allCount = namedLabel(shape, QStringLiteral("lblAllNums"), QStringLiteral("0"));
    m_typeSel = new QCheckBox(QStringLiteral("全选当前类别"), shape);
    m_typeSel->setObjectName(QStringLiteral("chkTypeSel"));
    m_typeSel->hide();

    auto *counts = new QHBoxLayout;
    for (QWidget *w : { static_cast<QWidget *>(m_tabName), static_cast<QWidget *>(tabCountCaption),
             static_cast<QWidget *>(m_tabCount) })
        counts->addWidget(w);
    counts->addSpacing(24);
    counts->addWidget(allCaption);
    counts->addWidget(m_allCount);
    counts->addStretch(1);
    counts->addWidget(m_typeSel);

    m_found = new QLineEdit(shape);
    m_found->setObjectName(QStringLiteral("txtFound"));
    m_found->setToolTip(QStringLiteral("请先点击相应的标题栏,输入查找的内容后,点击查找"));
    m_found->setMinimumWidth(90);
    m_found->setMaximumWidth(150);
    nameForReader(m_found, QStringLiteral("查找内容"), m_found->toolTip());
    m_find = namedButton(shape, QStringLiteral("cmdFind"), QStringLiteral("查找(&F)"),
        QStringLiteral("按生日内容查找"));
    auto *add = namedButton(shape, QStringLiteral("cmdAdd"), QStringLiteral("增加(&A)"),
        QStringLiteral("增加1条生日提醒"));
    m_edit = namedButton(shape, QStringLiteral("cmdEdit"), QStringLiteral("修改(&M)"),
        QStringLiteral("修改当前所选生日提醒"));
    m_delete = namedButton(shape, QStringLiteral("cmdDel"), QStringLiteral("删除(&D)"),
        QStringLiteral("删除当前所选生日提醒"));
    auto *setup = namedButton(shape, QStringLiteral("cmdSetup"), QStringLiteral("设置(&S)"),
        QStringLiteral("节日提醒和提醒方式设置"));
    auto *notify = namedButton(shape, QStringLiteral("cmdNotify"), QStringLiteral("生日提醒(&T)"));
    auto *wnl = namedButton(shape, QStringLiteral("cmdWnl"), QStringLiteral("万年历(&W)"));
    m_duanxin = namedButton(shape, QStringLiteral("cmdDuanxin"), SmsPanelClosedCaption);
    // The arrow in the caption means nothing read aloud; the description says what it does.
    nameForReader(m_duanxin, QStringLiteral("短信窗口"), QStringLiteral("展开短信群发"));
    auto *close = namedButton(shape, QStringLiteral("cmdExit"), actCaption(WindowAct::Close));

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
    connect(m_typeSel, &QCheckBox::clicked, this, &frmGet::chkTypeSel_Click);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_found);
    buttons->addWidget(m_find);
    buttons->addSpacing(12);
    for (QPushButton *b : { add, m_edit, m_delete })
        buttons->addWidget(b);
    buttons->addStretch(1);
    for (QPushButton *b : { setup, notify, wnl, m_duanxin, close })
        buttons->addWidget(b);

    auto *shapeLayout = new QVBoxLayout(shape);
    shapeLayout->setContentsMargins(8, 6, 8, 6);
    shapeLayout->addLayout(counts);
    shapeLayout->addLayout(buttons);
    centralWidget()->layout()->addWidget(shape);
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

void frmGet::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    // Panel 1 carries the messages; 2 the SMS activity, 3 SMS trouble, 4 notes, 5 the maker.
    const int stretch[] = { 1, 0, 0, 0, 0 };
    const int minimumWidth[] = { 200, 56, 90, 0, 0 };
    for (int panel = 0; panel < 5; ++panel) {
        m_panels[panel] = new ElidedLabel(bar);
        m_panels[panel]->setObjectName(QStringLiteral("StatusBar1_%1").arg(panel + 1));
        m_panels[panel]->setFrameShape(QFrame::StyledPanel);
        m_panels[panel]->setFrameShadow(QFrame::Sunken);
        m_panels[panel]->setMinimumWidth(minimumWidth[panel]);
        bar->addWidget(m_panels[panel], stretch[panel]);
    }
    m_panels[0]->setAccessibleDescription(QStringLiteral("提示信息"));
}

void frmGet::load()
{
    m_memory->restore();
    ApplySkin();
    QCoreApplication::instance()->installEventFilter(this);
    MyDisplayBirth();
    m_context.IsFormLoading = true;
    const int start = qBound(0, int(m_context.Settings.intInitType), CategoryCount - 1);
    if (m_tabs->currentIndex() == start)
        TabStrip1_Click(start);
    else
        m_tabs->setCurrentIndex(start);
    setStatus(1,
        QStringLiteral("友情提示:修改生日数据后,请用户导出数据做备份,以防电脑崩溃时造成数据损毁!"));
    if (!m_context.DbNotice.isEmpty())
        setStatus(1, m_context.DbNotice);
    if (m_context.DbConnection && m_context.DbConnection->isReadOnly())
        setStatus(1, QStringLiteral("生日数据库文件只读,所做的修改无法保存!"));
    if (m_context.DbDamaged)
        setStatus(1,
            QStringLiteral(
                "生日数据库文件已损坏,已只读打开,所做的修改无法保存。可用\"从备份恢复…\"恢复。"));
    m_panels[4]->setText(QStringLiteral("青萍软件作坊"));
    m_panels[4]->setToolTip(QStringLiteral("欢迎访问青萍软件作坊!"));
    m_smsPanel->AlterGetCboUser();
}

void frmGet::MyDisplayBirth()
{
    std::array<QList<qsizetype>, CategoryCount> rows;
    const QDate today = m_clock.now().date();
    for (BirthdayListModel *model : m_models)
        model->setToday(today);
    store::BirthdayList &birthdays = m_context.Birthdays;
    if (m_context.HasBirthdays) {
        std::array<qsizetype, CategoryCount> counts {};
        QList<int> listOfRow(birthdays.size());
        for (qsizetype i = 0; i < birthdays.size(); ++i) {
            for (store::BirthdayText field :
                { store::BirthdayText::Type, store::BirthdayText::About }) {
                const QStringView text = birthdays.text(i, field);
                if (text.trimmed().size() != text.size())
                    birthdays.setText(i, field, text.trimmed().toString());
            }
            listOfRow[i] = listOf(birthdays.text(i, store::BirthdayText::Type));
            ++counts[listOfRow[i]];
        }
        for (int index = 0; index < CategoryCount; ++index)
            rows[index].reserve(counts[index]);
        for (qsizetype i = 0; i < birthdays.size(); ++i)
            rows[listOfRow[i]].append(i);
    }
    for (int index = 0; index < CategoryCount; ++index) {
        m_views[index]->clearSelection();
        m_models[index]->setRows(birthdays, rows[index]);
    }
    m_birthdaySearch.setBirthdays(m_context.loadedBirthdays());
    if (!m_search->text().trimmed().isEmpty())
        refreshSearch();
    if (m_tabs->currentIndex() == UpcomingTab)
        refreshUpcoming();
}

int frmGet::myAllNums() const
{
    int total = 0;
    for (const BirthdayListModel *model : m_models)
        total += model->rowCount();
    return total;
}

int frmGet::currentCategory() const
{
    return m_category;
}

void frmGet::TabStrip1_Click(int index)
{
    if (index < 0)
        return;
    for (int tab = 0; tab < CategoryCount; ++tab)
        m_tabs->setTabIcon(tab, picture(tab == index ? Picture::Tray : Picture::TrayAlternate));
    if (index < CategoryCount)
        m_category = index;
    else
        refreshUpcoming();
    // A tab chosen while hits show: the user is done searching.
    m_search->clear();
    showCurrentPage();
    ProcCmd(m_category);
    if (index == UpcomingTab) {
        m_context.IsFormLoading = false;
        return;
    }
    if (!m_context.IsFormLoading && m_models[index]->rowCount() > 0)
        m_views[index]->setFocus();
    m_context.IsFormLoading = false;
}

void frmGet::ProcCmd(int index)
{
    const bool upcoming = m_tabs->currentIndex() == UpcomingTab;
    const int count = upcoming ? m_upcoming->rowCount() : m_models[index]->rowCount();
    m_tabName->setText(upcoming ? m_tabs->tabText(UpcomingTab) : categoryName(index));
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

void frmGet::listDoubleClicked(int index)
{
    if (!m_views[index]->selectionModel()->hasSelection()) {
        setStatus(1, QStringLiteral("没有选取生日！"));
        return;
    }
    cmdEdit_Click();
}

void frmGet::chooseSkin(int skin)
{
    m_context.CurrentSkin = skin;
    const QList<QAction *> entries = m_skins->actions();
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == skin);
    ApplySkin();
}

void frmGet::ApplySkin()
{
    const QColor background = skinColor(m_context.CurrentSkin, 0);
    const QColor text = skinColor(m_context.CurrentSkin, 1);
    const auto paint = [&](QWidget *widget, bool withText) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Base, background);
        if (withText) {
            palette.setColor(QPalette::Text, text);
            palette.setColor(QPalette::WindowText, text);
        }
        widget->setPalette(palette);
    };
    for (QTableView *view : m_views)
        paint(view, true);
    // The SMS panel's boxes take the skin as the lists do; the list of temporary numbers and
    // the text keep the platform's text colour.
    for (const char *name : { "cboDxTxUser", "cboYyHour", "cboYyMin", "txtYyGL", "txtYyNl",
             "txtFound", "txtSearch", "lstSearch", "lstTmp", "txtTmp", "txtContent" }) {
        const bool withText = qstrcmp(name, "lstTmp") != 0 && qstrcmp(name, "txtTmp") != 0
            && qstrcmp(name, "txtContent") != 0;
        if (auto *widget = findChild<QWidget *>(QString::fromLatin1(name)))
            paint(widget, withText);
    }
}

void frmGet::EnableOther()
{
    for (QAction *a : { m_notifyAction, m_wnlAction, m_exitAction })
        a->setEnabled(true);
}

void frmGet::DisableOther()
{
    for (QAction *a : { m_notifyAction, m_wnlAction, m_exitAction })
        a->setEnabled(false);
}

void frmGet::openHelp()
{
    // A help4.doc beside the database is the user's own and wins over the shipped help, as long
    // as something can open it.
    const QString help = QFileInfo(m_context.DbPath).dir().filePath(QStringLiteral("help4.doc"));
    // Without a browser (or a writable cache) the help still shows, in a window of our own.
    const auto openShipped = [this] {
        const QString shipped = helpDocumentPath();
        if (shipped.isEmpty())
            showHelpViewer(this);
        else
            openDocument(shipped, [this] { showHelpViewer(this); });
    };
    if (QFileInfo::exists(help))
        openDocument(help, openShipped);
    else
        openShipped();
}

void frmGet::showInFront()
{
    showNormal();
    raise();
    activateWindow();
}

void frmGet::mnuNotify_Click()
{
    if (ModalBusy != 0)
        return;
    Q_EMIT calendarRequested(false);
}

void frmGet::exportBirthdays(bool csv)
{
    const ModalBracket modal(*this);
    runExport(
        this, m_context, m_messages, [this](const QString &text) { setStatus(1, text); }, {}, csv);
}

void frmGet::importBirthdays(ImportMenu menu)
{
    bool added = false;
    const QSet<qint32> before = loadedIds();
    {
        const ModalBracket modal(*this);
        added = runImport(this, m_context, m_messages, m_clock, menu,
            [this](const QString &text) { setStatus(1, text); });
    }
    if (!added)
        return;
    reloadAndRefresh();
    MyDisplayBirth();
    ProcCmd(currentCategory());
    pushImport(before);
}

void frmGet::cmdSetup_Click()
{
    bool saved = false;
    {
        const ModalBracket modal(*this);
        saved = runSetup(this, m_context, m_messages, m_music, {}, stopSync, resolveDeletions);
    }
    if (!saved)
        return;
    // The start-up category may have changed: show it as a fresh start would.
    const int start = qBound(0, int(m_context.Settings.intInitType), CategoryCount - 1);
    m_tabs->setCurrentIndex(start);
    Q_EMIT remindersOutdated();
}

void frmGet::setModal(bool busy)
{
    ModalBusy = busy ? 1 : 0;
    if (busy)
        DisableOther();
    else
        EnableOther();
}

QString frmGet::writeFailure(const QString &rest) const
{
    return store::writeFailureCause(
               m_context.DbConnection ? m_context.DbConnection->lastError() : store::DbError {})
        + rest;
}

void frmGet::setStatus(int panel, const QString &text)
{
    // Panel 1 answers what the user just did; the others change on their own and would interrupt.
    if (panel == 1)
        announce(m_panels[0], text);
    else
        m_panels[panel - 1]->setText(text);
}

QString frmGet::statusText(int panel) const
{
    return m_panels[panel - 1]->text();
}

void frmGet::setToday(const QDate &today)
{
    for (BirthdayListModel *model : m_models)
        model->setToday(today);
    if (m_tabs->currentIndex() == UpcomingTab)
        refreshUpcoming();
}

void frmGet::keepWindowState()
{
    m_memory->save();
}

void frmGet::closeForGood()
{
    m_closing = true;
    close();
}

void frmGet::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // The close box only puts the window away: the program lives on in the tray.
    event->ignore();
    Q_EMIT putAwayRequested();
}

void frmGet::anotherStartAsked(const QString &dbPath)
{
    if (dbPath.isEmpty() || transfer::sameFile(dbPath, m_context.DbPath))
        return;
    setStatus(1,
        QStringLiteral("程序已在运行,仍使用生日数据库") + m_context.DbPath
            + QStringLiteral(",没有打开") + dbPath);
    // After the answer to the other start has gone out: a message box waits for the user.
    QTimer::singleShot(0, this, [this, dbPath] {
        tell(AppTitle.toString() + QStringLiteral("已经处于运行状态\n正在使用的生日数据库:")
                + m_context.DbPath + QStringLiteral("\n没有打开:") + dbPath
                + QStringLiteral(
                    "\n要使用另一个生日数据库,请先用\"退出(&E)\"结束程序,再用它启动。"),
            AppTitle.toString());
    });
}

void frmGet::changeEvent(QEvent *event)
{
    // Another program may have written while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        reloadIfChangedElsewhere();
    QMainWindow::changeEvent(event);
}

bool frmGet::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && searchKey(event))
        return true;
    // The desktop switched between light and dark while the program ran: Qt tells the
    // application, not its main windows.
    if (watched == QCoreApplication::instance()
        && event->type() == QEvent::ApplicationPaletteChange)
        ApplySkin();
    return QMainWindow::eventFilter(watched, event);
}

bool frmGet::searchKey(QEvent *event)
{
    if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // A change the user just made is undone with Ctrl+Z, whatever was typed into the search
    // since: the box's own undo would take the key first.
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::KeyPress || key->key() != Qt::Key_Escape
        || key->modifiers() != Qt::NoModifier)
        return false;
    if (!m_search->text().isEmpty())
        m_search->clear();
    else if (QWidget *page = m_stack->currentWidget())
        page->setFocus(Qt::OtherFocusReason);
    return true;
}

void frmGet::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    Q_EMIT shown();
}

// The SMS panel

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
    for (BirthdayListModel *model : m_models) {
        model->setCheckable(open);
        if (open)
            model->setAllTicks(false);
    }
    m_typeSel->setChecked(false);
    m_typeSel->setVisible(open);
    m_duanxin->setText(open ? SmsPanelOpenCaption : SmsPanelClosedCaption);
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
