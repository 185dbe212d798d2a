// The desktop portal's light or dark preference, asked of a stand-in portal on a private bus of
// the test's own: the palette turns dark only when the portal prefers dark over a light theme,
// and neither a missing nor a silent portal holds the start up for long.

#include "desktop/colourscheme.h"
#include "support/casename.h"
#include "widgets/skincolors.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QPalette>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Older portals wrap the value in a second variant.
enum class Portal { Absent, Silent, Answers, AnswersWrappedTwice };

// Settings.Read as xdg-desktop-portal answers it for the one key the program reads.
class FakePortalSettings : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    FakePortalSettings(Portal portal, uint scheme) : m_portal(portal), m_scheme(scheme) { }

public Q_SLOTS:
    QDBusVariant Read(const QString &, const QString &)
    {
        setDelayedReply(m_portal == Portal::Silent); // and never answers
        const QDBusVariant value(QVariant::fromValue(m_scheme));
        return m_portal == Portal::AnswersWrappedTwice ? QDBusVariant(QVariant::fromValue(value))
                                                       : value;
    }

private:
    Portal m_portal;
    uint m_scheme;
};

struct SchemeCase
{
    const char *situation;
    Portal portal;
    uint scheme; // 0 no preference, 1 dark, 2 light
    bool themeDark; // the palette Qt found
    bool turnsDark;
    friend void PrintTo(const SchemeCase &c, std::ostream *os) { *os << c.situation; }
};

const SchemeCase SchemeCases[] = {
    { "portal prefers dark over a light theme", Portal::Answers, 1, false, true },
    { "older portal wraps the answer once more", Portal::AnswersWrappedTwice, 1, false, true },
    { "dark theme keeps its own colours", Portal::Answers, 1, true, false },
    { "portal prefers light", Portal::Answers, 2, false, false },
    { "portal has no preference", Portal::Answers, 0, false, false },
    { "no portal on the bus", Portal::Absent, 0, false, false },
    { "portal that never answers", Portal::Silent, 1, false, false },
};

class PortalColourScheme : public testing::TestWithParam<SchemeCase>
{
protected:
    PortalColourScheme()
    {
        // No service folders: a name nobody owns is answered as unknown, never started.
        QFile config(folder.filePath(u"bus.conf"_s));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
            "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                         .arg(folder.path())
                         .toUtf8());
        config.close();
        daemon.start(u"dbus-daemon"_s,
            { u"--nofork"_s, u"--print-address"_s, u"--config-file="_s + config.fileName() });
        if (daemon.waitForReadyRead(5000))
            address = QString::fromUtf8(daemon.readLine()).trimmed();
    }
    ~PortalColourScheme() override
    {
        QApplication::setPalette(themePalette);
        QDBusConnection::disconnectFromBus(u"program"_s);
        QDBusConnection::disconnectFromBus(u"portal"_s);
        daemon.kill();
        daemon.waitForFinished();
    }

    QTemporaryDir folder;
    QProcess daemon;
    QString address;
    const QPalette themePalette = QApplication::palette();
};

TEST_P(PortalColourScheme, DarkensOnlyALightThemeWhenThePortalPrefersDark)
{
    const SchemeCase &row = GetParam();
    ASSERT_FALSE(address.isEmpty()) << "dbus-daemon did not start";
    std::optional<FakePortalSettings> settings;
    if (row.portal != Portal::Absent) {
        QDBusConnection portal = QDBusConnection::connectToBus(address, u"portal"_s);
        settings.emplace(row.portal, row.scheme);
        ASSERT_TRUE(portal.registerObject(
            u"/org/freedesktop/portal/desktop"_s, &*settings, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(portal.registerService(u"org.freedesktop.portal.Desktop"_s));
    }
    const QPalette theme = row.themeDark ? QPalette(Qt::darkBlue, Qt::black) : themePalette;
    QApplication::setPalette(theme);

    QObject context;
    QElapsedTimer waited;
    waited.start();
    QPointer<QObject> call = natalis::desktop::followPortalColourScheme(
        &context, QDBusConnection::connectToBus(address, u"program"_s));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return call.isNull();
        },
        5000))
        << "the answer was never dealt with";
    // The call gives up after half a second; the margin is for a slow machine.
    EXPECT_LT(waited.elapsed(), 2000);

    const QPalette expected = row.turnsDark ? natalis::widgets::darkPalette() : theme;
    EXPECT_EQ(QApplication::palette().color(QPalette::Base), expected.color(QPalette::Base));
    EXPECT_EQ(QApplication::palette().color(QPalette::Text), expected.color(QPalette::Text));
}

INSTANTIATE_TEST_SUITE_P(
    Schemes, PortalColourScheme, testing::ValuesIn(SchemeCases), natalis::test::BySituation {});

} // namespace

#include "colourscheme_test.moc"
