#include "importreader.h"

#include "birthline.h"
#include "csvfile.h"
#include "csvlayout.h"
#include "importtext.h"
#include "v10record.h"
#include "vcardimport.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// How many lines pass between two calls of the progress callback.
constexpr qsizetype ProgressEveryLines = 4096;

ImportFailure failureOf(ImportLayout layout, QString boxText)
{
    const QString title = chooserTitle(layout);
    return { title, std::move(boxText), title + u"失败!"_s };
}

QString v10FatalText(qsizetype recordNumber)
{
    return u"v1.0生日数据库文件格式致命错,第"_s + QString::number(recordNumber)
        + u"记录的生日名称为空或者公历生日日期格式不对!"_s;
}

// Gathers the records, the report and the progress of one reading.
class Collector
{
public:
    // lineCount: room for the records up front instead of moving them all as the list grows.
    Collector(ImportLayout layout, qsizetype totalBytes, qsizetype lineCount,
        const ImportReadOptions &options)
        : m_layout(layout), m_total(totalBytes), m_options(options)
    {
        if (m_options.status)
            m_options.status(readingText(layout));
        reading.records.reserve(lineCount + 1);
    }

    void note(qsizetype line, const QString &reason)
    {
        if (reading.notes.size() < MaxLineNotes)
            reading.notes.append({ line, reason });
        else
            ++reading.notesLeftOut;
    }

    void notes(qsizetype line, const QStringList &reasons)
    {
        for (const QString &reason : reasons)
            note(line, reason);
    }

    // lines: how many lines of the file the record was read from.
    void add(ImportRecord record, qsizetype lines)
    {
        reading.records.append(std::move(record));
        reading.recordLines += lines;
        if (m_options.status)
            m_options.status(readingText(m_layout) + QString::number(reading.records.size()));
    }

    // False once the reader is to stop; done estimates the bytes handled so far.
    // line is the last line the reader has reached.
    bool goOn(qsizetype line, qsizetype done)
    {
        if (fatal || reading.cancelled)
            return false;
        reading.lineCount = qMax(reading.lineCount, line);
        if (line % ProgressEveryLines == 0 && m_options.progress
            && !m_options.progress(done, m_total))
            reading.cancelled = true;
        return !reading.cancelled;
    }

    const ImportReadOptions &options() const { return m_options; }

    ImportReading reading;
    std::optional<ImportFailure> fatal;

private:
    ImportLayout m_layout;
    qsizetype m_total;
    const ImportReadOptions &m_options;
};

bool isHeaderLine(const ImportRecord &record)
{
    return record.name() == QByteArrayView("生日名称");
}

// A line that gave no record: the reader's reason when it had one (a forbidden character), else
// the missing name.
void skipped(Collector &collector, qsizetype line, const QStringList &reasons)
{
    if (reasons.isEmpty())
        collector.note(line, u"没有生日名称,已跳过"_s);
    else
        collector.notes(line, reasons);
}

void readLine(ImportLayout layout, const ImportLine &line, Collector &collector,
    qsizetype &v10Records, CellQuotes quotes)
{
    if (line.problem != LineProblem::None) {
        ++collector.reading.skippedLines;
        collector.note(line.number, lineProblemText(line.problem));
        return;
    }
    if (line.text.trimmed().isEmpty())
        return; // blank lines are padding in every layout
    if (layout == ImportLayout::V10) {
        std::optional<ImportRecord> record = parseV10Record(line.text);
        if (!record) {
            collector.fatal = failureOf(layout, v10FatalText(v10Records + 1));
            return;
        }
        ++v10Records;
        collector.add(std::move(*record), 1);
        return;
    }
    QStringList reasons;
    ImportRecord record = hasRuleDependentDate(layout)
        ? ParseTabBirthLine(line.text, &reasons, quotes)
        : ParseOldBirthLine(line.text, &reasons, quotes);
    if (!record.hasName()) {
        skipped(collector, line.number, reasons);
        return;
    }
    if (isHeaderLine(record)) {
        collector.note(line.number, u"是标题行,已跳过"_s);
        return;
    }
    collector.notes(line.number, reasons);
    // A record joined from several lines holds the line breaks that joined them.
    collector.add(std::move(record), line.text.count(u'\n') + 1);
}

