#include "app/frmget.h"

#include "app/smspanel.h"
#include "app/transferactions.h"
#include "birthdays/birthdayservice.h"
#include "dialogs/birthdaylistview.h"
#include "dialogs/birthdaysortmodel.h"
#include "dialogs/listcolumns.h"
#include "dialogs/searchpage.h"
#include "dialogs/upcomingpage.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/startup.h"
#include "transfer/exportfile.h"
#include "widgets/dialogparts.h"
#include "widgets/elidedlabel.h"
#include "widgets/pictures.h"
#include "widgets/skincolors.h"
#include "widgets/windowmemory.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace natalis::app {

namespace {

} // namespace

frmGet::frmGet(session::AppContext &context, birthdays::BirthdayService &service,
    platform::MessageSink &messages, const platform::Clock &clock, desktop::MusicPlayer *music,
    QWidget *parent)
    : QMainWindow(parent), m_context(context), m_service(service), m_messages(messages),
      m_clock(clock), m_music(music)
{
    setObjectName(QStringLiteral("frmGet"));
    setWindowTitle(session::AppTitle.toString() + QStringLiteral("[生日设置]"));
    setWindowIcon(picture(widgets::Picture::Tray));

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
    buildPages(tabRow);
    buildControls();
    buildStatusBar();
    buildKeys();
    resize(1000, 580);
    QList<QHeaderView *> headers;
    for (QTableView *view : m_views)
        headers.append(view->horizontalHeader());
    // The memory also saves when the window hides while it is being destroyed, after frmGet's own
    // part is gone: it may reach only the context, which outlives the window.
    m_memory =
        new widgets::WindowMemory(*this, headers, [&context = m_context]() -> store::Connection * {
            return context.DbConnection ? &*context.DbConnection : nullptr;
        });

    connect(m_tabs, &QTabBar::currentChanged, this, &frmGet::TabStrip1_Click);
    connect(&m_service, &birthdays::BirthdayService::changed, this, &frmGet::birthdaysChanged);
    connect(&m_service, &birthdays::BirthdayService::undoFailed, this,
        [this](const QString &message) { tellFailure(message, session::AppTitle.toString()); });
    // An open dialog works on the rows it was shown; the next activation or tick catches up.
    m_service.reloadHeld = [this] { return ModalBusy != 0; };
}

frmGet::~frmGet()
{
    m_service.reloadHeld = [] { return false; };
}

void frmGet::buildLists()
{
    m_columns = new dialogs::ListColumns(runMenu, this);
    for (int index = 0; index < CategoryCount; ++index) {
        m_tabs->addTab(dialogs::listCaption(index));
        m_models[index] = new dialogs::BirthdayListModel(this);
        m_proxies[index] = new dialogs::BirthdaySortModel(this);
        m_proxies[index]->setSourceModel(m_models[index]);
        auto *view = new dialogs::BirthdayListView(m_stack);
        view->setObjectName(QStringLiteral("ListView1_%1").arg(index));
        widgets::nameForReader(view, dialogs::listCaption(index),
            QStringLiteral("%1类别的生日提醒,回车修改,空格勾选发短信")
                .arg(dialogs::listCaption(index)));
        view->setModel(m_proxies[index]);
        m_columns->add(view);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
            [this, index](const QPoint &at) { showListMenu(index, at); });
        // A header click makes that column the list's sort key; a second click turns the order.
        connect(view->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this, index](int column) {
                static_cast<dialogs::BirthdaySortModel *>(m_proxies[index])->sortByHeader(column);
                QHeaderView *header = m_views[index]->horizontalHeader();
                header->setSortIndicator(column, m_proxies[index]->sortOrder());
                header->setSortIndicatorShown(true);
            });
        connect(view, &dialogs::BirthdayListView::doubleClickedAnywhere, this,
            [this, index] { listDoubleClicked(index); });
        connect(view, &dialogs::BirthdayListView::editRequested, this, &frmGet::cmdEdit_Click);
        m_views[index] = view;
        m_stack->addWidget(view);
    }
}

bool frmGet::listShown() const
{
    return m_stack->currentIndex() == currentCategory();
}

void frmGet::showCurrentPage()
{
    if (m_search->isActive())
        return;
    if (m_tabs->currentIndex() == UpcomingTab)
        m_stack->setCurrentWidget(m_upcoming);
    else
        m_stack->setCurrentIndex(currentCategory());
}

