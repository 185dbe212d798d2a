#include "v10record.h"

#include "birthline.h"
#include "calendar/datetext.h"
#include "store/categories.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

enum Value { Name, Category, Remark, GregorianDate, LunarDate, Rule, Days, ValueCount };

// The values of a record as the sequential-file reader of those versions split them: a quoted
// text runs to the next quote (no escapes), anything after it up to the comma is dropped; a
// bare value runs to the comma and is trimmed.
QList<QStringView> splitValues(QStringView line)
{
    QList<QStringView> values;
    qsizetype i = 0;
    while (i <= line.size() && values.size() < ValueCount) {
        while (i < line.size() && (line[i] == u' ' || line[i] == u'\t'))
            ++i;
        qsizetype comma;
        if (i < line.size() && line[i] == u'"') {
            qsizetype close = line.indexOf(u'"', i + 1);
            if (close < 0)
                close = line.size();
            values.append(line.mid(i + 1, close - i - 1));
            comma = line.indexOf(u',', close);
        } else {
            comma = line.indexOf(u',', i);
            values.append(line.mid(i, (comma < 0 ? line.size() : comma) - i).trimmed());
        }
        if (comma < 0)
            break;
        i = comma + 1;
    }
    values.resize(ValueCount);
    return values;
}

} // namespace

std::optional<ImportRecord> parseV10Record(QStringView line)
{
    const QList<QStringView> v = splitValues(line);
    store::BirthdayRecord r;
    QString acceptedDate;
    r.About = importName(v[Name]);
    const QStringView dateText = v[GregorianDate].trimmed();
    const std::optional<QDate> date = dateText.size() > 2
        ? calendar::parseGregorianText(u"公历"_s + dateText.mid(2).toString())
        : std::nullopt;
    if (r.About.isEmpty() || !date)
        return std::nullopt;

    const QStringView category = v[Category].trimmed();
    r.Type = store::categoryIndex(category) >= 0 ? category.toString() : u"客户"_s;
    r.Beizhu = cutToWidth(v[Remark].trimmed(), store::BirthdayWidths::Beizhu);
    // A day before the range the date pickers offer keeps the record, without its date.
    const QString ymd =
        QStringLiteral("%1-%2-%3").arg(date->year()).arg(date->month()).arg(date->day());
    if (parseImportGregorian(ymd))
        acceptedDate = ymd;
    const QStringView rule = v[Rule].trimmed();
    r.blnIsGL = rule == u"按农历提醒" ? u"按农历提醒"_s : u"按公历提醒"_s;
    bool isNumber = false;
    const int days = v[Days].trimmed().toInt(&isNumber);
    r.intNums = isNumber && days >= 0 && days <= 14 ? qint16(days) : qint16(7);
    r.Duanxin = u"否"_s;
    return ImportRecord(r, acceptedDate, false);
}

} // namespace natalis::transfer
