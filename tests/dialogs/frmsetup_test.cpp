#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "dialogs/frmmydlg1.h"
#include "dialogs/frmsetup.h"
#include "desktop/musicplayer.h"
#include "store/classtables.h"
#include "store/settings.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;

namespace {

class RecordingPlayer : public MusicPlayer
{
public:
    void play(const QString &file) override { calls << QStringLiteral("play ") + file; }
    void stop(const QString &file) override { calls << QStringLiteral("STOP ") + file; }
    QStringList calls;
};

class Setup : public testing::Test
{
protected:
    Setup()
        : connection(database.create()),
          autoStart(createXdgAutoStart(database.path(QStringLiteral("autostart")))),
          shortcut(createDesktopShortcut(database.path(QStringLiteral("Desktop"))))
    {
        settings = std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }

    frmSetup &open()
    {
        dialog = std::make_unique<frmSetup>(settings,
            frmSetup::Services { connection, messages, &player, *autoStart, *shortcut,
                QStringLiteral("/opt/natalis/natalis"), database.path(), 1, [this](QDialog &d) {
                    if (auto *chooser = qobject_cast<frmMyDlg1 *>(&d)) {
                        chooserTitle = chooser->windowTitle();
                        chooser->setFolder(database.folder());
                        chooser->setFileName(musicName);
                        chooser->cmdOK_Click();
                    }
                } });
        return *dialog;
    }

    template<typename T>
    T *control(const char *name)
    {
        T *widget = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    store::SettingsRecord stored()
    {
        return std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }

    test::TempDatabase database;
    store::Connection connection;
    std::unique_ptr<AutoStart> autoStart;
    std::unique_ptr<DesktopShortcut> shortcut;
    store::SettingsRecord settings;
    test::RecordingMessageSink messages;
    RecordingPlayer player;
    QString musicName;
    QString chooserTitle;
    std::unique_ptr<frmSetup> dialog;
};

struct MusicRow
{
    const char *situation;
    bool musicTicked;
    QString path;
    quint8 storedFlag;
    QString storedPath;

    friend void PrintTo(const MusicRow &row, std::ostream *os) { *os << row.situation; }
};

class MusicRule : public Setup, public testing::WithParamInterface<MusicRow>
{
};

TEST_P(MusicRule, MusicNeverOnWithoutAFile)
{
    const MusicRow &row = GetParam();
    open();
    control<QCheckBox>("chkMusic")->setChecked(row.musicTicked);
    control<QLineEdit>("txtMcFile")->setText(row.path);
    dialog->cmdOK_Click();
    ASSERT_TRUE(dialog->isSaved());
    EXPECT_EQ(stored().intMusic, row.storedFlag);
    EXPECT_EQ(stored().strMcFile, row.storedPath);
    EXPECT_EQ(dialog->savedSettings(), stored());
}

INSTANTIATE_TEST_SUITE_P(Rows, MusicRule,
    testing::Values(MusicRow { "ticked without a file", true, QString(), 0, QString() },
        MusicRow { "ticked with only blanks", true, QStringLiteral("   "), 0, QString() },
        MusicRow { "off empties the path", false, QStringLiteral("/music/a.mp3"), 0, QString() },
        MusicRow { "ticked with a file", true, QStringLiteral("/music/a.mp3"), 1,
            QStringLiteral("/music/a.mp3") }),
    test::BySituation());

TEST_F(Setup, SavesEveryControl)
{
    open();
    control<QComboBox>("cboNums")->setCurrentIndex(3);
    control<QComboBox>("cboInitType")->setCurrentIndex(4);
    control<QCheckBox>("chkQpInit")->setChecked(false);
    control<QComboBox>("cboFdTime")->setCurrentIndex(9);
    auto *festivals = control<QListWidget>("lstJiaQi");
    ASSERT_EQ(festivals->count(), 11);
    EXPECT_EQ(festivals->item(0)->text(), QStringLiteral("端午节"));
    EXPECT_EQ(festivals->item(10)->text(), QStringLiteral("圣诞节"));
    festivals->item(1)->setCheckState(Qt::Unchecked); // 中秋节
    festivals->item(10)->setCheckState(Qt::Unchecked); // 圣诞节
    dialog->cmdOK_Click();

    const store::SettingsRecord s = stored();
    EXPECT_EQ(s.intNums, 3);
    EXPECT_EQ(s.intInitType, 4);
    EXPECT_EQ(s.intQpInit, 0);
    EXPECT_EQ(s.intQipao, 1);
    EXPECT_EQ(s.strFdTime, QStringLiteral("17:00"));
    EXPECT_EQ(s.strQpTime, QStringLiteral("9:00")); // a new database's 09:00, as the list shows it
    EXPECT_EQ(s.intDw, 1);
    EXPECT_EQ(s.intZq, 0);
    EXPECT_EQ(s.intSd, 0);
}

TEST_F(Setup, LoadsHoursDaysAndTab)
{
    settings.strMcTime = QStringLiteral("14:00");
    settings.intNums = 6;
    settings.intInitType = 7;
    open();
    EXPECT_EQ(control<QComboBox>("cboMcTime")->currentText(), QStringLiteral("14:00"));
    EXPECT_EQ(control<QComboBox>("cboMcTime")->count(), 10);
    EXPECT_EQ(control<QComboBox>("cboNums")->currentText(), QStringLiteral("6"));
    EXPECT_EQ(control<QComboBox>("cboInitType")->currentText(), QStringLiteral("其他"));
}

TEST_F(Setup, FailedSaveKeepsDialogOpen)
{
    open();
    connection.exec("DROP TABLE tishidata");
    dialog->cmdOK_Click();
    EXPECT_FALSE(dialog->isSaved());
    EXPECT_EQ(dialog->statusText(), QStringLiteral("设置数据保存失败!"));
}

TEST_F(Setup, DependentControlsFollowTheirBoxes)
{
    open();
    auto *music = control<QCheckBox>("chkMusic");
    auto *musicTime = control<QCheckBox>("chkMcTime");
    music->setChecked(true);
    musicTime->setChecked(false);
    EXPECT_FALSE(control<QCheckBox>("chkMcInit")->isHidden());
    EXPECT_FALSE(control<QPushButton>("cmdPlay")->isHidden());
    EXPECT_TRUE(control<QComboBox>("cboMcTime")->isHidden());
    musicTime->setChecked(true);
    EXPECT_FALSE(control<QComboBox>("cboMcTime")->isHidden());
    music->setChecked(false);
    EXPECT_TRUE(control<QCheckBox>("chkMcTime")->isHidden());
    EXPECT_TRUE(control<QComboBox>("cboMcTime")->isHidden());
    EXPECT_TRUE(control<QLineEdit>("txtMcFile")->isHidden());
}

struct ClassRow
{
    const char *situation;
    int tab;
    QString text;
    bool added;
    QString message;

