#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "desktop/musicplayer.h"
#include "dialogs/filechooser.h"
#include "dialogs/frmsetup.h"
#include "store/cardsync.h"
#include "store/classtables.h"
#include "store/settings.h"
#include "store/syncstate.h"
#include "support/casename.h"
#include "support/filedialoganswer.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"
#include "support/windowclipping.h"
#include "sync/credentials.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

// The database is named relative to the folder the program was started in, as a user may; the
// autostart entry and the desktop shortcut record it absolute.
class Setup : public testing::Test, public MusicPlayer
{
protected:
    Setup() : previousFolder(QDir::currentPath()), connection(database.create())
    {
        QDir::setCurrent(database.folder());
        settings = std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }
    ~Setup() override { QDir::setCurrent(previousFolder); }

    frmSetup &open()
    {
        dialog = std::make_unique<frmSetup>(settings,
            frmSetup::Services { connection, messages, this, *autoStart, *shortcut,
                u"/opt/natalis/natalis"_s, u"natalis.mdb"_s, 1,
                [this](QDialog &d) {
                    test::answerFileDialog(d, QDir(database.folder()).filePath(musicName));
                },
                passwords });
        return *dialog;
    }

    template<typename T>
    T *control(const char *name)
    {
        return dialog->findChild<T *>(QLatin1String(name));
    }

    store::SettingsRecord stored()
    {
        return std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }

    QString fileText(const QString &name) const { return QString::fromUtf8(database.bytes(name)); }

    // The line of an autostart entry or shortcut, with the database's absolute path.
    QString execLine(const QString &arguments) const
    {
        return u"\nExec=/opt/natalis/natalis "_s + arguments
            + QFileInfo(database.path()).canonicalFilePath() + u'\n';
    }

    void play(const QString &file) override { played << u"play "_s + file; }
    void stop(const QString &file) override { played << u"stop "_s + file; }

    QString previousFolder;
    test::TempDatabase database;
    store::Connection connection;
    std::unique_ptr<AutoStart> autoStart = createXdgAutoStart(database.path(u"autostart"_s));
    std::unique_ptr<DesktopShortcut> shortcut = createDesktopShortcut(database.path(u"Desktop"_s));
    store::SettingsRecord settings;
    test::RecordingMessageSink messages;
    QStringList played;
    QString musicName;
    std::shared_ptr<sync::PasswordStore> passwords;
    std::unique_ptr<frmSetup> dialog;
};

TEST_F(Setup, LoadsAndSavesEveryKindOfControl)
{
    settings.strMcTime = u"14:00"_s;
    settings.intInitType = 7;
    open();
    EXPECT_EQ(control<QComboBox>("cboMcTime")->currentText(), u"14:00"_s);
    EXPECT_EQ(control<QComboBox>("cboInitType")->currentText(), u"其他"_s);
    control<QComboBox>("cboNums")->setCurrentIndex(3);
    control<QComboBox>("cboInitType")->setCurrentIndex(4);
    control<QCheckBox>("chkQpInit")->setChecked(false);
    control<QComboBox>("cboFdTime")->setCurrentIndex(9);
    control<QListWidget>("lstJiaQi")->item(1)->setCheckState(Qt::Unchecked); // 中秋节
    control<QListWidget>("lstJiaQi")->item(10)->setCheckState(Qt::Unchecked); // 圣诞节
    dialog->cmdOK_Click();
    EXPECT_FALSE(autoStart->IsAutoStartSet()) << "opening never switches autostart on";
    const store::SettingsRecord s = stored();
    EXPECT_EQ(dialog->savedSettings(), s);
    EXPECT_EQ(s.intNums, 3);
    EXPECT_EQ(s.intInitType, 4);
    EXPECT_EQ(s.intQpInit, 0);
    EXPECT_EQ(s.strFdTime, u"17:00"_s);
    EXPECT_EQ(s.strQpTime, u"9:00"_s); // a new database's 09:00, as the list shows it
    EXPECT_EQ(s.intDw + s.intZq * 10 + s.intSd * 100, 1);
}

