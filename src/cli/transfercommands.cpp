// natalis-cli export and import: the transfer files from the command line, with the rules of the
// program's own export and import.

#include "clicommand.h"
#include "dboption.h"
#include "platform/clock.h"
#include "store/birthdays.h"
#include "store/categories.h"
#include "store/connection.h"
#include "store/database.h"
#include "transfer/exportfile.h"
#include "transfer/importinsert.h"
#include "transfer/importpreview.h"
#include "transfer/importreader.h"
#include "transfer/vcardimport.h"

#include <QFileInfo>
#include <cstdio>

namespace natalis::cli {

namespace {

std::optional<transfer::ExportFormat> exportFormat(const QString &name)
{
    if (name == u"tab")
        return transfer::ExportFormat::Tab;
    if (name == u"csv")
        return transfer::ExportFormat::Csv;
    return std::nullopt;
}

std::optional<transfer::EncodingChoice> encodingChoice(const QString &name)
{
    const QString lower = name.toLower();
    if (lower == u"auto")
        return transfer::EncodingChoice::Auto;
    if (lower == u"gbk")
        return transfer::EncodingChoice::Gbk;
    if (lower == u"utf-8")
        return transfer::EncodingChoice::Utf8;
    if (lower == u"utf-16")
        return transfer::EncodingChoice::Utf16;
    return std::nullopt;
}

// The reader's report goes to stderr, one line each, so that stdout stays the list.
void printReport(const transfer::ImportPreview &preview)
{
    std::fprintf(stderr, "%s\n",
        QStringLiteral("文件编码: %1")
            .arg(transfer::encodingName(preview.encoding))
            .toUtf8()
            .constData());
    for (const QString &line : transfer::reportLines(preview))
        std::fprintf(stderr, "%s\n", line.toUtf8().constData());
}

int runExport(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(Help::tr(
        "Writes every birthday to FILE as the program's export does: tab-separated, GBK,\n"
        "CR LF, grouped by category; or, with --format csv, a spreadsheet file in UTF-8 with\n"
        "a header row. An existing FILE is replaced only once the new one is complete; the\n"
        "database itself, any other database and files that are no regular files are refused."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(QStringLiteral("format"), Help::tr("tab (default) or csv"),
        QStringLiteral("FORMAT"), QStringLiteral("tab")));
    parser.addPositionalArgument(QStringLiteral("FILE"), Help::tr("the text file to write"));
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("export"), arguments))
        return *exit;
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("export takes one FILE"));
    const std::optional<transfer::ExportFormat> format =
        exportFormat(parser.value(QStringLiteral("format")));
    if (!format)
        return fail(QStringLiteral("--format is tab or csv"));

    const QString path = dbPath(parser);
    const auto read = readBirthdays(parser);
    if (const int *exit = std::get_if<int>(&read))
        return *exit;
    const store::BirthdayLoad &load = std::get<store::BirthdayLoad>(read);

    transfer::ExportOptions options;
    options.format = *format;
    options.openDatabase = path;
    const transfer::ExportResult result = transfer::exportBirthdays(
        load.HasBirthdays ? load.Birthdays : QList<store::BirthdayRecord>(),
        parser.positionalArguments().first(), options);
    if (!result.ok)
        return fail(result.failureText, Refused);
    printLine(result.statusText);
    // A file that lost texts is no backup of those birthdays: a script must not take it for one.
    if (!result.lossyNames.isEmpty()) {
        for (const QString &name : result.lossyNames)
            std::fprintf(stderr, "%s\n", name.toUtf8().constData());
        return fail(QStringLiteral("%1 birthdays have texts GBK cannot hold (listed above); "
                                   "--format csv keeps them")
                        .arg(result.lossyNames.size()),
            Refused);
    }
    return Success;
}

// The birthdays already present; none when a dry run names a database that does not exist yet.
std::optional<store::BirthdayList> presentBirthdays(store::Connection *connection)
{
    if (!connection)
        return store::BirthdayList();
    store::BirthdayLoad load = store::LoadBirthdays(*connection);
    if (load.error)
        return std::nullopt;
    return load.HasBirthdays ? std::move(load.Birthdays) : store::BirthdayList();
}

// The layout of a file named without --layout, said on stderr. A file that cannot be read is
// read as this version's export, so that the reader words the reason.
std::optional<transfer::ImportLayout> detectedLayout(const QString &file)
{
    const transfer::WholeFile whole = transfer::readWholeImportFile(file);
    if (whole.refusal)
        return transfer::ImportLayout::Tab;
    const std::optional<transfer::ImportLayout> layout =
        transfer::detectImportLayout(file, whole.bytes);
    if (layout)
        std::fprintf(stderr, "layout: %s (detected; --layout chooses another)\n",
            transfer::layoutName(*layout).toUtf8().constData());
    return layout;
}

void printRows(const transfer::ImportPreview &preview)
{
    for (const transfer::PreviewRow &row : preview.rows)
        printLine((row.ticked ? QStringLiteral("add\t") : QStringLiteral("skip\t"))
            + transfer::previewCells(row.record).join(u'\t'));
}

