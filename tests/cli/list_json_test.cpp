#include "cli/json_writer.h"

#include <gtest/gtest.h>

namespace orvel::cli {
namespace {

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(jsonString("plain"), "\"plain\"");
    EXPECT_EQ(jsonString("say \"hi\"\\"), R"("say \"hi\"\\")");
    EXPECT_EQ(jsonString("a\nb\tc\r"), R"("a\nb\tc\r")");
    EXPECT_EQ(jsonString(std::string_view("\x01\x1f\0", 3)), R"("\u0001\u001f\u0000")");
    EXPECT_EQ(jsonString(""), "\"\"");
}

TEST(JsonString, KeepsUtf8AndReplacesBytesThatAreNot)
{
    EXPECT_EQ(jsonString("47 \u00B0C"), "\"47 \u00B0C\"");
    EXPECT_EQ(jsonString("\xF0\x9F\x92\xBE"), "\"\xF0\x9F\x92\xBE\"");
    // A stray continuation byte, a cut sequence, an overlong form, a surrogate.
    EXPECT_EQ(jsonString("A\x80Z"), "\"A\uFFFDZ\"");
    EXPECT_EQ(jsonString("A\xC3"), "\"A\uFFFD\"");
    EXPECT_EQ(jsonString("\xC0\xAF"), "\"\uFFFD\uFFFD\"");
    EXPECT_EQ(jsonString("\xED\xA0\x80"), "\"\uFFFD\uFFFD\uFFFD\"");
}

TEST(JsonWriter, IndentsNestedMembersAndSeparatesThem)
{
    JsonWriter json;
    json.beginObject();
    json.key("drives");
    json.beginArray();
    json.beginObject();
    json.key("number");
    json.value(std::uint64_t{18446744073709551615u});
    json.key("model");
    json.value("A \"quoted\" disk");
    json.endObject();
    json.value("second");
    json.value(std::optional<std::uint64_t>());
    json.endArray();
    json.key("volumes");
    json.beginArray();
    json.endArray();
    json.endObject();

    EXPECT_EQ(json.text(), "{\n"
                           "  \"drives\": [\n"
                           "    {\n"
                           "      \"number\": 18446744073709551615,\n"
                           "      \"model\": \"A \\\"quoted\\\" disk\"\n"
                           "    },\n"
                           "    \"second\",\n"
                           "    null\n"
                           "  ],\n"
                           "  \"volumes\": []\n"
                           "}\n");
}

} // namespace
} // namespace orvel::cli
