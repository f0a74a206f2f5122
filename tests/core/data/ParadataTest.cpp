// How a test was taken: the effort index, the medians and the early answers
// against values worked out by hand, and the data disk's file of them.
#include "core/data/Paradata.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace mw {
namespace {

TEST(ParadataTest, TheSummaryMatchesHandComputedValues) {
    Paradata paradata;
    // Section 1: 500, 2000, 4000 -> median 2000; section 2: 1999, 3000 ->
    // 2499; section 3 untimed; section 4: 7000. Rapid: 500 and 1999 of six.
    for (const auto& [item, ms] :
         {std::pair{1, 500}, {2, 2000}, {3, 4000}, {94, 1999}, {95, 3000}, {150, 7000}}) {
        paradata.items[item].ms = ms;
    }
    paradata.items[1].early = paradata.items[150].early = true;
    const EffortSummary summary = Summarize(paradata);
    EXPECT_EQ(summary.timed, 6);
    EXPECT_EQ(summary.rapid, 2);
    EXPECT_EQ(FormatIndex(summary.effortIndex), "0.67");
    EXPECT_TRUE(summary.LowEffort());
    EXPECT_EQ(summary.medianMs,
              (std::array<std::optional<int>, 5>{std::nullopt, 2000, 2499, std::nullopt, 7000}));
    EXPECT_EQ(summary.early, 2);
    // Nine careful answers to one rapid one is exactly the threshold: not low.
    Paradata careful;
    for (int item = 1; item <= 10; ++item) careful.items[item].ms = item == 1 ? 100 : 2500;
    EXPECT_FALSE(Summarize(careful).LowEffort());
}

TEST(ParadataTest, EachClientKeepsItsLineAndADamagedLineIsRefusedByName) {
    mwtest::TempDir disk;
    Paradata first, second;
    first.items[1] = {.ms = 1234, .early = true, .repeats = 3, .revisited = true};
    second.items[160].ms = 99;
    ASSERT_TRUE(WriteParadata(LocalFileSystem(), disk.Path(), 5, second));
    ASSERT_TRUE(WriteParadata(LocalFileSystem(), disk.Path(), 3, second));
    ASSERT_TRUE(WriteParadata(LocalFileSystem(), disk.Path(), 3, first));
    auto read = ReadParadata(LocalFileSystem(), disk.Path());
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(*read, (std::map<int, Paradata>{{3, first}, {5, second}}));

    disk.Write(kParadataFileName, "Mirrorwise paradata 1\n3=" + first.ToText() + "\n4=1,0,0,0\n");
    read = ReadParadata(LocalFileSystem(), disk.Path());
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().message.find(std::string(kParadataFileName) + ":3: "), std::string::npos)
        << read.error().message;
}

}  // namespace
}  // namespace mw
