#include "store/classtables.h"
#include "store/connection.h"
#include "support/qtprinters.h"
#include "support/tempdatabase.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace natalis::store {
namespace {

class ClassTablesTest : public testing::Test
{
protected:
    test::TempDatabase files;
    Connection db = files.create();
};

TEST_F(ClassTablesTest, CategoriesAndTabsSelectTheSameTables)
{
    const std::pair<const char16_t *, std::optional<ClassTable>> categories[] = {
        { u"同事", ClassTable::Tsclass },
        { u"客户", ClassTable::Khclass },
        { u"代理商", ClassTable::Dlsclass },
        { u"供应商", ClassTable::Gysclass },
        { u"家人", std::nullopt },
        { u"", std::nullopt },
    };
    for (const auto &[category, table] : categories)
        EXPECT_EQ(classTableForCategory(QStringView(category)), table);
    EXPECT_EQ(classTableForTab(0), std::nullopt);
    EXPECT_EQ(classTableForTab(1), ClassTable::Tsclass);
    EXPECT_EQ(classTableForTab(4), ClassTable::Gysclass);
    EXPECT_EQ(classTableForTab(5), std::nullopt);
}

TEST_F(ClassTablesTest, SavingOneClassTwiceKeepsOneRow)
{
    AddClassFromEditor(db, u"客户", u"大客户"_s);
    AddClassFromEditor(db, u"客户", u" 大客户 "_s);
    AddClassFromEditor(db, u"客户", u"小客户"_s);
    AddClassFromEditor(db, u"家人", u"亲戚"_s);
    EXPECT_EQ(readClassNames(db, ClassTable::Khclass), (QStringList { u"大客户"_s, u"小客户"_s }));
    for (ClassTable table : { ClassTable::Tsclass, ClassTable::Dlsclass, ClassTable::Gysclass })
        EXPECT_TRUE(readClassNames(db, table).isEmpty()) << "a category without a table adds none";
}

// Refused duplicates and deleting are the settings dialog's own test.
TEST_F(ClassTablesTest, SettingsDialogInsertsIntoItsTabsTableOnly)
{
    EXPECT_TRUE(ChangeClassTable(db, 1, 1, u"研发部"_s));
    EXPECT_TRUE(ChangeClassTable(db, 1, 2, u"研发部"_s));
    EXPECT_TRUE(ChangeClassTable(db, 1, 1, u"O'Brien's"_s));
    EXPECT_EQ(
        readClassNames(db, ClassTable::Tsclass), (QStringList { u"研发部"_s, u"O'Brien's"_s }));
    EXPECT_FALSE(ChangeClassTable(db, 1, 5, u"x"_s));
}

} // namespace
} // namespace natalis::store
