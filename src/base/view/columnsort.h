#pragma once

#include <optional>
#include <string>

namespace dromo {

// How a heading click orders the task list by one column: the texts of
// the numeric columns by their value ("2 of 10" by 2, "12.5KB/s" by 12.5,
// "1:2:5" by its seconds, "<1s" below one second), texts that carry no
// value ("N/A") after every value; the other columns by their text,
// ignoring case. The task table keeps its own order: this is the view's.
class ColumnSort {
public:
    // The value a numeric column's text stands for; nothing for a text
    // column or a text without a value.
    static std::optional<double> ValueOf(int column, const std::string& text);
    // Whether row text `a` comes before row text `b` in ascending order.
    static bool Less(int column, const std::string& a, const std::string& b);
};

}  // namespace dromo
