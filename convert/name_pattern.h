// File names matched against patterns with "*" (any run of characters,
// none too) and "?" (exactly one character), as a settings value lists
// them: separated by blanks, compared as the file system compares names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prismet {

// One pattern against one name. "?" takes one whole character (code page
// 932 on Windows, UTF-8 on Linux, where a byte that is no UTF-8 is a
// character of its own); other bytes must be equal, without ASCII case on
// Windows.
bool name_matches_pattern(std::string_view pattern, std::string_view name);

// The patterns of a settings value: words separated by blanks.
class NamePatterns {
 public:
  explicit NamePatterns(std::string_view list);
  bool empty() const { return patterns_.empty(); }
  // True when any of the patterns matches the name.
  bool matches(std::string_view name) const;

 private:
  std::vector<std::string> patterns_;
};

}  // namespace prismet
