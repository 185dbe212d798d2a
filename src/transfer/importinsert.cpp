#include "importinsert.h"

#include "birthline.h"
#include "calendar/datetext.h"
#include "calendar/describeday.h"
#include "calendar/lunarconversion.h"
#include "store/birthdays.h"
#include "store/connection.h"
#include "store/dberror.h"
#include "store/transaction.h"

using namespace Qt::StringLiterals;

namespace natalis::transfer {

namespace {

// "YYYY-MM-DD" or "YYYY-闰MM-DD", the normal form the reader keeps.
std::optional<calendar::LunarDate> lunarOfNormalForm(QStringView text)
{
    if (text.size() < 10)
        return std::nullopt;
    const bool leap = text[5] == u'闰';
    const qsizetype monthAt = leap ? 6 : 5;
    return calendar::LunarDate { text.left(4).toInt(), text.mid(monthAt, 2).toInt(),
        text.mid(monthAt + 3, 2).toInt(), leap };
}

// The texts come from the bare conversions: the full day description (festivals, solar terms)
// would be built and dropped for every row of a large import. The range is DescribeDay's, whose
// lunar text the stored one has always been.
void fillDateTexts(const ImportRecord &record, store::BirthdayRecord &r)
{
    // A day without a year keeps no date of the other calendar and is reminded by its own.
    if (const auto yearless = yearlessImportDate(record.date(), record.dateIsLunar())) {
        if (record.dateIsLunar())
            r.strNL = calendar::lunarMonthDayText(yearless->month, yearless->day, yearless->isLeap);
        else
            r.strGL = calendar::gregorianMonthDayText(yearless->month, yearless->day);
        r.blnIsGL = record.dateIsLunar() ? u"按农历提醒"_s : u"按公历提醒"_s;
        return;
    }
    if (record.dateIsLunar()) {
        if (const auto lunar = lunarOfNormalForm(record.date())) {
            if (const auto gregorian = calendar::lunarToSolar(*lunar)) {
                r.strNL = calendar::lunarText(*lunar);
                r.strGL = calendar::gregorianText(*gregorian);
            }
        }
    } else if (const auto date = parseImportGregorian(record.date())) {
        r.strGL = calendar::gregorianText(*date);
        const bool described =
            *date >= calendar::firstDescribedDay() && *date <= calendar::lastDescribedDay();
        if (const auto lunar = described ? calendar::solarToLunar(*date) : std::nullopt)
            r.strNL = calendar::lunarText(*lunar);
    }
}

// A full disk and a read-only file are named as every write names them; any other failure is
// the conflict an import has always been reported as.
QString importFailureCause(const store::DbError &error)
{
    if (store::writeFailureKind(error) == store::WriteFailure::Other)
        return u"生日数据库访问冲突"_s;
    return store::writeFailureCause(error);
}

} // namespace

store::BirthdayRecord storedBirthday(const ImportRecord &record)
{
    store::BirthdayRecord r = record.fields();
    r.Id = 0;
    r.strGL.clear();
    r.strNL.clear();
    r.DxSend = u"0"_s;
    fillDateTexts(record, r);
    return r;
}

QString addingText(ImportLayout layout)
{
    return chooserTitle(layout) + u"进行中,请耐心稍候..."_s;
}

ImportOutcome addImportedBirthdays(store::Connection &connection, const ImportPreview &preview,
    ImportLayout layout, const QDateTime &now, const StatusSink &status)
{
    const QString title = chooserTitle(layout);
    const auto failed = [&](const store::DbError &error) {
        return ImportOutcome { false, 0, importFailureCause(error) + u","_s + title + u"失败!"_s };
    };
    if (status)
        status(addingText(layout));
    try {
        store::Transaction transaction(connection);
        const QString adding = status ? addingText(layout) : QString();
        int added = 0;
        for (const PreviewRow &row : preview.rows) {
            if (!row.ticked)
                continue;
            if (store::AddBirthToMdb(connection, storedBirthday(row.record), now) < 0)
                return failed(
                    connection.lastError()); // the transaction rolls back as it goes out of scope
            ++added;
            if (status)
                status(adding + QString::number(added));
        }
        transaction.commit();
        return { true, added, title + u",成功导入"_s + QString::number(added) + u"条生日提醒!"_s };
    } catch (const store::DbException &refused) {
        return failed(refused.error());
    }
}

} // namespace natalis::transfer
