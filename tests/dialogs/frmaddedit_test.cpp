// The editor's validation and cleaning are the store's (birthdayedit_test); here what the window
// does around them, and its date boxes used from the keyboard.

#include "dialogs/frmaddedit.h"
#include "store/birthdayedit.h"
#include "support/birthdaybuilder.h"
#include "support/casename.h"
#include "support/qtprinters.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

class Editor : public testing::Test
{
public:
    Editor()
    {
        buffer.Type = u"同事"_s;
        buffer.strGL = u"公历1980年 03月03日"_s;
        buffer.strNL = u"农历1980年 01月17日"_s;
    }

    dialogs::frmAddEdit &open(bool batch = false)
    {
        dialogs::frmAddEdit::Setup setup;
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
        setup.today = QDate(2025, 6, 1);
        editor = std::make_unique<dialogs::frmAddEdit>(buffer, std::move(setup));
        return *editor;
    }

    QLineEdit *box(const char *name) { return editor->findChild<QLineEdit *>(QLatin1String(name)); }
    QComboBox *combo(const char *name)
    {
        return editor->findChild<QComboBox *>(QLatin1String(name));
    }
    template<class Control>
    Control *control(const char *name)
    {
        return editor->findChild<Control *>(QLatin1String(name));
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
    std::unique_ptr<dialogs::frmAddEdit> editor;
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

// One entry of each kind, filled as a user does, from OK to the record that is stored; the next
// dates as the editor shows them from 1 June 2025.
struct KindRow
{
    const char *situation;
    std::function<void(Editor &)> fill;
    natalis::store::BirthdayRecord stored; // the fields compared below
    QStringList firstDates;
    friend void PrintTo(const KindRow &row, std::ostream *os) { *os << row.situation; }
};

class EditorKinds : public Editor, public testing::WithParamInterface<KindRow>
{
};

TEST_P(EditorKinds, StoresWhatTheControlsShowAndPreviewsTheDates)
{
    const KindRow &row = GetParam();
    buffer.strGL = u"公历1990年 05月02日"_s;
    buffer.strNL = u"农历1990年 04月08日"_s;
    open();
    box("txtAbout")->setText(u"奶奶"_s);
    row.fill(*this);
    const QListWidget *dates = control<QListWidget>("lstNextDates");
    QStringList shown;
    for (int i = 0; i < row.firstDates.size(); ++i)
        shown << dates->item(i)->text();
    EXPECT_EQ(shown, row.firstDates);
    editor->cmdOK_Click();
    ASSERT_TRUE(editor->EditAccepted) << editor->statusText().toStdString();
    const auto stored = natalis::store::recordFromEdit(buffer);
    for (const auto field : { &natalis::store::BirthdayRecord::Kind,
             &natalis::store::BirthdayRecord::Days, &natalis::store::BirthdayRecord::LeapRule,
             &natalis::store::BirthdayRecord::strGL, &natalis::store::BirthdayRecord::strNL,
             &natalis::store::BirthdayRecord::blnIsGL, &natalis::store::BirthdayRecord::Duanxin })
        EXPECT_EQ(stored.*field, row.stored.*field);
    EXPECT_EQ(stored.intNums, row.stored.intNums);
}

natalis::store::BirthdayRecord storedAs(const QString &kind, const QString &days, qint16 first,
    const QString &gl, const QString &nl, const QString &by, const QString &leap = u"平月"_s)
{
    natalis::store::BirthdayRecord record;
    record.Kind = kind;
    record.Days = days;
    record.intNums = first;
    record.strGL = gl;
    record.strNL = nl;
    record.blnIsGL = by;
    record.LeapRule = leap;
    record.Duanxin = u"否"_s;
    return record;
}

INSTANTIATE_TEST_SUITE_P(OneOfEach, EditorKinds,
    testing::Values(KindRow { "birthday, the day itself ticked beside the seven days before",
                        [](Editor &e) { e.control<QCheckBox>("chkDay_0")->click(); },
                        storedAs(u"生日"_s, u"7,0"_s, 7, u"公历1990年 05月02日"_s,
                            u"农历1990年 04月08日"_s, u"按公历提醒"_s),
                        { u"2026-05-02 星期六 周岁36 虚岁37"_s } },
        KindRow { "anniversary with days typed, ticks following",
            [](Editor &e) {
                e.combo("cboKind")->setCurrentText(u"纪念日"_s);
                e.box("txtDays")->setText(u"7,1,0"_s);
                EXPECT_TRUE(e.control<QCheckBox>("chkDay_1")->isChecked());
            },
            storedAs(u"纪念日"_s, u"7,1,0"_s, 7, u"公历1990年 05月02日"_s, u"农历1990年 04月08日"_s,
                u"按公历提醒"_s),
            { u"2026-05-02 星期六 36周年"_s } },
        KindRow { "memorial by a lunar leap month without a year, skipping years without it",
            [](Editor &e) {
                e.combo("cboDuanXin")->setCurrentText(u"是"_s);
                e.combo("cboKind")->setCurrentText(u"忌日"_s);
                e.control<QRadioButton>("Option2")->setChecked(true);
                e.control<QCheckBox>("chkNoYear")->setChecked(true);
                e.type(e.box("txtNLDate"), u"闰6-1"_s);
                EXPECT_TRUE(e.combo("cboLeapRule")->isVisibleTo(e.editor.get()));
                e.combo("cboLeapRule")->setCurrentText(u"跳过"_s);
            },
            storedAs(u"忌日"_s, QString(), 7, QString(), u"农历0000年闰06月01日"_s, u"按农历提醒"_s,
                u"跳过"_s),
            { u"2025-07-25 星期五"_s, u"2036-07-23 星期三"_s } }),
    natalis::test::BySituation());

} // namespace
