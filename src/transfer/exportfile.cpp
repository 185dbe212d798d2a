#include "exportfile.h"

#include "calendar/datetext.h"
#include "store/categories.h"
#include "store/connection.h"
#include "transfer/csvfile.h"
#include "transfer/csvlayout.h"
#include "transfer/filereplace.h"
#include "transfer/textencoding.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

QString field(const QString &text)
{
    QString value = text.trimmed();
    for (QChar &c : value) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return value;
}

QString progressText(ExportFormat format, int written)
{
    return exportChooserTitle(format) + u"进行中，请稍候..."_s + QString::number(written);
}

// A message names at most a few of them: a list of thousands would hide what it asks.
QString namesShown(const QStringList &names)
{
    constexpr qsizetype Shown = 10;
    return names.mid(0, Shown).join(u'、')
        + (names.size() > Shown ? u"等%1条"_s.arg(names.size()) : QString());
}

QString successText(const QString &path, const ExportResult &result)
{
    QString text = u"生日成功导出到"_s + path;
    if (result.unencodable > 0)
        text = u"生日导出到"_s + path + u",但其中"_s + QString::number(result.unencodable)
            + u"个字符无法用ANSI编码保存,已被替换为\"?\"("_s + namesShown(result.lossyNames)
            + u"),这些生日请用CSV格式导出"_s;
    if (result.skipped > 0)
        text += u",另有"_s + QString::number(result.skipped)
            + u"条生日的类别不是八个类别之一,没有导出"_s;
    return text;
}

bool isOurDatabase(const QString &path)
{
    // Opening proves the key by reading the schema and writes nothing.
    return store::Connection::open(path, store::Connection::OpenMode::ExistingOnly).has_value();
}

// The reason of a failed write, from the errno of the step that failed.
QString writeFailure(const QString &path, int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return u"磁盘空间不足"_s;
    case EROFS:
        return u"该磁盘只读"_s;
    case EACCES:
    case EPERM: {
        const QFileInfo file(path);
        return file.isFile() && !file.isWritable() ? u"该文件只读"_s : u"没有写入权限"_s;
    }
    default:
        return u"写入出错"_s;
    }
}

QString failureText(const QString &path, bool existed, const QString &reason)
{
    return u"生日导出到"_s + path + u"失败,"_s + reason
        + (existed ? u",原有文件没有改动!"_s : u"!"_s);
}

ExportResult failed(const QString &failureText)
{
    ExportResult failure;
    failure.failureText = failureText;
    failure.statusText = failureText;
    return failure;
}

// Writes the file's lines through write, a batch of lines at a time: encoding a batch costs
// about as much as encoding the whole text, and holds only the batch.
int writeFileText(const store::BirthdayList &birthdays, const ExportOptions &options,
    ExportResult &result, const WriteChunk &write)
{
    constexpr qsizetype BatchCharacters = 32 * 1024;
    const bool csv = options.format == ExportFormat::Csv;
    QString batch;
    // Where each line of the tab layout starts in batch; the name is its first field.
    QList<qsizetype> lineStarts;
    const auto flush = [&] {
        qsizetype unencodable = 0;
        const QByteArray bytes = csv ? batch.toUtf8() : toGbk(batch, &unencodable);
        result.unencodable += unencodable;
        // Rare enough that asking each line again only when the batch lost a character is
        // cheaper than asking every line.
        for (qsizetype i = 0; unencodable > 0 && i < lineStarts.size(); ++i) {
            const qsizetype end = i + 1 < lineStarts.size() ? lineStarts[i + 1] : batch.size();
            const QStringView line = QStringView(batch).sliced(lineStarts[i], end - lineStarts[i]);
            qsizetype lost = 0;
            toGbk(line, &lost);
            if (lost > 0)
                result.lossyNames << line.left(line.indexOf(u'\t')).toString();
        }
        batch.clear();
        lineStarts.clear();
        return write(bytes);
    };
    if (csv) {
        if (const int error = write("\xEF\xBB\xBF"))
            return error;
        batch += csvRecord(csvColumnTitles()) + u"\r\n"_s;
    }
    for (QStringView category : store::CategoryNames) {
        for (const store::BirthdayRecord &birthday : birthdays) {
            if (QStringView(birthday.Type).trimmed() != category)
                continue;
            if (!csv)
                lineStarts << batch.size();
            batch += csv ? csvRecord(csvExportFields(birthday)) : exportLine(birthday);
            batch += u"\r\n";
            ++result.written;
            if (options.status)
                options.status(progressText(options.format, result.written));
            if (batch.size() >= BatchCharacters) {
                if (const int error = flush())
                    return error;
            }
        }
    }
    for (const store::BirthdayRecord &birthday : birthdays)
        result.skipped += store::categoryIndex(QStringView(birthday.Type).trimmed()) < 0 ? 1 : 0;
    return flush();
}

} // namespace

