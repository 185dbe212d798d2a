#include "dialogs/frmsetup.h"

#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "desktop/musicplayer.h"
#include "dialogs/awaypage.h"
#include "dialogs/filechooser.h"
#include "dialogs/syncpage.h"
#include "platform/messagesink.h"
#include "reminder/remindedfestivals.h"
#include "store/ansicodec.h"
#include "store/categories.h"
#include "store/classtables.h"
#include "store/settings.h"
#include "widgets/dialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace natalis::dialogs {

namespace {

using store::SettingsRecord;

const QString SetupTitle = QStringLiteral("设置");
const QString MusicChooserTitle = QStringLiteral("音乐文件指定");
const QString AutoStartOn = QStringLiteral("开启自动运行");
const QString AutoStartOff = QStringLiteral("关闭自动运行");
constexpr int FirstHour = 8;
constexpr int HourCount = 10;
constexpr int MaxFestivalDays = 7;
constexpr qsizetype MaxClassBytes = 20;

// The festivals in the order the reminders name them.
const auto &Festivals = reminder::RemindedFestivals;

struct MethodFields
{
    quint8 SettingsRecord::*main;
    quint8 SettingsRecord::*atStart;
    quint8 SettingsRecord::*atTime;
    QString SettingsRecord::*hour;
};

// Balloon, floating window, music.
constexpr std::array<MethodFields, 3> MethodFieldsOf = { {
    { &SettingsRecord::intQipao, &SettingsRecord::intQpInit, &SettingsRecord::intQpTime,
        &SettingsRecord::strQpTime },
    { &SettingsRecord::intFudong, &SettingsRecord::intFdInit, &SettingsRecord::intFdTime,
        &SettingsRecord::strFdTime },
    { &SettingsRecord::intMusic, &SettingsRecord::intMcInit, &SettingsRecord::intMcTime,
        &SettingsRecord::strMcTime },
} };

QString fromLatin1(const char *name)
{
    return QString::fromLatin1(name);
}

QCheckBox *checkBox(const char *name, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(fromLatin1(name));
    return box;
}

QComboBox *comboBox(const char *name, const QStringList &items, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(fromLatin1(name));
    box->addItems(items);
    return box;
}

QStringList hourItems()
{
    QStringList hours;
    for (int hour = FirstHour; hour < FirstHour + HourCount; ++hour)
        hours.append(QString::number(hour) + QStringLiteral(":00"));
    return hours;
}

// The list position of a stored time text "H:00"; a text of another form, which this dialog
// never writes, shows the time of a new database.
int hourIndex(const QString &time)
{
    bool ok = false;
    const int index = time.section(u':', 0, 0).trimmed().toInt(&ok) - FirstHour;
    return ok && index >= 0 && index < HourCount ? index : 9 - FirstHour;
}

QStringList categoryItems()
{
    QStringList names;
    for (QStringView name : store::CategoryNames)
        names.append(name.toString());
    return names;
}

quint8 flag(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

} // namespace

frmSetup::frmSetup(const SettingsRecord &settings, Services services, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_services(std::move(services))
{
    setObjectName(QStringLiteral("frmSetup"));
    setWindowTitle(SetupTitle);
    buildControls();
    loadSettings();
    loadClassLists();
    // An entry of an earlier version may name the database relative to a folder a login does
    // not start in.
    m_services.autoStart.refresh(m_services.program, m_services.dbPath);
    showAutoStart(m_services.autoStart.IsAutoStartSet());
    widgets::applyListSkin(this, m_services.skin);
}

void frmSetup::buildControls()
{
    // Built top to bottom, left to right: Tab walks the controls in the order they stand.
    auto *layout = new QVBoxLayout(this);
    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("tabPages"));
    auto *reminders = new QWidget(pages);
    auto *remindersLayout = new QVBoxLayout(reminders);
    remindersLayout->addWidget(buildMethods());
    remindersLayout->addWidget(buildMusicFile());
    auto *upper = new QHBoxLayout;
    upper->addWidget(buildFestivals());
    upper->addWidget(buildRunMode());
    upper->addWidget(buildClassLists(), 1);
    remindersLayout->addLayout(upper);
    pages->addTab(reminders, QStringLiteral("提醒设置"));
    m_syncPage =
        new SyncPage(m_services.connection, m_services.accounts, m_services.stopSync, pages);
    pages->addTab(m_syncPage, QStringLiteral("日历同步"));
    m_cardSyncPage = new CardSyncPage(m_services.connection, m_services.accounts,
        m_services.stopSync, m_services.resolveDeletions, pages);
    pages->addTab(m_cardSyncPage, QStringLiteral("通讯录同步"));
    m_awayPage = new AwayPage(m_services.connection, m_services.accounts, pages);
    pages->addTab(m_awayPage, QStringLiteral("外出提醒"));
    layout->addWidget(pages);
    // Qt names the scroll arrows of every tab row alike.
    for (QTabBar *bar : findChildren<QTabBar *>()) {
        const QString row = bar == m_tabs ? QStringLiteral("类别") : QStringLiteral("设置页");
        for (QToolButton *arrow : bar->findChildren<QToolButton *>())
            widgets::nameForReader(arrow,
                row
                    + (arrow->arrowType() == Qt::LeftArrow ? QStringLiteral("向左滚动")
                                                           : QStringLiteral("向右滚动")));
    }

    auto *buttons = new QDialogButtonBox(this);
    auto *ok = actButton(buttons, QStringLiteral("cmdOK"), widgets::WindowAct::Accept);
    auto *no = actButton(buttons, QStringLiteral("cmdNo"), widgets::WindowAct::Reject);
    layout->addWidget(buttons);
    m_status = widgets::addStatusPanel(layout, this);

    connect(ok, &QPushButton::clicked, this, &frmSetup::cmdOK_Click);
    connect(no, &QPushButton::clicked, this, &frmSetup::cmdNo_Click);
}

frmSetup::Method frmSetup::buildMethod(
    const QString &caption, const char *main, const char *init, const char *time, const char *hour)
{
    Method method { checkBox(main, caption, this),
        checkBox(init, QStringLiteral("软件启动时提示"), this),
        checkBox(time, QStringLiteral("每天特定时刻提示"), this),
        comboBox(hour, hourItems(), this) };
    for (QCheckBox *box : { method.main, method.atTime })
        connect(box, &QCheckBox::toggled, this, &frmSetup::updateDependents);
    // The three columns share their captions: a reader names each box by its column too.
    widgets::nameForReader(method.atStart, caption + QStringLiteral("软件启动时提示"),
        QStringLiteral("每次启动本软件时") + caption);
    widgets::nameForReader(method.atTime, caption + QStringLiteral("每天特定时刻提示"),
        QStringLiteral("每天在选定的整点") + caption);
    widgets::nameForReader(method.hour, caption + QStringLiteral("时刻"),
        QStringLiteral("每天") + caption + QStringLiteral("的整点"));
    return method;
}

QWidget *frmSetup::buildMethods()
{
    m_methods = {
        buildMethod(QStringLiteral("气泡提示"), "chkQipao", "chkQpInit", "chkQpTime", "cboQpTime"),
        buildMethod(QStringLiteral("浮动提示"), "chkFudong", "chkFdInit", "chkFdTime", "cboFdTime"),
        buildMethod(QStringLiteral("音乐提示"), "chkMusic", "chkMcInit", "chkMcTime", "cboMcTime")
    };
    auto *frame = new QGroupBox(QStringLiteral("提示方式"), this);
    frame->setObjectName(QStringLiteral("Frame2"));
    auto *grid = new QGridLayout(frame);
    for (int column = 0; column < int(m_methods.size()); ++column) {
        const Method &m = m_methods[column];
        grid->addWidget(m.main, 0, column);
        grid->addWidget(m.atStart, 1, column);
        auto *timeRow = new QHBoxLayout;
        timeRow->addWidget(m.atTime);
        timeRow->addWidget(m.hour);
        timeRow->addStretch();
        grid->addLayout(timeRow, 2, column);
        // Hiding a box must not move the others.
        for (QWidget *w : { static_cast<QWidget *>(m.atStart), static_cast<QWidget *>(m.atTime),
                 static_cast<QWidget *>(m.hour) }) {
            QSizePolicy policy = w->sizePolicy();
            policy.setRetainSizeWhenHidden(true);
            w->setSizePolicy(policy);
        }
    }
    return frame;
}

QWidget *frmSetup::buildMusicFile()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_musicLabel = new QLabel(QStringLiteral("音乐文件"), row);
    m_musicLabel->setObjectName(QStringLiteral("lblMcFile"));
    m_musicFile = new QLineEdit(row);
    m_musicFile->setObjectName(QStringLiteral("txtMcFile"));
    m_musicFile->setToolTip(QStringLiteral("音乐文件的路径不要太长,不建议设置桌面上的音乐文件"));
    m_musicLabel->setBuddy(m_musicFile);
    widgets::nameForReader(m_musicFile, QStringLiteral("音乐文件"));
    m_musicButtons = { widgets::namedButton(row, QStringLiteral("cmdMc"), QStringLiteral("浏览")),
        widgets::namedButton(row, QStringLiteral("cmdPlay"), QStringLiteral("试听")),
        widgets::namedButton(row, QStringLiteral("cmdStop"), QStringLiteral("停止")) };
    layout->addWidget(m_musicLabel);
    layout->addWidget(m_musicFile, 1);
    for (QPushButton *b : m_musicButtons)
        layout->addWidget(b);
    for (QWidget *w : row->findChildren<QWidget *>()) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    connect(m_musicButtons[0], &QPushButton::clicked, this, &frmSetup::cmdMc_Click);
    connect(m_musicButtons[1], &QPushButton::clicked, this, &frmSetup::cmdPlay_Click);
    connect(m_musicButtons[2], &QPushButton::clicked, this, &frmSetup::cmdStop_Click);
    return row;
}

