// Every window names closing, accepting and rejecting in the same words, puts those buttons where
// the desktop puts them, gives each Alt key to one control only and a name of its own to each
// control a screen reader lands on, and keeps every text readable in the light and dark palettes.

#include "calendar_ui/frmindate.h"
#include "calendar_ui/frmwnl.h"
#include "desktop/autostart.h"
#include "desktop/desktopshortcut.h"
#include "dialogs/frmaddedit.h"
#include "dialogs/frmbackup.h"
#include "dialogs/frmcontent.h"
#include "dialogs/frmdxhist.h"
#include "dialogs/frmdxsetup.h"
#include "dialogs/frmfilein.h"
#include "dialogs/frmsetup.h"
#include "dialogs/frmverselect.h"
#include "session/smsgatewayprocess.h"
#include "support/casename.h"
#include "support/programfixture.h"
#include "support/unnamedcontrols.h"
#include "transfer/importpreview.h"
#include "widgets/dialogparts.h"
#include "widgets/skincolors.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMap>
#include <QMenuBar>
#include <QPushButton>
#include <vector>

using namespace natalis;
using namespace Qt::StringLiterals;

namespace {

class WindowButtons;
using OpenWindow = QWidget *(WindowButtons::*)();

struct ActButton
{
    const char *name;
    widgets::WindowAct act;
};

struct ButtonCase
{
    const char *situation;
    OpenWindow open;
    std::vector<ActButton> buttons;
    friend void PrintTo(const ButtonCase &c, std::ostream *os) { *os << c.situation; }
};

QList<transfer::ImportRecord> oneImportRow()
{
    store::BirthdayRecord fields;
    fields.About = u"赵"_s;
    return { transfer::ImportRecord(fields, {}, false) };
}

class WindowButtons : public test::ProgramTest, public testing::WithParamInterface<ButtonCase>
{
public:
    QWidget *mainWindow() { return &openWindow(); }
    QWidget *calendar()
    {
        openProgram().openCalendar(false);
        return program->calendarWindow();
    }
    QWidget *gregorianPicker()
    {
        return keep<calendar_ui::frmInDate>(1, QDate(2025, 5, 1), u"公历1980年 03月03日"_s);
    }
    QWidget *editor() { return keep<dialogs::frmAddEdit>(buffer, dialogs::frmAddEdit::Setup {}); }
    QWidget *settings()
    {
        return keep<dialogs::frmSetup>(context.Settings,
            dialogs::frmSetup::Services { *context.DbConnection, messages, nullptr, *autoStart,
                *shortcut, u"/opt/natalis/natalis"_s, database.path(), 1, {} });
    }
    QWidget *smsSettings()
    {
        return keep<dialogs::frmDxSetup>(
            dialogs::frmDxSetup::Services { *context.DbConnection, messages, context.Settings,
                context.SmsAccounts, u"PC-1"_s, processSmsGateway(context), 1 });
    }
    QWidget *smsHistory()
    {
        return keep<dialogs::frmDxHist>(dialogs::frmDxHist::Services {
            *context.DbConnection, context.SmsAccounts, clock, u"PC-1"_s, 1 });
    }
    QWidget *importPreview()
    {
        return keep<dialogs::frmFileIn>(transfer::buildImportPreview(oneImportRow(), {}),
            transfer::ImportLayout::Tab, *context.DbConnection, clock, 1);
    }
    QWidget *versionChoice() { return keep<dialogs::frmVerSelect>(); }
    QWidget *backups() { return keep<dialogs::frmBackup>(QList<store::BackupEntry> {}, 1); }
    QWidget *dayList() { return keep<dialogs::frmContent>(u"公历2025年05月01日"_s, QString(), 1); }

private:
    store::BirthdayEdit buffer;

    template<typename Window, typename... Args>
    QWidget *keep(Args &&...args)
    {
        windows.push_back(std::make_unique<Window>(std::forward<Args>(args)...));
        return windows.back().get();
    }

