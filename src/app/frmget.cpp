#include "app/frmget.h"

#include "desktop/acknowledgement.h"
#include "session/appcontext.h"
#include "session/autosmsrunner.h"
#include "app/birthdaylistmodel.h"
#include "app/birthdaylistview.h"
#include "app/birthdaysortmodel.h"
#include "platform/clock.h"
#include "widgets/dialogparts.h"
#include "dialogs/frmcontent.h"
#include "dialogs/frmhappen.h"
#include "desktop/frmnotify.h"
#include "widgets/helpdocument.h"
#include "platform/messagesink.h"
#include "desktop/musicplayer.h"
#include "widgets/pictures.h"
#include "session/remindermemoryhooks.h"
#include "widgets/skincolors.h"
#include "session/smsgatewayprocess.h"
#include "app/smssetupaction.h"
#include "session/startup.h"
#include "app/transferactions.h"
#include "widgets/windowmemory.h"
#include "calendar_ui/frmwnl.h"
#include "desktop/sessionplatform.h"
#include "desktop/traylayer.h"
#include "sms/autosms.h"
#include "store/categories.h"
#include "transfer/exportfile.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace natalis::app {

namespace {

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
int listOf(const store::BirthdayRecord &record)
{
    return qMax(store::categoryIndex(QStringView(record.Type).trimmed()), 0);
}

} // namespace

frmGet::frmGet(AppContext &context, MessageSink &messages, const Clock &clock,
    std::unique_ptr<MusicPlayer> music, QWidget *parent)
    : QMainWindow(parent), m_context(context), m_messages(messages), m_clock(clock),
      m_music(std::move(music)), m_tray(std::make_unique<TrayLayer>(std::array<QIcon, 2> {
                                     picture(Picture::Tray), picture(Picture::TrayAlternate) })), m_loop({ context.Settings,
                                     [&context] {
                                         return context.HasBirthdays ? context.Birthdays
                                                                     : QList<store::BirthdayRecord>();
                                     } },
          *this),
      m_autoSms(std::make_unique<AutoSmsRunner>(context, clock))
{
    setObjectName(QStringLiteral("frmGet"));
    setWindowTitle(AppTitle.toString() + QStringLiteral("[生日设置]"));
    setWindowIcon(picture(Picture::Tray));
    m_loop.modalBusy = [this] { return ModalBusy != 0; };
    m_loop.autoBirthdaySms = [this](const QDateTime &now) { runAutoBirthdaySms(now); };
    m_loop.resetSmsSentFlags = [this](const QDateTime &now) { resetSmsSentFlags(now); };
    openDocument = [](const QString &path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
    openEditor = [this](
                     store::BirthdayEdit &buffer, bool batch) { return runEditor(buffer, batch); };

    buildMenus();
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(6, 6, 6, 0);
    m_tabs = new QTabBar(central);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    m_tabs->setExpanding(false);
    m_stack = new QStackedWidget(central);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);
    buildLists();
    buildControls();
    buildStatusBar();
    buildTimers();
    resize(1000, 580);
    QList<QHeaderView *> headers;
    for (QTableView *view : m_views)
        headers.append(view->horizontalHeader());
    m_memory = new WindowMemory(*this, headers, [this]() -> store::Connection * {
        return m_context.DbConnection ? &*m_context.DbConnection : nullptr;
    });

    connect(m_tabs, &QTabBar::currentChanged, this, &frmGet::TabStrip1_Click);
    connect(m_tray.get(), &TrayLayer::leftClicked, this, &frmGet::mnuNotify_Click);

    m_ackGate = new AcknowledgementGate(this, [this] { m_loop.acknowledge(); });
    connect(m_tray.get(), &TrayLayer::userActed, this, [this] { m_loop.acknowledge(); });
    connect(m_tray.get(), &TrayLayer::availabilityChanged, this, &frmGet::trayAvailabilityChanged);
    connect(m_tray.get(), &TrayLayer::openRequested, this, &frmGet::mnuSetup_Click);
    if (m_music)
        m_music->unplayable = [this](
                                  const QString &file) { setStatus(1, unplayableMusicText(file)); };
}

frmGet::~frmGet() = default;

