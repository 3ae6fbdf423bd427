// The page checks of the property tests (tests/page_invariants.h) for the
// fuzz targets that convert text: a broken invariant stops the run.
#pragma once

#include <cstdio>
#include <string>

#include "tests/page_invariants.h"

namespace prismet::fuzz {

using prismet::testing::set_check_tags;

[[noreturn]] inline void fail(const std::string& what) {
  std::fprintf(stderr, "invariant broken: %s\n", what.c_str());
  __builtin_trap();
}

// Converts `source` with `style` (tags from set_check_tags) and stops the
// run unless the page passes every check.
inline void check_conversion(const char* source, std::size_t size, const prismet::OutputStyle& style,
                             const prismet::Vocabulary& vocabulary,
                             prismet::CharacterEncoding encoding = prismet::CharacterEncoding::kShiftJis) {
  const std::string error =
      prismet::testing::conversion_error(std::string(source, size), style, vocabulary, encoding);
  if (!error.empty()) fail(error);
}

// The same source with every identifier linked must give the same page
// once the links are taken out.
inline void check_name_links(const char* source, std::size_t size, const prismet::OutputStyle& style,
                             const prismet::Vocabulary& vocabulary, prismet::CharacterEncoding encoding) {
  const std::string error =
      prismet::testing::name_links_error(std::string(source, size), style, vocabulary, encoding);
  if (!error.empty()) fail(error);
}

}  // namespace prismet::fuzz
