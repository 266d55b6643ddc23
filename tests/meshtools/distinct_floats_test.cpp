// Distinct float values with their ranks.

#include "meshtools/distinct_floats.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <set>
#include <vector>

namespace mevrix::meshtools {
namespace {

TEST(DistinctFloats, GivesIdsInFirstSeenOrderAndRanksInValueOrder) {
  DistinctFloats values;
  EXPECT_EQ(values.add(0.5f), 0u);
  EXPECT_EQ(values.add(-3.0f), 1u);
  EXPECT_EQ(values.add(0.5f), 0u);
  EXPECT_EQ(values.add(0.0f), 2u);
  EXPECT_EQ(values.add(-0.0f), 2u);  // equal as floats
  EXPECT_EQ(values.add(std::numeric_limits<float>::denorm_min()), 3u);
  EXPECT_EQ(values.size(), 4u);
  EXPECT_EQ(values.ranks(), (std::vector<std::uint32_t>{3, 0, 1, 2}));
}

TEST(DistinctFloats, AgreesWithAnOrderedSetOnManyValues) {
  // Enough values to make the table grow several times, with many repeats.
  std::mt19937 random(33);
  std::uniform_int_distribution<int> pick(-5000, 5000);
  DistinctFloats values;
  std::set<float> reference;
  std::vector<std::pair<float, std::uint32_t>> added;
  for (int i = 0; i < 60000; ++i) {
    const float value = static_cast<float>(pick(random)) / 7.0f;
    added.emplace_back(value, values.add(value));
    reference.insert(value);
  }
  ASSERT_EQ(values.size(), reference.size());
  const std::vector<std::uint32_t> ranks = values.ranks();
  for (const auto& [value, id] : added) {
    ASSERT_EQ(values.value(id), value);
    ASSERT_EQ(ranks[id],
              static_cast<std::uint32_t>(std::distance(reference.begin(), reference.find(value))));
  }
}

}  // namespace
}  // namespace mevrix::meshtools
