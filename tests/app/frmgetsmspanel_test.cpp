#include "session/appcontext.h"
#include "app/birthdaylistmodel.h"
#include "platform/clock.h"
#include "dialogs/frmdxhist.h"
#include "app/frmget.h"
#include "desktop/musicplayer.h"
#include "session/startup.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "store/birthdays.h"
#include "store/transaction.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/smshistoryrows.h"
#include "support/tempdatabase.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

constexpr int Colleagues = 0;
constexpr int Customers = 1;

// The main window over a database of colleagues (mobile numbers) and customers (PHS numbers),
// with the customer account registered at a gateway simulator and a fixed clock.
class SmsPanel : public testing::Test
{
protected:
    SmsPanel()
    {
        simulator.start();
        simulator.setAccount(
            u"shop"_s, { u"0123456789"_s, 100, true, sms::RegistrationKey(u"PC-1"_s) });
        context.DbConnection = database.create();
        sms::SaveGatewayAddress(*context.DbConnection, simulator.baseAddress());
        context.SmsAccounts[0] = { u"shop"_s, u"1"_s };
        context.ComputerName = u"PC-1"_s;
        context.DbPath = database.path();
    }

    void addBirthdays(int colleagues, const QStringList &customerNumbers)
    {
        store::Transaction transaction(*context.DbConnection);
        for (int i = 0; i < colleagues; ++i)
            addBirthday(u"同事%1"_s.arg(i, 3, 10, QChar(u'0')), u"同事"_s,
                u"138%1"_s.arg(i, 8, 10, QChar(u'0')));
        for (int i = 0; i < customerNumbers.size(); ++i)
            addBirthday(u"客户%1"_s.arg(i), u"客户"_s, customerNumbers[i]);
        transaction.commit();
    }

    void addBirthday(const QString &name, const QString &type, const QString &tel)
    {
        store::BirthdayRecord record =
            natalis::test::gregorianBirthday(name, u"公历1980年 03月15日"_s, 3);
        record.Type = type;
        record.Tel = tel;
        store::AddBirthToMdb(*context.DbConnection, record);
    }

    frmGet &open()
    {
        reloadBirthdays(context, messages);
        context.Settings.intFudong = 0;
        window = std::make_unique<frmGet>(context, messages, clock, nullptr);
        window->load();
        return *window;
    }

    // The panel open, every entry ticked and the text typed.
    frmGet &readyToSend(int colleagues, const QStringList &customerNumbers, const QString &text)
    {
        addBirthdays(colleagues, customerNumbers);
        open().cmdDuanxin_Click();
        tickAll(Colleagues);
        tickAll(Customers);
        type(text);
        return *window;
    }

