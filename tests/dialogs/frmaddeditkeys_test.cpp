// The dialogs without a mouse: date boxes opened from the keyboard and typed into, Enter and
// Escape, and a tab order that follows the layout.

#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "dialogs/frmaddedit.h"
#include "dialogs/frmsetup.h"
#include "store/settings.h"
#include "support/qtprinters.h"
#include "support/recordingmessagesink.h"
#include "support/tempdatabase.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace natalis;
using namespace natalis::app;

namespace {

class EditorKeys : public testing::Test
{
protected:
    EditorKeys()
    {
        buffer.Type = QStringLiteral("同事");
        buffer.strGL = QStringLiteral("公历1980年 03月03日");
        buffer.strNL = QStringLiteral("农历1980年 01月17日");
        frmAddEdit::Setup setup;
        setup.pickGregorian = [this](QWidget *, QString &, QString &) {
            ++picks;
            return false;
        };
        setup.pickLunar = [this](QWidget *, QString &, QString &) {
            ++lunarPicks;
            return false;
        };
        editor = std::make_unique<frmAddEdit>(buffer, std::move(setup));
        gl = editor->findChild<QLineEdit *>(QStringLiteral("txtGLDate"));
        nl = editor->findChild<QLineEdit *>(QStringLiteral("txtNLDate"));
    }

    void type(QLineEdit *box, const QString &text)
    {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        // Typed as an input method hands characters over: QTest knows only ASCII keys.
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
        QTest::keyClick(box, Qt::Key_Return);
    }

    store::BirthdayEdit buffer;
    std::unique_ptr<frmAddEdit> editor;
    QLineEdit *gl = nullptr;
    QLineEdit *nl = nullptr;
    int picks = 0;
    int lunarPicks = 0;
};

TEST_F(EditorKeys, PickerKeysOpenTheirPickers)
{
    QTest::keyClick(gl, Qt::Key_F4);
    QTest::keyClick(gl, Qt::Key_Space);
    QTest::keyClick(nl, Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(picks, 2);
    EXPECT_EQ(lunarPicks, 1);
}

TEST_F(EditorKeys, TypedLunarDateFillsBothBoxes)
{
    type(nl, QStringLiteral("2006-闰7-15"));
    EXPECT_EQ(nl->text(), QStringLiteral("农历2006年闰07月15日"));
    EXPECT_EQ(gl->text(), QStringLiteral("公历2006年 09月07日"));
    EXPECT_TRUE(editor->statusText().isEmpty());
    EXPECT_EQ(editor->result(), 0) << "Enter in a date box does not also press OK";
}

TEST_F(EditorKeys, RefusedTypedDateKeepsBothBoxesAndSaysWhy)
{
    type(nl, QStringLiteral("2007-闰7-15"));
    EXPECT_EQ(nl->text(), QStringLiteral("农历1980年 01月17日"));
    EXPECT_EQ(gl->text(), QStringLiteral("公历1980年 03月03日"));
    EXPECT_TRUE(editor->statusText().startsWith(u"农历日期输入有误")) << editor->statusText().toStdString();
    type(gl, QStringLiteral("1980-2-30"));
    EXPECT_TRUE(editor->statusText().startsWith(u"公历日期输入有误"));
    EXPECT_EQ(gl->text(), QStringLiteral("公历1980年 03月03日"));
}

TEST_F(EditorKeys, EnterSavesAndEscapeCancels)
{
    auto *about = editor->findChild<QLineEdit *>(QStringLiteral("txtAbout"));
    about->setText(QStringLiteral("王五"));
    editor->show();
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_EQ(editor->result(), QDialog::Rejected);
    EXPECT_FALSE(editor->EditAccepted);
    EXPECT_TRUE(buffer.About.isEmpty());
    editor->show();
    QTest::keyClick(about, Qt::Key_Return);
    EXPECT_TRUE(editor->EditAccepted);
    EXPECT_EQ(buffer.About, QStringLiteral("王五"));
}

// The names of the focusable controls in Tab order, starting at `first`.
QStringList tabOrder(QWidget *first, int count)
{
    QStringList names;
    QWidget *w = first;
    for (int i = 0; i < count && w; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus && !w->objectName().isEmpty()
            && !w->objectName().startsWith(u"qt_")) {
            names << w->objectName();
            ++i;
        }
    }
    return names;
}

TEST(SetupKeys, TabFollowsTheLayoutAndEnterInTheClassBoxOnlyAdds)
{
    test::TempDatabase database;
    store::Connection connection = database.create();
    auto autoStart = createXdgAutoStart(database.path(QStringLiteral("autostart")));
    auto shortcut = createDesktopShortcut(database.path(QStringLiteral("Desktop")));
    test::RecordingMessageSink messages;
    const auto settings = std::get<store::SettingsRecord>(store::ReadSettings(connection));
    frmSetup dialog(settings,
        { connection, messages, nullptr, *autoStart, *shortcut, QStringLiteral("/opt/natalis"),
            database.path(), 1, {} });
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("cmdOK"));
    EXPECT_TRUE(ok->isDefault());

    const QStringList order =
        tabOrder(dialog.findChild<QWidget *>(QStringLiteral("chkQipao")), 40);
    const auto at = [&order](const char *name) { return order.indexOf(QString::fromLatin1(name)); };
    for (const char *name : { "chkQpInit", "chkFudong", "txtMcFile", "lstJiaQi", "cboNums",
             "cboInitType", "cmdRun", "txtTsBm", "cmdOK", "cmdNo" })
        EXPECT_GE(at(name), 0) << name;
    EXPECT_LT(at("chkQpInit"), at("chkFudong"));
    EXPECT_LT(at("chkMusic"), at("txtMcFile"));
    EXPECT_LT(at("txtMcFile"), at("lstJiaQi"));
    EXPECT_LT(at("cboNums"), at("cboInitType"));
    EXPECT_LT(at("cmdLnk"), at("txtTsBm"));
    EXPECT_LT(at("txtTsBm"), at("cmdOK"));
    EXPECT_LT(at("cmdOK"), at("cmdNo"));

    auto *classText = dialog.findChild<QLineEdit *>(QStringLiteral("txtTsBm"));
    classText->setText(QStringLiteral("研发部"));
    QTest::keyClick(classText, Qt::Key_Return);
    EXPECT_TRUE(classText->text().isEmpty()) << "the entry was added";
    EXPECT_FALSE(dialog.isSaved()) << "and the dialog neither saved nor closed";
    EXPECT_EQ(dialog.result(), 0);
}

} // namespace
