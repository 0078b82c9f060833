#include "cli/operator_number.h"

#include <gtest/gtest.h>

namespace orvel::cli {
namespace {

TEST(OperatorNumber, DigitsOnlyUpToTheLargestSignedNumber)
{
    const std::pair<std::string_view, std::optional<std::uint64_t>> cases[] = {
        {"0", 0},
        {"007", 7},
        {"2048", 2048},
        {"9223372036854775807", 9223372036854775807u},
        {"00000000000000000000009223372036854775807", 9223372036854775807u},
        {"9223372036854775808", std::nullopt},
        {"", std::nullopt},
        {"2,048", std::nullopt},
        {"10k", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"+5", std::nullopt},
        {"\xd9\xa3", std::nullopt},  // an Arabic-Indic digit three
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseOperatorNumber(text), expected) << '"' << text << '"';
}

} // namespace
} // namespace orvel::cli