void frmGet::buildPages(QLayout *tabRow)
{
    m_search = new dialogs::SearchPage(
        [this]() -> const store::BirthdayList & { return m_context.loadedBirthdays(); }, m_clock,
        m_stack, this);
    tabRow->addWidget(m_search->field());
    m_stack->addWidget(m_search);
    connect(m_search, &dialogs::SearchPage::statusChanged, this,
        [this](const QString &text) { setStatus(1, text); });
    connect(m_search, &dialogs::SearchPage::closed, this, [this](const QString &lastStatus) {
        if (statusText(1) == lastStatus)
            setStatus(1, QString());
        showCurrentPage();
    });

    m_tabs->addTab(dialogs::UpcomingPage::tabCaption());
    m_tabs->setTabToolTip(UpcomingTab, dialogs::UpcomingPage::tabToolTip());
    m_upcoming = new dialogs::UpcomingPage(m_stack);
    m_stack->addWidget(m_upcoming);
    for (dialogs::JumpList *page : { static_cast<dialogs::JumpList *>(m_search),
             static_cast<dialogs::JumpList *>(m_upcoming) })
        connect(page, &dialogs::JumpList::rowChosen, this,
            [this](int list, qint32 id) { showRows(list, { id }); });
}

void frmGet::refreshUpcoming()
{
    m_upcoming->refresh(m_context.loadedBirthdays(), m_clock.now().date());
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

void frmGet::showUids(const QList<QUuid> &uids)
{
    // The rows taken away are not among the birthdays any more.
    QSet<QUuid> present(uids.begin(), uids.end());
    // The rows are shown in the list of the first one; a batch edit keeps to one list anyway.
    const store::BirthdayList &birthdays = m_context.loadedBirthdays();
    int index = -1;
    QList<qint32> ids;
    for (qsizetype i = 0; i < birthdays.size() && !present.isEmpty(); ++i) {
        if (!present.contains(birthdays.uid(i)))
            continue;
        const int list = dialogs::listOf(birthdays.value(i));
        if (index < 0)
            index = list;
        if (list == index)
            ids.append(birthdays.id(i));
    }
    if (index >= 0)
        showRows(index, ids);
}

void frmGet::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    // Panel 1 carries the messages; 2 the SMS activity, 3 SMS trouble, 4 notes, 5 the maker.
    const int stretch[] = { 1, 0, 0, 0, 0 };
    const int minimumWidth[] = { 200, 56, 90, 0, 0 };
    for (int panel = 0; panel < 5; ++panel) {
        m_panels[panel] = new widgets::ElidedLabel(bar);
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
    for (dialogs::BirthdayListModel *model : m_models)
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
            listOfRow[i] = dialogs::listOf(birthdays.text(i, store::BirthdayText::Type));
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
    m_search->setBirthdays(m_context.loadedBirthdays());
    m_search->refreshHits();
    if (m_tabs->currentIndex() == UpcomingTab)
        refreshUpcoming();
}

int frmGet::myAllNums() const
{
    int total = 0;
    for (const dialogs::BirthdayListModel *model : m_models)
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
        m_tabs->setTabIcon(
            tab, picture(tab == index ? widgets::Picture::Tray : widgets::Picture::TrayAlternate));
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

void frmGet::listDoubleClicked(int index)
{
    if (!m_views[index]->selectionModel()->hasSelection()) {
        setStatus(1, QStringLiteral("没有选取生日！"));
        return;
    }
    cmdEdit_Click();
}

void frmGet::ApplySkin()
{
    const QColor background = widgets::skinColor(m_context.CurrentSkin, 0);
    const QColor text = widgets::skinColor(m_context.CurrentSkin, 1);
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

void frmGet::exportBirthdays(bool csv)
{
    const ModalBracket modal(*this);
    runExport(
        this, m_context, m_messages, [this](const QString &text) { setStatus(1, text); }, {}, csv);
}

void frmGet::importBirthdays(ImportMenu menu)
{
    importWith([this, menu] {
        return runImport(this, m_context, m_messages, m_clock, menu,
            [this](const QString &text) { setStatus(1, text); });
    });
}

void frmGet::importWith(const std::function<bool()> &import)
{
    m_service.import([this, &import] {
        const ModalBracket modal(*this);
        return import();
    });
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
        widgets::announce(m_panels[0], text);
    else
        m_panels[panel - 1]->setText(text);
}

QString frmGet::statusText(int panel) const
{
    return m_panels[panel - 1]->text();
}

void frmGet::setToday(const QDate &today)
{
    for (dialogs::BirthdayListModel *model : m_models)
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
        tell(session::AppTitle.toString()
                + QStringLiteral("已经处于运行状态\n正在使用的生日数据库:") + m_context.DbPath
                + QStringLiteral("\n没有打开:") + dbPath
                + QStringLiteral(
                    "\n要使用另一个生日数据库,请先用\"退出(&E)\"结束程序,再用它启动。"),
            session::AppTitle.toString());
    });
}

void frmGet::changeEvent(QEvent *event)
{
    // Another program may have written while the user was elsewhere.
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        m_service.lookForOtherWrites();
    QMainWindow::changeEvent(event);
}

bool frmGet::eventFilter(QObject *watched, QEvent *event)
{
    // The desktop switched between light and dark while the program ran: Qt tells the
    // application, not its main windows.
    if (watched == QCoreApplication::instance()
        && event->type() == QEvent::ApplicationPaletteChange)
        ApplySkin();
    return QMainWindow::eventFilter(watched, event);
}

void frmGet::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    Q_EMIT shown();
}

} // namespace natalis::app