    std::unique_ptr<desktop::AutoStart> autoStart =
        desktop::createXdgAutoStart(database.path(u"autostart"_s));
    std::unique_ptr<desktop::DesktopShortcut> shortcut =
        desktop::createDesktopShortcut(database.path(u"Desktop"_s));
    std::vector<std::unique_ptr<QWidget>> windows;
};

// The controls of window taking each Alt letter: buttons, labels and menu titles (entries inside
// a menu act only while it is open).
QMap<QChar, QStringList> mnemonicTakers(QWidget *window)
{
    QStringList texts;
    for (auto *button : window->findChildren<QAbstractButton *>())
        texts << button->text();
    for (auto *label : window->findChildren<QLabel *>())
        texts << label->text();
    for (auto *bar : window->findChildren<QMenuBar *>()) {
        for (QAction *title : bar->actions())
            texts << title->text();
    }
    QMap<QChar, QStringList> takers;
    for (const QString &text : texts) {
        const QString unescaped = QString(text).replace(u"&&"_s, QString());
        const qsizetype at = unescaped.indexOf(u'&');
        if (at >= 0 && at + 1 < unescaped.size())
            takers[unescaped[at + 1].toUpper()] << text;
    }
    return takers;
}

const std::vector<ActButton> CloseOnly = { { "cmdExit", widgets::WindowAct::Close } };
const std::vector<ActButton> AcceptOrReject = { { "cmdOK", widgets::WindowAct::Accept },
    { "cmdNo", widgets::WindowAct::Reject } };

const ButtonCase ButtonCases[] = {
    { "main window and its SMS panel", &WindowButtons::mainWindow, CloseOnly },
    { "perpetual calendar", &WindowButtons::calendar, CloseOnly },
    { "date picker, both calendars'", &WindowButtons::gregorianPicker, CloseOnly },
    { "birthday editor", &WindowButtons::editor, AcceptOrReject },
    { "settings", &WindowButtons::settings, AcceptOrReject },
    { "SMS settings", &WindowButtons::smsSettings, AcceptOrReject },
    { "SMS send history", &WindowButtons::smsHistory, { { "cmdOK", widgets::WindowAct::Close } } },
    { "import preview", &WindowButtons::importPreview, AcceptOrReject },
    { "old version choice", &WindowButtons::versionChoice, AcceptOrReject },
    { "backups", &WindowButtons::backups, { { "cmdCancel", widgets::WindowAct::Close } } },
    { "day lists, a day's and today's", &WindowButtons::dayList, CloseOnly },
};

TEST_P(WindowButtons, OneWordingPerActInTheDesktopsPlaceAndEachAltLetterOnce)
{
    QWidget *window = (this->*GetParam().open)();
    ASSERT_NE(window, nullptr);
    for (const ActButton &expected : GetParam().buttons) {
        auto *button = window->findChild<QPushButton *>(QLatin1String(expected.name));
        ASSERT_NE(button, nullptr) << expected.name;
        EXPECT_EQ(button->text(), actCaption(expected.act)) << expected.name;
        // The main window's row is no dialog's: it keeps its own order.
        if (!qobject_cast<QDialog *>(window))
            continue;
        auto *box = qobject_cast<QDialogButtonBox *>(button->parentWidget());
        ASSERT_NE(box, nullptr) << expected.name << " is not in a button box";
        EXPECT_EQ(box->buttonRole(button),
            expected.act == widgets::WindowAct::Accept ? QDialogButtonBox::AcceptRole
                                                       : QDialogButtonBox::RejectRole)
            << expected.name;
    }
    const QMap<QChar, QStringList> takers = mnemonicTakers(window);
    for (auto taken = takers.begin(); taken != takers.end(); ++taken)
        EXPECT_EQ(taken->size(), 1) << "Alt+" << QString(taken.key()).toStdString() << ": "
                                    << taken->join(u" / "_s).toStdString();
}

// The main window's SMS panel is walked too: its hidden controls are in the tree, shown once it
// opens.
TEST_P(WindowButtons, EveryControlHasANameOfItsOwnForScreenReaders)
{
    QWidget *window = (this->*GetParam().open)();
    ASSERT_NE(window, nullptr);
    const QStringList unnamed = test::unnamedControls(window);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(u", "_s).toStdString();
}

// What a label's text stands on: the nearest widget up the tree that paints its own background.
QColor backgroundBehind(const QWidget *label)
{
    const QWidget *under = label;
    while (!under->isWindow() && !under->autoFillBackground())
        under = under->parentWidget();
    return under->palette().color(under->backgroundRole());
}

// The desktop's palette comes back however the test ends.
struct KeepPalette
{
    const QPalette before = QApplication::palette();
    ~KeepPalette() { QApplication::setPalette(before); }
};

// Disabled texts are left out: they say the control does not act now, as WCAG allows.
TEST_P(WindowButtons, EveryTextReadsOnItsBackgroundInTheLightAndTheDarkPalette)
{
    const KeepPalette desktop;
    for (const auto &[mode, palette] :
        { std::pair { "light", desktop.before }, std::pair { "dark", widgets::darkPalette() } }) {
        QApplication::setPalette(palette);
        QWidget *window = (this->*GetParam().open)();
        ASSERT_NE(window, nullptr);
        window->ensurePolished();
        for (const QLabel *label : window->findChildren<QLabel *>()) {
            if (label->text().trimmed().isEmpty() || !label->isEnabled())
                continue;
            const QColor text = label->palette().color(label->foregroundRole());
            EXPECT_GE(
                widgets::contrastRatio(text, backgroundBehind(label)), widgets::ReadableContrast)
                << mode << ": " << label->text().toStdString() << " in "
                << text.name().toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowButtons, testing::ValuesIn(ButtonCases), test::BySituation {});

} // namespace
