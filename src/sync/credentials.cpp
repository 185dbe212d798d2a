#include "sync/credentials.h"

#include <QEventLoop>
#include <QFile>
#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

constexpr QStringView Service = u"natalis-caldav";

// Runs a keychain job to its end; the job's own event loop keeps this thread's events moving.
bool finish(QKeychain::Job &job, QString *error)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError)
        return true;
    if (error)
        *error = job.error() == QKeychain::EntryNotFound
            ? u"密钥环中没有保存密码"_s
            : u"无法访问密钥环: "_s + job.errorString();
    return false;
}

} // namespace

QString passwordAccount(const QString &user, const QString &host)
{
    return user + u'@' + host;
}

std::optional<QString> KeychainPasswordStore::read(const QString &account, QString *error)
{
    QKeychain::ReadPasswordJob job(Service.toString());
    job.setAutoDelete(false);
    job.setKey(account);
    if (!finish(job, error))
        return std::nullopt;
    return job.textData();
}

bool KeychainPasswordStore::write(const QString &account, const QString &password, QString *error)
{
    QKeychain::WritePasswordJob job(Service.toString());
    job.setAutoDelete(false);
    job.setKey(account);
    job.setTextData(password);
    return finish(job, error);
}

std::optional<QString> FilePasswordStore::read(const QString &, QString *error)
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = u"cannot read "_s + m_path;
        return std::nullopt;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

bool FilePasswordStore::write(const QString &, const QString &, QString *error)
{
    // The user's own file: scripts keep it, natalis never changes it.
    if (error)
        *error = u"the password file is read only"_s;
    return false;
}

} // namespace natalis::sync