    template<typename T>
    T *control(const QString &name)
    {
        T *widget = window->findChild<T *>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    QString labelText(const QString &name) { return control<QLabel>(name)->text(); }
    QPushButton *send(int index) { return control<QPushButton>(u"cmdSend_%1"_s.arg(index)); }

    void tickAll(int category) { window->listModel(category)->setAllTicks(true); }
    void type(const QString &text) { control<QPlainTextEdit>(u"txtContent"_s)->setPlainText(text); }
    void schedule(const QString &gregorian, int hour, int minute)
    {
        control<QLineEdit>(u"txtYyGL"_s)->setText(gregorian);
        control<QComboBox>(u"cboYyHour"_s)->setCurrentIndex(hour);
        control<QComboBox>(u"cboYyMin"_s)->setCurrentIndex(minute);
        window->ProcTelSelect();
    }
    void addTemporary(const QString &number)
    {
        control<QLineEdit>(u"txtTmp"_s)->setText(number);
        window->cmdTmpAdd_Click();
    }
    QStringList temporaryNumbers()
    {
        QStringList numbers;
        const QListWidget *list = control<QListWidget>(u"lstTmp"_s);
        for (int row = 0; row < list->count(); ++row)
            numbers << list->item(row)->text();
        return numbers;
    }
    QList<int> sentBatchSizes()
    {
        QList<int> sizes;
        for (const QJsonObject &record : simulator.records())
            sizes << int(record.value(u"numbers"_s).toArray().size());
        return sizes;
    }

    smssim::GatewaySimulator simulator;
    natalis::test::TempDatabase database;
    AppContext context;
    natalis::test::RecordingMessageSink messages;
    FixedClock clock { QDateTime(QDate(2024, 5, 4), QTime(10, 0)) };
    std::unique_ptr<frmGet> window;
};

TEST_F(SmsPanel, OpeningShowsTheTicksAndClosingFoldsEverythingAway)
{
    addBirthdays(2, {});
    frmGet &w = open();
    w.show();
    auto *duanxin = control<QPushButton>(u"cmdDuanxin"_s);
    auto *typeSel = control<QCheckBox>(u"chkTypeSel"_s);
    EXPECT_EQ(duanxin->text(), u"短信窗口(▼)"_s);
    const int closedHeight = w.height();

    w.cmdDuanxin_Click();
    EXPECT_TRUE(w.SmsPanelOpen);
    EXPECT_EQ(duanxin->text(), u"短信窗口(▲)"_s);
    EXPECT_TRUE(typeSel->isVisible());
    EXPECT_TRUE(w.listModel(Colleagues)->isCheckable());
    EXPECT_GT(w.height(), closedHeight);
    tickAll(Colleagues);
    EXPECT_EQ(labelText(u"lblSelNums"_s), u"2"_s);

    w.Image2_Click();
    EXPECT_FALSE(w.SmsPanelOpen);
    EXPECT_EQ(duanxin->text(), u"短信窗口(▼)"_s);
    EXPECT_FALSE(typeSel->isVisible());
    EXPECT_FALSE(w.listModel(Colleagues)->isCheckable());
    EXPECT_EQ(w.height(), closedHeight);
    EXPECT_EQ(labelText(u"lblSelNums"_s), u"0"_s) << "ticks count only while the panel is open";

    w.cmdDuanxin_Click();
    EXPECT_EQ(w.listModel(Colleagues)->tickedCount(), 0) << "opening starts without ticks";
}

TEST_F(SmsPanel, CountersAndSendButtonsFollowTicksNumbersTextAndAccount)
{
    addBirthdays(2, { u"02112345678"_s });
    frmGet &w = open();
    w.cmdDuanxin_Click();
    tickAll(Colleagues);
    addTemporary(u"13912345678"_s);
    EXPECT_EQ(labelText(u"lblSelNums"_s), u"2"_s);
    EXPECT_EQ(labelText(u"lblTmpNums"_s), u"1"_s);
    EXPECT_EQ(labelText(u"lblTelNums"_s), u"3"_s);
    EXPECT_EQ(w.CountNumbersByKind(u'1'), 3);
    EXPECT_EQ(w.CountNumbersByKind(u'0'), 0);
    EXPECT_FALSE(send(0)->isEnabled()) << "no text yet";

    type(u"节日\r\n快乐"_s);
    EXPECT_EQ(control<QPlainTextEdit>(u"txtContent"_s)->toPlainText(), u"节日快乐"_s);
    EXPECT_EQ(labelText(u"lblZfNums"_s), u"4"_s);
    EXPECT_TRUE(send(0)->isEnabled());
    EXPECT_FALSE(send(1)->isEnabled()) << "no schedule yet";

    schedule(u"公历2024年 05月05日"_s, 8, 30);
    EXPECT_TRUE(send(1)->isEnabled());

    control<QComboBox>(u"cboDxTxUser"_s)->setCurrentIndex(0);
    w.ProcTelSelect();
    EXPECT_FALSE(send(0)->isEnabled());
    EXPECT_FALSE(send(1)->isEnabled());
}

TEST_F(SmsPanel, TypeSelectionTicksOnlyPhoneNumbersOfTheCurrentList)
{
    addBirthdays(1, {});
    addBirthday(u"无号码"_s, u"同事"_s, u"12345"_s);
    frmGet &w = open();
    w.cmdDuanxin_Click();
    w.chkTypeSel_Click(true);
    EXPECT_EQ(w.listModel(Colleagues)->tickedCount(), 1);
    EXPECT_EQ(labelText(u"lblSelNums"_s), u"1"_s);
    w.chkTypeSel_Click(false);
    EXPECT_EQ(labelText(u"lblSelNums"_s), u"0"_s);
}

TEST_F(SmsPanel, AccountListOffersTheRegisteredAccounts)
{
    context.SmsAccounts[1] = { u"app"_s, u"1"_s };
    frmGet &w = open();
    auto *user = control<QComboBox>(u"cboDxTxUser"_s);
    ASSERT_EQ(user->count(), 3);
    EXPECT_EQ(user->itemText(1), u"shop[客户]"_s);
    EXPECT_EQ(user->itemText(2), u"app[应用]"_s);
    EXPECT_EQ(user->currentIndex(), 1);
    EXPECT_TRUE(control<QPushButton>(u"cmdBalance"_s)->isEnabled());

    context.SmsAccounts = {};
    w.AlterGetCboUser();
    EXPECT_EQ(user->count(), 1);
    EXPECT_EQ(user->currentIndex(), 0);
    EXPECT_FALSE(control<QPushButton>(u"cmdBalance"_s)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(u"cmdPrice"_s)->isEnabled());
}

TEST_F(SmsPanel, GroupSendGoesPhsFirstThenMobileInBatchesOf200AndClearsOnSuccess)
{
    frmGet &w =
        readyToSend(450, { u"02112345678"_s, u"02112345679"_s, u"01391234567"_s }, u"新年快乐"_s);

    w.cmdSend_Click(0);

    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, u"您确认现在立即发送短信给453个手机号码吗?"_s);
    EXPECT_EQ(messages.shown[0].title, u"短信群发"_s);
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(messages.shown[1].text, u"短信发送成功!"_s);
    EXPECT_EQ(sentBatchSizes(), (QList<int> { 3, 200, 200, 50 }));
    EXPECT_EQ(
        simulator.records()[0].value(u"numbers"_s).toArray().last().toString(), u"01391234567"_s)
        << "an eleven-digit number beginning with 0 goes with the PHS numbers";
    EXPECT_EQ(w.statusText(3), u"[即时短信]发送成功"_s);
    EXPECT_TRUE(w.loop().SmsActivity);
    EXPECT_TRUE(control<QPlainTextEdit>(u"txtContent"_s)->toPlainText().isEmpty());
    EXPECT_EQ(w.listModel(Colleagues)->tickedCount(), 0);
}

