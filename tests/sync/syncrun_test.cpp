#include "support/casename.h"
#include "sync/syncrun.h"

#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

struct RunCase
{
    const char *situation;
    bool addressBook, calendar; // the parts set up
    bool addressBookOk;
    bool stopped; // the user stopped the run during the address book
    bool calendarAfterFailure; // the program's rule; natalis-cli's is false
    const char *ran; // the parts run, in order
};

const RunCase RunCases[] = {
    { "both, address book first", true, true, true, false, false, "AC" },
    { "program pushes the calendar after a failed address book", true, true, false, false, true,
        "AC" },
    { "command line ends at a failed address book", true, true, false, false, false, "A" },
    { "stopped during the address book", true, true, true, true, true, "A" },
    { "calendar alone", false, true, true, false, false, "C" },
    { "address book alone", true, false, true, false, true, "A" },
};

class RunTest : public testing::TestWithParam<RunCase>
{
};

TEST_P(RunTest, TheAddressBookGoesFirstAndTheCalendarOnlyWhenTheRunGoesOn)
{
    const RunCase &row = GetParam();
    std::atomic_bool stop = false;
    std::string ran;
    SyncSteps steps;
    steps.calendarAfterFailedAddressBook = row.calendarAfterFailure;
    if (row.addressBook)
        steps.addressBook = [&] {
            ran += 'A';
            stop = row.stopped;
            CardSyncResult result;
            result.ok = row.addressBookOk;
            return result;
        };
    if (row.calendar)
        steps.calendar = [&] {
            ran += 'C';
            return SyncResult {};
        };
    const SyncRun run = runSyncSteps(steps, &stop);
    EXPECT_EQ(ran, row.ran);
    EXPECT_EQ(run.calendar.has_value(), ran.find('C') != std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Table, RunTest, testing::ValuesIn(RunCases), test::BySituation());

} // namespace
} // namespace natalis::sync
