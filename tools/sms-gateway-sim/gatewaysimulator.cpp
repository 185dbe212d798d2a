#include "gatewaysimulator.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>
#include <condition_variable>
#include <httplib.h>
#include <mutex>
#include <thread>

using namespace Qt::StringLiterals;

namespace natalis::smssim {

namespace {

constexpr int MaxNumbers = 200;
constexpr int BadArguments = 14; // malformed sends, and a last part of an incomplete unit
constexpr int UnitNotDelivered = 15; // QueryUnit

struct Forced
{
    int result = 0;
    int times = -1;
};

// Answers to lose: first `after` calls answered, then `times` lost.
struct Losing
{
    int after = 0;
    int times = 0;
};

// The parts of one request id that have come in, and what each was answered.
struct Unit
{
    QStringList texts;
    QMap<int, int> answers; // part → result
    bool delivered = false;
};

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

std::string toUtf8(const QJsonObject &object)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QJsonObject answer(int result, const QString &text = {})
{
    return { { u"result"_s, result }, { u"text"_s, text } };
}

bool validSendTime(const QString &text)
{
    static const QRegularExpression digits(u"^\\d{14}$"_s);
    if (!digits.match(text).hasMatch() || !text.endsWith(u"00"_s))
        return false;
    return QDateTime::fromString(text, u"yyyyMMddHHmmss"_s).isValid();
}

} // namespace

struct GatewaySimulator::State
{
    QString recordPath;
    mutable std::mutex mutex;
    QMap<QString, SimAccount> accounts;
    QMap<QString, Forced> forced;
    QMap<QString, Losing> losing;
    QMap<QString, Unit> units; // request id → its parts
    int latencyMs = 0;
    bool stopping = false;
    std::condition_variable wake;
    QList<QJsonObject> records;
    QList<QJsonObject> requests;
    QString host;
    int port = -1;
    bool secure = false;
    std::unique_ptr<httplib::Server> server;
    std::thread thread;

    bool takeLosing(const QString &operation)
    {
        for (const QString &key : { operation, u"*"_s }) {
            auto it = losing.find(key);
            if (it == losing.end())
                continue;
            if (it->after > 0) {
                --it->after;
                return false;
            }
            if (--it->times <= 0)
                losing.erase(it);
            return true;
        }
        return false;
    }

    // A registered account and the key it was registered with: the caller is known.
    static bool knownCaller(const SimAccount &account, const QJsonObject &arguments)
    {
        return account.registered && arguments.value(u"key"_s).toString() == account.key;
    }

    // The forced result for operation, consuming one use; nullopt when none applies.
    std::optional<int> takeForced(const QString &operation)
    {
        for (const QString &key : { operation, u"*"_s }) {
            auto it = forced.find(key);
            if (it == forced.end())
                continue;
            const int result = it->result;
            if (it->times > 0 && --it->times == 0)
                forced.erase(it);
            return result;
        }
        return std::nullopt;
    }

    void record(QJsonObject entry)
    {
        entry.insert(u"at"_s, QDateTime::currentDateTime().toString(Qt::ISODate));
        records.append(entry);
        if (recordPath.isEmpty())
            return;
        QFile file(recordPath);
        if (file.open(QIODevice::WriteOnly | QIODevice::Append))
            file.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
    }

    // Charges and records a complete unit: numbers × parts messages.
    int deliver(const QString &operation, const QJsonObject &arguments, const QStringList &numbers,
        const QStringList &texts)
    {
        const QString name = arguments.value(u"account"_s).toString();
        auto account = accounts.find(name);
        const double cost = Price * double(numbers.size()) * double(texts.size());
        if (account == accounts.end() || !knownCaller(*account, arguments)
            || std::llround(account->balance * 1000) < std::llround(cost * 1000))
            return 17;
        account->balance -= cost;
        QJsonObject entry { { u"operation"_s, operation }, { u"account"_s, name },
            { u"numbers"_s, QJsonArray::fromStringList(numbers) },
            { u"text"_s, texts.join(QString()) }, { u"parts"_s, int(texts.size()) },
            { u"priority"_s, arguments.value(u"priority"_s) }, { u"cost"_s, cost } };
        if (arguments.contains(u"requestId"_s))
            entry.insert(u"requestId"_s, arguments.value(u"requestId"_s));
        if (operation == u"SendScheSMS"_s)
            entry.insert(u"sendTime"_s, arguments.value(u"sendTime"_s));
        record(entry);
        return 1;
    }