void frmGet::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("文件"));
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

    m_toolMenu = menuBar()->addMenu(QStringLiteral("操作"));
    m_toolMenu->setObjectName(QStringLiteral("mnuTool"));
    connect(action(m_toolMenu, "mnuSetup", QStringLiteral("生日设置(&S)")), &QAction::triggered,
        this, &frmGet::mnuSetup_Click);
    m_notifyAction = action(m_toolMenu, "mnuNotify", QStringLiteral("生日提醒(&T)"));
    connect(m_notifyAction, &QAction::triggered, this, &frmGet::mnuNotify_Click);
    m_wnlAction = action(m_toolMenu, "mnuWnl", QStringLiteral("万年历(&W)"));
    connect(m_wnlAction, &QAction::triggered, this, [this] { openCalendar(true); });
    m_toolMenu->addSeparator()->setObjectName(QStringLiteral("mnuSeperator"));
    m_exitAction = action(m_toolMenu, "mnuExit", QStringLiteral("退出(&E)"));
    connect(m_exitAction, &QAction::triggered, this, &frmGet::mnuExit_Click);

    QMenu *skins = menuBar()->addMenu(QStringLiteral("换肤"));
    skins->setObjectName(QStringLiteral("mnuHuanfu"));
    m_skins = new QActionGroup(this);
    m_skins->setExclusive(true);
    const char *names[] = { "mnuHf1", "mnuHf2", "mnuHf3", "mnuHf4" };
    const QString captions[] = { QStringLiteral("缺省"), QStringLiteral("皮肤1"),
        QStringLiteral("皮肤2"), QStringLiteral("皮肤3") };
    for (int skin = 1; skin <= SkinCount; ++skin) {
        QAction *entry = action(skins, names[skin - 1], captions[skin - 1]);
        entry->setCheckable(true);
        entry->setChecked(skin == m_context.CurrentSkin);
        m_skins->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, skin] { chooseSkin(skin); });
    }

    QAction *help = menuBar()->addAction(QStringLiteral("帮助"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    connect(help, &QAction::triggered, this, &frmGet::openHelp);
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
        view->setModel(m_proxies[index]);
        view->horizontalHeader()->setDefaultSectionSize(96);
        view->horizontalHeader()->resizeSection(0, 110);
        view->horizontalHeader()->resizeSection(2, 112);
        view->horizontalHeader()->resizeSection(3, 140);
        view->horizontalHeader()->resizeSection(4, 150);
        view->horizontalHeader()->resizeSection(5, 150);
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

void frmGet::buildControls()
{
    auto *shape = new QWidget(this);
    shape->setObjectName(QStringLiteral("Shape3"));
    shape->setAutoFillBackground(true);
    QPalette palette = shape->palette();
    palette.setColor(QPalette::Window, ParseHexColor(Shape3Color));
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
    m_duanxin = namedButton(shape, QStringLiteral("cmdDuanxin"), QStringLiteral("短信窗口(▼)"));
    auto *close = namedButton(shape, QStringLiteral("cmdExit"), QStringLiteral("关闭(&E)"));

    connect(m_find, &QPushButton::clicked, this, &frmGet::cmdFind_Click);
    connect(m_found, &QLineEdit::returnPressed, this, &frmGet::cmdFind_Click);
    connect(close, &QPushButton::clicked, this, &frmGet::closeToTray);
    connect(add, &QPushButton::clicked, this, &frmGet::cmdAdd_Click);
    connect(m_edit, &QPushButton::clicked, this, &frmGet::cmdEdit_Click);
    connect(m_delete, &QPushButton::clicked, this, &frmGet::cmdDel_Click);
    connect(notify, &QPushButton::clicked, this, [this] { openCalendar(false); });
    connect(wnl, &QPushButton::clicked, this, [this] { openCalendar(true); });
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
    centralWidget()->layout()->addWidget(buildSmsPanel());
}

void frmGet::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    // Panel 1 carries the messages; 2 the SMS activity, 3 SMS trouble, 4 notes, 5 the maker.
    const int stretch[] = { 1, 0, 0, 0, 0 };
    const int minimumWidth[] = { 200, 56, 90, 0, 0 };
    for (int panel = 0; panel < 5; ++panel) {
        m_panels[panel] = namedLabel(bar, QString());
        m_panels[panel]->setObjectName(QStringLiteral("StatusBar1_%1").arg(panel + 1));
        m_panels[panel]->setFrameShape(QFrame::StyledPanel);
        m_panels[panel]->setFrameShadow(QFrame::Sunken);
        m_panels[panel]->setMinimumWidth(minimumWidth[panel]);
        bar->addWidget(m_panels[panel], stretch[panel]);
    }
}

void frmGet::buildTimers()
{
    const auto timer = [this](const char *name, int interval) {
        auto *t = new QTimer(this);
        t->setObjectName(QString::fromLatin1(name));
        t->setInterval(interval);
        return t;
    };
    m_timer1 = timer("Timer1", 60000);
    // Set afresh at every tick for the next full minute: a free-running minute comes up to 59 s
    // late for a 9:00 reminder, and a coarse timer may fire up to 3 s early, at 8:59:57.
    m_timer1->setSingleShot(true);
    m_timer1->setTimerType(Qt::PreciseTimer);
    m_timer3 = timer("Timer3", 600);
    m_timerTray = timer("TimerTray", 1000);
    connect(m_timer1, &QTimer::timeout, this, &frmGet::onTimer1);
    connect(m_timer3, &QTimer::timeout, this, &frmGet::onTimer3);
    connect(m_timerTray, &QTimer::timeout, this, &frmGet::onTimerTray);
}

void frmGet::load()
{
    m_memory->restore();
    ApplySkin();
    resetSmsSentFlags(m_clock.now());
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

    m_tray->TrayIconAdd(m_toolMenu);
    if (const QString way = reminderWayText(m_tray->available()); !way.isEmpty())
        setStatus(4, way);
    connectSmsGateway();
    AlterGetCboUser();
    connectReminderMemory(m_loop, m_context);
    m_loop.startupReminder(m_clock.now());
    scheduleTimer1();
}

void frmGet::MyDisplayBirth()
{
    std::array<QList<BirthdayListModel::Row>, CategoryCount> rows;
    const QDate today = m_clock.now().date();
    for (BirthdayListModel *model : m_models)
        model->setToday(today);
    if (m_context.HasBirthdays) {
        std::array<qsizetype, CategoryCount> counts {};
        for (const store::BirthdayRecord &record : std::as_const(m_context.Birthdays))
            ++counts[listOf(record)];
        for (int index = 0; index < CategoryCount; ++index)
            rows[index].reserve(counts[index]);
        for (store::BirthdayRecord &record : m_context.Birthdays) {
            record.Type = record.Type.trimmed();
            record.About = record.About.trimmed();
            rows[listOf(record)].append(BirthdayListModel::rowFromRecord(record));
        }
    }
    for (int index = 0; index < CategoryCount; ++index) {
        m_views[index]->clearSelection();
        m_models[index]->setRows(std::move(rows[index]));
    }
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
    return qMax(m_tabs->currentIndex(), 0);
}

void frmGet::TabStrip1_Click(int index)
{
    if (index < 0)
        return;
    for (int tab = 0; tab < CategoryCount; ++tab)
        m_tabs->setTabIcon(tab, picture(tab == index ? Picture::Tray : Picture::TrayAlternate));
    m_stack->setCurrentIndex(index);
    ProcCmd(index);
    if (!m_context.IsFormLoading && m_models[index]->rowCount() > 0)
        m_views[index]->setFocus();
    m_context.IsFormLoading = false;
}

void frmGet::ProcCmd(int index)
{
    const int count = m_models[index]->rowCount();
    m_tabName->setText(categoryName(index));
    m_tabCount->setText(QString::number(count));
    m_allCount->setText(QString::number(myAllNums()));
    for (QPushButton *b : { m_edit, m_delete, m_find })
        b->setEnabled(count > 0);
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
        entries[i]->setChecked(i + 1 == skin);
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
             "txtFound", "lstTmp", "txtTmp", "txtContent" }) {
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
    // A help4.doc beside the database is the user's own and wins over the shipped help.
    const QString help = QFileInfo(m_context.DbPath).dir().filePath(QStringLiteral("help4.doc"));
    if (QFileInfo::exists(help)) {
        openDocument(help);
        return;
    }
    const QString shipped = helpDocumentPath();
    if (!shipped.isEmpty())
        openDocument(shipped);
}