    friend void PrintTo(const ClassRow &row, std::ostream *os) { *os << row.situation; }
};

class ClassEntries : public Setup, public testing::WithParamInterface<ClassRow>
{
};

TEST_P(ClassEntries, LengthInAnsiBytes)
{
    const ClassRow &row = GetParam();
    open();
    dialog->TabStrip1_Click(row.tab);
    auto *text = control<QLineEdit>("txtTsBm");
    text->setText(row.text);
    dialog->cmdTsBmAdd_Click();
    const QStringList names = store::ReadClassNames(connection, *store::classTableForTab(row.tab));
    EXPECT_EQ(names.contains(row.text.trimmed()), row.added);
    EXPECT_EQ(
        messages.texts(), row.message.isEmpty() ? QStringList() : QStringList { row.message });
    if (!row.added)
        EXPECT_EQ(text->text(), row.text);
    else
        EXPECT_TRUE(text->text().isEmpty());
}

const QString TooLong = QStringLiteral("同事部门不能多于20个英文字符");

INSTANTIATE_TEST_SUITE_P(Rows, ClassEntries,
    testing::Values(
        ClassRow { "ten Chinese characters", 1, QStringLiteral("一二三四五六七八九十"), true, {} },
        ClassRow { "eleven Chinese characters", 1, QStringLiteral("一二三四五六七八九十甲"), false,
            TooLong },
        ClassRow { "twenty letters with blanks around", 2,
            QStringLiteral("  abcdefghijklmnopqrst "), true, {} },
        ClassRow { "twenty-one letters on the supplier tab", 4,
            QStringLiteral("abcdefghijklmnopqrstu"), false, TooLong }),
    test::BySituation());

TEST_F(Setup, DuplicateClassAndDelete)
{
    open();
    dialog->TabStrip1_Click(3);
    auto *text = control<QLineEdit>("txtTsBm");
    auto *add = control<QPushButton>("cmdTsBmAdd");
    EXPECT_FALSE(add->isEnabled());
    text->setText(QStringLiteral("华东区"));
    EXPECT_TRUE(add->isEnabled());
    dialog->cmdTsBmAdd_Click();
    text->setText(QStringLiteral("华东区"));
    dialog->cmdTsBmAdd_Click();
    EXPECT_EQ(
        dialog->statusText(), QStringLiteral("部门/类型重复或数据共享冲突导致部门/类型添加失败!"));

    auto *list = control<QListWidget>("lstTsBm_2");
    auto *del = control<QPushButton>("cmdTsBmDel");
    EXPECT_FALSE(del->isEnabled());
    list->setCurrentRow(list->count() - 1);
    EXPECT_TRUE(del->isEnabled());
    dialog->cmdTsBmDel_Click();
    EXPECT_FALSE(store::ReadClassNames(connection, store::ClassTable::Dlsclass)
                     .contains(QStringLiteral("华东区")));
    EXPECT_FALSE(del->isEnabled());

    list->addItem(QStringLiteral("ghost"));
    list->setCurrentRow(list->count() - 1);
    connection.exec("DROP TABLE dlsclass");
    dialog->cmdTsBmDel_Click();
    EXPECT_EQ(dialog->statusText(), QStringLiteral("数据共享冲突部门/类型删除失败!"));
}

TEST_F(Setup, AutoStartTwice)
{
    open();
    auto *run = control<QPushButton>("cmdRun");
    auto *shown = control<QCheckBox>("chkRun");
    const QString entry = database.path(QStringLiteral("autostart/natalis.desktop"));
    EXPECT_EQ(run->text(), QStringLiteral("开启自动运行"));
    EXPECT_FALSE(shown->isChecked());

    dialog->cmdRun_Click();
    EXPECT_TRUE(autoStart->IsAutoStartSet());
    EXPECT_EQ(run->text(), QStringLiteral("关闭自动运行"));
    EXPECT_TRUE(shown->isChecked());
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(file.readAll())
            .contains(QStringLiteral("Exec=/opt/natalis/natalis --tray ") + database.path()));

