// The columns of a clean result file (one header row, comma-separated
// values): a column of numbers ("nan" included) as doubles, any other as
// its texts, so that Python gets the file's own column names and values.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sitewave::python {

struct clean_column {
  std::string name;
  std::vector<double> numbers;     // every row, when each field is a number
  std::vector<std::string> texts;  // every row otherwise
  bool numeric = true;
};

std::vector<clean_column> clean_columns(std::string_view text);

}  // namespace sitewave::python
