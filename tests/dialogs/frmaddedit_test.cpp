// The editor's validation and cleaning are the store's (birthdayedit_test); here what the window
// does around them, and its date boxes used from the keyboard.

#include "dialogs/frmaddedit.h"
#include "support/birthdaybuilder.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace natalis::app;
using namespace Qt::StringLiterals;

namespace {

class Editor : public testing::Test
{
protected:
    Editor()
    {
        buffer.Type = u"同事"_s;
        buffer.strGL = u"公历1980年 03月03日"_s;
        buffer.strNL = u"农历1980年 01月17日"_s;
    }

    frmAddEdit &open(bool batch = false)
    {
        frmAddEdit::Setup setup;
        setup.IsBatchEdit = batch;
        setup.birthdays = { natalis::test::gregorianBirthday(u"李四"_s, u"公历1980年 01月01日"_s) };
        setup.pickGregorian = [this](QWidget *, QString &gl, QString &nl) {
            picks << u"公历"_s + QString::number(busy);
            gl = u"公历1976年 02月25日"_s;
            nl = u"农历1976年 01月26日"_s;
            return true;
        };
        setup.pickLunar = [this](QWidget *, QString &, QString &) {
            picks << u"农历"_s + QString::number(busy);
            return false;
        };
        setup.setModalBusy = [this](int value) { busy = value; };
        editor = std::make_unique<frmAddEdit>(buffer, std::move(setup));
        return *editor;
    }

    QLineEdit *box(const char *name) { return editor->findChild<QLineEdit *>(QLatin1String(name)); }
    QComboBox *combo(const char *name)
    {
        return editor->findChild<QComboBox *>(QLatin1String(name));
    }

    // Typed as an input method hands characters over (QTest knows only ASCII keys), then Enter.
    void type(QLineEdit *target, const QString &text)
    {
        target->selectAll();
        QTest::keyClick(target, Qt::Key_Backspace);
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(target, &press);
        }
        QTest::keyClick(target, Qt::Key_Return);
    }

    natalis::store::BirthdayEdit buffer;
    std::unique_ptr<frmAddEdit> editor;
    QStringList picks; // which picker opened, and the busy state it saw
    int busy = 1;
};

TEST_F(Editor, ClassAndStaffNumberOnlyForTheCategoriesThatHaveThem)
{
    open();
    EXPECT_TRUE(combo("cboClass")->isEnabled() && box("txtNo")->isEnabled()) << "同事";
    buffer.Type = u"家人"_s;
    open();
    EXPECT_FALSE(combo("cboClass")->isEnabled() || box("txtNo")->isEnabled()) << "家人";
}

TEST_F(Editor, BatchModeChangesOnlyDaysAndSms)
{
    open(true);
    EXPECT_FALSE(box("txtAbout")->isEnabled());
    EXPECT_FALSE(box("txtGLDate")->isEnabled());
    EXPECT_EQ(combo("cboNums")->currentText(), u"7"_s);
    combo("cboNums")->setCurrentText(u"3"_s);
    combo("cboDuanXin")->setCurrentText(u"是"_s);
    editor->cmdOK_Click();
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.intnums, 3);
    EXPECT_EQ(buffer.Duanxin, u"是"_s);
}

// A refusal keeps the dialog open with its message: the refused field selected, or the
// Gregorian picker opened (as a modal window) when SMS reminders need the date.
TEST_F(Editor, RefusalsKeepTheDialogOpenAndPointAtTheField)
{
    buffer.Type = u"朋友"_s; // 李四's category
    buffer.strGL.clear();
    buffer.strNL.clear();
    open();
    box("txtAbout")->setText(u"李四"_s);
    editor->cmdOK_Click();
    EXPECT_EQ(editor->statusText(), u"生日名称重复，请重新输入！"_s);
    EXPECT_EQ(box("txtAbout")->selectedText(), u"李四"_s);
    box("txtAbout")->setText(u"张三"_s);
    box("txtTel")->setText(u"13912345678"_s);
    combo("cboDuanXin")->setCurrentText(u"是"_s);
    editor->cmdOK_Click();
    EXPECT_FALSE(editor->EditAccepted);
    EXPECT_EQ(editor->statusText(), u"要进行生日短信提醒,公历日期必须输入！"_s);
    EXPECT_EQ(picks, QStringList { u"公历2"_s });
    EXPECT_EQ(busy, 1);
    EXPECT_EQ(box("txtNLDate")->text(), u"农历1976年 01月26日"_s);
    editor->cmdOK_Click();
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.strGL, u"公历1976年 02月25日"_s);
}

TEST_F(Editor, DateBoxesOpenTheirPickersFromTheKeyboardAndTheMouse)
{
    open();
    QTest::keyClick(box("txtGLDate"), Qt::Key_F4);
    QTest::keyClick(box("txtGLDate"), Qt::Key_Down);
    QTest::keyClick(box("txtNLDate"), Qt::Key_Space);
    QTest::keyClick(box("txtNLDate"), Qt::Key_Down, Qt::AltModifier);
    QTest::mouseClick(box("txtNLDate"), Qt::LeftButton);
    EXPECT_EQ(picks.join(u' '), u"公历2 农历2 农历2 农历2"_s) << "plain Down is not a picker's key";
    EXPECT_EQ(box("txtNLDate")->text(), u"农历1976年 01月26日"_s)
        << "the Gregorian pick filled both boxes, the cancelled ones left them";
}

TEST_F(Editor, TypedDatesFillBothBoxesOrKeepThemAndSayWhyAndEnterElsewhereSaves)
{
    open();
    const auto shown = [this] { return box("txtGLDate")->text() + box("txtNLDate")->text(); };
    type(box("txtNLDate"), u"2007-闰7-15"_s);
    EXPECT_TRUE(editor->statusText().startsWith(u"农历日期输入有误"));
    type(box("txtGLDate"), QString());
    EXPECT_TRUE(editor->statusText().startsWith(u"农历")) << "an emptied box says nothing";
    type(box("txtGLDate"), u"1980-2-30"_s);
    EXPECT_TRUE(editor->statusText().startsWith(u"公历日期输入有误"));
    EXPECT_EQ(shown(), u"公历1980年 03月03日农历1980年 01月17日"_s);
    type(box("txtNLDate"), u"2006-闰7-15"_s);
    EXPECT_EQ(shown(), u"公历2006年 09月07日农历2006年闰07月15日"_s);
    EXPECT_EQ(editor->statusText(), QString()) << "a good date clears the date's error";
    EXPECT_FALSE(editor->EditAccepted) << "Enter in a date box does not also press OK";
    box("txtAbout")->setText(u"王五"_s);
    editor->show();
    QTest::keyClick(box("txtAbout"), Qt::Key_Return);
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.strNL, u"农历2006年闰07月15日"_s);
}

} // namespace