QString lossyExportQuestion(const ExportResult &result)
{
    return QString::number(result.lossyNames.size())
        + u"条生日含有ANSI编码无法保存的字符(如生僻字、表情符号),导出的文本文件不能完整保存它们:"_s
        + namesShown(result.lossyNames) + u"\n\n是否改用CSV格式导出?CSV文件可完整保存所有文字。"_s;
}

QString exportChooserTitle(ExportFormat format)
{
    return format == ExportFormat::Csv ? u"生日导出到CSV文件(Excel/WPS)"_s
                                       : u"生日导出到外部制表符分割的文本文件"_s;
}

QString exportBoxTitle()
{
    return u"生日导出"_s;
}

QString overwriteQuestion(const QString &path)
{
    return path + u"已经存在,确定覆盖吗?"_s;
}

QString exportGregorianField(const QString &strGL)
{
    if (const auto date = calendar::parseGregorianText(strGL))
        return u"%1-%2-%3"_s.arg(date->year()).arg(date->month()).arg(date->day());
    const auto yearless = calendar::parseGregorianMonthDay(strGL);
    if (!yearless || yearless->year != 0)
        return QString();
    return u"%1-%2"_s.arg(yearless->month).arg(yearless->day);
}

QString exportLunarField(const QString &strNL)
{
    const auto lunar = calendar::parseLunarText(strNL);
    if (!lunar)
        return QString();
    const QString monthDay = u"%1%2-%3"_s.arg(lunar->isLeap ? u"闰"_s : QString())
                                 .arg(lunar->month, 2, 10, QLatin1Char('0'))
                                 .arg(lunar->day, 2, 10, QLatin1Char('0'));
    return lunar->year == 0 ? monthDay : QString::number(lunar->year) + u'-' + monthDay;
}

QString exportDateField(const store::BirthdayRecord &record)
{
    const bool lunar = QStringView(record.blnIsGL).trimmed() == u"按农历提醒";
    // A lunar day without a year keeps no Gregorian text.
    if (lunar && !calendar::dateTextHasYear(record.strNL) && calendar::parseLunarText(record.strNL))
        return exportLunarField(record.strNL);
    if (QStringView(record.strGL).trimmed().isEmpty())
        return QString();
    if (!lunar)
        return exportGregorianField(record.strGL);
    return exportLunarField(record.strNL);
}

QString exportLine(const store::BirthdayRecord &r)
{
    const QString fields[] = { field(r.About), field(r.Type), field(r.Tel), field(r.Beizhu),
        exportDateField(r), field(r.blnIsGL), QString::number(r.intNums), field(r.Duanxin),
        field(r.Sex), field(r.Class), field(r.QQ_MSN), field(r.Company), field(r.Address),
        field(r.No) };
    QString line;
    for (const QString &value : fields) {
        if (&value != &fields[0])
            line += u'\t';
        line += value;
    }
    return line;
}

std::optional<QString> exportRefusal(const QString &path, const QString &openDatabase)
{
    const QFileInfo target(path);
    if (sameFile(path, openDatabase))
        return u"该文件是正在使用的生日数据库"_s;
    if (target.exists() && !target.isFile())
        return u"该文件不是普通文件"_s;
    if (target.exists() && isOurDatabase(path))
        return u"该文件是生日数据库"_s;
    if (!QFileInfo(target.absolutePath()).isDir())
        return u"文件夹不存在"_s;
    return std::nullopt;
}

std::optional<QString> exportTargetFailure(const QString &path, const QString &openDatabase)
{
    const std::optional<QString> refusal = exportRefusal(path, openDatabase);
    if (!refusal)
        return std::nullopt;
    return failureText(path, QFileInfo::exists(path), *refusal);
}

std::optional<QString> writeExportFile(const QString &path, QByteArrayView bytes)
{
    return writeExportFile(path, [bytes](const WriteChunk &write) { return write(bytes); });
}

std::optional<QString> writeExportFile(
    const QString &path, const std::function<int(const WriteChunk &)> &produce)
{
    const bool existed = QFileInfo::exists(path);
    if (const int error = replaceFileContent(path, produce))
        return failureText(path, existed, writeFailure(path, error));
    return std::nullopt;
}

ExportResult exportBirthdays(
    const store::BirthdayList &birthdays, const QString &path, const ExportOptions &options)
{
    if (const std::optional<QString> refused = exportTargetFailure(path, options.openDatabase))
        return failed(*refused);

    ExportResult result;
    if (const std::optional<QString> unwritten =
            writeExportFile(path, [&](const WriteChunk &write) {
                return writeFileText(birthdays, options, result, write);
            }))
        return failed(*unwritten);
    result.ok = true;
    result.statusText = successText(path, result);
    return result;
}

bool sameFile(const QString &a, const QString &b)
{
    std::error_code error;
    return !a.isEmpty() && !b.isEmpty()
        && std::filesystem::equivalent(a.toStdString(), b.toStdString(), error) && !error;
}

} // namespace natalis::transfer