void frmGet::mnuSetup_Click()
{
    showNormal();
    raise();
    activateWindow();
}

void frmGet::mnuNotify_Click()
{
    if (ModalBusy != 0)
        return;
    openCalendar(false);
}

void frmGet::openCalendar(bool plainMode)
{
    hide();
    // A calendar open in the other use is replaced.
    if (m_calendar && m_calendar->plainMode() != plainMode)
        m_calendar->close();
    if (!m_calendar) {
        m_calendar = new calendar_ui::frmWNL(*this, plainMode);
        m_calendar->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_calendar, &QObject::destroyed, this, &frmGet::calendarGone);
    }
    m_calendar->show();
    m_calendar->raise();
    m_calendar->activateWindow();
}

void frmGet::mnuExit_Click()
{
    if (m_context.SmsGateway && m_context.SmsGateway->awaiting() > 0) {
        // Asked from inside a send that waits on the gateway: the call under way may end (at
        // most its deadline), the rest of the send fails at once and is logged, and the program
        // ends once the send has unwound.
        m_quitting = true;
        m_context.SmsGateway->finish();
        QTimer::singleShot(0, this, &frmGet::mnuExit_Click);
        return;
    }
    m_quitting = true;
    m_timer1->stop();
    m_timer3->stop();
    m_timerTray->stop();
    m_loop.stopMusic();
    if (m_notify)
        m_notify->close();
    m_tray->TrayIconDelete();
    m_memory->save();
    shutdown(m_context);
    close();
    QApplication::quit();
}