    dialog->cmdRun_Click();
    EXPECT_FALSE(autoStart->IsAutoStartSet());
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_EQ(run->text(), QStringLiteral("开启自动运行"));
    EXPECT_FALSE(shown->isChecked());
}

TEST_F(Setup, AutoStartShownOnLoad)
{
    ASSERT_TRUE(autoStart->enable(QStringLiteral("/opt/natalis/natalis"), database.path()));
    open();
    EXPECT_EQ(control<QPushButton>("cmdRun")->text(), QStringLiteral("关闭自动运行"));
    EXPECT_TRUE(control<QCheckBox>("chkRun")->isChecked());
}

TEST_F(Setup, AutoStartFailureReported)
{
    database.write(QStringLiteral("autostart"), "a file where the folder should be");
    open();
    dialog->cmdRun_Click();
    EXPECT_EQ(dialog->statusText(),
        QStringLiteral("开启自动运行设置失败,如果被杀毒软件或防火墙拦截,请重启青萍生日提醒软件后"
                       "再次开启！"));
    EXPECT_EQ(control<QPushButton>("cmdRun")->text(), QStringLiteral("开启自动运行"));
}

TEST_F(Setup, ShortcutTwice)
{
    open();
    const QString path = database.path(QStringLiteral("Desktop/青萍生日提醒软件v4.0.desktop"));
    dialog->cmdLnk_Click();
    EXPECT_EQ(dialog->statusText(), QStringLiteral("青萍生日提醒软件v4.0的快捷方式创建成功!"));
    ASSERT_TRUE(QFile::exists(path));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("kept");
    }
    dialog->cmdLnk_Click();
    EXPECT_EQ(dialog->statusText(), QStringLiteral("青萍生日提醒软件v4.0的快捷方式已经存在!"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("kept"));
}

TEST_F(Setup, MusicChooserAndPlayer)
{
    database.write(QStringLiteral("bell.wav"), "RIFF");
    musicName = QStringLiteral("bell.wav");
    open();
    control<QCheckBox>("chkMusic")->setChecked(true);
    dialog->cmdMc_Click();
    EXPECT_EQ(chooserTitle, QStringLiteral("音乐文件指定"));
    EXPECT_EQ(control<QLineEdit>("txtMcFile")->text(), database.path(QStringLiteral("bell.wav")));
    dialog->cmdPlay_Click();
    dialog->cmdStop_Click();
    EXPECT_EQ(player.calls,
        (QStringList { QStringLiteral("play ") + database.path(QStringLiteral("bell.wav")),
            QStringLiteral("STOP ") + database.path(QStringLiteral("bell.wav")) }));

    musicName = QStringLiteral("missing.mp3");
    dialog->cmdMc_Click();
    EXPECT_TRUE(control<QLineEdit>("txtMcFile")->text().isEmpty());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
        database.path(QStringLiteral("missing.mp3")) + QStringLiteral("不存在"));
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("音乐文件指定"));
    dialog->cmdPlay_Click();
    EXPECT_EQ(player.calls.size(), 2);
}