// The description and the options of "import".
void addImportOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(Help::tr(
        "Reads FILE in the given layout, prints how many records it holds and how many are\n"
        "new, and adds the new ones in one transaction. Records whose category already holds\n"
        "their name are skipped. Rows of another program's sheet (Outlook's contacts, a list\n"
        "of 姓名 and 生日) and cards without a birthday are listed and left out; a sheet of\n"
        "our own keeps its birthdays saved without a date. --dry-run lists the records\n"
        "instead of adding them."));
    parser.addOption(dbOption());
    parser.addOption(QCommandLineOption(QStringLiteral("layout"),
        Help::tr(
            "tab (this version), v31, v30, v20, v10 (birth.txt), csv or vcf (phone contacts);\n"
            "without it, told by the extension and the first line"),
        QStringLiteral("LAYOUT")));
    parser.addOption(QCommandLineOption(QStringLiteral("encoding"),
        Help::tr("auto (default), gbk, utf-8 or utf-16"), QStringLiteral("ENCODING"),
        QStringLiteral("auto")));
    parser.addOption(QCommandLineOption(QStringLiteral("category"),
        Help::tr("vcf: the category of cards that name none (default 朋友)"),
        QStringLiteral("NAME"), transfer::DefaultVcardCategory.toString()));
    parser.addOption(QCommandLineOption(
        QStringLiteral("dry-run"), Help::tr("list what would be added; add nothing")));
    parser.addPositionalArgument(QStringLiteral("FILE"), Help::tr("the text file to read"));
}

// FILE read in layout; the cards and rows left out for want of a birthday or a year are printed.
transfer::ImportReading readImport(const QString &file, transfer::ImportLayout layout,
    transfer::EncodingChoice encoding, const QString &category)
{
    transfer::VcardImportReading cards;
    if (layout == transfer::ImportLayout::Vcf)
        cards = transfer::readVcardImportFile(file, category);
    transfer::ImportReadOptions readOptions;
    readOptions.encoding = encoding;
    transfer::ImportReading reading = layout == transfer::ImportLayout::Vcf
        ? std::move(cards.reading)
        : transfer::readImportFile(file, layout, readOptions);
    if (const QString skipped = transfer::withoutBirthdayText(cards.withoutBirthday);
        !skipped.isEmpty())
        printLine(skipped);
    if (const QString skipped = transfer::withoutYearText(cards.withoutYear); !skipped.isEmpty())
        printLine(skipped);
    if (const QString skipped = transfer::rowsWithoutBirthdayText(reading.withoutBirthday);
        !skipped.isEmpty())
        printLine(skipped);
    return reading;
}

// The records read set against the birthdays in the database at path and printed, then the new
// ones added in one transaction, unless dryRun, which lists them instead.
int addImported(transfer::ImportReading reading, transfer::ImportLayout layout, const QString &path,
    bool dryRun)
{
    store::DbError error;
    const bool mustOpen = !dryRun || QFileInfo::exists(path);
    std::optional<store::Connection> connection;
    if (mustOpen)
        connection = openDb(path, dryRun ? DbUse::Read : DbUse::ChangeOrCreate, &error);
    if (!connection && mustOpen)
        return fail(QStringLiteral("本地生日数据库:%1连接建立失败 %2").arg(path, error.description),
            Refused);
    const std::optional<store::BirthdayList> present =
        presentBirthdays(connection ? &*connection : nullptr);
    if (!present)
        return fail(QStringLiteral("cannot read the birthdays of %1").arg(path), Refused);

    const transfer::ImportPreview preview =
        transfer::buildImportPreview(std::move(reading), *present);
    printReport(preview);
    printLine(transfer::previewSummaryText(preview));
    if (dryRun) {
        printRows(preview);
        return Success;
    }
    if (preview.tickedCount == 0)
        return fail(
            QStringLiteral("nothing to add: every record is already in the database"), Refused);
    const transfer::ImportOutcome outcome = transfer::addImportedBirthdays(
        *connection, preview, layout, platform::clockFromEnvironment()->now());
    if (!outcome.ok)
        return fail(outcome.statusText, Refused);
    printLine(outcome.statusText);
    return Success;
}

int runImport(const QStringList &arguments)
{
    QCommandLineParser parser;
    addImportOptions(parser);
    if (const std::optional<int> exit =
            parseCommandLine(parser, QStringLiteral("import"), arguments))
        return *exit;
    const std::optional<transfer::EncodingChoice> encoding =
        encodingChoice(parser.value(QStringLiteral("encoding")));
    if (!encoding)
        return fail(QStringLiteral("--encoding is one of auto gbk utf-8 utf-16"));
    const QString category = parser.value(QStringLiteral("category"));
    if (store::categoryIndex(category) < 0)
        return fail(
            QStringLiteral("--category is one of 同事 客户 代理商 供应商 家人 同学 朋友 其他"));
    if (parser.positionalArguments().size() != 1)
        return fail(QStringLiteral("import takes one FILE"));
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));

    const QString file = parser.positionalArguments().first();
    const std::optional<transfer::ImportLayout> layout = parser.isSet(QStringLiteral("layout"))
        ? transfer::layoutFromName(parser.value(QStringLiteral("layout")))
        : detectedLayout(file);
    if (!layout && parser.isSet(QStringLiteral("layout")))
        return fail(QStringLiteral("--layout is one of tab v31 v30 v20 v10 csv vcf"));
    if (!layout)
        return fail(QStringLiteral("cannot tell the layout of %1; give --layout").arg(file));
    transfer::ImportReading reading = readImport(file, *layout, *encoding, category);
    if (reading.failure)
        return fail(reading.failure->boxText);
    return addImported(std::move(reading), *layout, dbPath(parser), dryRun);
}

} // namespace

QList<Command> transferCommands()
{
    return {
        { QStringLiteral("export"), Help::tr("write every birthday to a tab-separated file"),
            runExport },
        { QStringLiteral("import"), Help::tr("add the new birthdays of an import file"),
            runImport },
    };
}

} // namespace natalis::cli
