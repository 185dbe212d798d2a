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

} // namespace
} // namespace natalis::store
