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

ImportOutcome failedImport(const store::DbError &error, ImportLayout layout)
{
    return { false, false, 0,
        importFailureCause(error) + u","_s + chooserTitle(layout) + u"失败!"_s };
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
    ImportLayout layout, const QDateTime &now, const ImportProgress &progress)
{
    const QString title = chooserTitle(layout);
    // Every return before the commit rolls the transaction back as it goes out of scope.
    try {
        store::Transaction transaction(connection);
        int added = 0;
        for (const PreviewRow &row : preview.rows) {
            if (!row.ticked)
                continue;
            if (store::AddBirthToMdb(connection, storedBirthday(row.record), now) < 0)
                return failedImport(connection.lastError(), layout);
            ++added;
            if (progress && !progress(added, preview.tickedCount))
                return { false, true, 0, title + u"已停止,没有添加任何生日提醒"_s };
        }
        transaction.commit();
        return { true, false, added,
            title + u",成功导入"_s + QString::number(added) + u"条生日提醒!"_s };
    } catch (const store::DbException &refused) {
        return failedImport(refused.error(), layout);
    }
}

ImportOutcome addImportedBirthdays(const QString &dbPath, bool readOnly,
    const ImportPreview &preview, ImportLayout layout, const QDateTime &now,
    const ImportProgress &progress)
{
    store::DbError error;
    std::optional<store::Connection> connection = store::Connection::open(dbPath,
        readOnly ? store::Connection::OpenMode::ReadOnly
                 : store::Connection::OpenMode::ExistingOnly,
        &error);
    if (!connection)
        return failedImport(error, layout);
    return addImportedBirthdays(*connection, preview, layout, now, progress);
}

} // namespace natalis::transfer