void frmGet::exportBirthdays(bool csv)
{
    const ModalBracket modal(*this);
    RunExport(
        this, m_context, m_messages, [this](const QString &text) { setStatus(1, text); }, {}, csv);
}

void frmGet::importBirthdays(ImportMenu menu)
{
    bool added = false;
    {
        const ModalBracket modal(*this);
        added = RunImport(
            this, m_context, m_messages, menu, [this](const QString &text) { setStatus(1, text); });
    }
    if (!added)
        return;
    reloadAndRefresh();
    MyDisplayBirth();
    ProcCmd(currentCategory());
}

void frmGet::cmdDxSet_Click()
{
    {
        const ModalBracket modal(*this);
        RunSmsSetup(this, m_context, m_messages, runDialog);
    }
    // Accounts registered or unregistered in there count whether or not the rest was saved.
    AlterGetCboUser();
    ProcTelSelect();
}

void frmGet::cmdSetup_Click()
{
    bool saved = false;
    {
        const ModalBracket modal(*this);
        saved = RunSetup(this, m_context, m_messages, m_music.get());
    }
    if (!saved)
        return;
    // The start-up category may have changed: show it as a fresh start would.
    const int start = qBound(0, int(m_context.Settings.intInitType), CategoryCount - 1);
    m_tabs->setCurrentIndex(start);
    m_loop.refresh(m_clock.now());
}

// The SMS jobs of the reminder loop

void frmGet::connectSmsGateway()
{
    ProcessSmsGateway(m_context).busyChanged = [this](bool) { ProcTelSelect(); };
    m_autoSms->activity = [this] { showSmsActivity(); };
    m_autoSms->showPanelText = [this](const QString &text) { setStatus(3, text); };
}

bool frmGet::smsBusy() const
{
    return m_context.SmsGateway && m_context.SmsGateway->isBusy();
}

void frmGet::runAutoBirthdaySms(const QDateTime &now)
{
    m_autoSms->start(now);
}

void frmGet::resetSmsSentFlags(const QDateTime &now)
{
    if (m_context.DbConnection)
        sms::ResetSmsSentFlags(
            m_context.Birthdays, m_context.HasBirthdays, *m_context.DbConnection, now.date());
}

// CalendarHost

const QList<store::BirthdayRecord> &frmGet::birthdays() const
{
    static const QList<store::BirthdayRecord> none;
    return m_context.HasBirthdays ? m_context.Birthdays : none;
}

int frmGet::currentSkin() const
{
    return m_context.CurrentSkin;
}

