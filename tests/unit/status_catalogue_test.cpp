// The status catalogue and the mapping of the final-status word.

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <optional>
#include <set>

#include "log/status_catalogue.h"

namespace {

using logging::StatusMessageId;

TEST(StatusCatalogue, EveryCodeFindsItsMessageAndOthersNone) {
  // Codes 1 to 35 take message code + 17; these are the rest of the 57 rows.
  const std::map<Status, MessageId> others = {
      {36, 62},  {37, 63},  {38, 68},  {39, 69},  {40, 70},  {41, 67},  {42, 72},  {43, 79},
      {44, 82},  {45, 86},  {46, 95},  {47, 96},  {48, 98},  {49, 104}, {50, 105}, {51, 108},
      {58, 118}, {60, 121}, {63, 140}, {64, 141}, {65, 142}, {66, 143},
  };
  for (Status code = -5; code <= 300; ++code) {
    std::optional<MessageId> expected;
    if (code >= 1 && code <= 35)
      expected = static_cast<MessageId>(code + 17);
    if (const auto found = others.find(code); found != others.end())
      expected = found->second;
    EXPECT_EQ(StatusMessageId(code), expected) << code;
  }
  EXPECT_EQ(StatusMessageId(INT_MIN), std::nullopt);
  EXPECT_EQ(StatusMessageId(INT_MAX), std::nullopt);

  std::set<Status> codes;
  for (const logging::StatusRow& row : logging::StatusCatalogue())
    codes.insert(row.status);
  EXPECT_EQ(logging::StatusCatalogue().size(), 57u);
  EXPECT_EQ(codes.size(), 57u);
}

TEST(StatusCatalogue, FinalStatusWordMapsToItsRunStatus) {
  const struct {
    std::uint16_t word;
    Status status;
  } cases[] = {
      {0, 0}, {1, 43}, {2, 44}, {3, 49}, {4, 50}, {5, 45}, {6, 2}, {7, 66}, {8, 2}, {65535, 2},
  };
  for (const auto& c : cases)
    EXPECT_EQ(logging::MapFinalStatus(c.word), c.status) << c.word;
  // The word of 8 comes out as 2, which is shown with message 19.
  EXPECT_EQ(StatusMessageId(logging::MapFinalStatus(8)), 19);
}

}  // namespace
