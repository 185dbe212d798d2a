#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace natalis::smssim {

// An account of the simulated gateway.
struct SimAccount
{
    QString password;
    double balance = 0; // yuan
    bool registered = false;
    QString key; // the registration key it was registered with
};

// A server of the natalis SMS-gateway protocol (docs/sms-gateway-protocol.md) on a loopback
// port, for tests and demonstrations. Accounts, balances and forced results live in memory;
// every accepted send is appended to the record file as one JSON line. Thread-safe: requests
// are served on the server's own threads while the owner configures and inspects.
class GatewaySimulator
{
public:
    static constexpr double Price = 0.1; // yuan per message and number

    // A certificate and its private key (PEM files): the simulator then speaks https.
    struct Tls
    {
        QString certificateFile;
        QString keyFile;
    };

    // recordPath: the JSON-lines file of accepted sends; empty keeps them in memory only.
    explicit GatewaySimulator(QString recordPath = {}, std::optional<Tls> tls = std::nullopt);
    ~GatewaySimulator();
    GatewaySimulator(const GatewaySimulator &) = delete;
    GatewaySimulator &operator=(const GatewaySimulator &) = delete;

    // Starts serving on host:port (0 picks a free port). Returns the port, or -1 when it cannot
    // bind.
    int start(const QString &host = QStringLiteral("127.0.0.1"), int port = 0);
    void stop();
    // "http://host:port" (or https), the base address a client is given.
    QString baseAddress() const;

    void setAccount(const QString &name, const SimAccount &account);
    std::optional<SimAccount> account(const QString &name) const;

    // Every call of operation (or of every operation for "*") answers result without doing
    // anything, `times` times (negative: until cleared). 101 closes the connection in the middle
    // of the answer. nullopt clears the switch.
    void force(const QString &operation, std::optional<int> result, int times = -1);
    // Every answer waits this long first (cut short when the simulator stops): a large value
    // makes a gateway that never answers.
    void setLatencyMs(int milliseconds);
    // After `after` calls answered as usual, the next `times` calls of operation (or "*") are
    // carried out and then the connection is closed before the answer: the caller cannot tell
    // whether its send went out. times 0 clears the switch.
    void loseAnswers(const QString &operation, int times, int after = 0);

    // The delivered sends, oldest first, as written to the record file: one per request id
    // (all its parts joined), or per message sent without an id.
    QList<QJsonObject> records() const;
    // Requests of every operation, in arrival order: {"operation", "arguments", "proxied",
    // "proxyAuthorization"}.
    QList<QJsonObject> requests() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace natalis::smssim
