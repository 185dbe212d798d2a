// sms-gateway-sim: the SMS gateway simulator as a program, for trying natalis by hand.
// docs/sms-gateway-protocol.md describes the protocol and the options.

#include "gatewaysimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

using namespace Qt::StringLiterals;
using natalis::smssim::GatewaySimulator;
using natalis::smssim::SimAccount;

namespace {

int usageError(const QString &message)
{
    std::fprintf(stderr, "sms-gateway-sim: %s\n", message.toUtf8().constData());
    return 2;
}

// The description and the options: docs/sms-gateway-protocol.md tells them in full.
void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(u"Serves the natalis SMS-gateway protocol on a loopback "
                                     "port until interrupted."_s);
    parser.addHelpOption();
    parser.addOption(
        { u"host"_s, u"address to listen on (default 127.0.0.1)"_s, u"HOST"_s, u"127.0.0.1"_s });
    parser.addOption(
        { u"port"_s, u"port (default 8787; 0 picks a free one)"_s, u"PORT"_s, u"8787"_s });
    parser.addOption({ u"record"_s,
        u"JSON-lines file the accepted sends are appended to (default sms-gateway-sim.jsonl)"_s,
        u"FILE"_s, u"sms-gateway-sim.jsonl"_s });
    parser.addOption({ u"account"_s,
        u"an account NAME:PASSWORD:BALANCE[:registered:KEY]; repeatable"_s, u"ENTRY"_s });
    parser.addOption({ u"force"_s,
        u"OPERATION=CODE[xTIMES]: the operation (or * for all) answers CODE; 101 closes the "
        "connection; repeatable"_s,
        u"ENTRY"_s });
    parser.addOption({ u"lose"_s,
        u"OPERATION=TIMES[+AFTER]: after AFTER calls answered, the next TIMES calls of the "
        "operation (or * for all) are carried out and their answers dropped; repeatable"_s,
        u"ENTRY"_s });
    parser.addOption({ u"latency"_s, u"milliseconds every answer waits"_s, u"MS"_s, u"0"_s });
    parser.addOption(
        { u"tls-cert"_s, u"PEM certificate: serve https (with --tls-key)"_s, u"FILE"_s });
    parser.addOption({ u"tls-key"_s, u"PEM private key of --tls-cert"_s, u"FILE"_s });
}

// The --account, --force and --lose entries set on simulator; the usage error of the first
// entry that does not read, or an empty text.
QString setEntries(const QCommandLineParser &parser, GatewaySimulator &simulator)
{
    for (const QString &entry : parser.values(u"account"_s)) {
        const QStringList parts = entry.split(u':');
        bool isNumber = false;
        SimAccount account;
        if (parts.size() >= 3)
            account.balance = parts[2].toDouble(&isNumber);
        if (!isNumber || parts[0].isEmpty())
            return u"--account is NAME:PASSWORD:BALANCE[:registered:KEY]"_s;
        account.password = parts[1];
        account.registered = parts.size() >= 4 && parts[3] == u"registered"_s;
        account.key = parts.value(4);
        simulator.setAccount(parts[0], account);
    }
    for (const QString &entry : parser.values(u"force"_s)) {
        const QString operation = entry.section(u'=', 0, 0);
        const QString value = entry.section(u'=', 1);
        bool isCode = false;
        bool isTimes = true;
        const int code = value.section(u'x', 0, 0).toInt(&isCode);
        const int times = value.contains(u'x') ? value.section(u'x', 1).toInt(&isTimes) : -1;
        if (operation.isEmpty() || !isCode || !isTimes)
            return u"--force is OPERATION=CODE[xTIMES]"_s;
        simulator.force(operation, code, times);
    }
    for (const QString &entry : parser.values(u"lose"_s)) {
        const QString operation = entry.section(u'=', 0, 0);
        const QString value = entry.section(u'=', 1);
        bool isTimes = false;
        bool isAfter = true;
        const int times = value.section(u'+', 0, 0).toInt(&isTimes);
        const int after = value.contains(u'+') ? value.section(u'+', 1).toInt(&isAfter) : 0;
        if (operation.isEmpty() || !isTimes || times < 1 || !isAfter || after < 0)
            return u"--lose is OPERATION=TIMES[+AFTER]"_s;
        simulator.loseAnswers(operation, times, after);
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    addOptions(parser);
    parser.process(application);

    std::optional<GatewaySimulator::Tls> tls;
    if (parser.isSet(u"tls-cert"_s) != parser.isSet(u"tls-key"_s))
        return usageError(u"--tls-cert and --tls-key go together"_s);
    if (parser.isSet(u"tls-cert"_s))
        tls = GatewaySimulator::Tls { parser.value(u"tls-cert"_s), parser.value(u"tls-key"_s) };
    GatewaySimulator simulator(parser.value(u"record"_s), tls);
    if (const QString error = setEntries(parser, simulator); !error.isEmpty())
        return usageError(error);
    simulator.setLatencyMs(parser.value(u"latency"_s).toInt());

    // The server's threads must not take the signals; this thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const int port = simulator.start(parser.value(u"host"_s), parser.value(u"port"_s).toInt());
    if (port < 0)
        return usageError(
            u"cannot listen on %1:%2"_s.arg(parser.value(u"host"_s), parser.value(u"port"_s)));
    std::printf("sms-gateway-sim listening on %s\n", simulator.baseAddress().toUtf8().constData());
    std::fflush(stdout);

    int received = 0;
    sigwait(&signals, &received);
    simulator.stop();
    return 0;
}
