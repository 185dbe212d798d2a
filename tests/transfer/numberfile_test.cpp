#include "store/ansicodec.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"
#include "transfer/importreader.h"
#include "transfer/numberfile.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

struct NumberFileRow
{
    const char *situation;
    QByteArray bytes;
    QStringList listed;
    QStringList added;
};

using NumberFileTest = testing::TestWithParam<NumberFileRow>;

TEST_P(NumberFileTest, TakesNewPhoneNumbersOnly)
{
    const NumberFileRow &row = GetParam();
    EXPECT_EQ(newPhoneNumbers(row.bytes, row.listed), row.added);
}

INSTANTIATE_TEST_SUITE_P(Table, NumberFileTest,
    testing::Values(NumberFileRow { "all already listed", "13912345678\r\n02112345678\r\n",
                        { u"02112345678"_s, u"13912345678"_s }, {} },
        NumberFileRow { "blanks around and no final newline", "  13912345678 \n\t13812345678", {},
            { u"13912345678"_s, u"13812345678"_s } },
        NumberFileRow {
            "repeated in the file", "13912345678\n13912345678\n", {}, { u"13912345678"_s } },
        NumberFileRow { "names and short numbers skipped", "张三 13912345678\n12345\n01391234567\n",
            {}, { u"01391234567"_s } },
        NumberFileRow { "UTF-8 with a byte order mark",
            "\xEF\xBB\xBF"
            "13912345678\n",
            {}, { u"13912345678"_s } }),
    test::BySituation {});

// The files a reading refuses are the birthday import's: a missing one, a folder, one over the
// size limit (sparse, so the size counts and not the bytes on disk).
TEST(NumberFileReadTest, ReadsGbkAndRefusesAsTheBirthdayImport)
{
    test::TempDatabase folder;
    folder.write(u"numbers.txt"_s, store::toAnsi(u"客户号码\r\n13912345678\r\n"_s));
    const NumberFileReading gbk = readPhoneNumberFile(folder.path(u"numbers.txt"_s), {});
    EXPECT_TRUE(gbk.readable);
    EXPECT_EQ(gbk.added, QStringList { u"13912345678"_s });

    EXPECT_FALSE(readPhoneNumberFile(folder.path(u"none.txt"_s), {}).readable);
    EXPECT_EQ(readPhoneNumberFile(folder.folder(), {}).refusal, u"不是普通文件,"_s);

    const QString big = folder.path(u"numbers.txt"_s);
    ASSERT_TRUE(QFile::resize(big, MaxImportFileBytes + 1));
    const NumberFileReading oversized = readPhoneNumberFile(big, {});
    EXPECT_FALSE(oversized.readable);
    EXPECT_EQ(oversized.refusal, u"超过512MB,"_s);
    EXPECT_TRUE(oversized.added.isEmpty());
    const ImportReading birthdays = readImportFile(big, ImportLayout::Tab);
    ASSERT_TRUE(birthdays.failure);
    EXPECT_EQ(birthdays.failure->boxText, big + u"超过512MB,没有导入任何生日!"_s);
}

} // namespace
} // namespace natalis::transfer