QWidget *frmSetup::buildFestivals()
{
    auto *frame = new QGroupBox(QStringLiteral("节日提醒"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    m_festivals = new QListWidget(frame);
    m_festivals->setObjectName(QStringLiteral("lstJiaQi"));
    for (const reminder::RemindedFestival &festival : Festivals) {
        auto *item = new QListWidgetItem(festival.name.toString(), m_festivals);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    }
    m_festivals->setMinimumWidth(110);
    QStringList days;
    for (int d = 0; d <= MaxFestivalDays; ++d)
        days.append(QString::number(d));
    widgets::nameForReader(
        m_festivals, QStringLiteral("提醒的节日"), QStringLiteral("勾选要提醒的节日"));
    m_nums = comboBox("cboNums", days, frame);
    auto *numsLabel = new QLabel(QStringLiteral("提醒天数:"), frame);
    numsLabel->setBuddy(m_nums);
    widgets::nameForReader(
        m_nums, QStringLiteral("节日提醒天数"), QStringLiteral("节日前几天开始提醒"));
    auto *numsRow = new QHBoxLayout;
    numsRow->addWidget(numsLabel);
    numsRow->addWidget(m_nums);
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(m_festivals);
    layout->addLayout(numsRow);
    return frame;
}

QWidget *frmSetup::buildRunMode()
{
    auto *frame = new QGroupBox(QStringLiteral("运行方式"), this);
    frame->setObjectName(QStringLiteral("Frame3"));
    m_initType = comboBox("cboInitType", categoryItems(), frame);
    widgets::nameForReader(m_initType, QStringLiteral("启动时显示的类别"),
        QStringLiteral("打开主窗口时先显示的生日类别"));
    m_run = checkBox("chkRun", QStringLiteral("系统启动时自动运行"), frame);
    // It only shows the state; cmdRun changes it.
    m_run->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_run->setFocusPolicy(Qt::NoFocus);
    m_runButton = widgets::namedButton(frame, QStringLiteral("cmdRun"), AutoStartOn);
    auto *shortcut =
        widgets::namedButton(frame, QStringLiteral("cmdLnk"), QStringLiteral("在桌面创建快捷方式"));
    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(m_initType);
    layout->addWidget(m_run);
    layout->addWidget(m_runButton);
    layout->addWidget(shortcut);
    layout->addStretch();
    connect(m_runButton, &QPushButton::clicked, this, &frmSetup::cmdRun_Click);
    connect(shortcut, &QPushButton::clicked, this, &frmSetup::cmdLnk_Click);
    return frame;
}

QWidget *frmSetup::buildClassLists()
{
    auto *frame = new QWidget(this);
    m_tabs = new QTabBar(frame);
    m_tabs->setObjectName(QStringLiteral("TabStrip1"));
    for (const QString &caption : { QStringLiteral("同事部门"), QStringLiteral("客户类型"),
             QStringLiteral("代理商类型"), QStringLiteral("供应商类型") })
        m_tabs->addTab(caption);
    m_tabs->setExpanding(false);
    m_classStack = new QStackedWidget(frame);
    for (int i = 0; i < int(m_classLists.size()); ++i) {
        m_classLists[i] = new QListWidget(m_classStack);
        m_classLists[i]->setObjectName(QStringLiteral("lstTsBm_%1").arg(i));
        widgets::nameForReader(m_classLists[i], QStringLiteral("常用") + m_tabs->tabText(i),
            QStringLiteral("编辑生日时可选的") + m_tabs->tabText(i));
        m_classStack->addWidget(m_classLists[i]);
        connect(m_classLists[i], &QListWidget::itemSelectionChanged, this,
            &frmSetup::updateClassButtons);
    }
    m_classText = new QLineEdit(frame);
    m_classText->setObjectName(QStringLiteral("txtTsBm"));
    widgets::nameForReader(m_classText, QStringLiteral("新类别"),
        QStringLiteral("输入类别后按回车或点增加,加入当前列表"));
    m_classAdd = widgets::namedButton(frame, QStringLiteral("cmdTsBmAdd"), QStringLiteral("增加"));
    m_classDel = widgets::namedButton(frame, QStringLiteral("cmdTsBmDel"), QStringLiteral("删除"));
    auto *editRow = new QHBoxLayout;
    editRow->addWidget(m_classText, 1);
    editRow->addWidget(m_classAdd);
    editRow->addWidget(m_classDel);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("常用类别"), frame));
    layout->addWidget(m_tabs);
    layout->addWidget(m_classStack, 1);
    layout->addLayout(editRow);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index >= 0)
            TabStrip1_Click(index + 1);
    });
    connect(m_classText, &QLineEdit::textChanged, this, &frmSetup::updateClassButtons);
    // Enter in the class box adds the entry and goes no further: it must not save and close.
    m_classText->installEventFilter(this);
    connect(m_classAdd, &QPushButton::clicked, this, &frmSetup::cmdTsBmAdd_Click);
    connect(m_classDel, &QPushButton::clicked, this, &frmSetup::cmdTsBmDel_Click);
    return frame;
}