// Joins the lines of a record whose quoted cell holds line breaks, as Excel's "Unicode 文本"
// writes them, and hands on every record.
class QuotedRecordJoiner
{
public:
    using Reader = std::function<void(const ImportLine &line)>;

    explicit QuotedRecordJoiner(Reader read) : m_read(std::move(read)) { }

    // A record over several lines is read once whole, with a note naming its lines, so that
    // every line of the file is in a record or in the report.
    void line(const ImportLine &line, Collector &collector)
    {
        if (m_lines.isEmpty()) {
            if (line.problem == LineProblem::None && endsInsideQuotedCell(line.text))
                start(line);
            else
                m_read(line);
            return;
        }
        if (line.problem != LineProblem::None) {
            flush();
            m_read(line);
            return;
        }
        m_lines.append(line.text.toString());
        const QString record = m_lines.join(u'\n');
        if (!endsInsideQuotedCell(record)) {
            collector.note(
                m_first, u"引号内有换行,这条记录占第%1至%2行"_s.arg(m_first).arg(line.number));
            m_read({ m_first, record, LineProblem::None });
            m_lines.clear();
        } else if (record.size() * 2 > MaxImportLineBytes) {
            flush();
        }
    }

    // A quote that never closes is a character: its lines are read one by one, as typed.
    void flush()
    {
        for (qsizetype k = 0; k < m_lines.size(); ++k)
            m_read({ m_first + k, m_lines[k], LineProblem::None });
        m_lines.clear();
    }

private:
    void start(const ImportLine &line)
    {
        m_first = line.number;
        m_lines.append(line.text.toString());
    }

    Reader m_read;
    qsizetype m_first = 0;
    QStringList m_lines;
};

bool isUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
}

void readLines(
    QByteArrayView bytes, ImportLayout layout, TextEncoding encoding, Collector &collector)
{
    qsizetype v10Records = 0;
    // Only Excel writes these layouts in UTF-16; our own export is GBK and quotes nothing.
    const CellQuotes quotes =
        isUtf16(encoding) && layout != ImportLayout::V10 ? CellQuotes::Excel : CellQuotes::AsTyped;
    QuotedRecordJoiner joiner(
        [&](const ImportLine &line) { readLine(layout, line, collector, v10Records, quotes); });
    // Progress by lines: a line of ours is about 100 bytes.
    forEachImportLine(bytes, encoding, [&](const ImportLine &line) {
        if (!collector.goOn(line.number, qMin(bytes.size(), line.number * 100)))
            return;
        if (quotes == CellQuotes::Excel)
            joiner.line(line, collector);
        else
            readLine(layout, line, collector, v10Records, quotes);
    });
    if (!collector.reading.cancelled)
        joiner.flush();
}