QDateTime frmGet::now() const
{
    return m_clock.now();
}

QString frmGet::todayNotifyText() const
{
    return m_loop.TodayNotifyText();
}

void frmGet::stopMusic()
{
    m_loop.stopMusic();
}

void frmGet::showMainWindow()
{
    mnuSetup_Click();
}

void frmGet::showDayList(const QString &dateText, const QString &listText)
{
    frmContent list(dateText, listText, m_context.CurrentSkin, m_calendar);
    list.exec();
}

void frmGet::showTodayList(const QString &todayLabelText)
{
    frmHappen list(todayLabelText, m_loop.TodayNotifyText(), m_context.CurrentSkin, m_calendar);
    list.exec();
}

QString frmGet::writeFailure(const QString &rest) const
{
    return store::WriteFailureCause(
               m_context.DbConnection ? m_context.DbConnection->lastError() : store::DbError {})
        + rest;
}

void frmGet::setStatus(int panel, const QString &text)
{
    m_panels[panel - 1]->setText(text);
}

QString frmGet::statusText(int panel) const
{
    return m_panels[panel - 1]->text();
}

void frmGet::scheduleTimer1()
{
    m_timer1->start(millisecondsToNextMinute(m_clock.now()));
}

void frmGet::onTimer1()
{
    scheduleTimer1();
    reloadIfChangedElsewhere();
    const QDateTime now = m_clock.now();
    // "下次生日" and "年龄" move on at midnight.
    for (BirthdayListModel *model : m_models)
        model->setToday(now.date());
    m_loop.tick(now);
}

void frmGet::showSmsActivity()
{
    m_loop.SmsActivity = true;
    m_timer3->start();
}

void frmGet::onTimer3()
{
    m_loop.activityTick();
    // Idle in the tray for days: the indicator's timer runs only while there is a row to show.
    if (!m_loop.SmsActivity)
        m_timer3->stop();
}

void frmGet::onTimerTray()
{
    m_loop.trayTick();
}

void frmGet::closeEvent(QCloseEvent *event)
{
    if (m_quitting) {
        event->accept();
        return;
    }
    // The close box only hides the window: the program lives on in the tray.
    event->ignore();
    closeToTray();
}

void frmGet::closeToTray()
{
    // Without a tray a hidden window could never be found again.
    if (m_tray->available())
        hide();
    else
        showMinimized();
}

void frmGet::showByProgram(bool minimized)
{
    m_ackGate->programShows();
    if (minimized) {
        showMinimized();
        return;
    }
    showNormal();
    raise();
    activateWindow();
}

void frmGet::anotherStartAsked(const QString &dbPath)
{
    showByProgram();
    if (dbPath.isEmpty() || transfer::sameFile(dbPath, m_context.DbPath))
        return;
    setStatus(1, QStringLiteral("程序已在运行,仍使用生日数据库") + m_context.DbPath
            + QStringLiteral(",没有打开") + dbPath);
    // After the answer to the other start has gone out: a message box waits for the user.
    QTimer::singleShot(0, this, [this, dbPath] {
        tell(AppTitle.toString() + QStringLiteral("已经处于运行状态\n正在使用的生日数据库:")
                + m_context.DbPath + QStringLiteral("\n没有打开:") + dbPath
                + QStringLiteral("\n要使用另一个生日数据库,请先用\"退出(&E)\"结束程序,再用它启动。"),
            AppTitle.toString());
    });
}

void frmGet::startInTray(int graceMilliseconds)
{
    if (m_tray->available())
        return;
    QTimer::singleShot(graceMilliseconds, this, [this] {
        if (!m_tray->available() && !isVisible() && !m_quitting)
            showByProgram();
    });
}

void frmGet::trayAvailabilityChanged(bool available)
{
    setStatus(4, reminderWayText(available));
    // The tray went away while everything hid in it: the window is the way back.
    if (!available && !isVisible() && !(m_calendar && m_calendar->isVisible()) && !m_quitting)
        showByProgram(true);
}

