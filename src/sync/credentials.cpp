#include "sync/credentials.h"

#include <QCoreApplication>
#include <QFile>
#include <QSemaphore>
#include <QThread>
#include <memory>
#include <mutex>
#include <qt6keychain/keychain.h>

using namespace Qt::StringLiterals;

namespace natalis::sync {

namespace {

constexpr QStringView Service = u"natalis-caldav";
// The desktop may ask the user to unlock the keyring first.
constexpr int AnswerTimeoutMs = 120'000;

// QtKeychain routes every job through one object of its own, made on the thread of the first
// job and never moved; a job from another thread later crashes it. So every job of the process
// runs on one thread kept for them, whichever thread asks, and the asker waits for the answer.
// The thread ends with the application object.
struct KeychainThread
{
    QThread thread;
    QObject home; // lives on thread; jobs are started in its name
};
KeychainThread *keychainThread = nullptr;

void endKeychainThread()
{
    keychainThread->thread.quit();
    keychainThread->thread.wait();
    delete keychainThread;
    keychainThread = nullptr;
}

QObject *keychainHome()
{
    static std::once_flag once;
    std::call_once(once, [] {
        keychainThread = new KeychainThread;
        keychainThread->home.moveToThread(&keychainThread->thread);
        keychainThread->thread.setObjectName(u"keychain"_s);
        keychainThread->thread.start();
        qAddPostRoutine(endKeychainThread);
    });
    return &keychainThread->home;
}

struct Answer
{
    QSemaphore done;
    bool ok = false;
    QString text;
    QString error;
};

// Runs the job makeJob makes on the keychain thread and waits for its end.
std::shared_ptr<Answer> runJob(std::function<QKeychain::Job *()> makeJob)
{
    auto answer = std::make_shared<Answer>();
    QMetaObject::invokeMethod(keychainHome(), [answer, makeJob = std::move(makeJob)] {
        QKeychain::Job *job = makeJob();
        QObject::connect(job, &QKeychain::Job::finished, job, [answer](QKeychain::Job *done) {
            answer->ok = done->error() == QKeychain::NoError;
            if (auto *read = qobject_cast<QKeychain::ReadPasswordJob *>(done))
                answer->text = read->textData();
            if (!answer->ok)
                answer->error = done->error() == QKeychain::EntryNotFound
                    ? u"密钥环中没有保存密码"_s
                    : u"无法访问密钥环: "_s + done->errorString();
            answer->done.release();
        });
        job->start();
    });
    if (!answer->done.tryAcquire(1, AnswerTimeoutMs))
        answer->error = u"密钥环无响应"_s; // the answer, should it still come, goes nowhere
    return answer;
}

} // namespace

QString passwordAccount(const QString &user, const QString &host)
{
    return user + u'@' + host;
}

std::optional<QString> KeychainPasswordStore::read(const QString &account, QString *error)
{
    const std::shared_ptr<Answer> answer = runJob([account] {
        auto *job = new QKeychain::ReadPasswordJob(Service.toString());
        job->setKey(account);
        return job;
    });
    if (!answer->ok && error)
        *error = answer->error;
    return answer->ok ? std::optional(answer->text) : std::nullopt;
}

bool KeychainPasswordStore::write(const QString &account, const QString &password, QString *error)
{
    const std::shared_ptr<Answer> answer = runJob([account, password] {
        auto *job = new QKeychain::WritePasswordJob(Service.toString());
        job->setKey(account);
        job->setTextData(password);
        return job;
    });
    if (!answer->ok && error)
        *error = answer->error;
    return answer->ok;
}

std::optional<QString> FilePasswordStore::read(const QString &, QString *error)
{
    QFile file(m_path);
    // As ssh does with keys: a password others may read is no longer the user's alone, and one
    // others may write could send the account's requests anywhere.
    constexpr QFileDevice::Permissions Others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
        | QFileDevice::ReadOther | QFileDevice::WriteOther;
    if (file.exists() && (file.permissions() & Others)) {
        if (error)
            *error = u"密码文件的权限过宽, 请运行: chmod 600 "_s + m_path;
        return std::nullopt;
    }
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
