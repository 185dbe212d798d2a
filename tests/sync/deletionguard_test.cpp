#include "support/casename.h"
#include "sync/deletionguard.h"

#include <gtest/gtest.h>

namespace natalis::sync {
namespace {

struct GuardRow
{
    const char *situation;
    DeletionCount count;
    DeletionHold hold;
};

class Guard : public testing::TestWithParam<GuardRow>
{
};

TEST_P(Guard, StopsAMassDeletionBeforeItHappens)
{
    EXPECT_EQ(holdDeletions(GetParam().count), GetParam().hold);
}

// synced, gone there, would delete here, here, collection gone.
const GuardRow GuardRows[] = {
    { "nothing gone", { 40, 0, 0, 40, false }, DeletionHold::None },
    { "the last birthday deleted on another computer", { 1, 1, 1, 1, false }, DeletionHold::None },
    { "collection deleted", { 40, 40, 40, 40, true }, DeletionHold::CollectionGone },
    { "collection deleted, every birthday changed here since", { 3, 3, 0, 3, true },
        DeletionHold::None },
    { "emptied", { 40, 40, 40, 40, false }, DeletionHold::Emptied },
    { "made anew without our cards, some changed here", { 40, 40, 30, 45, false },
        DeletionHold::Emptied },
    { "more than half and more than five", { 40, 21, 21, 40, false }, DeletionHold::MassDeletion },
    { "exactly half", { 40, 20, 20, 40, false }, DeletionHold::None },
    { "more than half but only five", { 8, 5, 5, 8, false }, DeletionHold::None },
    { "the first sync of a new computer", { 0, 0, 0, 12, false }, DeletionHold::None },
};
INSTANTIATE_TEST_SUITE_P(Rules, Guard, testing::ValuesIn(GuardRows), test::BySituation());

} // namespace
} // namespace natalis::sync