QString frmGet::reminderWayText(bool trayAvailable) const
{
    const bool notifications = m_tray->notificationsAvailable();
    if (!desktop::isNativeWayland()) {
        if (trayAvailable)
            return QString();
        return notifications ? QStringLiteral("系统托盘不可用,提醒以桌面通知、浮动窗口和音乐显示")
                             : QStringLiteral("系统托盘不可用,提醒以浮动窗口和音乐显示");
    }
    // The compositor places the strip: the notification says what the corner cannot promise.
    if (trayAvailable)
        return notifications
            ? QStringLiteral("Wayland:浮动窗口由桌面摆放,在本程序窗口之上;提醒同时以桌面通知显示")
            : QStringLiteral("Wayland:浮动窗口由桌面摆放,在本程序窗口之上");
    return notifications
        ? QStringLiteral(
            "系统托盘不可用,提醒以桌面通知、浮动窗口和音乐显示;Wayland:浮动窗口由桌面摆放")
        : QStringLiteral(
            "系统托盘不可用,提醒以浮动窗口和音乐显示;Wayland:浮动窗口由桌面摆放,在本程序窗口之上");
}

void frmGet::calendarGone()
{
    // The calendar hid this window; without a tray it must come back.
    if (!m_quitting && !m_tray->available() && !isVisible())
        showByProgram();
}

void frmGet::changeEvent(QEvent *event)
{
    // Another program may have written while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        reloadIfChangedElsewhere();
    QMainWindow::changeEvent(event);
}

void frmGet::keyPressEvent(QKeyEvent *event)
{
    // Delete removes birthdays only from a birthday list; in the temporary numbers it removes
    // the selected number.
    if (event->key() == Qt::Key_Delete) {
        QWidget *focus = focusWidget();
        if (focus == m_sms.tmpList) {
            cmdTmpDel_Click();
            return;
        }
        if (std::find(m_views.begin(), m_views.end(), focus) != m_views.end()) {
            cmdDel_Click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

// ReminderOutputs

void frmGet::TrayIconSetTip(const QString &text)
{
    m_tray->TrayIconSetTip(text);
}

void frmGet::TrayIconBalloon(const QString &text)
{
    m_tray->TrayIconBalloon(text);
}

void frmGet::withdrawBalloon()
{
    m_tray->withdrawBalloon();
}

void frmGet::MyTrayIcon(int picture)
{
    m_tray->MyTrayIcon(picture);
}

void frmGet::setTrayBlinking(bool on)
{
    if (on)
        m_timerTray->start();
    else
        m_timerTray->stop();
}

bool frmGet::isFloatingWindowVisible() const
{
    return m_notify && m_notify->isVisible();
}

void frmGet::showFloatingWindow(const QString &text)
{
    if (!m_notify) {
        m_notify = std::make_unique<frmNotify>();
        connect(m_notify.get(), &frmNotify::clickedByUser, this, [this] { m_loop.acknowledge(); });
        connect(m_notify.get(), &frmNotify::closedByUser, this, [this] { m_loop.acknowledge(); });
    }
    m_notify->setNotifyText(text);
    if (!desktop::isNativeWayland()) {
        m_notify->show();
        return;
    }
    m_tray->notifyBesideFloating(text);
    showFloatingAboveWindow();
}

void frmGet::showFloatingAboveWindow()
{
    m_notify->hide();
    m_notify->winId();
    // Only a window on screen can be a parent to the compositor.
    m_notify->windowHandle()->setTransientParent(isVisible() ? windowHandle() : nullptr);
    m_notify->show();
}

void frmGet::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!desktop::isNativeWayland())
        return;
    // After this window's own show has reached the compositor.
    QTimer::singleShot(0, this, [this] {
        if (m_notify && m_notify->isVisible() && isVisible())
            showFloatingAboveWindow();
    });
}

void frmGet::closeFloatingWindow()
{
    if (m_notify)
        m_notify->close();
}

void frmGet::setFloatingText(const QString &text)
{
    if (m_notify)
        m_notify->setNotifyText(text);
}

void frmGet::playMusic(const QString &file)
{
    if (m_music)
        m_music->play(file);
}

void frmGet::stopMusic(const QString &file)
{
    if (m_music)
        m_music->stop(file);
}

void frmGet::setActivityText(const QString &text)
{
    setStatus(2, text);
}

} // namespace natalis::app
