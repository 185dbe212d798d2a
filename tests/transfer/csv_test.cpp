#include "support/casename.h"
#include "support/qtprinters.h"
#include "transfer/csvfile.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

struct CsvRow
{
    const char *situation;
    QString text;
    QList<QStringList> records;
    QList<qsizetype> lines {};
};

using CsvRecords = testing::TestWithParam<CsvRow>;

TEST_P(CsvRecords, SplitsAsRfc4180)
{
    const CsvRow &row = GetParam();
    QList<QStringList> records;
    QList<qsizetype> lines;
    forEachCsvRecord(row.text, [&](const CsvRecord &record) {
        records << record.fields;
        lines << record.line;
        return true;
    });
    EXPECT_EQ(records, row.records);
    if (!row.lines.isEmpty()) {
        EXPECT_EQ(lines, row.lines);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CsvRecords,
    testing::Values(CsvRow { "plain fields, CR LF", u"a,b,c\r\nd,,f\r\n"_s,
                        { { u"a"_s, u"b"_s, u"c"_s }, { u"d"_s, QString(), u"f"_s } } },
        CsvRow { "quoted comma, doubled quote and line break",
            u"\"x,y\",\"say \"\"hi\"\"\",\"1\r\n2\"\n3"_s,
            { { u"x,y"_s, u"say \"hi\""_s, u"1\n2"_s }, { u"3"_s } }, { 1, 3 } },
        CsvRow {
            "blank lines give no record", u"a\r\n\r\n\nb"_s, { { u"a"_s }, { u"b"_s } }, { 1, 4 } },
        CsvRow { "a quote never closed is a character and swallows no line",
            u"a,b\n\"open,x\nstill,y\n"_s,
            { { u"a"_s, u"b"_s }, { u"\"open"_s, u"x"_s }, { u"still"_s, u"y"_s } }, { 1, 2, 3 } },
        CsvRow { "empty last field", u"a,\n"_s, { { u"a"_s, QString() } } }),
    test::BySituation());

TEST(CsvField, QuotesOnlyWhatNeedsIt)
{
    EXPECT_EQ(csvRecord({ u"张三"_s, u"a,b"_s, u"say \"hi\""_s, u"1\n2"_s, u" x"_s, QString() }),
        u"张三,\"a,b\",\"say \"\"hi\"\"\",\"1\n2\",\" x\","_s);
}

} // namespace
} // namespace natalis::transfer
