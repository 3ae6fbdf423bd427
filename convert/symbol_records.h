// What each group's page was made from, kept in a file beside the pages so
// that a later run leaves a page alone without making it again or reading
// it: a digest of everything the page shows, and the page's stamp as it was
// written (a page changed since, by anyone, is made again).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "common/file_system.h"
#include "convert/symbol_pages.h"

namespace prismet {

inline constexpr char kSymbolRecordsName[] = "+records.txt";

struct SymbolRecord {
  std::uint64_t digest = 0;  // 0: none, the page is made again
  FileStamp page;
};

// A digest of what the page of a group of names shows with `style`, the
// names given in the page's order: two groups whose pages would differ have
// different digests (but for a chance of one in 2^64). Never 0.
std::uint64_t symbol_group_digest(std::span<const Symbol* const> names, const SymbolPagesStyle& style);

struct NamedRecord {
  std::string_view page_name;  // the page's file name
  SymbolRecord record;
};

// The records file: one line a page, those without a digest left out.
std::string render_symbol_records(std::span<const NamedRecord> records);

using SymbolRecords = std::unordered_map<std::string, SymbolRecord>;  // by page file name

// The records of a file render_symbol_records made; false, with `records`
// empty, for any other bytes. A line this program cannot have written is
// left out (its page is made again).
bool read_symbol_records(std::string_view bytes, SymbolRecords& records);

inline constexpr std::size_t kSymbolRecordsHeadSize = 32;
bool begins_like_symbol_records(std::string_view head);

}  // namespace prismet
