// Renders the windows with sample birthdays into PNG files, so that a change to a window can be
// looked at without clicking through the program. Dev-only; see tools/screenshots.sh.

#include "app/application.h"
#include "app/frmget.h"
#include "app/smspanel.h"
#include "calendar/datetext.h"
#include "calendar/lunarconversion.h"
#include "calendar_ui/frmindate.h"
#include "calendar_ui/frmindate1.h"
#include "calendar_ui/frmwnl.h"
#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "desktop/frmnotify.h"
#include "desktop/musicplayer.h"
#include "dialogs/frmaddedit.h"
#include "dialogs/frmbackup.h"
#include "dialogs/frmcontent.h"
#include "dialogs/frmdxhist.h"
#include "dialogs/frmdxsetup.h"
#include "dialogs/frmfilein.h"
#include "dialogs/frmhappen.h"
#include "dialogs/frmsetup.h"
#include "dialogs/frmverselect.h"
#include "platform/clock.h"
#include "platform/messagesink.h"
#include "session/appcontext.h"
#include "session/qttranslations.h"
#include "session/smsgatewayprocess.h"
#include "session/startup.h"
#include "sms/gatewayaddress.h"
#include "sms/httpsmsgateway.h"
#include "sms/smsdispatch.h"
#include "store/birthdayrecord.h"
#include "store/cardsync.h"
#include "store/classtables.h"
#include "store/database.h"
#include "store/syncstate.h"
#include "sync/credentials.h"
#include "sync/serveraccounts.h"
#include "transfer/birthline.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/vcardimport.h"
#include "widgets/screenfit.h"
#include "widgets/skincolors.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStringEncoder>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

using namespace natalis;