TEST_F(Setup, ClassListsLoadedPerTab)
{
    ASSERT_TRUE(store::ChangeClassTable(connection, 1, 2, QStringLiteral("VIP")));
    open();
    EXPECT_TRUE(
        control<QListWidget>("lstTsBm_1")->findItems(QStringLiteral("VIP"), Qt::MatchExactly).size()
        == 1);
    EXPECT_TRUE(control<QListWidget>("lstTsBm_0")
                    ->findItems(QStringLiteral("VIP"), Qt::MatchExactly)
                    .isEmpty());
}

TEST_F(Setup, OpeningRewritesAnOlderAutoStartEntry)
{
    QDir().mkpath(database.path(QStringLiteral("autostart")));
    database.write(QStringLiteral("autostart/natalis.desktop"),
        "[Desktop Entry]\nType=Application\nName=natalis\nExec=/opt/natalis/natalis natalis.mdb\n");
    open();
    QFile file(database.path(QStringLiteral("autostart/natalis.desktop")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(
        QString::fromUtf8(file.readAll())
            .contains(QStringLiteral("Exec=/opt/natalis/natalis --tray ") + database.path()));
    EXPECT_EQ(control<QPushButton>("cmdRun")->text(), QStringLiteral("关闭自动运行"));
}

} // namespace

namespace natalis::app {
namespace {

// The database named relative to the folder the program was started in.
class RelativeDatabase : public testing::Test
{
protected:
    RelativeDatabase() : previous(QDir::currentPath())
    {
        QDir::setCurrent(files.folder());
        QFile(files.path(QStringLiteral("my db.mdb"))).open(QIODevice::WriteOnly);
    }
    ~RelativeDatabase() override { QDir::setCurrent(previous); }

    QString entryText() const
    {
        QFile file(files.path(QStringLiteral("autostart/natalis.desktop")));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    test::TempDatabase files;
    QString previous;
    std::unique_ptr<AutoStart> autoStart =
        createXdgAutoStart(files.path(QStringLiteral("autostart")));
    QString absoluteExec() const
    {
        return QStringLiteral("\nExec=/opt/natalis/natalis --tray \"")
            + QFileInfo(files.path(QStringLiteral("my db.mdb"))).canonicalFilePath()
            + QStringLiteral("\"\n");
    }
};

TEST_F(RelativeDatabase, AutoStartRecordsTheAbsolutePath)
{
    ASSERT_TRUE(
        autoStart->enable(QStringLiteral("/opt/natalis/natalis"), QStringLiteral("my db.mdb")));
    EXPECT_TRUE(entryText().contains(absoluteExec())) << entryText().toStdString();
}

TEST_F(RelativeDatabase, OlderEntryIsRewrittenAndNoEntryStaysAbsent)
{
    EXPECT_TRUE(
        autoStart->refresh(QStringLiteral("/opt/natalis/natalis"), QStringLiteral("my db.mdb")));
    EXPECT_FALSE(autoStart->IsAutoStartSet()) << "refreshing never switches autostart on";

    QDir().mkpath(files.path(QStringLiteral("autostart")));
    files.write(QStringLiteral("autostart/natalis.desktop"),
        "[Desktop Entry]\nType=Application\nName=natalis\n"
        "Exec=/opt/natalis/natalis \"my db.mdb\"\n");
    EXPECT_TRUE(
        autoStart->refresh(QStringLiteral("/opt/natalis/natalis"), QStringLiteral("my db.mdb")));
    EXPECT_TRUE(entryText().contains(absoluteExec())) << entryText().toStdString();
}

TEST_F(RelativeDatabase, ShortcutRecordsTheAbsolutePath)
{
    const auto shortcut = createDesktopShortcut(files.path(QStringLiteral("Desktop")));
    ASSERT_EQ(shortcut->create(QStringLiteral("/opt/natalis/natalis"), QStringLiteral("my db.mdb")),
        DesktopShortcut::Result::Created);
    QFile file(files.path(QStringLiteral("Desktop/青萍生日提醒软件v4.0.desktop")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll())
                    .contains(QStringLiteral("\nExec=/opt/natalis/natalis \"")
                        + QFileInfo(files.path(QStringLiteral("my db.mdb"))).canonicalFilePath()
                        + QStringLiteral("\"\n")));
}

} // namespace
} // namespace natalis::app
