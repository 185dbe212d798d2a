#include "calendar/datetext.h"
#include "gatewaysimulator.h"
#include "sms/gatewayaddress.h"
#include "sms/smsaccounts.h"
#include "store/birthdays.h"
#include "support/birthdaybuilder.h"
#include "support/clirun.h"
#include "support/tempdatabase.h"
#include "support/testcertificate.h"

#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using natalis::test::CliResult;

const QByteArray Subject =
    "Subject: =?UTF-8?B?" + QByteArray("生日提醒: 今天 张三").toBase64() + "?=";

// A database with 张三's birthday today (4 May 2024), a loopback SMTP server that takes
// alice / secret, and the gateway simulator with a registered customer account.
class RemindCommand : public testing::Test
{
protected:
    RemindCommand()
    {
        startSmtp({});
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
    ~RemindCommand() override { startSmtp({}, false); }

    // Ends the server running, if any, and starts one with smtp_server.py's options.
    void startSmtp(const QStringList &options, bool start = true)
    {
        smtp.closeWriteChannel();
        smtp.waitForFinished(5000);
        if (!start)
            return;
        smtp.start(u"/usr/bin/python3"_s,
            QStringList { QStringLiteral(NATALIS_TEST_SUPPORT_DIR "/smtp_server.py"), u"--user"_s,
                u"alice"_s, u"--password"_s, u"secret"_s, u"--folder"_s, mailbox.path() }
                + options);
        port = readPort();
        if (options.contains(u"--socks"_s))
            proxyPort = readPort();
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
                + extra,
            environment);
    }

    quint16 readPort()
    {
        while (!smtp.canReadLine() && smtp.waitForReadyRead(20000)) { }
        return smtp.readLine().trimmed().toUShort();
    }

    QStringList mails() const { return QDir(mailbox.path()).entryList({ u"*.eml"_s }); }
    QByteArray firstMail() const
    {
        QFile mail(mailbox.filePath(mails().value(0)));
        return mail.open(QIODevice::ReadOnly) ? mail.readAll() : QByteArray();
    }
    // Each AUTH the server saw, "tls" or "plain" a line.
    QByteArray logins() const
    {
        QFile log(mailbox.filePath(u"auth.log"_s));
        return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
    }

    natalis::test::TempDatabase database;
    natalis::smssim::GatewaySimulator simulator;
    QTemporaryDir mailbox;
    QTemporaryDir folder;
    QProcess smtp;
    quint16 port = 0;
    quint16 proxyPort = 0; // with --socks
    QStringList environment; // for natalis-cli, beside the test's own
};

TEST_F(RemindCommand, MailsTheDayOnceWithItsSubjectAndBody)
{
    const CliResult first = remind(u"secret"_s);
    EXPECT_EQ(first.exitCode, 0) << first.err.toStdString();
    const CliResult second = remind(u"secret"_s);
    EXPECT_EQ(second.exitCode, 0) << second.err.toStdString();
    EXPECT_EQ(second.out, u"没有要发送的提醒\n"_s);
    ASSERT_EQ(mails().size(), 1);
    const QByteArray bytes = firstMail();
    EXPECT_TRUE(bytes.contains(Subject));
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

// Over STARTTLS, even at home, the password goes only to a certificate the CA file given or the
// system trusts: a refused one ends the session before the login and nothing falls back to plain.
TEST_F(RemindCommand, MailsOverStartTlsOnlyToATrustedCertificate)
{
    QTemporaryDir keys;
    ASSERT_TRUE(natalis::test::makeTestCertificate(keys.path()));
    startSmtp({ u"--tls"_s, keys.path() });
    const CliResult untrusted = remind(u"secret"_s);
    EXPECT_EQ(untrusted.exitCode, 1);
    EXPECT_TRUE(untrusted.out.contains(u"证书"_s)) << untrusted.out.toStdString();
    EXPECT_EQ(logins(), QByteArray());
    const CliResult trusted = remind(u"secret"_s, { u"--ca-file"_s, keys.filePath(u"cert.pem"_s) });
    EXPECT_EQ(trusted.exitCode, 0) << trusted.out.toStdString() << trusted.err.toStdString();
    EXPECT_EQ(logins(), "tls\n");
    ASSERT_EQ(mails().size(), 1);
    EXPECT_TRUE(mails().first().startsWith(u"tls-"_s));
    EXPECT_TRUE(firstMail().contains(Subject));
}

// Plain smtp:// is for this computer and the local network; a far server that offers no STARTTLS
// never gets the password.
TEST_F(RemindCommand, RefusesAFarServerWithoutStartTls)
{
    startSmtp({ u"--socks"_s });
    ASSERT_GT(proxyPort, 0);
    environment = { u"ALL_PROXY=socks5://127.0.0.1:%1"_s.arg(proxyPort) };
    const CliResult far =
        remind(u"secret"_s, { u"--smtp"_s, u"smtp://203.0.113.7:%1"_s.arg(port) });
    EXPECT_EQ(far.exitCode, 1);
    EXPECT_TRUE(far.out.contains(u"不支持STARTTLS"_s)) << far.out.toStdString();
    EXPECT_EQ(logins(), QByteArray());
    EXPECT_EQ(mails().size(), 0);
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
