#include "exportfile.h"

#include "calendar/datetext.h"
#include "store/ansicodec.h"
#include "store/categories.h"

#include <QSaveFile>

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

QString progressText(int written)
{
    return u"生日导出到外部制表符分割的文本文件进行中，请稍候..."_s + QString::number(written);
}

QString successText(const QString &path, const ExportResult &result)
{
    QString text = u"生日成功导出到"_s + path;
    if (result.unencodable > 0)
        text += u",其中"_s + QString::number(result.unencodable)
            + u"个字符无法用ANSI编码保存,已被替换"_s;
    if (result.skipped > 0)
        text += u",另有"_s + QString::number(result.skipped)
            + u"条生日的类别不是八个类别之一,没有导出"_s;
    return text;
}

} // namespace

QString exportChooserTitle()
{
    return u"生日导出到外部制表符分割的文本文件"_s;
}

QString exportBoxTitle()
{
    return u"生日导出"_s;
}

QString overwriteQuestion(const QString &path)
{
    return path + u"已经存在,确定覆盖吗?"_s;
}

QString exportDateField(const store::BirthdayRecord &record)
{
    if (QStringView(record.strGL).trimmed().isEmpty())
        return QString();
    if (QStringView(record.blnIsGL).trimmed() != u"按农历提醒") {
        const auto date = calendar::ParseGregorianText(record.strGL);
        return date ? u"%1-%2-%3"_s.arg(date->year()).arg(date->month()).arg(date->day())
                    : QString();
    }
    const auto lunar = calendar::ParseLunarText(record.strNL);
    if (!lunar)
        return QString();
    return u"%1-%2%3-%4"_s.arg(lunar->year)
        .arg(lunar->isLeap ? u"闰"_s : QString())
        .arg(lunar->month, 2, 10, QLatin1Char('0'))
        .arg(lunar->day, 2, 10, QLatin1Char('0'));
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

ExportResult ExportBirthdays(
    const QList<store::BirthdayRecord> &birthdays, const QString &path, const StatusSink &status)
{
    ExportResult result;
    QString text;
    for (QStringView category : store::CategoryNames) {
        for (const store::BirthdayRecord &birthday : birthdays) {
            if (QStringView(birthday.Type).trimmed() != category)
                continue;
            text += exportLine(birthday);
            text += u"\r\n";
            ++result.written;
            if (status)
                status(progressText(result.written));
        }
    }
    for (const store::BirthdayRecord &birthday : birthdays)
        result.skipped += store::categoryIndex(QStringView(birthday.Type).trimmed()) < 0 ? 1 : 0;

    const QByteArray bytes = store::ToAnsi(text, &result.unencodable);
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!written) {
        ExportResult failure;
        failure.failureText = u"生日导出到"_s + path + u"失败,原有文件没有改动!"_s;
        failure.statusText = failure.failureText;
        return failure;
    }
    result.ok = true;
    result.statusText = successText(path, result);
    return result;
}

} // namespace natalis::transfer
