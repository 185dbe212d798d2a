#include "store/ansicodec.h"
#include "support/casename.h"
#include "support/qtprinters.h"
#include "transfer/importreader.h"
#include "transfer/numberfile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::transfer {
namespace {

namespace test = natalis::test;

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
        NumberFileRow { "empty file", "", {}, {} },
        NumberFileRow { "blanks around and no final newline", "  13912345678 \n\t13812345678", {},
            { u"13912345678"_s, u"13812345678"_s } },
        NumberFileRow {
            "repeated in the file", "13912345678\n13912345678\n", {}, { u"13912345678"_s } },
        NumberFileRow { "names and short numbers skipped", "张三 13912345678\n12345\n01391234567\n",
            {}, { u"01391234567"_s } },
        NumberFileRow { "binary junk skipped", QByteArray("\x01\xff\xfe\n13912345678\n", 17), {},
            { u"13912345678"_s } },
        NumberFileRow { "UTF-8 with a byte order mark",
            "\xEF\xBB\xBF"
            "13912345678\n",
            {}, { u"13912345678"_s } }),
    test::BySituation {});

TEST(NumberFileReadTest, MissingFileIsUnreadable)
{
    QTemporaryDir dir;
    const NumberFileReading reading = readPhoneNumberFile(dir.filePath(u"none.txt"_s), {});
    EXPECT_FALSE(reading.readable);
    EXPECT_TRUE(reading.added.isEmpty());
}

TEST(NumberFileReadTest, GbkFileIsRead)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"numbers.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(store::toAnsi(u"客户号码\r\n13912345678\r\n"_s));
    file.close();
    const NumberFileReading reading = readPhoneNumberFile(file.fileName(), {});
    EXPECT_TRUE(reading.readable);
    EXPECT_EQ(reading.added, QStringList { u"13912345678"_s });
}

TEST(NumberFile, OversizedOrIrregularFilesAreRefusedAsTheBirthdayImportRefusesThem)
{
    QTemporaryDir folder;
    QFile big(folder.filePath(u"big.txt"_s));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("13912345678\r\n");
    // Sparse: the size counts, not the bytes on disk.
    ASSERT_TRUE(big.resize(MaxImportFileBytes + 1));
    big.close();
    const NumberFileReading oversized = readPhoneNumberFile(big.fileName(), {});
    EXPECT_FALSE(oversized.readable);
    EXPECT_EQ(oversized.refusal, u"超过512MB,"_s);
    EXPECT_TRUE(oversized.added.isEmpty());

    const NumberFileReading directory = readPhoneNumberFile(folder.path(), {});
    EXPECT_FALSE(directory.readable);
    EXPECT_EQ(directory.refusal, u"不是普通文件,"_s);

    const ImportReading birthdays = readImportFile(big.fileName(), ImportLayout::Tab);
    ASSERT_TRUE(birthdays.failure);
    EXPECT_EQ(birthdays.failure->boxText, big.fileName() + u"超过512MB,没有导入任何生日!"_s);
}

} // namespace
} // namespace natalis::transfer