bool frmSetup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_classText && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_classAdd->isEnabled())
                cmdTsBmAdd_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmSetup::loadSettings()
{
    for (int i = 0; i < int(m_methods.size()); ++i) {
        const MethodFields &fields = MethodFieldsOf[i];
        m_methods[i].main->setChecked(m_settings.*fields.main != 0);
        m_methods[i].atStart->setChecked(m_settings.*fields.atStart != 0);
        m_methods[i].atTime->setChecked(m_settings.*fields.atTime != 0);
        m_methods[i].hour->setCurrentIndex(hourIndex(m_settings.*fields.hour));
    }
    m_musicFile->setText(m_settings.strMcFile);
    for (int i = 0; i < int(Festivals.size()); ++i) {
        m_festivals->item(i)->setCheckState(
            m_settings.*Festivals[i].flag != 0 ? Qt::Checked : Qt::Unchecked);
    }
    m_nums->setCurrentIndex(qMin<int>(m_settings.intNums, MaxFestivalDays));
    m_initType->setCurrentIndex(qBound<int>(0, m_settings.intInitType, 7));
    updateDependents();
}

void frmSetup::loadClassLists()
{
    for (int tab = 1; tab <= int(m_classLists.size()); ++tab) {
        if (const auto table = store::classTableForTab(tab))
            m_classLists[tab - 1]->addItems(store::readClassNames(m_services.connection, *table));
    }
    TabStrip1_Click(1);
}