    QJsonObject send(const QString &operation, const QJsonObject &arguments)
    {
        const QStringList numbers = arguments.value(u"numbers"_s).toString().split(u',');
        const QString text = arguments.value(u"text"_s).toString();
        static const QRegularExpression number(u"^\\d{3,20}$"_s);
        if (numbers.size() > MaxNumbers || text.isEmpty())
            return answer(BadArguments);
        for (const QString &n : numbers) {
            if (!number.match(n).hasMatch())
                return answer(BadArguments);
        }
        if (operation == u"SendScheSMS"_s
            && !validSendTime(arguments.value(u"sendTime"_s).toString()))
            return answer(18);
        const QString requestId = arguments.value(u"requestId"_s).toString();
        if (requestId.isEmpty())
            return answer(deliver(operation, arguments, numbers, { text }));

        const int parts = arguments.value(u"parts"_s).toInt(1);
        const int part = arguments.value(u"part"_s).toInt(1);
        if (parts < 1 || part < 1 || part > parts)
            return answer(BadArguments);
        Unit &unit = units[requestId];
        if (const auto earlier = unit.answers.constFind(part); earlier != unit.answers.constEnd())
            return answer(*earlier); // the same send again: its first answer, nothing more
        if (unit.texts.size() != parts)
            unit.texts.resize(parts);
        unit.texts[part - 1] = text;
        const bool complete = std::none_of(
            unit.texts.cbegin(), unit.texts.cend(), [](const QString &t) { return t.isEmpty(); });
        // Parts come in order: a last part whose unit is incomplete cannot be delivered.
        int result = 1;
        if (complete && !unit.delivered) {
            result = deliver(operation, arguments, numbers, unit.texts);
            unit.delivered = result == 1;
        } else if (part == parts)
            result = BadArguments;
        unit.answers.insert(part, result);
        return answer(result);
    }

    QJsonObject handle(const QString &operation, const QJsonObject &arguments)
    {
        const QString name = arguments.value(u"account"_s).toString();
        if (operation == u"GetBalance"_s) {
            const auto account = accounts.constFind(name);
            if (account == accounts.constEnd()
                || (account->registered && !knownCaller(*account, arguments)))
                return answer(12);
            return answer(1, QString::number(account->balance, 'f', 2));
        }
        if (operation == u"GetPrice"_s)
            return answer(1, QString::number(Price, 'f', 1));
        if (operation == u"SendSMS"_s || operation == u"SendScheSMS"_s)
            return send(operation, arguments);
        if (operation == u"QueryUnit"_s) {
            const auto account = accounts.constFind(name);
            if (account == accounts.constEnd() || !knownCaller(*account, arguments))
                return answer(17);
            const auto unit = units.constFind(arguments.value(u"requestId"_s).toString());
            return answer(unit != units.constEnd() && unit->delivered ? 1 : UnitNotDelivered);
        }
        if (operation == u"Register"_s) {
            auto account = accounts.find(name);
            const QString key = arguments.value(u"key"_s).toString();
            if (account == accounts.end() || account->registered
                || account->password != arguments.value(u"password"_s).toString()
                || key.size() != 6)
                return answer(10);
            account->registered = true;
            account->key = key;
            return answer(1);
        }
        if (operation == u"UnRegister"_s) {
            auto account = accounts.find(name);
            if (account == accounts.end() || !account->registered)
                return answer(22);
            account->registered = false;
            account->key.clear();
            return answer(1);
        }
        if (operation == u"SetProxy"_s)
            return answer(1);
        return answer(BadArguments, u"unknown operation"_s);
    }

    void serveOperation(const httplib::Request &request, httplib::Response &response)
    {
        const QString operation = fromUtf8(request.matches[1].str());
        const QJsonObject arguments =
            QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
        int latency = 0;
        QJsonObject reply;
        std::optional<int> forcedResult;
        bool lose = false;
        {
            std::lock_guard lock(mutex);
            requests.append({ { u"operation"_s, operation }, { u"arguments"_s, arguments },
                { u"proxied"_s, request.path.rfind("http://", 0) == 0 },
                { u"proxyAuthorization"_s,
                    fromUtf8(request.get_header_value("Proxy-Authorization")) } });
            latency = latencyMs;
            forcedResult = takeForced(operation);
            if (!forcedResult)
                reply = handle(operation, arguments);
            lose = !forcedResult && takeLosing(operation);
        }
        if (latency > 0) {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, std::chrono::milliseconds(latency), [this] { return stopping; });
        }
        if (forcedResult == 101 || lose) {
            // Promise a body and then close the connection before sending any of it.
            response.set_content_provider(64, "application/json",
                [](std::size_t, std::size_t, httplib::DataSink &) { return false; });
            return;
        }
        if (forcedResult)
            reply = answer(*forcedResult);
        response.set_content(toUtf8(reply), "application/json; charset=utf-8");
    }