// A choice on a sync page: the control, the setting it is kept under and a value to fill in.
struct Choice
{
    QString control;
    QStringView key;
    QString value;
};

struct SyncPageCase
{
    const char *situation;
    const char *prefix; // of the server, user and password boxes
    const char *collectionControl;
    QStringView serverKey, userKey, collectionKey;
    QList<Choice> extras;
    friend void PrintTo(const SyncPageCase &c, std::ostream *os) { *os << c.situation; }
};

const SyncPageCase SyncPageCases[] = {
    { "address book", "Card", "txtAddressBook", store::SyncCardServerKey, store::SyncCardUserKey,
        store::SyncAddressBookKey,
        { { u"cboCardCategory"_s, store::SyncCardCategoryKey, u"家人"_s } } },
    { "calendar", "", "txtCalendar", store::SyncServerKey, store::SyncUserKey,
        store::SyncCalendarKey,
        { { u"spnYears"_s, store::SyncYearsKey, u"5"_s },
            { u"chkSyncFestivals"_s, store::SyncFestivalsKey, u"1"_s } } },
};

// Run inside a keyring of the test's own (tests/support/with_keyring.sh).
class SyncPages : public Setup, public testing::WithParamInterface<SyncPageCase>
{
protected:
    QWidget *box(const QString &name) { return dialog->findChild<QWidget *>(name); }
    // "txtServer" on the page of prefix "Card": "txtCardServer".
    QString named(const char *plain) const
    {
        return QString::fromLatin1(plain).insert(3, QString::fromLatin1(GetParam().prefix));
    }
    static void fill(QWidget *widget, const QString &value)
    {
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(value);
        else if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setCurrentText(value);
        else if (auto *spin = qobject_cast<QSpinBox *>(widget))
            spin->setValue(value.toInt());
        else
            qobject_cast<QCheckBox *>(widget)->setChecked(value == u"1");
    }
    static QString shown(QWidget *widget)
    {
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            return edit->text();
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            return combo->currentText();
        if (auto *spin = qobject_cast<QSpinBox *>(widget))
            return QString::number(spin->value());
        return qobject_cast<QCheckBox *>(widget)->isChecked() ? u"1"_s : u"0"_s;
    }
};

TEST_P(SyncPages, KeepTheChoicesInTheSettingsAndThePasswordInTheKeyring)
{
    const SyncPageCase &c = GetParam();
    passwords = std::make_shared<sync::KeychainPasswordStore>();
    QList<Choice> choices = c.extras;
    choices += { { named("txtServer"), c.serverKey, u"https://dav.example.com/"_s },
        { named("txtUser"), c.userKey, u"alice"_s },
        { QString::fromLatin1(c.collectionControl), c.collectionKey, u"家里"_s } };
    open();
    for (const Choice &choice : choices)
        fill(box(choice.control), choice.value);
    fill(box(named("txtPassword")), u"密码 1"_s);
    dialog->cmdOK_Click();
    ASSERT_TRUE(dialog->isSaved());
    for (const Choice &choice : choices)
        EXPECT_EQ(store::readSyncSetting(connection, choice.key), choice.value)
            << choice.control.toStdString();
    // The password is written on a worker; the keyring has it within moments.
    std::optional<QString> kept;
    for (int tries = 0; tries < 100 && !kept; ++tries) {
        QTest::qWait(50);
        kept = passwords->read(sync::passwordAccount(u"alice"_s, u"dav.example.com"_s), nullptr);
    }
    EXPECT_EQ(kept, u"密码 1"_s);

    open();
    for (const Choice &choice : choices)
        EXPECT_EQ(shown(box(choice.control)), choice.value) << choice.control.toStdString();
    EXPECT_EQ(shown(box(named("txtPassword"))), QString()) << "never shown again";
}

INSTANTIATE_TEST_SUITE_P(Pages, SyncPages, testing::ValuesIn(SyncPageCases), test::BySituation());

