#include "dialogs/awaypage.h"

#include "store/awaysettings.h"
#include "sync/credentials.h"
#include "sync/serveraccounts.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace natalis::dialogs {

namespace {

QLineEdit *namedEdit(const QString &name, const QString &text, const QString &hint, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setPlaceholderText(hint);
    edit->setAccessibleDescription(hint);
    return edit;
}

} // namespace

AwayPage::AwayPage(store::Connection &connection, sync::ServerAccounts *accounts, QWidget *parent)
    : QWidget(parent), m_connection(connection), m_accounts(accounts)
{
    setObjectName(u"AwayPage"_s);
    const store::AwaySettings settings =
        store::readAwaySettings(connection).value_or(store::AwaySettings {});
    auto *form = new QFormLayout(this);
    m_mailOn = new QCheckBox(u"发送到我的邮箱"_s, this);
    m_mailOn->setChecked(settings.mailOn);
    form->addRow(m_mailOn);
    m_smtpUrl = namedEdit(u"txtSmtp"_s, settings.smtpUrl, u"smtps://smtp.qq.com"_s, this);
    m_smtpUrl->setAccessibleName(u"邮件服务器"_s);
    form->addRow(u"邮件服务器:"_s, m_smtpUrl);
    m_user = namedEdit(u"txtSmtpUser"_s, settings.user, u"用户名, 通常是邮箱地址"_s, this);
    m_user->setAccessibleName(u"用户名"_s);
    form->addRow(u"用户名:"_s, m_user);
    m_password = namedEdit(u"txtSmtpPassword"_s, {}, u"授权码, 保存在密钥环中"_s, this);
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setAccessibleName(u"授权码"_s);
    form->addRow(u"授权码:"_s, m_password);
    m_mailTo = namedEdit(u"txtMailTo"_s, settings.mailTo, u"我的邮箱地址"_s, this);
    m_mailTo->setAccessibleName(u"收件邮箱"_s);
    form->addRow(u"收件邮箱:"_s, m_mailTo);
    m_smsOn = new QCheckBox(u"发短信到我的手机 (使用已注册的短信账号)"_s, this);
    m_smsOn->setChecked(settings.smsOn);
    form->addRow(m_smsOn);
    m_smsTo = namedEdit(u"txtSmsTo"_s, settings.smsTo, u"我的手机号"_s, this);
    m_smsTo->setAccessibleName(u"我的手机号"_s);
    form->addRow(u"手机号:"_s, m_smsTo);
    m_hour = new QSpinBox(this);
    m_hour->setObjectName(u"spnAwayHour"_s);
    m_hour->setRange(0, 23);
    m_hour->setSuffix(u" 点"_s);
    m_hour->setValue(settings.hour);
    m_hour->setAccessibleName(u"发送时间"_s);
    m_hour->setAccessibleDescription(u"程序启动时或到此时刻发送当天的提醒, 以先到者为准"_s);
    form->addRow(u"发送时间:"_s, m_hour);
    m_weekly = new QCheckBox(u"每周一发送未来7天的生日摘要"_s, this);
    m_weekly->setChecked(settings.weekly);
    form->addRow(m_weekly);
}

bool AwayPage::save()
{
    const store::AwaySettings settings { m_mailOn->isChecked(), m_smtpUrl->text().trimmed(),
        m_user->text().trimmed(), m_mailTo->text().trimmed(), m_smsOn->isChecked(),
        m_smsTo->text().trimmed(), m_hour->value(), m_weekly->isChecked() };
    if (m_accounts && !m_password->text().isEmpty())
        m_accounts->keepPassword(
            sync::passwordAccount(settings.user, QUrl(settings.smtpUrl).host()),
            m_password->text());
    return store::writeAwaySettings(m_connection, settings);
}

} // namespace natalis::dialogs
