#include "cli/json_writer.h"

#include <cstddef>
#include <cstdio>

namespace orvel::cli {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t utf8SequenceLength(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        const unsigned char min = i == 1 ? low : 0x80;
        const unsigned char max = i == 1 ? high : 0xBF;
        if (next < min || next > max)
            return 0;
    }
    return length;
}

} // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        const std::size_t length = utf8SequenceLength(text, at);
        if (length == 0) {
            out += kReplacementCharacter;
            ++at;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(at, length));
            at += length;
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out += c;
            }
        }
        ++at;
    }
    out += '"';
    return out;
}

void JsonWriter::beginObject() { open('{'); }
void JsonWriter::endObject() { close('}'); }
void JsonWriter::beginArray() { open('['); }
void JsonWriter::endArray() { close(']'); }

void JsonWriter::key(std::string_view name)
{
    beforeValue();
    out_ += jsonString(name);
    out_ += ": ";
    afterKey_ = true;
}

void JsonWriter::value(std::string_view text)
{
    beforeValue();
    out_ += jsonString(text);
}

void JsonWriter::value(std::uint64_t number)
{
    beforeValue();
    out_ += std::to_string(number);
}

void JsonWriter::value(std::int64_t number)
{
    beforeValue();
    out_ += std::to_string(number);
}

void JsonWriter::value(std::optional<std::uint64_t> number)
{
    if (number)
        value(*number);
    else
        null();
}

void JsonWriter::value(std::optional<std::int64_t> number)
{
    if (number)
        value(*number);
    else
        null();
}

void JsonWriter::null()
{
    beforeValue();
    out_ += "null";
}

void JsonWriter::beforeValue()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levelHasMembers_.empty())
        return;
    if (levelHasMembers_.back())
        out_ += ',';
    levelHasMembers_.back() = true;
    newLine();
}

void JsonWriter::open(char bracket)
{
    beforeValue();
    out_ += bracket;
    levelHasMembers_.push_back(false);
}

void JsonWriter::close(char bracket)
{
    const bool hadMembers = levelHasMembers_.back();
    levelHasMembers_.pop_back();
    if (hadMembers)
        newLine();
    out_ += bracket;
    if (levelHasMembers_.empty())
        out_ += '\n';
}

void JsonWriter::newLine()
{
    out_ += '\n';
    out_.append(2 * levelHasMembers_.size(), ' ');
}

} // namespace orvel::cli
