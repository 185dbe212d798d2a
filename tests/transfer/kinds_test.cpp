#include "support/casename.h"
#include "transfer/exportfile.h"
#include "transfer/icalendarexport.h"
#include "transfer/importinsert.h"
#include "transfer/importreader.h"
#include "transfer/vcardexport.h"
#include "transfer/vcardimport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

using store::BirthdayRecord;

QString dataPath(const char *name)
{
    return QStringLiteral(NATALIS_TRANSFER_DATA_DIR "/") + QString::fromLatin1(name);
}

BirthdayRecord entry(const QString &name, const QString &kind, const QString &gl, const QString &nl,
    bool lunar, const QString &days = {}, const QString &leap = u"平月"_s)
{
    BirthdayRecord r;
    r.About = name;
    r.Type = u"家人"_s;
    r.Kind = kind;
    r.strGL = gl;
    r.strNL = nl;
    r.blnIsGL = lunar ? u"按农历提醒"_s : u"按公历提醒"_s;
    r.intNums = days.isEmpty() ? 3 : qint16(days.section(u',', 0, 0).toInt());
    r.Days = days;
    r.LeapRule = leap;
    r.Duanxin = u"否"_s;
    r.Uid = QUuid::createUuidV5(QUuid(), name);
    return r;
}

// A lunar 忌日 reminded a week ahead, the day before and on the day; a Gregorian 纪念日; a
// birthday known by its lunar leap month and day only, kept in years with that leap month.
const QList<BirthdayRecord> Entries = {
    entry(
        u"奶奶"_s, u"忌日"_s, u"公历2004年 04月23日"_s, u"农历2004年 03月05日"_s, true, u"7,1,0"_s),
    entry(u"结婚"_s, u"纪念日"_s, u"公历2014年 10月01日"_s, u"农历2014年 09月08日"_s, false),
    entry(u"小明"_s, u"生日"_s, QString(), u"农历0000年闰06月10日"_s, true, {}, u"跳过"_s),
};

QByteArray csvExport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"kinds.csv"_s);
    exportBirthdays(Entries, path, { ExportFormat::Csv, {}, {} });
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct GoldenRow
{
    const char *situation;
    const char *file;
    QByteArray (*write)();
    std::optional<ImportLayout> readBack; // nullopt for a file we do not import
};

const GoldenRow GoldenRows[] = {
    { "contacts file", "kinds.vcf", [] { return buildVcards(Entries); }, ImportLayout::Vcf },
    { "spreadsheet", "kinds.csv", csvExport, ImportLayout::Csv },
    { "calendar of 2025 and 2026", "kinds.ics",
        []() -> QByteArray {
            return buildIcs(Entries,
                { 2025, 2, false, QDateTime(QDate(2025, 1, 1), QTime(0, 0), QTimeZone::utc()) });
        },
        std::nullopt },
};

using KindGolden = testing::TestWithParam<GoldenRow>;

TEST_P(KindGolden, WritesTheGoldenFileAndReadsItBack)
{
    const GoldenRow &row = GetParam();
    const QByteArray written = row.write();
    QFile golden(dataPath(row.file));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly)) << row.file;
    if (written != golden.readAll()) {
        QFile actual(QString::fromLatin1(row.file) + u".actual"_s);
        if (actual.open(QIODevice::WriteOnly))
            actual.write(written);
        ADD_FAILURE() << "differs from the golden file; see " << row.file << ".actual";
    }
    if (!row.readBack)
        return;
    const ImportReading read = readImportBytes(written, *row.readBack, u"x"_s);
    ASSERT_EQ(read.records.size(), Entries.size());
    for (const ImportRecord &record : read.records) {
        const BirthdayRecord got = storedBirthday(record);
        const auto wanted = std::find_if(Entries.begin(), Entries.end(),
            [&](const BirthdayRecord &e) { return e.About == got.About; });
        ASSERT_NE(wanted, Entries.end());
        for (const auto &[what, a, b] : { std::tuple { "kind", got.Kind, wanted->Kind },
                 { "days", got.Days, wanted->Days }, { "leap", got.LeapRule, wanted->LeapRule },
                 { "rule", got.blnIsGL, wanted->blnIsGL }, { "gl", got.strGL, wanted->strGL },
                 { "nl", got.strNL, wanted->strNL } })
            EXPECT_EQ(a, b) << what << " of " << got.About.toStdString();
        EXPECT_EQ(got.intNums, wanted->intNums);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, KindGolden, testing::ValuesIn(GoldenRows), test::BySituation());

// Phones write anniversaries and year-less days in their own ways: name|kind|rule|date.
TEST(KindCards, PhonesCardsImportAsTheirKinds)
{
    QFile file(dataPath("phones-kinds.vcf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QStringList got;
    for (const ImportRecord &record : readVcardImportBytes(file.readAll(), u"p"_s).reading.records)
        got << record.fields().About + u'|' + record.fields().Kind + u'|'
                + (record.dateIsLunar() ? u"农"_s : u"公"_s) + record.date();
    EXPECT_EQ(got,
        QStringList({ u"苹果纪念日|纪念日|公2010-5-1"_s, u"安卓纪念日|纪念日|公2012-6-2"_s,
            u"四点零纪念日|纪念日|公2001-2-3"_s, u"外公|忌日|公1999-12-31"_s,
            u"无年生日|生日|公4-15"_s, u"生日优先|生日|公1990-1-2"_s }));
}

} // namespace
} // namespace natalis::transfer