TEST_F(Setup, FailedSaveKeepsDialogOpen)
{
    open();
    connection.exec("DROP TABLE tishidata");
    dialog->cmdOK_Click();
    EXPECT_FALSE(dialog->isSaved());
    EXPECT_EQ(dialog->statusText(), u"设置数据保存失败!"_s);
}

TEST_F(Setup, MusicControlsFileChooserAndPlayerButMusicNeverOnWithoutAFile)
{
    open();
    const auto saved = [this] {
        dialog->cmdOK_Click();
        return QString::number(stored().intMusic) + u' ' + stored().strMcFile;
    };
    control<QCheckBox>("chkMusic")->setChecked(true);
    control<QCheckBox>("chkMcTime")->setChecked(false);
    EXPECT_FALSE(control<QPushButton>("cmdPlay")->isHidden());
    EXPECT_TRUE(control<QComboBox>("cboMcTime")->isHidden()) << "follows chkMcTime";
    musicName = u"missing.mp3"_s;
    dialog->cmdMc_Click();
    EXPECT_EQ(messages.texts(), QStringList { database.path(musicName) + u"不存在"_s });
    EXPECT_EQ(messages.shown.value(0).title, u"音乐文件指定"_s);
    dialog->cmdPlay_Click();
    EXPECT_EQ(saved(), u"0 "_s) << "ticked without a file";
    control<QCheckBox>("chkMusic")->setChecked(true);
    control<QLineEdit>("txtMcFile")->setText(u"   "_s);
    EXPECT_EQ(saved(), u"0 "_s) << "ticked with only blanks";

    database.write(u"bell.wav"_s, "RIFF");
    musicName = u"bell.wav"_s;
    control<QCheckBox>("chkMusic")->setChecked(true);
    dialog->cmdMc_Click();
    dialog->cmdPlay_Click();
    dialog->cmdStop_Click();
    const QString bell = database.path(musicName);
    EXPECT_EQ(played, QStringList({ u"play "_s + bell, u"stop "_s + bell }));
    EXPECT_EQ(saved(), u"1 "_s + bell) << "ticked with a file";
    control<QCheckBox>("chkMcTime")->setChecked(true);
    EXPECT_FALSE(control<QComboBox>("cboMcTime")->isHidden());
    control<QCheckBox>("chkMusic")->setChecked(false);
    EXPECT_TRUE(control<QCheckBox>("chkMcTime")->isHidden()
        && control<QComboBox>("cboMcTime")->isHidden()
        && control<QLineEdit>("txtMcFile")->isHidden())
        << "all follow chkMusic";
    EXPECT_EQ(saved(), u"0 "_s) << "off empties the path";
}

TEST_F(Setup, ClassListsPerTabUpToTwentyAnsiBytesWithFailuresTold)
{
    ASSERT_TRUE(store::ChangeClassTable(connection, 1, 2, u"VIP"_s));
    open();
    EXPECT_EQ(control<QListWidget>("lstTsBm_1")->findItems(u"VIP"_s, Qt::MatchExactly).size(), 1);
    EXPECT_TRUE(control<QListWidget>("lstTsBm_0")->findItems(u"VIP"_s, Qt::MatchExactly).isEmpty());
    auto *text = control<QLineEdit>("txtTsBm");
    auto *add = control<QPushButton>("cmdTsBmAdd");
    auto *del = control<QPushButton>("cmdTsBmDel");
    EXPECT_FALSE(add->isEnabled() || del->isEnabled());
    text->setText(u" 一二三四五六七八九十 "_s); // 20 bytes once trimmed
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_TRUE(text->text().isEmpty());
    text->setText(u"一二三四五六七八九十"_s);
    dialog->cmdTsBmAdd_Click();
    EXPECT_EQ(dialog->statusText(), u"部门/类型重复或数据共享冲突导致部门/类型添加失败!"_s);
    EXPECT_EQ(store::readClassNames(connection, store::ClassTable::Tsclass),
        QStringList { u"一二三四五六七八九十"_s });
    dialog->TabStrip1_Click(4);
    text->setText(u"abcdefghijklmnopqrstu"_s);
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(messages.texts(), QStringList { u"同事部门不能多于20个英文字符"_s });
    EXPECT_EQ(text->text(), u"abcdefghijklmnopqrstu"_s);
    EXPECT_FALSE(dialog->isSaved()) << "Enter in the class box neither saves nor closes";

    auto *list = control<QListWidget>("lstTsBm_1");
    dialog->TabStrip1_Click(2);
    list->setCurrentRow(0);
    EXPECT_TRUE(del->isEnabled());
    dialog->cmdTsBmDel_Click();
    EXPECT_TRUE(store::readClassNames(connection, store::ClassTable::Khclass).isEmpty());
    EXPECT_FALSE(del->isEnabled());
    list->addItem(u"ghost"_s);
    list->setCurrentRow(0);
    connection.exec("DROP TABLE khclass");
    dialog->cmdTsBmDel_Click();
    EXPECT_EQ(dialog->statusText(), u"数据共享冲突部门/类型删除失败!"_s);
}

