// The variant a user's words choose among a stream's offers.

#include "base/text/variantchoice.h"

#include <gtest/gtest.h>

namespace dromo {
namespace {

using Offer = VariantChoice::Offer;

TEST(VariantChoice, ReadsWhatAPersonTypesAndStoresItOneWay)
{
    const struct {
        const char* typed;
        const char* stored;  // nullptr: refused
    } cases[] = {
        {"", ""},
        {" Best ", ""},
        {"highest", ""},
        {"LOWEST", "lowest"},
        {"worst", "lowest"},
        {"720p", "720p"},
        {"720", "720p"},
        {"1280x720", "1280x720"},
        {"1920X1080", "1920x1080"},
        {"2500k", "2500k"},
        {"2.5M", "2500k"},
        {"2500kbps", "2500k"},
        {"3mbit/s", "3000k"},
        {"2500000", "2500k"},
        {"1234567", "1234567"},
        {"720i", nullptr},
        {"20000p", nullptr},
        {"x720", nullptr},
        {"1280x", nullptr},
        {"-720", nullptr},
        {"0", nullptr},
        {"5k", nullptr},  // below any stream's bandwidth: a typo
        {"2G", nullptr},
        {"fast", nullptr},
        {"1e6", nullptr},
    };
    for (const auto& c : cases) {
        const auto choice = VariantChoice::Parse(c.typed);
        if (c.stored == nullptr) {
            EXPECT_FALSE(choice.has_value()) << c.typed << " read as " << choice->Stored();
            continue;
        }
        ASSERT_TRUE(choice.has_value()) << c.typed;
        EXPECT_EQ(choice->Stored(), c.stored) << c.typed;
        const auto again = VariantChoice::Parse(choice->Stored());
        ASSERT_TRUE(again.has_value()) << c.stored;
        EXPECT_EQ(again->Stored(), c.stored);
    }
}

TEST(VariantChoice, PicksTheBestOfferThatDoesNotExceedTheChoice)
{
    // Not in order of quality, as playlists list them.
    const std::vector<Offer> offers = {
        {1280, 720, 2800000, true},   // 0
        {640, 360, 800000, true},     // 1
        {1920, 1080, 5000000, true},  // 2
        {0, 0, 64000, false},         // 3: audio only
        {1280, 720, 1800000, true},   // 4: the same size, less bandwidth
        {854, 480, 1400000, true},    // 5
    };
    const struct {
        const char* choice;
        int picked;
    } cases[] = {
        {"", 2},         {"lowest", 1},    {"720p", 0},  {"1080p", 2}, {"2160p", 2}, {"600p", 5},
        {"240p", 1},  // none fits: the lowest
        {"1280x720", 0}, {"1000x1000", 5}, {"2000k", 4}, {"1000k", 1}, {"100k", 1},  {"9M", 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(VariantChoice::Parse(c.choice)->Pick(offers), c.picked) << c.choice;
    }
}

TEST(VariantChoice, TakesAudioOnlyOffersOnlyWhenNoneHasVideo)
{
    const std::vector<Offer> audio = {{0, 0, 64000, false}, {0, 0, 192000, false}, {0, 0, 128000, false}};
    EXPECT_EQ(VariantChoice().Pick(audio), 1);
    EXPECT_EQ(VariantChoice::Parse("lowest")->Pick(audio), 0);
    EXPECT_EQ(VariantChoice::Parse("150k")->Pick(audio), 2);
    EXPECT_EQ(VariantChoice::Parse("720p")->Pick(audio), 0);  // says nothing of sound: the lowest
    // Variants that do not say their size are told apart by bandwidth.
    const std::vector<Offer> unsized = {{0, 0, 500000, true}, {0, 0, 900000, true}};
    EXPECT_EQ(VariantChoice().Pick(unsized), 1);
    EXPECT_EQ(VariantChoice().Pick({}), -1);
}

}  // namespace
}  // namespace dromo