void frmSetup::updateDependents()
{
    for (const Method &m : m_methods) {
        const bool on = m.main->isChecked();
        m.atStart->setVisible(on);
        m.atTime->setVisible(on);
        m.hour->setVisible(on && m.atTime->isChecked());
    }
    const bool music = m_methods[2].main->isChecked();
    m_musicLabel->setVisible(music);
    m_musicFile->setVisible(music);
    for (QPushButton *b : m_musicButtons)
        b->setVisible(music);
}

QString frmSetup::statusText() const
{
    return m_status->text();
}

SettingsRecord frmSetup::settingsFromControls()
{
    QCheckBox *music = m_methods[2].main;
    if (music->isChecked() && m_musicFile->text().trimmed().isEmpty())
        music->setChecked(false);
    if (!music->isChecked())
        m_musicFile->clear();
    SettingsRecord settings = m_settings;
    settings.intInitType = qint16(m_initType->currentIndex());
    for (int i = 0; i < int(m_methods.size()); ++i) {
        const MethodFields &fields = MethodFieldsOf[i];
        settings.*fields.main = flag(m_methods[i].main);
        settings.*fields.atStart = flag(m_methods[i].atStart);
        settings.*fields.atTime = flag(m_methods[i].atTime);
        settings.*fields.hour = m_methods[i].hour->currentText();
    }
    settings.strMcFile = m_musicFile->text();
    for (int i = 0; i < int(Festivals.size()); ++i)
        settings.*Festivals[i].flag = m_festivals->item(i)->checkState() == Qt::Checked ? 1 : 0;
    settings.intNums = quint8(m_nums->currentIndex());
    return settings;
}

