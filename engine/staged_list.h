// The changes a vocabulary file makes to one list, gathered while the file
// is read and applied to the list when it ends, so that reading costs a
// logarithm per line instead of a walk over the list per removal.
//
// The result is exactly that of applying each line at once: added entries
// go to the back in file order (duplicates kept); a removal takes every
// equal entry there is at its line (start and end equal, two absent ends
// equal), the built-in ones included, but none added after it; a clear
// empties the list. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/vocabulary.h"

namespace prismet {

class StagedList {
 public:
  // Stages changes to `list`, whose entries count as older than every line.
  // Throws std::bad_alloc when there is no memory for the bookkeeping.
  explicit StagedList(EntryList& list);

  // The changes of the file's line `line`; lines count up from 1. An entry
  // that finds no memory is not added (as add_entry does); a removal that
  // finds none is applied at once instead.
  void add(std::string_view start, std::optional<std::string_view> end, std::uint64_t line);
  void remove(std::string_view start, std::optional<std::string_view> end, std::uint64_t line);
  void clear();

  // Applies the removals gathered so far to the list.
  void finish();

 private:
  struct EntryView {
    std::string_view start;
    std::optional<std::string_view> end;
  };
  static constexpr std::uint32_t kNoEnd = std::numeric_limits<std::uint32_t>::max();
  struct Removal {
    std::uint64_t hash;    // of the entry removed (entry_hash)
    std::size_t start_at;  // in removed_bytes_; the end follows the start
    std::uint32_t start_size;
    std::uint32_t end_size;  // kNoEnd: the entry has none
    std::uint64_t line;
  };

  static std::uint64_t entry_hash(std::string_view start, const std::optional<std::string_view>& end);
  EntryView view(const Removal& removal) const;
  // The last line that removes entries equal to `entry`; 0 when none does.
  // finish() has sorted the removals by hash, then entry, then line.
  std::uint64_t last_removal(const VocabularyEntry& entry) const;
  // Where the sorted removals of each hash prefix begin, so that a lookup
  // searches a few of them. Without memory for it, none: the lookups then
  // search all.
  void make_directory();
  // Removes every entry equal to the given one now, walking the list.
  void remove_now(EntryView removed);

  EntryList& list_;
  // The line that added each entry of the list, in list order; 0 for the
  // entries there before the file.
  std::vector<std::uint64_t> added_at_;
  std::vector<Removal> removals_;
  std::string removed_bytes_;
  // The removals whose hash begins with the bits p are those from
  // directory_[p] up to directory_[p + 1].
  std::vector<std::uint32_t> directory_;
  unsigned directory_shift_ = 63;
};

}  // namespace prismet
