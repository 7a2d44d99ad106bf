#pragma once

#include <QString>

#include <optional>

// What the user types to go to a line: a line number, or a line number and
// a column as "line:column". Both count from 1.
namespace GoToLine {

struct Target
{
    int line = 1;
    // 0 when no column was given: the start of the line.
    int column = 0;
};

// Spaces around the numbers are allowed; anything else that is not a
// positive number in range is refused.
std::optional<Target> parse(const QString &text);

} // namespace GoToLine
