// Two lists sorted by name, compared name by name: what a page linked, or
// what a source defined, before and now.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>

namespace prismet {

// Calls `changed(name)` for every name whose run of elements in `a` differs
// from its run in `b`: another count, or an element not `same` as the one
// at its place (a name in one list only among them). Both lists are sorted
// by `name_of`, and within a name so that equal runs line up.
template <class T, class NameOf, class Same, class Changed>
void for_each_changed_name(std::span<const T> a, std::span<const T> b, NameOf name_of, Same same,
                           Changed changed) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() || j < b.size()) {
    const auto& name =
        j == b.size() || (i < a.size() && name_of(a[i]) < name_of(b[j])) ? name_of(a[i]) : name_of(b[j]);
    std::size_t i_end = i;
    std::size_t j_end = j;
    while (i_end < a.size() && name_of(a[i_end]) == name) ++i_end;
    while (j_end < b.size() && name_of(b[j_end]) == name) ++j_end;
    if (i_end - i != j_end - j || !std::equal(a.begin() + static_cast<std::ptrdiff_t>(i),
                                              a.begin() + static_cast<std::ptrdiff_t>(i_end),
                                              b.begin() + static_cast<std::ptrdiff_t>(j), same))
      changed(name);
    i = i_end;
    j = j_end;
  }
}

}  // namespace prismet