// A sheet: a header row naming the columns, one record per row below, as CSV or as Excel's
// "Unicode 文本" (tabs) writes it.
void readSheet(QByteArrayView bytes, TextEncoding encoding, ImportLayout layout,
    const QString &path, Collector &collector, QChar separator)
{
    const QString text = decodeImportText(bytes, encoding);
    std::optional<CsvColumns> columns;
    forEachCsvRecord(
        text,
        [&](const CsvRecord &csv) {
            const qsizetype line = csv.line;
            const QStringList &row = csv.fields;
            if (!collector.goOn(csv.lastLine, qMin(bytes.size(), line * 100)))
                return false;
            QStringList reasons;
            // Every line is in a record or in the report: a record over several lines says so.
            if (csv.lastLine > line)
                reasons.append(u"引号内有换行,这条记录占第%1至%2行"_s.arg(line).arg(csv.lastLine));
            if (csv.strayQuote)
                reasons.append(u"引号没有配对,已按普通字符读取"_s);
            if (!columns) {
                ColumnMapping mapping = ColumnMapping::ofTitles(row);
                const std::optional<QList<int>> &chosen = collector.options().columns;
                if (chosen && chosen->size() == row.size()) {
                    mapping.fields = *chosen;
                    columns = CsvColumns::fromMapping(mapping);
                } else {
                    columns = CsvColumns::fromHeader(row, &reasons);
                }
                collector.reading.sheet = mapping;
                collector.notes(line, reasons);
                if (!columns)
                    collector.fatal = failureOf(layout,
                        path
                            + u"的第一行不是标题行(没有\"生日名称\"或\"姓名\"一列),无法识别各列!"_s);
                return bool(columns);
            }
            if (row.join(QString()).contains(QChar::ReplacementCharacter)) {
                ++collector.reading.skippedLines;
                collector.note(line, lineProblemText(LineProblem::Undecodable));
                return true;
            }
            ImportRecord record = columns->record(row, &reasons);
            if (!record.hasName()) {
                skipped(collector, line, reasons);
                return true;
            }
            if (!columns->holdsRecordsWithoutDate() && columns->givesNoBirthday(row)) {
                const QString name = QString::fromUtf8(record.name());
                collector.reading.withoutBirthday.append(name);
                collector.note(line, u"'%1'没有生日,未导入"_s.arg(name));
                return true;
            }
            collector.notes(line, reasons);
            collector.add(std::move(record), csv.lastLine - line + 1);
            return true;
        },
        separator);
}

ImportReading failed(ImportFailure failure)
{
    ImportReading reading;
    reading.failure = std::move(failure);
    return reading;
}

} // namespace

QString lineNoteText(const LineNote &note)
{
    return u"第%1行: %2"_s.arg(note.line).arg(note.reason);
}

QString rowsWithoutBirthdayText(const QStringList &names)
{
    if (names.isEmpty())
        return QString();
    return QString::number(names.size()) + u"条记录没有生日,未导入:"_s + names.join(u"、"_s);
}

namespace {

// A picture, a spreadsheet's own binary file or a program read as text gives hundreds of
// garbage "birthdays": a file where more than one byte in twenty is a control other than tab
// and line ends (NUL included, outside UTF-16) is refused before any parsing. A few such bytes
// in a text file only cost their lines, which the report names.
bool looksLikeText(QByteArrayView bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be)
        return true;
    const QByteArrayView sample = bytes.first(qMin(bytes.size(), qsizetype(64 * 1024)));
    qsizetype controls = 0;
    for (const char byte : sample) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r')
            ++controls;
    }
    return controls * 20 <= sample.size();
}

// The first line of text holds enough to tell the layouts apart; a file's first 64 KiB hold it.
QString firstTextLine(QByteArrayView bytes, TextEncoding encoding)
{
    bytes = bytes.first(qMin(bytes.size(), qsizetype(64 * 1024)));
    const QString text = decodeImportText(bytes, encoding);
    for (QStringView line : QStringView(text).split(u'\n')) {
        // Trailing tabs are empty fields, which tell the layouts apart.
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            return line.toString();
    }
    return QString();
}

// A tab file that opens with a person's own titles (姓名, 生日 …) rather than a record: no
// digit in it (our own lines always hold the advance days) and a title we know. Our own
// header, 生日名称 first, keeps to the fields' order and is read as the layout.
bool isSheetHeader(const QString &line)
{
    if (line.startsWith(u"生日名称")
        || std::any_of(line.begin(), line.end(), [](QChar c) { return c.isDigit(); }))
        return false;
    const ColumnMapping mapping = ColumnMapping::ofTitles(line.split(u'\t'));
    return std::any_of(mapping.fields.begin(), mapping.fields.end(),
        [](int field) { return field != NotImported; });
}

} // namespace