    // Hand control for a simulator started by hand: /_sim/force, /_sim/latency, /_sim/account.
    void serveControl(const httplib::Request &request, httplib::Response &response)
    {
        const QString what = fromUtf8(request.matches[1].str());
        const QJsonObject body =
            QJsonDocument::fromJson(QByteArray::fromStdString(request.body)).object();
        std::lock_guard lock(mutex);
        if (what == u"force"_s) {
            const QString operation = body.value(u"operation"_s).toString(u"*"_s);
            if (body.value(u"result"_s).isDouble())
                forced.insert(operation,
                    { body.value(u"result"_s).toInt(), body.value(u"times"_s).toInt(-1) });
            else
                forced.remove(operation);
        } else if (what == u"latency"_s) {
            latencyMs = body.value(u"ms"_s).toInt();
        } else if (what == u"account"_s) {
            accounts.insert(body.value(u"account"_s).toString(),
                { body.value(u"password"_s).toString(), body.value(u"balance"_s).toDouble(),
                    body.value(u"registered"_s).toBool(), body.value(u"key"_s).toString() });
        } else if (what != u"state"_s) {
            response.status = 404;
            return;
        }
        QJsonObject state;
        for (auto it = accounts.cbegin(); it != accounts.cend(); ++it)
            state.insert(it.key(),
                QJsonObject { { u"balance"_s, it->balance }, { u"registered"_s, it->registered },
                    { u"key"_s, it->key } });
        response.set_content(toUtf8({ { u"accounts"_s, state }, { u"latencyMs"_s, latencyMs },
                                 { u"sends"_s, int(records.size()) } }),
            "application/json; charset=utf-8");
    }
};

GatewaySimulator::GatewaySimulator(QString recordPath, std::optional<Tls> tls)
    : m_state(std::make_unique<State>())
{
    m_state->recordPath = std::move(recordPath);
    if (tls) {
        m_state->server = std::make_unique<httplib::SSLServer>(
            tls->certificateFile.toStdString().c_str(), tls->keyFile.toStdString().c_str());
        m_state->secure = true;
    } else {
        m_state->server = std::make_unique<httplib::Server>();
    }
    State *state = m_state.get();
    // Control first: the operation route below matches any path ending in a name.
    m_state->server->Post(
        R"(/_sim/(\w+))", [state](const httplib::Request &request, httplib::Response &response) {
            state->serveControl(request, response);
        });
    m_state->server->Get(
        R"(/_sim/(state))", [state](const httplib::Request &request, httplib::Response &response) {
            state->serveControl(request, response);
        });
    // Any prefix, and the absolute form a request through a proxy arrives in.
    m_state->server->Post(
        R"(.*/(\w+))", [state](const httplib::Request &request, httplib::Response &response) {
            state->serveOperation(request, response);
        });
}

GatewaySimulator::~GatewaySimulator()
{
    stop();
}

int GatewaySimulator::start(const QString &host, int port)
{
    const std::string address = host.toStdString();
    const int bound = port == 0 ? m_state->server->bind_to_any_port(address)
                                : (m_state->server->bind_to_port(address, port) ? port : -1);
    if (bound < 0)
        return -1;
    m_state->host = host;
    m_state->port = bound;
    m_state->thread = std::thread([this] { m_state->server->listen_after_bind(); });
    // stop() does nothing before the accept loop runs, so a quick stop would hang in join().
    while (!m_state->server->is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return bound;
}

void GatewaySimulator::stop()
{
    if (!m_state->thread.joinable())
        return;
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stopping = true;
    }
    m_state->wake.notify_all();
    m_state->server->stop();
    m_state->thread.join();
}

QString GatewaySimulator::baseAddress() const
{
    return (m_state->secure ? u"https://%1:%2"_s : u"http://%1:%2"_s)
        .arg(m_state->host)
        .arg(m_state->port);
}

void GatewaySimulator::setAccount(const QString &name, const SimAccount &account)
{
    std::lock_guard lock(m_state->mutex);
    m_state->accounts.insert(name, account);
}

std::optional<SimAccount> GatewaySimulator::account(const QString &name) const
{
    std::lock_guard lock(m_state->mutex);
    const auto it = m_state->accounts.constFind(name);
    if (it == m_state->accounts.constEnd())
        return std::nullopt;
    return *it;
}

void GatewaySimulator::force(const QString &operation, std::optional<int> result, int times)
{
    std::lock_guard lock(m_state->mutex);
    if (result)
        m_state->forced.insert(operation, { *result, times });
    else
        m_state->forced.remove(operation);
}

void GatewaySimulator::loseAnswers(const QString &operation, int times, int after)
{
    std::lock_guard lock(m_state->mutex);
    if (times > 0)
        m_state->losing.insert(operation, { after, times });
    else
        m_state->losing.remove(operation);
}

void GatewaySimulator::setLatencyMs(int milliseconds)
{
    std::lock_guard lock(m_state->mutex);
    m_state->latencyMs = milliseconds;
}

QList<QJsonObject> GatewaySimulator::records() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->records;
}

QList<QJsonObject> GatewaySimulator::requests() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->requests;
}

} // namespace natalis::smssim