TEST_F(SmsPanel, FailedBatchesAreSummarisedAndNothingIsCleared)
{
    frmGet &w = readyToSend(250, {}, u"hi"_s);
    simulator.force(u"SendSMS"_s, 17, 1);

    w.cmdSend_Click(0);

    EXPECT_EQ(messages.texts().last(), u"短信共分2组发送,\n其中1组发送成功,1组发送失败."_s);
    EXPECT_EQ(control<QPlainTextEdit>(u"txtContent"_s)->toPlainText(), u"hi"_s);
    EXPECT_EQ(w.listModel(Colleagues)->tickedCount(), 250);
}

TEST_F(SmsPanel, SendingAgainAfterLostAnswersReachesEveryNumberOnce)
{
    frmGet &w = readyToSend(500, {}, u"周末聚会"_s);
    simulator.force(u"SendSMS"_s, 17, 1);
    simulator.loseAnswers(u"SendSMS"_s, 2); // the other two batches go out, unanswered

    w.cmdSend_Click(0);
    EXPECT_EQ(messages.texts().last(),
        u"短信共分3组发送,\n其中0组发送成功,1组发送失败,2组结果未知.\n"
        "结果未知的短信可能已经发出,再次发送时只补发未发出的,不会重复."_s);
    w.cmdSend_Click(0);
    EXPECT_EQ(messages.texts().last(), u"短信发送成功!"_s);

    QMap<QString, int> received;
    for (const QJsonObject &record : simulator.records()) {
        for (const QJsonValue number : record.value(u"numbers"_s).toArray())
            ++received[number.toString()];
    }
    EXPECT_EQ(received.size(), 500);
    EXPECT_EQ(std::count(received.cbegin(), received.cend(), 1), 500);
    EXPECT_NEAR(simulator.account(u"shop"_s)->balance, 100 - 50, 1e-9);
    EXPECT_EQ(natalis::test::loggedStatuses(*context.DbConnection),
        (QStringList { u"发送失败"_s, u"发送成功"_s, u"发送成功"_s, u"发送成功"_s }));
}

