// The files of the folder of symbol pages on disk: each written as the
// site's pages are (a temporary file and a rename, never through a
// symbolic link), only when its bytes change, and never over a file this
// program did not make; and what a run before kept in its records file.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "convert/failure.h"
#include "convert/symbol_records.h"

namespace prismet {

enum class SymbolFile { kNone, kSame, kDiffers, kOthers };

// What is at `path` beside `bytes`: nothing, a file of ours (a page, the
// names script, the records or the site's record) with the same or other bytes (compared block
// by block, never read whole), or anything else, a symbolic link included.
SymbolFile compare_symbol_file(const std::string& path, std::string_view bytes);
// The same beside the bytes the pieces make in order.
SymbolFile compare_symbol_file(const std::string& path, std::span<const std::string_view> pieces);

// Brings the file at `path` to `bytes` unless it holds them already; why it
// could not, if so. Safe on several threads at once for different files.
std::optional<FileFailure> write_symbol_file(const std::string& path, std::string_view bytes);
// The same with the bytes the pieces make in order.
std::optional<FileFailure> write_symbol_file(const std::string& path,
                                             std::span<const std::string_view> pieces);

// The records kept at `path`; none when there is no such file, when it is
// anyone else's or is larger than a records file of millions of names.
void read_symbol_records_file(const std::string& path, SymbolRecords& records);

// The bytes of the site's record (site_records.h) kept at `path`; false,
// with `bytes` empty, when there is none, when it is a symbolic link or
// anyone else's file, or when it is larger than any record can be. The
// file's stamp as it was read into `stamp` (null: not asked).
bool read_site_records_file(const std::string& path, std::string& bytes, FileStamp* stamp = nullptr);

}  // namespace prismet