void frmSetup::cmdOK_Click()
{
    // The record in memory changes only once it is stored, so a failed write leaves the
    // reminders running on settings that match the database.
    SettingsRecord settings = settingsFromControls();
    if (!store::WriteSettings(m_services.connection, settings) || !m_syncPage->save()
        || !m_cardSyncPage->save() || !m_awayPage->save()) {
        m_status->setText(QStringLiteral("设置数据保存失败!"));
        return;
    }
    m_settings = settings;
    m_saved = true;
    accept();
}

void frmSetup::cmdNo_Click()
{
    reject();
}

void frmSetup::cmdMc_Click()
{
    PickedFile picked;
    if (!pickFile(this, picked, MusicChooserTitle, MusicFileFilter, m_services.runModal,
            ChooserUse::Music))
        return;
    if (QFileInfo::exists(picked.PickedFileText)) {
        m_musicFile->setText(picked.PickedFileText);
        return;
    }
    m_services.messages.show(picked.PickedFileText + QStringLiteral("不存在"), MusicChooserTitle);
    m_musicFile->clear();
}

void frmSetup::cmdPlay_Click()
{
    const QString file = m_musicFile->text().trimmed();
    if (!file.isEmpty() && m_services.music)
        m_services.music->play(file);
}

void frmSetup::cmdStop_Click()
{
    if (m_services.music)
        m_services.music->stop(m_musicFile->text().trimmed());
}

void frmSetup::showAutoStart(bool on)
{
    m_run->setChecked(on);
    m_runButton->setText(on ? AutoStartOff : AutoStartOn);
}

void frmSetup::cmdRun_Click()
{
    desktop::AutoStart &autoStart = m_services.autoStart;
    if (m_runButton->text() == AutoStartOn) {
        if (autoStart.enable(m_services.program, m_services.dbPath))
            showAutoStart(true);
        else
            m_status->setText(QStringLiteral("开启自动运行设置失败,如果被杀毒软件或防火墙拦截,"
                                             "请重启青萍生日提醒软件后再次开启！"));
        return;
    }
    if (autoStart.disable())
        showAutoStart(false);
    else
        m_status->setText(QStringLiteral("关闭自动运行设置失败,注意杀毒软件或防火墙是否拦截,"
                                         "请重启青萍生日提醒软件后再次关闭！"));
}

void frmSetup::cmdLnk_Click()
{
    m_status->setText(
        shortcutResultText(m_services.shortcut.create(m_services.program, m_services.dbPath)));
}

QListWidget *frmSetup::currentClassList() const
{
    return m_classLists[m_classStack->currentIndex()];
}

void frmSetup::TabStrip1_Click(int tab)
{
    if (tab < 1 || tab > int(m_classLists.size()))
        return;
    m_tabs->setCurrentIndex(tab - 1);
    m_classStack->setCurrentIndex(tab - 1);
    updateClassButtons();
}

void frmSetup::updateClassButtons()
{
    m_classAdd->setEnabled(!m_classText->text().trimmed().isEmpty());
    m_classDel->setEnabled(!currentClassList()->selectedItems().isEmpty());
}

void frmSetup::cmdTsBmAdd_Click()
{
    const QString text = m_classText->text().trimmed();
    if (store::ansiByteLength(text) > MaxClassBytes) {
        m_services.messages.show(QStringLiteral("同事部门不能多于20个英文字符"), SetupTitle);
        m_classText->selectAll();
        return;
    }
    const int tab = m_classStack->currentIndex() + 1;
    if (!store::ChangeClassTable(m_services.connection, 1, tab, text)) {
        m_status->setText(QStringLiteral("部门/类型重复或数据共享冲突导致部门/类型添加失败!"));
        m_classText->selectAll();
        return;
    }
    currentClassList()->addItem(text);
    m_classText->clear();
}

void frmSetup::cmdTsBmDel_Click()
{
    QListWidget *list = currentClassList();
    QListWidgetItem *item = list->currentItem();
    if (!item || !item->isSelected())
        return;
    const int tab = m_classStack->currentIndex() + 1;
    if (!store::ChangeClassTable(m_services.connection, 2, tab, item->text())) {
        m_status->setText(QStringLiteral("数据共享冲突部门/类型删除失败!"));
        return;
    }
    delete item;
    updateClassButtons();
}

} // namespace natalis::dialogs