TEST_F(SmsPanel, CancelledQuestionAndLowBalanceSendNothing)
{
    frmGet &w = readyToSend(3, {}, QString(71, u'字'));

    messages.answer = MessageButton::Cancel;
    w.cmdSend_Click(0);
    EXPECT_EQ(messages.shown.size(), 1);

    // Three numbers × 2 messages need 0.6 yuan.
    messages.answer = MessageButton::Ok;
    simulator.setAccount(
        u"shop"_s, { u"0123456789"_s, 0.5, true, sms::RegistrationKey(u"PC-1"_s) });
    w.cmdSend_Click(0);
    EXPECT_EQ(messages.texts().last(),
        u"shop[客户]当前余额:0.5元,不足以支持本次短信群发,短信发送失败!"_s);
    EXPECT_TRUE(simulator.records().isEmpty());
}

TEST_F(SmsPanel, ScheduleFourteenMinutesAheadIsRefused)
{
    frmGet &w = readyToSend(1, {}, u"hi"_s);
    schedule(u"公历2024年 05月04日"_s, 10, 14);
    EXPECT_FALSE(w.CheckScheduleTime());
    EXPECT_FALSE(send(1)->isEnabled());

    w.cmdSend_Click(1);
    EXPECT_EQ(messages.texts().last(),
        u"预约发送的时间必须在当前时间的15分钟之后和半年之内,,短信发送失败"_s);
    EXPECT_TRUE(simulator.records().isEmpty());

    schedule(u"公历2024年 05月04日"_s, 10, 15);
    EXPECT_TRUE(send(1)->isEnabled());
    w.cmdSend_Click(1);
    EXPECT_EQ(messages.texts().last(), u"短信发送成功!"_s);
    ASSERT_EQ(simulator.records().size(), 1);
    EXPECT_EQ(simulator.records()[0].value(u"sendTime"_s).toString(), u"20240504101500"_s);
    EXPECT_TRUE(control<QLineEdit>(u"txtYyGL"_s)->text().isEmpty());
}

TEST_F(SmsPanel, ScheduledSendWithoutADateSaysSoInTheStatusBar)
{
    frmGet &w = readyToSend(1, {}, u"hi"_s);
    w.cmdSend_Click(1);
    EXPECT_EQ(w.statusText(3), u"定时发送的发送时间必须指定！"_s);
    EXPECT_TRUE(simulator.records().isEmpty());
}

TEST_F(SmsPanel, TemporaryNumbersRefuseBadAndRepeatedNumbers)
{
    frmGet &w = open();
    addTemporary(u"13912345678"_s);
    addTemporary(u" 13912345678 "_s);
    EXPECT_EQ(w.statusText(1), u"临时手机号码重复,请重新输入!"_s);
    addTemporary(u"1391234"_s);
    EXPECT_EQ(temporaryNumbers(), QStringList { u"13912345678"_s });
    EXPECT_EQ(control<QLineEdit>(u"txtTmp"_s)->text(), u"1391234"_s) << "kept for correcting";
    EXPECT_TRUE(control<QPushButton>(u"cmdTmpCls"_s)->isEnabled());

    w.cmdTmpCls_Click();
    EXPECT_TRUE(temporaryNumbers().isEmpty());
    EXPECT_FALSE(control<QPushButton>(u"cmdTmpCls"_s)->isEnabled());
}

