#pragma once

#include <string>
#include <vector>

namespace orvel::cli {

enum class Align { Left, Right };

struct TableColumn {
    std::string heading;
    Align align = Align::Left;
};

// A plain-text table: the headings, then one line per row, every column as
// wide as its widest cell and two blanks between columns. Widths count
// characters, not bytes, so "°C" lines up. Rows have one cell per column.
std::string formatTable(const std::vector<TableColumn>& columns, const std::vector<std::vector<std::string>>& rows);

} // namespace orvel::cli
