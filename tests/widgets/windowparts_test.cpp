// The window helpers every window uses: fitting windows onto the screen, work on a worker while
// the window thread answers, and the program's pictures.

#include "support/casename.h"
#include "widgets/screenfit.h"
#include "widgets/workerrun.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <atomic>
#include <gtest/gtest.h>

namespace natalis::app {
namespace {

TEST(ScreenFit, AWindowLargerThanTheScreenIsShrunkAndMovedOntoIt)
{
    QWidget window;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    window.resize(available.width() * 2, available.height() * 2);
    window.move(available.right() - 10, available.bottom() - 10);
    widgets::fitToScreen(window);
    EXPECT_LE(window.width(), available.width());
    EXPECT_LE(window.height(), available.height());
    EXPECT_TRUE(available.contains(QRect(window.pos(), window.size())));
}

TEST(ScreenFit, ALayoutLargerThanTheScreenScrollsInsteadOfBeingClipped)
{
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    auto *big = new QLabel(QStringLiteral("很大的内容"));
    big->setMinimumSize(3000, 3000);
    layout->addWidget(big);
    dialog.adjustSize();
    widgets::fitToScreen(dialog);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(dialog.width(), available.width());
    EXPECT_LE(dialog.height(), available.height());
    auto *scroll = dialog.findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    EXPECT_TRUE(scroll->widget()->isAncestorOf(big)) << "still in the dialog";
}

struct FittedCase
{
    const char *situation;
    Qt::WindowFlags flags;
    bool fitted;
    friend void PrintTo(const FittedCase &c, std::ostream *os) { *os << c.situation; }
};

// Windows placed by whoever made them must stay where they were put: the tray's icon window
// moved "onto the screen" left its slot in the tray empty.
const FittedCase FittedCases[] = {
    { "main window or calendar", Qt::Window, true },
    { "dialog", Qt::Dialog, true },
    { "tray icon window", Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint,
        false },
    { "floating strip", Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint, false },
    { "balloon", Qt::ToolTip | Qt::FramelessWindowHint, false },
    { "popup menu", Qt::Popup, false },
};

class FittedWindow : public testing::TestWithParam<FittedCase>
{
};

TEST_P(FittedWindow, OnlyWindowsAPersonMoves)
{
    QWidget window(nullptr, GetParam().flags);
    EXPECT_EQ(widgets::isFittedWindow(window), GetParam().fitted);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, FittedWindow, testing::ValuesIn(FittedCases), natalis::test::BySituation());

// The job counts until told to stop, however long that takes; the count is its result.
int countUntilStopped(widgets::WorkerProgress &progress)
{
    int rounds = 0;
    while (progress.report(rounds % 1000, 1000))
        ++rounds;
    return rounds;
}

TEST(Worker, StopEndsTheJobAndItsResultComesOnTheWindowThread)
{
    QWidget owner;
    auto *bar = new QProgressBar(&owner);
    auto *stop = new QPushButton(&owner);
    std::optional<int> rounds;
    QThread *doneOn = nullptr;
    widgets::startOnWorker(&owner, bar, stop, countUntilStopped, [&](int result) {
        rounds = result;
        doneOn = QThread::currentThread();
    });
    stop->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rounds.has_value(); }));
    EXPECT_EQ(doneOn, QThread::currentThread());
    EXPECT_EQ(bar->value(), 1000);
}

TEST(Worker, AnOwnerGoneFirstStopsTheJobAndHearsNothing)
{
    bool heard = false;
    {
        QObject owner;
        widgets::startOnWorker(
            &owner, nullptr, nullptr, countUntilStopped, [&heard](int) { heard = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(heard);
}

} // namespace
} // namespace natalis::app