TEST_F(SmsPanel, DeleteKeyInTheNumberListRemovesTheNumberNotABirthday)
{
    addBirthdays(1, {});
    frmGet &w = open();
    w.show();
    w.cmdDuanxin_Click();
    addTemporary(u"13912345678"_s);
    auto *list = control<QListWidget>(u"lstTmp"_s);
    list->setCurrentRow(0);
    list->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(list, &press);
    EXPECT_TRUE(temporaryNumbers().isEmpty());
    EXPECT_EQ(w.listModel(Colleagues)->rowCount(), 1);
    EXPECT_TRUE(messages.shown.isEmpty()) << "no delete question for the birthdays";
}

TEST_F(SmsPanel, ImportOfNumbersAlreadyListedReportsZero)
{
    frmGet &w = open();
    addTemporary(u"13912345678"_s);
    QFile file(database.path(u"numbers.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("13912345678\r\n13912345678\r\n");
    file.close();

    w.importTemporaryNumbers(file.fileName());
    EXPECT_EQ(
        messages.texts().last(), u"号码重复或者外部文件为空,没有导入任何有效的临时手机号码!"_s);
    EXPECT_EQ(messages.shown.last().title, u"临时手机号码导入"_s);

    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("02112345678\n13812345678\nabc\n");
    file.close();
    w.importTemporaryNumbers(file.fileName());
    EXPECT_EQ(messages.texts().last(), u"从外部文本文件中导入了2个有效的临时手机号码!"_s);
    EXPECT_EQ(labelText(u"lblTmpNums"_s), u"3"_s);

    w.importTemporaryNumbers(database.path(u"none.txt"_s));
    EXPECT_EQ(messages.texts().last(), database.path(u"none.txt"_s) + u"不存在"_s);
    EXPECT_EQ(messages.shown.last().title, u"生日导入"_s);
}

TEST_F(SmsPanel, BalanceAndPriceAnswerInMessages)
{
    frmGet &w = open();
    w.cmdBalance_Click();
    EXPECT_EQ(messages.shown.last().title, u"帐户余额"_s);
    EXPECT_TRUE(messages.texts().last().startsWith(u"shop[客户]当前余额:100"_s))
        << messages.texts().last().toStdString();
    w.cmdPrice_Click();
    EXPECT_EQ(messages.shown.last().title, u"短信单价"_s);
    EXPECT_TRUE(messages.texts().last().endsWith(u"元/条"_s));
    EXPECT_EQ(w.ModalBusy, 0);
}

TEST_F(SmsPanel, SchedulePickerFillsBothBoxes)
{
    frmGet &w = open();
    w.pickGregorianDate = [](QWidget *, QString &gl, QString &nl) {
        gl = u"公历2024年 05月06日"_s;
        nl = u"农历2024年 03月28日"_s;
        return true;
    };
    w.openScheduleGregorianPicker();
    EXPECT_EQ(control<QLineEdit>(u"txtYyGL"_s)->text(), u"公历2024年 05月06日"_s);
    EXPECT_EQ(control<QLineEdit>(u"txtYyNl"_s)->text(), u"农历2024年 03月28日"_s);
}

TEST_F(SmsPanel, HistoryAndForbiddenWordsOpenFromThePanel)
{
    frmGet &w = open();
    QString shown;
    w.runDialog = [&shown](QDialog &dialog) {
        shown = QString::fromLatin1(dialog.metaObject()->className());
    };
    w.Command7_Click();
    EXPECT_EQ(shown, QString::fromLatin1(frmDxHist::staticMetaObject.className()));

    QString opened;
    w.openDocument = [&opened](const QString &path) { opened = path; };
    w.Label7_Click();
    EXPECT_TRUE(opened.isEmpty()) << "no list beside the database yet";
    QFile keywords(database.path(u"wgkeys.txt"_s));
    ASSERT_TRUE(keywords.open(QIODevice::WriteOnly));
    keywords.close();
    w.Label7_Click();
    EXPECT_EQ(opened, keywords.fileName());
}

} // namespace
