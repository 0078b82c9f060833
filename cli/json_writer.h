#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvel::cli {

// `text` as a JSON string literal, quotes included. Quotes, backslashes and
// control characters are escaped; bytes that are not valid UTF-8 (a model
// text straight from a device may hold any) become U+FFFD, so the document
// stays valid.
std::string jsonString(std::string_view text);

// A reading where 0 stands for "none" (a temperature), as JSON writes it: null.
inline std::optional<std::uint64_t> unlessZero(std::uint64_t number)
{
    return number == 0 ? std::nullopt : std::optional<std::uint64_t>(number);
}

// Writes one JSON document, indented by two blanks per level. The caller
// pairs every begin with its end and gives a key before each member value.
class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);
    void value(std::string_view text);
    void value(std::uint64_t number);
    void value(std::int64_t number);
    void value(std::optional<std::uint64_t> number);  // null when there is none
    void value(std::optional<std::int64_t> number);
    void null();

    // The document so far, ending with a line break once it is complete.
    const std::string& text() const { return out_; }

private:
    void beforeValue();
    void open(char bracket);
    void close(char bracket);
    void newLine();

    std::string out_;
    std::vector<bool> levelHasMembers_;  // one per open object or array
    bool afterKey_ = false;
};

} // namespace orvel::cli
