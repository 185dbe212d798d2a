// The main window's menus: the menu bar, the keys, the lists' pop-up menus and what their
// entries do when nothing more than the window is involved.

#include "app/frmget.h"
#include "app/smspanel.h"
#include "app/transferactions.h"
#include "birthdays/birthdayservice.h"
#include "dialogs/searchpage.h"
#include "session/appcontext.h"
#include "widgets/helpdocument.h"
#include "widgets/skincolors.h"

#include <QActionGroup>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTableView>
#include <QUndoStack>

namespace natalis::app {

namespace {

QAction *action(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void frmGet::buildMenus()
{
    // The buttons below the lists hold F, A, M, D, S, T, W and E: the menu titles take other
    // letters, so that each Alt key reaches one thing.
    buildFileMenu();
    buildEditMenu();
    buildToolMenu();
    buildSkinMenu();
    m_helpAction = menuBar()->addAction(QStringLiteral("帮助(&H)"));
    m_helpAction->setObjectName(QStringLiteral("mnuHelp"));
    m_helpAction->setShortcut(QKeySequence::HelpContents);
    connect(m_helpAction, &QAction::triggered, this, &frmGet::openHelp);
}

void frmGet::buildFileMenu()
{
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
}

void frmGet::buildEditMenu()
{
    // Filled with the list actions once the lists exist (buildKeys).
    m_editMenu = menuBar()->addMenu(QStringLiteral("编辑(&B)"));
    m_editMenu->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = &m_service.undoStack();
    QAction *undo = m_undo->createUndoAction(this, QStringLiteral("撤销"));
    undo->setObjectName(QStringLiteral("mnuUndo"));
    undo->setShortcuts(QKeySequence::Undo);
    QAction *redo = m_undo->createRedoAction(this, QStringLiteral("重做"));
    redo->setObjectName(QStringLiteral("mnuRedo"));
    redo->setShortcuts(QKeySequence::Redo);
    m_editMenu->addAction(undo);
    m_editMenu->addAction(redo);
    m_editMenu->addSeparator();
}

void frmGet::buildToolMenu()
{
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
}

void frmGet::buildSkinMenu()
{
    QMenu *skins = menuBar()->addMenu(QStringLiteral("换肤(&K)"));
    skins->setObjectName(QStringLiteral("mnuHuanfu"));
    m_skins = new QActionGroup(this);
    m_skins->setExclusive(true);
    const char *names[] = { "mnuHf0", "mnuHf1", "mnuHf2", "mnuHf3", "mnuHf4" };
    const QString captions[] = { QStringLiteral("跟随系统"), QStringLiteral("缺省"),
        QStringLiteral("皮肤1"), QStringLiteral("皮肤2"), QStringLiteral("皮肤3") };
    for (int skin = widgets::FollowSystemSkin; skin <= widgets::SkinCount; ++skin) {
        QAction *entry = action(skins, names[skin], captions[skin]);
        entry->setCheckable(true);
        entry->setChecked(skin == m_context.CurrentSkin);
        m_skins->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, skin] { chooseSkin(skin); });
    }
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
        [this] { m_search->focusField(); }, QStringLiteral("搜索(&S)"));
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
        const QString tel = m_models[index]->cell(
            m_models[index]->rowOfId(id), dialogs::BirthdayListModel::TelColumn);
        if (!tel.isEmpty())
            phones << tel;
    }
    QGuiApplication::clipboard()->setText(phones.join(u'\n'));
    setStatus(1, QStringLiteral("已复制%1个电话号码").arg(phones.size()));
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

void frmGet::chooseSkin(int skin)
{
    m_context.CurrentSkin = skin;
    const QList<QAction *> entries = m_skins->actions();
    for (int i = 0; i < entries.size(); ++i)
        entries[i]->setChecked(i == skin);
    ApplySkin();
}

void frmGet::openHelp()
{
    // A help4.doc beside the database is the user's own and wins over the shipped help, as long
    // as something can open it.
    const QString help = QFileInfo(m_context.DbPath).dir().filePath(QStringLiteral("help4.doc"));
    // Without a browser (or a writable cache) the help still shows, in a window of our own.
    const auto openShipped = [this] {
        const QString shipped = widgets::helpDocumentPath();
        if (shipped.isEmpty())
            widgets::showHelpViewer(this);
        else
            openDocument(shipped, [this] { widgets::showHelpViewer(this); });
    };
    if (QFileInfo::exists(help))
        openDocument(help, openShipped);
    else
        openShipped();
}

} // namespace natalis::app
