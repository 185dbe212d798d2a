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
        // The parser names the program by its path; the usage line should read as typed, in
        // whichever language the parser's own "Usage:" is.
        QString text = parser.helpText();
        const QString path = QCoreApplication::arguments().value(0);
        if (const qsizetype at = text.indexOf(path); !path.isEmpty() && at >= 0)
            text.replace(0, at + path.size(), Help::tr("Usage: natalis-cli %1").arg(command));
        printText(text);
        return Success;
    }
    return std::nullopt;
}

namespace {

// Set by the first write to stdout that did not take; reported once, at the exit.
bool outputLost = false;

void writeError(const QString &message)
{
    const QByteArray bytes = (QStringLiteral("natalis-cli: ") + message + u'\n').toUtf8();
    // Nothing is left to tell when stderr itself refuses; the exit code still says it.
    static_cast<void>(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr));
}

} // namespace

void printText(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()))
        outputLost = true;
}

void printLine(const QString &line)
{
    printText(line + u'\n');
}

int fail(const QString &message, int code)
{
    writeError(message);
    return code;
}

int finishOutput(int code)
{
    // A file or pipe buffers stdout, so most write failures surface only at this flush.
    const bool flushed = std::fflush(stdout) == 0;
    if (flushed && !outputLost && std::ferror(stdout) == 0)
        return code;
    writeError(QStringLiteral("标准输出写入失败,输出不完整"));
    return code == Success ? Refused : code;
}

} // namespace natalis::cli
