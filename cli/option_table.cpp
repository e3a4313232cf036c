#include "cli/option_table.h"

#include <charconv>

namespace mirufo::cli {

void BadValue(const std::string& option, const std::string& value) {
  throw EUsageError(option + Tr(" の値が正しくありません: ") + value);
}

int StrictInteger(const std::string& option, const std::string& value, int low, int high) {
  // from_chars takes a minus sign but no plus sign, and no blanks: exactly
  // the form wanted once a leading "+" is stepped over.
  const char* first = value.data();
  const char* last = value.data() + value.size();
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
    ++first;
  int n = 0;
  const auto [end, error] = std::from_chars(first, last, n);
  if (error != std::errc() || end != last || first == last || n < low || n > high)
    BadValue(option, value);
  return n;
}

} // namespace mirufo::cli
