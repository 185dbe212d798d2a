#include "platform/clock.h"
#include "dialogs/frmfilein.h"
#include "app/frmget.h"
#include "dialogs/frmmydlg1.h"
#include "desktop/musicplayer.h"
#include "app/phoneactions.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

// Two cards with a birthday (one naming its category) and one without.
const QByteArray Contacts = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:张三\r\nTEL;TYPE=CELL:+86 138 0013 "
                            "8000\r\nBDAY:1980-05-12\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:李四\r\nBDAY:19900131\r\n"
                            "CATEGORIES:同事\r\nEND:VCARD\r\n"
                            "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:王五\r\nEND:VCARD\r\n";

class PhoneFiles : public testing::Test
{
protected:
    PhoneFiles()
    {
        context.DbConnection.emplace(database.create());
        context.DbPath = database.path();
    }

    ModalRunner runner()
    {
        return [this](QDialog &dialog) {
            if (auto *chooser = qobject_cast<frmMyDlg1 *>(&dialog)) {
                chooserTitles << chooser->windowTitle();
                chooser->setFolder(database.folder());
                chooser->setFileName(fileName);
                chooser->cmdOK_Click();
            } else if (auto *preview = qobject_cast<frmFileIn *>(&dialog)) {
                previewStatus = preview->statusText();
                if (!category.isEmpty())
                    preview->selectCategory(category);
                counts = preview->findChild<QLabel *>(u"lblInAllNums"_s)->text() + u'/'
                    + preview->findChild<QLabel *>(u"lblInValidNums"_s)->text();
                shownCategory = preview->findChild<QComboBox *>(u"cboType"_s)->currentText();
                preview->cmdOK_Click();
            }
        };
    }

    StatusSink statusSink()
    {
        return [this](const QString &text) { status = text; };
    }

    QStringList storedNames()
    {
        QStringList names;
        const store::BirthdayLoad load = store::LoadBirthdays(*context.DbConnection);
        for (const store::BirthdayRecord &b : load.Birthdays) {
            if (load.HasBirthdays)
                names << b.About.trimmed() + u'/' + b.Type.trimmed() + u'/' + b.Tel.trimmed();
        }
        names.sort();
        return names;
    }

    test::TempDatabase database;
    AppContext context;
    test::RecordingMessageSink messages;
    QString fileName = u"contacts.vcf"_s;
    QString category;
    QStringList chooserTitles;
    QString previewStatus, counts, shownCategory, status;
};

TEST_F(PhoneFiles, ContactsImportWithTheChosenCategory)
{
    database.write(fileName, Contacts);
    category = u"家人"_s;
    EXPECT_TRUE(RunVcfImport(nullptr, context, messages, statusSink(), runner()));
    EXPECT_EQ(chooserTitles, QStringList { u"从手机通讯录导入(*.vcf)"_s });
    EXPECT_EQ(previewStatus, u"1张名片没有生日,未导入:王五"_s);
    EXPECT_EQ(shownCategory, u"家人"_s);
    EXPECT_EQ(counts, u"2/2"_s);
    EXPECT_EQ(storedNames(), (QStringList { u"张三/家人/13800138000"_s, u"李四/同事/"_s }));
    EXPECT_EQ(status, u"从手机通讯录导入(*.vcf),成功导入2条生日提醒!"_s);
}

TEST_F(PhoneFiles, PreviewTicksFollowTheChosenCategory)
{
    store::BirthdayRecord present = test::gregorianBirthday(u"张三"_s, u"公历1980年 05月12日"_s);
    present.Type = u"家人"_s;
    ASSERT_GT(store::AddBirthToMdb(*context.DbConnection, present), 0);
    const store::BirthdayLoad load = store::LoadBirthdays(*context.DbConnection);
    context.Birthdays = load.Birthdays;
    context.HasBirthdays = true;
    database.write(fileName, Contacts);
    category = u"家人"_s; // 张三 is in 家人 already
    EXPECT_TRUE(RunVcfImport(nullptr, context, messages, statusSink(), runner()));
    EXPECT_EQ(counts, u"2/1"_s);
}

TEST_F(PhoneFiles, CalendarOfTheClocksYearWithFestivalsWhenAsked)
{
    store::BirthdayRecord lunar = test::lunarBirthday(u"张三"_s, u"农历1960年 08月15日"_s);
    lunar.Id = 7;
    context.Birthdays = { lunar };
    context.HasBirthdays = true;
    fileName = u"phone"_s; // the chooser completes the extension
    messages.answer = MessageButton::Yes;
    RunIcsExport(nullptr, context, messages, statusSink(),
        QDateTime(QDate(2025, 6, 1), QTime(8, 0)), runner());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    QFile file(database.path(u"phone.ics"_s));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray ics = file.readAll();
    EXPECT_TRUE(ics.contains("UID:7-2025@natalis.invalid\r\nDTSTAMP:"));
    EXPECT_TRUE(ics.contains("DTSTART;VALUE=DATE:20251006\r\n"));
    EXPECT_TRUE(ics.contains("UID:7-2044@natalis.invalid\r\n"));
    EXPECT_FALSE(ics.contains("UID:7-2045@natalis.invalid\r\n"));
    EXPECT_TRUE(ics.contains(u"SUMMARY:中秋节\r\n"_s.toUtf8()));
    EXPECT_TRUE(status.startsWith(u"生日成功导出到"_s));
}

TEST_F(PhoneFiles, ContactsExportAsksBeforeReplacing)
{
    context.Birthdays = { test::gregorianBirthday(u"张三"_s, u"公历1980年 05月12日"_s) };
    context.HasBirthdays = true;
    database.write(fileName, "old");
    messages.answer = MessageButton::Cancel;
    RunVcfExport(nullptr, context, messages, statusSink(), runner());
    EXPECT_EQ(database.bytes(fileName), QByteArray("old"));
    messages.answer = MessageButton::Ok;
    RunVcfExport(nullptr, context, messages, statusSink(), runner());
    EXPECT_TRUE(database.bytes(fileName).contains(u"FN:张三\r\n"_s.toUtf8()));
    EXPECT_EQ(chooserTitles.last(), u"导出到手机通讯录(*.vcf)"_s);
}

TEST_F(PhoneFiles, ChooserWantsTheFilesExtension)
{
    PickedFile picked { u"导出到手机日历(*.ics)"_s, IcsFileFilter, false };
    frmMyDlg1 chooser(picked, nullptr, database.folder());
    chooser.setFileName(u"phone.txt"_s);
    chooser.cmdOK_Click();
    EXPECT_FALSE(picked.PickedFileOk);
    EXPECT_EQ(chooser.statusText(), u"必须指定日历文件(*.ics)!"_s);
}

TEST_F(PhoneFiles, MainWindowMenuRunsTheContactsImport)
{
    database.write(fileName, Contacts);
    FixedClock clock { QDateTime(QDate(2025, 5, 1), QTime(8, 0)) };
    frmGet window(context, messages, clock, nullptr);
    window.load();
    window.runDialog = runner();
    for (const char *name : { "mnuIcsOut", "mnuVcfOut" })
        EXPECT_NE(window.findChild<QAction *>(QString::fromLatin1(name)), nullptr) << name;
    auto *import = window.findChild<QAction *>(u"mnuVcfAddIn"_s);
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->text(), u"从手机通讯录导入(*.vcf)"_s);
    import->trigger();
    EXPECT_EQ(context.Birthdays.size(), 2);
    EXPECT_EQ(window.statusText(1), u"从手机通讯录导入(*.vcf),成功导入2条生日提醒!"_s);
}

} // namespace
