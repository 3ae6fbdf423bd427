#include "convert/symbol_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "convert/site_records.h"
#include "convert/symbol_html.h"
#include "convert/symbol_names.h"

namespace prismet {

namespace {

// A records file larger than this is not read: every page is made again.
constexpr std::uint64_t kMaxRecordsSize = 1u << 30;
// Nor a site's record larger than this.
constexpr std::uint64_t kMaxSiteRecordSize = std::uint64_t{1} << 32;

bool ours(std::string_view head) {
  return begins_like_symbol_page(head) || begins_like_symbol_names(head) ||
         begins_like_symbol_records(head) || begins_like_site_records(head);
}

bool write_file(const std::string& path, std::span<const std::string_view> pieces, int& error) {
  FileReplacement replacement;
  FileReplacement::Options options;
  options.refuse_links = true;  // one made since it was looked at
  bool written = replacement.begin(path.c_str(), options);
  for (std::size_t i = 0; written && i < pieces.size(); ++i)
    written = std::fwrite(pieces[i].data(), 1, pieces[i].size(), replacement.stream()) == pieces[i].size();
  if (written && replacement.commit()) return true;
  error = replacement.error() != 0 ? replacement.error() : errno;
  return false;
}

// Whether `block` is what the pieces hold from `piece` and `offset` on,
// both moved past it.
bool next_bytes_are(std::string_view block, std::span<const std::string_view> pieces, std::size_t& piece,
                    std::size_t& offset) {
  while (!block.empty()) {
    while (piece < pieces.size() && offset == pieces[piece].size()) {
      ++piece;
      offset = 0;
    }
    if (piece == pieces.size()) return false;
    const std::size_t take = std::min(block.size(), pieces[piece].size() - offset);
    if (block.substr(0, take) != pieces[piece].substr(offset, take)) return false;
    block.remove_prefix(take);
    offset += take;
  }
  return true;
}

}  // namespace

SymbolFile compare_symbol_file(const std::string& path, std::string_view bytes) {
  return compare_symbol_file(path, std::span<const std::string_view>(&bytes, 1));
}

SymbolFile compare_symbol_file(const std::string& path, std::span<const std::string_view> pieces) {
  if (is_link(path.c_str())) return SymbolFile::kOthers;
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file) return not_regular ? SymbolFile::kOthers : SymbolFile::kNone;
  char buffer[1 << 14];
  static_assert(sizeof buffer >= kSymbolHeadSize);
  std::size_t got = 0;
  bool read = read_block(file.get(), buffer, kSymbolHeadSize, got);
  if (!ours(std::string_view(buffer, got))) return SymbolFile::kOthers;
  std::size_t size = 0;
  for (const std::string_view piece : pieces) size += piece.size();
  if (stamp.size != size) return SymbolFile::kDiffers;
  std::size_t piece = 0;
  std::size_t offset = 0;
  std::size_t compared = 0;
  while (read && got > 0) {
    if (got > size - compared || !next_bytes_are(std::string_view(buffer, got), pieces, piece, offset))
      return SymbolFile::kDiffers;
    compared += got;
    read = read_block(file.get(), buffer, sizeof buffer, got);
  }
  return read && compared == size ? SymbolFile::kSame : SymbolFile::kDiffers;
}

std::optional<FileFailure> write_symbol_file(const std::string& path, std::string_view bytes) {
  return write_symbol_file(path, std::span<const std::string_view>(&bytes, 1));
}

std::optional<FileFailure> write_symbol_file(const std::string& path,
                                             std::span<const std::string_view> pieces) {
  if (path.size() >= kPathCapacity) return failure_of(Culprit::kPage, ENAMETOOLONG, path);
  switch (compare_symbol_file(path, pieces)) {
    case SymbolFile::kSame:
      return std::nullopt;
    case SymbolFile::kOthers: {
      FileFailure failure = failure_of(Culprit::kPage, 0, path);
      failure.reason = is_link(path.c_str())
                           ? kPageNameIsALink
                           : "a file of that name that this program did not make is in the way";
      return failure;
    }
    case SymbolFile::kNone:
    case SymbolFile::kDiffers:
      break;
  }
  int error = 0;
  if (!write_file(path, pieces, error)) return failure_of(Culprit::kPage, error, path);
  return std::nullopt;
}

void read_symbol_records_file(const std::string& path, SymbolRecords& records) {
  records.clear();
  if (is_link(path.c_str())) return;
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file || stamp.size > kMaxRecordsSize) return;
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(stamp.size));
  char buffer[1 << 14];
  std::size_t got = 0;
  while (read_block(file.get(), buffer, sizeof buffer, got) && got > 0) {
    if (bytes.size() + got > kMaxRecordsSize) return;  // grown since
    bytes.append(buffer, got);
    if (!begins_like_symbol_records(std::string_view(bytes).substr(0, kSymbolRecordsHeadSize)) &&
        bytes.size() >= kSymbolRecordsHeadSize)
      return;  // anyone else's: not read further
  }
  read_symbol_records(bytes, records);
}

bool read_site_records_file(const std::string& path, std::string& bytes, FileStamp* read_stamp) {
  bytes.clear();
  if (is_link(path.c_str())) return false;
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file || stamp.size > kMaxSiteRecordSize) return false;
  // Read in place, a byte more than its size to see it end: the record is
  // the largest file a run reads.
  bytes.resize(static_cast<std::size_t>(stamp.size) + 1);
  std::size_t got = 0;
  if (read_block(file.get(), bytes.data(), bytes.size(), got) && got + 1 == bytes.size()) {
    bytes.resize(got);
    if (read_stamp != nullptr) *read_stamp = stamp;
    if (begins_like_site_records(bytes)) return true;
  }
  bytes.clear();
  return false;
}

}  // namespace prismet