TEST_F(Setup, OpeningRewritesAnOlderAutoStartEntryAndTheButtonSwitchesIt)
{
    QDir().mkpath(database.path(u"autostart"_s));
    database.write(u"autostart/natalis.desktop"_s,
        "[Desktop Entry]\nType=Application\nName=natalis\nExec=/opt/natalis/natalis natalis.mdb\n");
    open();
    EXPECT_TRUE(fileText(u"autostart/natalis.desktop"_s).contains(execLine(u"--tray "_s)));
    auto *run = control<QPushButton>("cmdRun");
    EXPECT_EQ(run->text(), u"关闭自动运行"_s);
    EXPECT_TRUE(control<QCheckBox>("chkRun")->isChecked());
    dialog->cmdRun_Click();
    EXPECT_FALSE(autoStart->IsAutoStartSet());
    EXPECT_EQ(run->text(), u"开启自动运行"_s);
    EXPECT_FALSE(control<QCheckBox>("chkRun")->isChecked());
    dialog->cmdRun_Click();
    EXPECT_TRUE(fileText(u"autostart/natalis.desktop"_s).contains(execLine(u"--tray "_s)));
    dialog->cmdRun_Click();
    QDir(database.path(u"autostart"_s)).removeRecursively();
    database.write(u"autostart"_s, "a file where the folder should be");
    dialog->cmdRun_Click();
    EXPECT_TRUE(dialog->statusText().startsWith(u"开启自动运行设置失败"));
    EXPECT_EQ(run->text(), u"开启自动运行"_s);
}

TEST_F(Setup, ShortcutOnceWithTheAbsoluteDatabasePathThenKept)
{
    open();
    const QString path = u"Desktop/青萍生日提醒软件v4.0.desktop"_s;
    dialog->cmdLnk_Click();
    EXPECT_EQ(dialog->statusText(), u"青萍生日提醒软件v4.0的快捷方式创建成功!"_s);
    EXPECT_TRUE(fileText(path).contains(execLine(QString()))) << fileText(path).toStdString();
    database.write(path, "kept");
    dialog->cmdLnk_Click();
    EXPECT_EQ(dialog->statusText(), u"青萍生日提醒软件v4.0的快捷方式已经存在!"_s);
    EXPECT_EQ(fileText(path), u"kept"_s);
}

TEST_F(Setup, NothingIsCutOffOnSmallScreens)
{
    frmSetup &dialog = open();
    auto *pages = dialog.findChild<QTabWidget *>(u"tabPages"_s);
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        for (const auto &screen : test::SmallScreens)
            EXPECT_EQ(test::widgetsOutsideWhenFitted(dialog, screen.room), QStringList())
                << screen.situation << ", page " << page;
    }
}

} // namespace