ImportReading readImportBytes(QByteArrayView bytes, ImportLayout layout, const QString &path,
    const ImportReadOptions &options)
{
    if (layout == ImportLayout::Vcf)
        return readVcardImportBytes(bytes, path, DefaultVcardCategory.toString(), options.status)
            .reading;
    const TextEncoding encoding = resolveEncoding(bytes, options.encoding);
    if (!looksLikeText(bytes, encoding))
        return failed(failureOf(layout, path + u"不是文本文件,无法导入!"_s));
    Collector collector(layout, bytes.size(), bytes.count('\n'), options);
    collector.reading.encoding = encoding;
    if (layout == ImportLayout::Csv)
        readSheet(bytes, encoding, layout, path, collector, u',');
    else if (layout == ImportLayout::Tab && isSheetHeader(firstTextLine(bytes, encoding)))
        readSheet(bytes, encoding, layout, path, collector, u'\t');
    else
        readLines(bytes, layout, encoding, collector);

    ImportReading &reading = collector.reading;
    if (reading.cancelled)
        return std::move(reading);
    if (collector.fatal) {
        ImportReading failure = failed(std::move(*collector.fatal));
        failure.sheet = std::move(reading.sheet);
        failure.encoding = encoding;
        return failure;
    }
    if (reading.records.isEmpty()) {
        ImportReading empty = failed(failureOf(layout,
            reading.withoutBirthday.isEmpty() ? emptyFileText(layout, path)
                                              : path + u"中的记录都没有生日!"_s));
        empty.withoutBirthday = std::move(reading.withoutBirthday);
        empty.skippedLines = reading.skippedLines;
        empty.notes = std::move(reading.notes);
        empty.encoding = encoding;
        return empty;
    }
    return std::move(reading);
}

namespace {

std::optional<ImportLayout> layoutOfLine(const QString &line)
{
    if (line.startsWith(u"BEGIN:VCARD", Qt::CaseInsensitive))
        return ImportLayout::Vcf;
    if (line.count(u'\t') == 12)
        return ImportLayout::V30;
    if (line.contains(u'\t'))
        return ImportLayout::Tab;
    if (!line.contains(u','))
        return std::nullopt;
    if (line.contains(u"生日名称") || line.contains(u"姓名"))
        return ImportLayout::Csv;
    return line.startsWith(u'"') ? ImportLayout::V10 : ImportLayout::Csv;
}

} // namespace

std::optional<ImportLayout> detectImportLayout(const QString &path, QByteArrayView bytes)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"csv")
        return ImportLayout::Csv;
    if (suffix == u"vcf")
        return ImportLayout::Vcf;
    return layoutOfLine(firstTextLine(bytes, resolveEncoding(bytes, EncodingChoice::Auto)));
}

WholeFile readWholeImportFile(const QString &path)
{
    WholeFile whole;
    const QFileInfo info(path);
    if (!info.exists()) {
        whole.missing = true;
        whole.refusal = u"不存在"_s;
        return whole;
    }
    if (!info.isFile()) {
        whole.refusal = u"不是普通文件,"_s;
        return whole;
    }
    if (info.size() > MaxImportFileBytes) {
        whole.refusal = u"超过%1MB,"_s.arg(MaxImportFileBytes / (1024 * 1024));
        return whole;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || (whole.bytes = file.readAll()).size() != info.size()) {
        whole.bytes.clear();
        whole.refusal = u"无法读取,"_s;
    }
    return whole;
}

ImportReading readImportFile(
    const QString &path, ImportLayout layout, const ImportReadOptions &options)
{
    const WholeFile whole = readWholeImportFile(path);
    if (whole.missing)
        return failed({ u"生日导入"_s, path + u"不存在"_s, QString() });
    if (whole.refusal)
        return failed(failureOf(layout, path + *whole.refusal + u"没有导入任何生日!"_s));
    return readImportBytes(whole.bytes, layout, path, options);
}

} // namespace natalis::transfer
