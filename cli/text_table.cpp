#include "cli/text_table.h"

#include <algorithm>
#include <cstddef>

namespace orvel::cli {

namespace {

constexpr std::string_view kColumnGap = "  ";

// Characters in UTF-8 text: every byte that does not continue a sequence.
std::size_t characterCount(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void appendLine(std::string& out, const std::vector<TableColumn>& columns, const std::vector<std::size_t>& widths,
                const std::vector<std::string>& cells)
{
    std::string line;
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const std::string& cell = column < cells.size() ? cells[column] : std::string();
        const std::string padding(widths[column] - characterCount(cell), ' ');
        if (column > 0)
            line += kColumnGap;
        line += columns[column].align == Align::Right ? padding + cell : cell + padding;
    }
    // Padding after the last cell helps nobody.
    line.erase(line.find_last_not_of(' ') + 1);
    out += line;
    out += '\n';
}

} // namespace

std::string formatTable(const std::vector<TableColumn>& columns, const std::vector<std::vector<std::string>>& rows)
{
    std::vector<std::size_t> widths;
    for (const TableColumn& column : columns)
        widths.push_back(characterCount(column.heading));
    for (const std::vector<std::string>& row : rows)
        for (std::size_t column = 0; column < columns.size() && column < row.size(); ++column)
            widths[column] = std::max(widths[column], characterCount(row[column]));

    std::vector<std::string> headings;
    for (const TableColumn& column : columns)
        headings.push_back(column.heading);

    std::string out;
    appendLine(out, columns, widths, headings);
    for (const std::vector<std::string>& row : rows)
        appendLine(out, columns, widths, row);
    return out;
}

} // namespace orvel::cli
