#include "clicommand.h"

#include <cstdio>

namespace natalis::cli {

std::optional<int> parseCommandLine(
    QCommandLineParser &parser, const QString &command, const QStringList &arguments)
{
    const QCommandLineOption help = parser.addHelpOption();
    if (!parser.parse(QStringList { command } + arguments))
        return fail(parser.errorText());
    if (parser.isSet(help)) {
        // The parser names the program by its path; the usage line should read as typed.
        QString text = parser.helpText();
        const qsizetype usageEnd = text.indexOf(u" [options]");
        text.replace(0, usageEnd, QStringLiteral("Usage: natalis-cli ") + command);
        std::fputs(text.toUtf8().constData(), stdout);
        return Success;
    }
    return std::nullopt;
}

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
}

int fail(const QString &message, int code)
{
    std::fprintf(stderr, "natalis-cli: %s\n", message.toUtf8().constData());
    return code;
}

} // namespace natalis::cli
