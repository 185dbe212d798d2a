#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "desktop/musicplayer.h"
#include "dialogs/filechooser.h"
#include "dialogs/frmsetup.h"
#include "store/cardsync.h"
#include "store/classtables.h"
#include "store/settings.h"
#include "store/syncstate.h"
#include "support/filedialoganswer.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"
#include "support/windowclipping.h"
#include "sync/cardservice.h"
#include "sync/credentials.h"
#include "sync/serveraccounts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

// The database is named relative to the folder the program was started in, as a user may; the
// autostart entry and the desktop shortcut record it absolute.
class Setup : public testing::Test, public desktop::MusicPlayer
{
protected:
    Setup() : previousFolder(QDir::currentPath()), connection(database.create())
    {
        QDir::setCurrent(database.folder());
        settings = std::get<store::SettingsRecord>(store::ReadSettings(connection));
    }
    ~Setup() override { QDir::setCurrent(previousFolder); }

    dialogs::frmSetup &open()
    {
        dialog = std::make_unique<dialogs::frmSetup>(settings,
            dialogs::frmSetup::Services { connection, messages, this, *autoStart, *shortcut,
                u"/opt/natalis/natalis"_s, u"natalis.mdb"_s, 1,
                [this](QDialog &d) {
                    test::answerFileDialog(d, QDir(database.folder()).filePath(musicName));
                },
                accounts.get(), {}, resolveDeletions });
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
    std::unique_ptr<desktop::AutoStart> autoStart =
        desktop::createXdgAutoStart(database.path(u"autostart"_s));
    std::unique_ptr<desktop::DesktopShortcut> shortcut =
        desktop::createDesktopShortcut(database.path(u"Desktop"_s));
    store::SettingsRecord settings;
    test::RecordingMessageSink messages;
    QStringList played;
    QString musicName;
    std::shared_ptr<sync::PasswordStore> passwords;
    std::unique_ptr<sync::ServerAccounts> accounts;
    std::function<void(sync::DeletionChoice)> resolveDeletions;
    std::unique_ptr<dialogs::frmSetup> dialog;
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

// The text boxes of both sync pages and the settings they are kept under.
const struct
{
    const char *control;
    QStringView key;
    QString value;
} SyncBoxes[] = {
    { "txtServer", store::SyncServerKey, u"https://cal.example.com/"_s },
    { "txtUser", store::SyncUserKey, u"alice"_s },
    { "txtCalendar", store::SyncCalendarKey, u"家里"_s },
    { "txtCardServer", store::SyncCardServerKey, u"https://dav.example.com/"_s },
    { "txtCardUser", store::SyncCardUserKey, u"bob"_s },
    { "txtAddressBook", store::SyncAddressBookKey, u"亲友"_s },
};

// Run inside a keyring of the test's own (tests/support/with_keyring.sh).
TEST_F(Setup, SyncPagesKeepTheirChoicesAndThePasswordsInTheKeyring)
{
    passwords = std::make_shared<sync::KeychainPasswordStore>();
    accounts = std::make_unique<sync::ServerAccounts>(passwords);
    open();
    for (const auto &box : SyncBoxes)
        control<QLineEdit>(box.control)->setText(box.value);
    control<QLineEdit>("txtPassword")->setText(u"密码 1"_s);
    control<QLineEdit>("txtCardPassword")->setText(u"密码 2"_s);
    control<QComboBox>("cboCardCategory")->setCurrentText(u"家人"_s);
    control<QSpinBox>("spnYears")->setValue(5);
    control<QCheckBox>("chkSyncFestivals")->setChecked(true);
    dialog->cmdOK_Click();
    for (const auto &box : SyncBoxes)
        EXPECT_EQ(store::readSyncSetting(connection, box.key), box.value) << box.control;
    EXPECT_EQ(store::readSyncSetting(connection, store::SyncCardCategoryKey), u"家人"_s);
    EXPECT_EQ(store::readSyncSetting(connection, store::SyncYearsKey), u"5"_s);
    EXPECT_EQ(store::readSyncSetting(connection, store::SyncFestivalsKey), u"1"_s);
    // The passwords are written on a worker; the keyring has them within moments.
    const auto kept = [this](const QString &user, const QString &host) {
        std::optional<QString> password;
        for (int tries = 0; tries < 100 && !password; ++tries, QTest::qWait(50))
            password = passwords->read(sync::passwordAccount(user, host), nullptr);
        return password;
    };
    EXPECT_EQ(kept(u"alice"_s, u"cal.example.com"_s), u"密码 1"_s);
    EXPECT_EQ(kept(u"bob"_s, u"dav.example.com"_s), u"密码 2"_s);

    open();
    for (const auto &box : SyncBoxes)
        EXPECT_EQ(control<QLineEdit>(box.control)->text(), box.value) << box.control;
    EXPECT_EQ(control<QComboBox>("cboCardCategory")->currentText(), u"家人"_s);
    EXPECT_EQ(control<QSpinBox>("spnYears")->value(), 5);
    EXPECT_TRUE(control<QCheckBox>("chkSyncFestivals")->isChecked());
}

// A sync that held deletions back left its count and its text: the address-book page asks, and
// the answer runs the sync with it.
TEST_F(Setup, HeldDeletionsAreAskedAboutAndTheAnswerRunsTheSync)
{
    using enum sync::DeletionChoice;
    const std::tuple<const char *, const char *, std::optional<sync::DeletionChoice>> rows[] = {
        { "nothing held", nullptr, std::nullopt },
        { "held, put back", "cmdRestoreServer", RestoreServer },
        { "held, deleted here too", "cmdAcceptDeletions", AcceptDeletions },
    };
    const QString asked = u"服务器上的通讯录已被删除或清空, 本机的8个生日未删除。请选择: …"_s;
    // A later sync that could not reach the server does not take the question's words away.
    store::writeSyncSetting(connection, store::SyncCardLastResultKey, u"服务器无法连接"_s);
    for (const auto &[situation, button, expected] : rows) {
        store::writeSyncSetting(connection, sync::CardDeletionsHeldKey, button ? asked : u""_s);
        std::optional<sync::DeletionChoice> chosen;
        resolveDeletions = [&chosen](sync::DeletionChoice choice) { chosen = choice; };
        open();
        const QLabel *question = control<QLabel>("lblDeletionsHeld");
        ASSERT_EQ(question && question->text() == asked, button != nullptr) << situation;
        if (button)
            control<QPushButton>(button)->click();
        EXPECT_EQ(chosen, expected) << situation;
    }
}

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
    dialogs::frmSetup &dialog = open();
    auto *pages = dialog.findChild<QTabWidget *>(u"tabPages"_s);
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        for (const auto &screen : test::SmallScreens)
            EXPECT_EQ(test::widgetsOutsideWhenFitted(dialog, screen.room), QStringList())
                << screen.situation << ", page " << page;
    }
}

} // namespace