namespace {

class SilentMessages : public platform::MessageSink
{
public:
    platform::MessageButton show(
        const QString &, const QString &, platform::MessageIcon, platform::MessageButtons) override
    {
        return platform::MessageButton::Ok;
    }
};

store::BirthdayRecord sample(qint32 id, const QString &name, const QString &type,
    const QString &tel, const QString &gl, const QString &nl, bool lunar,
    const QString &remark = {})
{
    store::BirthdayRecord r;
    r.Id = id;
    r.About = name;
    r.Type = type;
    r.Tel = tel;
    r.Beizhu = remark;
    r.strGL = gl;
    r.strNL = nl;
    r.blnIsGL = lunar ? QStringLiteral("按农历提醒") : QStringLiteral("按公历提醒");
    r.intNums = 7;
    r.Duanxin = QStringLiteral("否");
    r.Sex = QStringLiteral("男");
    return r;
}

QList<store::BirthdayRecord> samples()
{
    return {
        sample(1, QStringLiteral("李四"), QStringLiteral("同事"), QStringLiteral("13812345678"),
            QStringLiteral("公历1975年 03月15日"), QStringLiteral("农历1975年 02月03日"), false,
            QStringLiteral("财务部")),
        sample(2, QStringLiteral("赵六"), QStringLiteral("同事"), QStringLiteral("13700000000"),
            QStringLiteral("公历1982年 12月08日"), QStringLiteral("农历1982年 10月24日"), false),
        sample(3, QStringLiteral("王'小明"), QStringLiteral("同事"), QStringLiteral("057188886666"),
            QStringLiteral("公历1990年 12月10日"), QStringLiteral("农历1990年 10月24日"), false,
            QStringLiteral("老同学，喜欢喝茶")),
        sample(4, QStringLiteral("妈妈生日"), QStringLiteral("同事"), QString(),
            QStringLiteral("公历1950年 12月09日"), QStringLiteral("农历1950年 10月30日"), true),
    };
}

// A few logged sends of different kinds, accounts and outcomes, the last with a long text.
void logSampleSends(store::Connection &db, const sms::SmsAccountTable &accounts,
    const store::SettingsRecord &settings)
{
    sms::HttpSmsGateway unused { QString() }; // logging alone never calls the gateway
    struct Send
    {
        QDateTime at;
        QString type, names, numbers;
        int count;
        QString text;
        int charged;
        QString account, schedule, status, reason;
    };
    const QString wish = QStringLiteral("祝你生日快乐，天天开心！");
    const Send sends[] = {
        { QDateTime(QDate(2026, 12, 1), QTime(9, 15)), sms::BirthdaySmsType.toString(),
            QStringLiteral("赵六"), QStringLiteral("13700000000"), 1,
            wish + QStringLiteral("【青萍】"), 1, QStringLiteral("natalis-app"),
            QStringLiteral("2026年12月08日08时00分"), sms::SentStatus.toString(), {} },
        { QDateTime(QDate(2026, 12, 3), QTime(14, 2)), sms::ImmediateSmsType.toString(),
            QStringLiteral("李四,王'小明,"), QStringLiteral("13812345678,13912345678,13600000000"),
            3, wish, 3, QStringLiteral("13800000000"), {}, sms::SentStatus.toString(), {} },
        { QDateTime(QDate(2026, 12, 5), QTime(18, 40)), sms::ScheduledSmsType.toString(),
            QStringLiteral("李四"), QStringLiteral("13812345678"), 1, wish, 0,
            QStringLiteral("13800000000"), QStringLiteral("2026年12月05日08时00分"),
            sms::FailedStatus.toString(), QStringLiteral("预约时间不合适") },
        { QDateTime(QDate(2026, 12, 6), QTime(8, 30)), sms::ImmediateSmsType.toString(),
            QStringLiteral("李四,赵六"), QStringLiteral("13812345678,13700000000"), 2,
            QStringLiteral("年终聚会通知啦：") + wish.repeated(16), 0,
            QStringLiteral("13800000000"), {}, sms::NetworkFailureStatus.toString(), {} },
    };
    for (const Send &send : sends) {
        const sms::SmsSendContext context { db, unused, settings, accounts, QStringLiteral("PC-1"),
            send.at };
        sms::SaveSmsHistory(context, send.type, send.names, send.numbers, send.count, send.text,
            send.charged, send.account, send.schedule, send.status, send.reason);
    }
}

// Saves the window's picture; a window that does not fit the screen's available area counts as
// a failure, since part of it could not be reached.
bool save(QWidget &widget, const QString &file)
{
    // A window refitted to the screen is laid out anew in later turns of the event loop.
    for (int turn = 0; turn < 3; ++turn)
        QApplication::processEvents();
    const bool saved = widget.grab().save(file);
    const QRect available = widget.screen()->availableGeometry();
    const bool fits = available.contains(widget.frameGeometry());
    std::printf("%s %s %dx%d%s\n", saved ? "wrote" : "FAILED", qPrintable(file), widget.width(),
        widget.height(), fits ? "" : " OFF-SCREEN");
    return saved && fits;
}

// The main window with the SMS panel folded out, a few recipients ticked and a text typed.
bool saveSmsPanel(app::frmGet &window, session::AppContext &context, const QString &folder)
{
    window.findChild<QAction *>(QStringLiteral("mnuHf1"))->trigger();
    context.SmsAccounts[0] = { QStringLiteral("qingping"), QStringLiteral("1") };
    window.smsPanel().AlterGetCboUser();
    window.cmdDuanxin_Click();
    window.chkTypeSel_Click(true);
    for (const QString &number : { QStringLiteral("13912345678"), QStringLiteral("02187654321") }) {
        window.findChild<QLineEdit *>(QStringLiteral("txtTmp"))->setText(number);
        window.smsPanel().cmdTmpAdd_Click();
    }
    window.findChild<QPlainTextEdit *>(QStringLiteral("txtContent"))
        ->setPlainText(QStringLiteral("元旦快乐！感谢您一年来的支持，祝您新年万事如意。"));
    const QDate newYearsEve(2026, 12, 31);
    window.findChild<QLineEdit *>(QStringLiteral("txtYyGL"))
        ->setText(calendar::gregorianText(newYearsEve));
    window.findChild<QLineEdit *>(QStringLiteral("txtYyNl"))
        ->setText(calendar::lunarText(*calendar::solarToLunar(newYearsEve)));
    window.smsPanel().ProcTelSelect();
    const bool saved = save(window, folder + QStringLiteral("/main-smspanel.png"));
    window.Image2_Click();
    return saved;
}

// The main window in every skin, with the SMS panel, the search and the upcoming birthdays;
// the calendar, the date pickers and the reminder windows.
bool saveProgramWindows(app::Application &program, session::AppContext &context,
    const platform::Clock &clock, const QString &folder)
{
    bool ok = true;
    app::frmGet &window = program.window();
    for (int skin = widgets::SkinCount; skin >= widgets::FollowSystemSkin; --skin) {
        window.findChild<QAction *>(QStringLiteral("mnuHf%1").arg(skin))->trigger();
        ok &= save(window, QStringLiteral("%1/main-skin%2.png").arg(folder).arg(skin));
    }
    ok &= saveSmsPanel(window, context, folder);
    // The search's hits from every list, and the birthdays of the coming 30 days.
    auto *search = window.findChild<QLineEdit *>(QStringLiteral("txtSearch"));
    search->setText(QStringLiteral("w"));
    ok &= save(window, folder + QStringLiteral("/main-search.png"));
    search->clear();
    auto *tabs = window.findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    tabs->setCurrentIndex(app::frmGet::UpcomingTab);
    ok &= save(window, folder + QStringLiteral("/main-upcoming.png"));
    tabs->setCurrentIndex(0);
    program.openCalendar(true);
    ok &= save(*program.calendarWindow(), folder + QStringLiteral("/wnl.png"));
    program.calendarWindow()->close();
    window.show();
    const QDate today = clock.now().date();
    calendar_ui::frmInDate gregorianPicker(1, today, QStringLiteral("公历2026年 12月06日"));
    gregorianPicker.show();
    ok &= save(gregorianPicker, folder + QStringLiteral("/indate.png"));
    calendar_ui::frmInDate1 lunarPicker(1, today, QStringLiteral("农历2006年闰07月15日"));
    lunarPicker.show();
    ok &= save(lunarPicker, folder + QStringLiteral("/indate1.png"));
    QMessageBox question(QMessageBox::Question, session::AppTitle.toString(),
        QStringLiteral("确认删除所选择的2个生日提醒吗?"), QMessageBox::Yes | QMessageBox::No);
    question.show();
    ok &= save(question, folder + QStringLiteral("/question.png"));
    if (desktop::frmNotify *notify = program.floatingWindow()) {
        for (int i = 0; i < 60; ++i)
            notify->scrollTick();
        ok &= save(*notify, folder + QStringLiteral("/floating.png"));
    }
    dialogs::frmHappen happen(
        QStringLiteral("公历2026年12月06日"), program.loop().TodayNotifyText(), 1);
    happen.show();
    ok &= save(happen, folder + QStringLiteral("/happen.png"));
    dialogs::frmContent content(QStringLiteral("公历2026年12月08日"),
        QStringLiteral("赵六\t同事\t13700000000\t\t公历1982年 12月08日\t7\t否\t男"
                       "\r\n大雪\r\n"),
        1);
    content.show();
    ok &= save(content, folder + QStringLiteral("/content.png"));
    return ok;
}

// The settings window on its general, calendar-sync and address-book pages.
bool saveSetup(store::Connection &db, session::AppContext &context, platform::MessageSink &messages,
    const QTemporaryDir &scratch, const QString &folder)
{
    bool ok = true;
    store::ChangeClassTable(db, 1, 1, QStringLiteral("财务部"));
    store::ChangeClassTable(db, 1, 1, QStringLiteral("市场营销部"));
    const auto autoStart =
        desktop::createXdgAutoStart(scratch.filePath(QStringLiteral("autostart")));
    const auto shortcut =
        desktop::createDesktopShortcut(scratch.filePath(QStringLiteral("Desktop")));
    dialogs::frmSetup setup(context.Settings,
        { db, messages, nullptr, *autoStart, *shortcut, QStringLiteral("/opt/natalis/natalis"),
            scratch.filePath(QStringLiteral("natalis.mdb")), 1, {} });
    setup.findChild<QCheckBox *>(QStringLiteral("chkMusic"))->setChecked(true);
    setup.show();
    ok &= save(setup, folder + QStringLiteral("/setup.png"));
    store::writeSyncSetting(db, store::SyncServerKey, QStringLiteral("https://cloud.example.com/"));
    store::writeSyncSetting(db, store::SyncUserKey, QStringLiteral("zhangsan"));
    store::writeSyncSetting(db, store::SyncCalendarKey, QStringLiteral("生日提醒"));
    store::writeSyncSetting(db, store::SyncLastTimeKey, QStringLiteral("2026-12-07T09:00:05"));
    store::writeSyncSetting(db, store::SyncLastResultKey, QStringLiteral("新增0, 更新2, 删除0"));
    dialogs::frmSetup syncSetup(context.Settings,
        { db, messages, nullptr, *autoStart, *shortcut, QStringLiteral("/opt/natalis/natalis"),
            scratch.filePath(QStringLiteral("natalis.mdb")), 1, {} });
    syncSetup.findChild<QTabWidget *>(QStringLiteral("tabPages"))->setCurrentIndex(1);
    syncSetup.show();
    ok &= save(syncSetup, folder + QStringLiteral("/setup-sync.png"));
    store::writeSyncSetting(
        db, store::SyncCardServerKey, QStringLiteral("https://cloud.example.com/"));
    store::writeSyncSetting(db, store::SyncCardUserKey, QStringLiteral("zhangsan"));
    store::writeSyncSetting(db, store::SyncAddressBookKey, QStringLiteral("生日"));
    store::writeSyncSetting(db, store::SyncCardCategoryKey, QStringLiteral("客户"));
    store::writeSyncSetting(db, store::SyncCardLastTimeKey, QStringLiteral("2026-12-07T09:00:03"));
    store::writeSyncSetting(db, store::SyncCardLastResultKey, QStringLiteral("上传1, 下载3"));
    sync::ServerAccounts accounts(
        std::make_shared<sync::FilePasswordStore>(scratch.filePath(QStringLiteral("password"))));
    dialogs::frmSetup cardSetup(context.Settings,
        { db, messages, nullptr, *autoStart, *shortcut, QStringLiteral("/opt/natalis/natalis"),
            scratch.filePath(QStringLiteral("natalis.mdb")), 1, {}, &accounts, [] {} });
    cardSetup.findChild<QTabWidget *>(QStringLiteral("tabPages"))->setCurrentIndex(2);
    cardSetup.show();
    ok &= save(cardSetup, folder + QStringLiteral("/setup-cardsync.png"));
    return ok;
}

// The choice of an old version's file and the list of backups.
bool saveFileChoices(const QString &folder)
{
    bool ok = true;
    dialogs::frmVerSelect version;
    version.show();
    ok &= save(version, folder + QStringLiteral("/verselect.png"));

    const QDateTime taken(QDate(2026, 3, 31), QTime(0, 0));
    dialogs::frmBackup backups(
        { { QStringLiteral("natalis-2026-03-31-140509.mdb"), taken.addSecs(14 * 3600 + 5 * 60 + 9),
              2'473'984, 6000 },
            { QStringLiteral("natalis-2026-03-31.mdb"), taken, 2'466'816, 5998 },
            { QStringLiteral("natalis-2026-03-30.mdb"), taken.addDays(-1), 2'461'696, 5990 },
            { QStringLiteral("natalis-2026-03-29.mdb"), taken.addDays(-2), 4096, -1 } },
        1);
    backups.show();
    ok &= save(backups, folder + QStringLiteral("/backup.png"));
    return ok;
}

// The import preview of a file of our own and of another program's sheet.
bool saveImportPreviews(store::Connection &db, const session::AppContext &context,
    const platform::Clock &clock, const QString &folder)
{
    bool ok = true;
    // Read as a file would be, so that the encoding and the report show.
    const QString lines = QStringLiteral(
        "张三\t同事\t13812345678\t老同学\t1976-2-25\t按公历提醒\t3\t是\t男\t财务部\r\n"
        "李四\t客户\t\t\t2006-闰7-15\t按农历提醒\t7\t否\t女\r\n"
        "李四\t同事\t13700000000\t\t2023-2-30\t按公历提醒\t20\t否\r\n");
    QStringEncoder toGbk("GBK");
    const QByteArray gbkBytes = toGbk.encode(lines);
    dialogs::frmFileIn preview(
        transfer::buildImportPreview(transfer::readImportBytes(gbkBytes,
                                         transfer::ImportLayout::Tab, QStringLiteral("list.txt")),
            context.Birthdays),
        transfer::ImportLayout::Tab, db, clock, 1);
    preview.findChild<QPushButton *>(QStringLiteral("cmdReport"))->setChecked(true);
    // A reader enables the encoding choice, as the import gives it.
    preview.setReader([](const dialogs::PreviewChoice &, widgets::WorkerProgress &) {
        return dialogs::PreviewReading {};
    });
    preview.show();
    ok &= save(preview, folder + QStringLiteral("/filein.png"));

    // A person's own sheet, as Outlook's Chinese export writes it, with Excel's damage.
    const QByteArray sheet = QStringLiteral("\uFEFF名,姓,生日,移动电话,类别,备注\r\n"
                                            "芳,王,1985/3/12,13912345678,家人,\"爱吃\r\n甜食\"\r\n"
                                            "伟,李,0/0/00,1.39123E+10,朋友,\r\n"
                                            "\"强,赵,3/7/1990,13700000000,同事,新同事\r\n")
                                 .toUtf8();
    dialogs::frmFileIn sheetPreview(
        transfer::buildImportPreview(transfer::readImportBytes(sheet, transfer::ImportLayout::Csv,
                                         QStringLiteral("联系人.csv")),
            context.Birthdays),
        transfer::ImportLayout::Csv, db, clock, 1);
    sheetPreview.findChild<QPushButton *>(QStringLiteral("cmdReport"))->setChecked(true);
    sheetPreview.show();
    ok &= save(sheetPreview, folder + QStringLiteral("/filein-csv.png"));
    return ok;
}

bool saveColumnMapping(store::Connection &db, const session::AppContext &context,
    const platform::Clock &clock, const QString &folder)
{
    bool ok = true;
    // A sheet whose titles name nothing natalis knows: it opens without rows, and the user maps
    // its columns in the boxes above the list.
    const QByteArray unknown = QStringLiteral("编号,称呼,出生,移动号码,说明\r\n"
                                              "1,王芳,1985-3-12,13912345678,表姐\r\n"
                                              "2,李伟,1990/7/3,13700000000,\r\n"
                                              "3,赵强,1979年8月1日,,老同学\r\n")
                                   .toUtf8();
    const auto readUnknown = [&](const dialogs::PreviewChoice &choice, widgets::WorkerProgress &) {
        transfer::ImportReadOptions options;
        options.columns = choice.columns;
        transfer::ImportReading reading = transfer::readImportBytes(
            unknown, transfer::ImportLayout::Csv, QStringLiteral("客户.csv"), options);
        reading.failure.reset();
        return dialogs::PreviewReading {
            transfer::buildImportPreview(std::move(reading), context.Birthdays), std::nullopt, false
        };
    };
    widgets::WorkerProgress firstRead;
    dialogs::PreviewReading unmapped = readUnknown({}, firstRead);
    dialogs::frmFileIn mapping(
        std::move(*unmapped.preview), transfer::ImportLayout::Csv, db, clock, 1);
    mapping.setReader(readUnknown);
    mapping.show();
    ok &= save(mapping, folder + QStringLiteral("/filein-unmapped.png"));
    // Each choice reads the sheet again on a worker; the picture is of the list it gives.
    for (const auto &[column, field] : { std::pair { 1, u"生日名称" }, { 2, u"公历生日" },
             { 3, u"联系方式" }, { 4, u"生日备注" } }) {
        mapping.chooseColumnField(column, transfer::sheetFieldNamed(field));
        while (mapping.isWorking())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    ok &= save(mapping, folder + QStringLiteral("/filein-mapping.png"));
    return ok;
}

bool saveContactsPreview(store::Connection &db, const session::AppContext &context,
    const platform::Clock &clock, const QString &folder)
{
    bool ok = true;
    // The preview of a phone's contacts, with the category of cards that name none.
    transfer::VcardImportReading cards = transfer::readVcardImportBytes(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:孙七\r\nTEL;TYPE=CELL:+86 138 0000 2222\r\n"
        "X-ALTBDAY;CALSCALE=chinese:007700370815\r\nORG:某公司\r\nEND:VCARD\r\n"
        "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:赵六\r\nBDAY:1985-04-12\r\nCATEGORIES:同事\r\n"
        "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:吴九\r\nEND:VCARD\r\n",
        QStringLiteral("contacts.vcf"));
    dialogs::frmFileIn contacts(
        transfer::buildImportPreview(cards.reading.records, context.Birthdays),
        transfer::ImportLayout::Vcf, db, clock, 1);
    contacts.offerCategoryChoice(
        transfer::DefaultVcardCategory.toString(), [&](const QString &category) {
            transfer::setVcardCategory(cards, category);
            return transfer::buildImportPreview(cards.reading.records, context.Birthdays);
        });
    contacts.addNote(transfer::withoutBirthdayText(cards.withoutBirthday));
    contacts.show();
    ok &= save(contacts, folder + QStringLiteral("/filein-vcf.png"));
    return ok;
}

bool saveEditors(const QString &folder, const QDate &today)
{
    bool ok = true;
    // The birthday editor in its three modes.
    store::BirthdayEdit adding;
    adding.Type = QStringLiteral("同事");
    store::BirthdayEdit editing = adding;
    editing.About = QStringLiteral("王'小明");
    editing.Tel = QStringLiteral("13912345678");
    editing.Beizhu = QStringLiteral("老同学，喜欢喝茶");
    editing.strGL = QStringLiteral("公历2006年 09月07日");
    editing.strNL = QStringLiteral("农历2006年闰07月15日");
    editing.IsGL = false;
    editing.Class = QStringLiteral("销售部");
    // A 忌日 kept by a lunar leap month without a year, reminded only in years with that month.
    store::BirthdayEdit memorial = adding;
    memorial.About = QStringLiteral("奶奶");
    memorial.Kind = QStringLiteral("忌日");
    memorial.strNL = QStringLiteral("农历0000年闰06月01日");
    memorial.IsGL = false;
    memorial.LeapRule = QStringLiteral("跳过");
    memorial.Days = QStringLiteral("3,0");
    store::BirthdayEdit anniversary = adding;
    anniversary.About = QStringLiteral("结婚");
    anniversary.Kind = QStringLiteral("纪念日");
    anniversary.strGL = QStringLiteral("公历2016年 10月01日");
    anniversary.strNL = QStringLiteral("农历2016年 09月01日");
    anniversary.Days = QStringLiteral("7,1,0");
    store::BirthdayEdit several = adding;
    const std::pair<store::BirthdayEdit *, bool> modes[] = { { &adding, false },
        { &editing, false }, { &memorial, false }, { &anniversary, false }, { &several, true } };
    const char *names[] = { "editor-add", "editor-edit", "editor-memorial", "editor-anniversary",
        "editor-batch" };
    for (int i = 0; i < 5; ++i) {
        dialogs::frmAddEdit::Setup editorSetup;
        editorSetup.IsBatchEdit = modes[i].second;
        editorSetup.today = today;
        editorSetup.classNames = { QStringLiteral("销售部"), QStringLiteral("财务部") };
        dialogs::frmAddEdit editor(*modes[i].first, editorSetup);
        editor.show();
        ok &= save(editor, QStringLiteral("%1/%2.png").arg(folder, QString::fromLatin1(names[i])));
    }
    return ok;
}

bool saveSmsWindows(store::Connection &db, session::AppContext &context,
    platform::MessageSink &messages, const platform::Clock &clock, const QString &folder)
{
    bool ok = true;
    // The SMS settings with both accounts registered and one greeting on.
    sms::SmsAccountTable smsAccounts = { sms::SmsAccount {
                                             QStringLiteral("13800000000"), QStringLiteral("1") },
        sms::SmsAccount { QStringLiteral("natalis-app"), QStringLiteral("1") } };
    store::SettingsRecord smsSettings = context.Settings;
    smsSettings.DxTxFlags[6] = QStringLiteral("1");
    smsSettings.DxTxUser[6] = QStringLiteral("natalis-app[应用]");
    smsSettings.DxTxTqDays[6] = 1;
    smsSettings.DxTxContent[6] = QStringLiteral("祝你生日快乐，天天开心！");
    smsSettings.DxYyTail = QStringLiteral("青萍");
    sms::saveGatewayAddress(db, QStringLiteral("http://127.0.0.1:8787"));
    dialogs::frmDxSetup dxSetup({ db, messages, smsSettings, smsAccounts, QStringLiteral("PC-1"),
        session::processSmsGateway(context), 1 });
    dxSetup.show();
    ok &= save(dxSetup, folder + QStringLiteral("/dxsetup.png"));
    // An address the client cannot use is refused before anything is saved.
    dxSetup.findChild<QLineEdit *>(QStringLiteral("txtDxGateway"))
        ->setText(QStringLiteral("ftp://192.168.1.20/sms"));
    dxSetup.cmdOK_Click();
    ok &= save(dxSetup, folder + QStringLiteral("/dxsetup_scheme.png"));

    logSampleSends(db, smsAccounts, smsSettings);
    dialogs::frmDxHist history({ db, smsAccounts, clock, QStringLiteral("PC-1"), 1 });
    history.pickDate = [](QWidget *, QString &gl, QString &) {
        gl = QStringLiteral("公历2026年 12月07日");
        return true;
    };
    history.findChild<QRadioButton *>(QStringLiteral("optEnd_1"))->setChecked(true);
    history.txtEnd_Click();
    history.cmdQuery_Click();
    history.show();
    ok &= save(history, folder + QStringLiteral("/dxhist.png"));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    session::installQtTranslations(application);
    widgets::keepWindowsOnScreen(application);
    const QStringList arguments = QApplication::arguments();
    // A dark desktop's stand-in: Fusion draws a dark palette whatever the platform's theme.
    if (arguments.contains(QStringLiteral("--dark"))) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(widgets::darkPalette());
    }
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);

    session::AppContext context;
    context.Birthdays = samples();
    context.HasBirthdays = true;
    context.Settings.intFudong = 1;
    context.Settings.intFdInit = 1;
    SilentMessages messages;
    platform::FixedClock clock(QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
    app::Application program(context, messages, clock, nullptr);
    program.window().show();
    bool ok = saveProgramWindows(program, context, clock, folder);

    // The settings and import windows, over a scratch database and folder.
    QTemporaryDir scratch;
    std::optional<store::Connection> db =
        store::OpenBirthDb(scratch.filePath(QStringLiteral("natalis.mdb")));
    if (!db)
        return 1;
    ok &= saveSetup(*db, context, messages, scratch, folder);
    ok &= saveFileChoices(folder);
    ok &= saveImportPreviews(*db, context, clock, folder);
    ok &= saveColumnMapping(*db, context, clock, folder);
    ok &= saveContactsPreview(*db, context, clock, folder);
    ok &= saveEditors(folder, clock.now().date());
    ok &= saveSmsWindows(*db, context, messages, clock, folder);
    return ok ? 0 : 1;
}
