#include "dialogs/frmaddedit.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace natalis::app;
using natalis::store::BirthdayEdit;

namespace {

class Editor : public testing::Test
{
protected:
    frmAddEdit &open(bool batch = false)
    {
        frmAddEdit::Setup setup;
        setup.IsBatchEdit = batch;
        setup.birthdays = { natalis::test::gregorianBirthday(
            QStringLiteral("李四"), QStringLiteral("公历1980年 01月01日")) };
        setup.classNames = { QStringLiteral("销售部"), QStringLiteral("财务部") };
        setup.pickGregorian = [this](QWidget *, QString &gl, QString &nl) {
            ++gregorianPicks;
            pickedWhileBusy = busy;
            gl = QStringLiteral("公历1976年 02月25日");
            nl = QStringLiteral("农历1976年 01月26日");
            return true;
        };
        setup.pickLunar = [this](QWidget *, QString &, QString &) {
            ++lunarPicks;
            return false;
        };
        setup.setModalBusy = [this](int value) { busy = value; };
        editor = std::make_unique<frmAddEdit>(buffer, std::move(setup));
        return *editor;
    }

    template<typename T>
    T *field(const char *name)
    {
        T *widget = editor->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    BirthdayEdit buffer;
    std::unique_ptr<frmAddEdit> editor;
    int gregorianPicks = 0;
    int lunarPicks = 0;
    int busy = 1;
    int pickedWhileBusy = 0;
};

TEST_F(Editor, AddingTitleAndClassList)
{
    buffer.Type = QStringLiteral("同事");
    open();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("生日添加"));
    EXPECT_EQ(field<QComboBox>("cboClass")->count(), 2);
    EXPECT_TRUE(field<QComboBox>("cboClass")->isEnabled());
    EXPECT_TRUE(field<QLineEdit>("txtNo")->isEnabled());
    EXPECT_EQ(field<QComboBox>("cboNums")->count(), 15);
    EXPECT_TRUE(field<QRadioButton>("Option1")->isChecked());
}

TEST_F(Editor, FamilyHasNoClassAndNoStaffNumber)
{
    buffer.Type = QStringLiteral("家人");
    buffer.About = QStringLiteral("妈妈");
    open();
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("生日修改"));
    EXPECT_FALSE(field<QComboBox>("cboClass")->isEnabled());
    EXPECT_FALSE(field<QLineEdit>("txtNo")->isEnabled());
}

TEST_F(Editor, BatchModeChangesOnlyDaysAndSms)
{
    buffer.Type = QStringLiteral("朋友");
    open(true);
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("多个生日修改"));
    EXPECT_FALSE(field<QLineEdit>("txtAbout")->isEnabled());
    EXPECT_FALSE(field<QLineEdit>("txtGLDate")->isEnabled());
    EXPECT_EQ(field<QComboBox>("cboNums")->currentText(), QStringLiteral("7"));
    field<QComboBox>("cboNums")->setCurrentText(QStringLiteral("3"));
    field<QComboBox>("cboDuanXin")->setCurrentText(QStringLiteral("是"));
    editor->cmdOK_Click();
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.intnums, 3);
    EXPECT_EQ(buffer.Duanxin, QStringLiteral("是"));
}

TEST_F(Editor, NameWithBlanksAndQuotesIsAccepted)
{
    buffer.Type = QStringLiteral("朋友");
    open();
    field<QLineEdit>("txtAbout")->setText(QStringLiteral("王 '小 明"));
    editor->cmdOK_Click();
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.About, QStringLiteral("王'小明"));
}

TEST_F(Editor, DuplicateNameKeepsTheDialogOpenWithItsMessage)
{
    buffer.Type = QStringLiteral("朋友");
    open();
    field<QLineEdit>("txtAbout")->setText(QStringLiteral("李四"));
    editor->cmdOK_Click();
    EXPECT_FALSE(editor->EditAccepted);
    EXPECT_EQ(editor->statusText(), QStringLiteral("生日名称重复，请重新输入！"));
    EXPECT_EQ(field<QLineEdit>("txtAbout")->selectedText(), QStringLiteral("李四"));
}

TEST_F(Editor, SmsWithoutGregorianDateOpensThePicker)
{
    buffer.Type = QStringLiteral("朋友");
    open();
    field<QLineEdit>("txtAbout")->setText(QStringLiteral("张三"));
    field<QLineEdit>("txtTel")->setText(QStringLiteral("13912345678"));
    field<QComboBox>("cboDuanXin")->setCurrentText(QStringLiteral("是"));
    editor->cmdOK_Click();
    EXPECT_EQ(editor->statusText(), QStringLiteral("要进行生日短信提醒,公历日期必须输入！"));
    EXPECT_EQ(gregorianPicks, 1);
    EXPECT_EQ(pickedWhileBusy, 2);
    EXPECT_EQ(busy, 1);
    EXPECT_EQ(field<QLineEdit>("txtGLDate")->text(), QStringLiteral("公历1976年 02月25日"));
    EXPECT_EQ(field<QLineEdit>("txtNLDate")->text(), QStringLiteral("农历1976年 01月26日"));
    editor->cmdOK_Click();
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.strNL, QStringLiteral("农历1976年 01月26日"));
}

TEST_F(Editor, CancelledPickerKeepsTheTexts)
{
    buffer.Type = QStringLiteral("朋友");
    buffer.strGL = QStringLiteral("公历1980年 05月06日");
    open();
    editor->openLunarPicker();
    EXPECT_EQ(lunarPicks, 1);
    EXPECT_EQ(field<QLineEdit>("txtGLDate")->text(), QStringLiteral("公历1980年 05月06日"));
}

TEST_F(Editor, CancelLeavesTheBufferAlone)
{
    buffer.Type = QStringLiteral("朋友");
    open();
    field<QLineEdit>("txtAbout")->setText(QStringLiteral("张三"));
    editor->cmdNo_Click();
    EXPECT_FALSE(editor->EditAccepted);
    EXPECT_EQ(buffer.About, QString());
}

} // namespace
