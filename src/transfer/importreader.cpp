#include "importreader.h"

#include "birthline.h"
#include "importtext.h"
#include "v10record.h"
#include "vcardimport.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

ImportFailure failureOf(ImportLayout layout, QString boxText)
{
    const QString title = chooserTitle(layout);
    return { title, std::move(boxText), title + u"失败!"_s };
}

ImportReading failed(ImportFailure failure)
{
    ImportReading reading;
    reading.failure = std::move(failure);
    return reading;
}

QString v10FatalText(qsizetype recordNumber)
{
    return u"v1.0生日数据库文件格式致命错,第"_s + QString::number(recordNumber)
        + u"记录的生日名称为空或者公历生日日期格式不对!"_s;
}

void report(const StatusSink &status, ImportLayout layout, qsizetype count)
{
    if (status)
        status(readingText(layout) + QString::number(count));
}

} // namespace

ImportReading ReadImportBytes(
    QByteArrayView bytes, ImportLayout layout, const QString &path, const StatusSink &status)
{
    if (layout == ImportLayout::Vcf)
        return ReadVcardImportBytes(bytes, path, DefaultVcardCategory.toString(), status).reading;
    if (status)
        status(readingText(layout));
    ImportReading reading;
    // About 100 bytes a line: room for the records up front instead of moving them all as the
    // list grows.
    reading.records.reserve(bytes.size() / 100 + 1);
    qsizetype v10Records = 0;
    std::optional<ImportFailure> fatal;
    reading.skippedLines = ForEachImportLine(bytes, [&](QStringView line) {
        if (fatal)
            return;
        if (layout == ImportLayout::V10) {
            // Blank lines are no record of that format, only padding.
            if (line.trimmed().isEmpty())
                return;
            std::optional<ImportRecord> record = ParseV10Record(line);
            if (!record) {
                fatal = failureOf(layout, v10FatalText(v10Records + 1));
                return;
            }
            ++v10Records;
            reading.records.append(std::move(*record));
        } else {
            ImportRecord record =
                hasRuleDependentDate(layout) ? ParseTabBirthLine(line) : ParseOldBirthLine(line);
            if (record.fields.About.isEmpty())
                return;
            reading.records.append(std::move(record));
        }
        report(status, layout, reading.records.size());
    });
    if (fatal)
        return failed(std::move(*fatal));
    if (reading.records.isEmpty()) {
        ImportReading empty = failed(failureOf(layout, emptyFileText(layout, path)));
        empty.skippedLines = reading.skippedLines;
        return empty;
    }
    return reading;
}

ImportReading ReadImportFile(const QString &path, ImportLayout layout, const StatusSink &status)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failed({ u"生日导入"_s, path + u"不存在"_s, QString() });
    QFile file(path);
    QByteArray bytes;
    const bool readable = info.isFile() && info.size() <= MaxImportFileBytes
        && file.open(QIODevice::ReadOnly) && (bytes = file.readAll()).size() == info.size();
    if (!readable)
        return failed(failureOf(layout, path + u"无法读取,没有导入任何生日!"_s));
    return ReadImportBytes(bytes, layout, path, status);
}

} // namespace natalis::transfer
