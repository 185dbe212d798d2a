#pragma once

#include <QString>
#include <optional>

namespace natalis::sync {

// Where a calendar server's password lives: the desktop's secret store for the program, a file
// of the user's for natalis-cli. Never the database.
class PasswordStore
{
public:
    virtual ~PasswordStore() = default;
    // The password of account ("user@host"); nullopt with the reason in *error when there is
    // none or the store cannot be reached. May wait for the store: call it off the window thread.
    virtual std::optional<QString> read(const QString &account, QString *error) = 0;
    // False with the reason in *error when the store refuses.
    virtual bool write(const QString &account, const QString &password, QString *error) = 0;
};

// The Secret Service (GNOME keyring, KWallet) through QtKeychain. Without a running store it
// fails with the store's reason instead of falling back to a plain file.
class KeychainPasswordStore : public PasswordStore
{
public:
    std::optional<QString> read(const QString &account, QString *error) override;
    bool write(const QString &account, const QString &password, QString *error) override;
};

// The first line of one file, for scripts and timers; the file names every account's password.
// A file that group or others may read or write is refused, with the chmod that fixes it.
class FilePasswordStore : public PasswordStore
{
public:
    explicit FilePasswordStore(QString path) : m_path(std::move(path)) { }
    std::optional<QString> read(const QString &account, QString *error) override;
    bool write(const QString &account, const QString &password, QString *error) override;

private:
    QString m_path;
};

// The key an account's password is kept under.
QString passwordAccount(const QString &user, const QString &host);

} // namespace natalis::sync
