// How long a song may be and still be kept whole in memory, and at what quality.

#include "desktop/musicplayer.h"
#include "support/casename.h"

#include <gtest/gtest.h>

namespace natalis::app {
namespace {

struct KeptCase
{
    const char *situation;
    int serverRate;
    qint64 milliseconds;
    desktop::KeptSound expected;
    friend void PrintTo(const KeptCase &c, std::ostream *os) { *os << c.situation; }
};

const KeptCase KeptCases[] = {
    { "three minutes at full quality", 44100, 180'000, { 44100, 2, true } },
    { "four minutes at 48 kHz in mono", 48000, 240'000, { 48000, 1, true } },
    { "five minutes in mono at the server's rate", 44100, 300'000, { 44100, 1, true } },
    { "eight minutes in mono at a lower rate", 44100, 480'000, { 34952, 1, true } },
    { "thirteen minutes decoded as it plays", 44100, 780'000, { 22050, 1, false } },
    { "length not known: decoded as it plays", 44100, -1, { 44100, 2, false } },
};

class Kept : public testing::TestWithParam<KeptCase>
{
};

TEST_P(Kept, WholeWithinTheMemoryItMayTake)
{
    const desktop::KeptSound kept =
        desktop::keptSound(GetParam().serverRate, GetParam().milliseconds);
    EXPECT_EQ(kept.sampleRate, GetParam().expected.sampleRate);
    EXPECT_EQ(kept.channels, GetParam().expected.channels);
    EXPECT_EQ(kept.whole, GetParam().expected.whole);
}

INSTANTIATE_TEST_SUITE_P(Songs, Kept, testing::ValuesIn(KeptCases), natalis::test::BySituation());

} // namespace
} // namespace natalis::app
