#include "calendar/datetext.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/clirun.h"
#include "support/tempdatabase.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

// A database with 张三's birthday today (4 May 2024), a loopback SMTP server that takes
// alice / secret, and the gateway simulator with a registered customer account.
class RemindCommand : public testing::Test
{
protected:
    RemindCommand()
    {
        smtp.start(u"/usr/bin/python3"_s,
            { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/smtp_server.py"), u"--user"_s, u"alice"_s,
                u"--password"_s, u"secret"_s, u"--folder"_s, mailbox.path() });
        EXPECT_TRUE(smtp.waitForReadyRead(20000));
        port = smtp.readLine().trimmed().toUShort();
        EXPECT_GT(simulator.start(), 0);
        simulator.setAccount(u"customer"_s,
            { u"0123456789"_s, 10, true,
                natalis::sms::RegistrationKey(QSysInfo::machineHostName()) });
        natalis::store::Connection db = database.create();
        EXPECT_TRUE(natalis::sms::SaveSmsAccount(db, 1, u"1"_s, u"customer"_s));
        EXPECT_TRUE(natalis::sms::saveGatewayAddress(db, simulator.baseAddress()));
        natalis::store::BirthdayRecord record = natalis::test::gregorianBirthday(
            u"张三"_s, natalis::calendar::gregorianText(QDate(1990, 5, 4)), 7);
        record.Tel = u"13800000001"_s;
        EXPECT_GT(natalis::store::AddBirthToMdb(db, record, natalis::test::EnteredAt), 0);
    }
    ~RemindCommand() override
    {
        smtp.closeWriteChannel();
        smtp.waitForFinished(5000);
    }

    CliResult remind(const QString &password, const QStringList &extra = {}) const
    {
        QFile file(folder.filePath(u"password"_s));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(password.toUtf8());
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.close();
        return natalis::test::runCli(QStringLiteral(NATALIS_CLI_PATH),
            QStringList { u"remind"_s, u"--db"_s, database.path(), u"--date"_s,
                u"2024-05-04T08:00"_s, u"--smtp"_s, u"smtp://127.0.0.1:%1"_s.arg(port), u"--user"_s,
                u"alice"_s, u"--password-file"_s, file.fileName(), u"--to"_s, u"me@example.com"_s }
                + extra);
    }

    QStringList mails() const { return QDir(mailbox.path()).entryList({ u"*.eml"_s }); }

    natalis::test::TempDatabase database;
    natalis::smssim::GatewaySimulator simulator;
    QTemporaryDir mailbox;
    QTemporaryDir folder;
    QProcess smtp;
    quint16 port = 0;
};

TEST_F(RemindCommand, MailsTheDayOnceWithItsSubjectAndBody)
{
    const CliResult first = remind(u"secret"_s);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const CliResult second = remind(u"secret"_s);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(second.out, u"没有要发送的提醒\n"_s);
    ASSERT_EQ(mails().size(), 1);
    QFile mail(mailbox.filePath(mails().first()));
    ASSERT_TRUE(mail.open(QIODevice::ReadOnly));
    const QByteArray bytes = mail.readAll();
    const QByteArray subject = "生日提醒: 今天 张三";
    EXPECT_TRUE(bytes.contains("Subject: =?UTF-8?B?" + subject.toBase64() + "?="));
    EXPECT_TRUE(bytes.contains("Message-ID: <"));
    EXPECT_TRUE(bytes.contains("Date: Sat, 04 May 2024 08:00:00 "));
    const QByteArray body = bytes.mid(bytes.indexOf("\r\n\r\n") + 4);
    EXPECT_EQ(QString::fromUtf8(QByteArray::fromBase64(body)),
        u"今天是张三生日[朋友,13800000001] 农历三月廿六 34周岁\r\n"_s);
}

TEST_F(RemindCommand, RefusedPasswordExitsOneAndTriesAgainLater)
{
    const CliResult refused = remind(u"wrong"_s);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.out.contains(u"拒绝了用户名或授权码"_s)) << refused.out.toStdString();
    EXPECT_EQ(remind(u"secret"_s).exitCode, 0);
    EXPECT_EQ(mails().size(), 1);
}

TEST_F(RemindCommand, TextsTheOwnNumberOnceAfterALostAnswer)
{
    simulator.loseAnswers(u"SendSMS"_s, 1);
    EXPECT_EQ(remind(u"secret"_s, { u"--sms-to"_s, u"13900000000"_s }).exitCode, 3);
    EXPECT_EQ(remind(u"secret"_s, { u"--sms-to"_s, u"13900000000"_s }).exitCode, 0);
    EXPECT_EQ(remind(u"secret"_s, { u"--sms-to"_s, u"13900000000"_s }).exitCode, 0);
    ASSERT_EQ(simulator.records().size(), 1);
    EXPECT_EQ(mails().size(), 1);
}

} // namespace
