#include "convert/site_names_file.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/site_names.h"

namespace prismet {

namespace {

// A script larger than this (tens of millions of pages) is not read back:
// it is written anew.
constexpr std::uint64_t kMaxNamesSize = 1u << 30;

enum class Existing { kNone, kOurs, kOthers };

// What is at `path`: nothing, a script of ours (its bytes in `bytes`, when
// not too large), or anything else.
Existing read_existing(const std::string& path, std::string& bytes) {
  if (is_link(path.c_str())) return Existing::kOthers;
  bool not_regular = false;
  FileStamp stamp;
  std::unique_ptr<std::FILE, FileCloser> file(
      open_regular_file_for_reading(path.c_str(), not_regular, &stamp));
  if (!file) return not_regular ? Existing::kOthers : Existing::kNone;
  char buffer[1 << 14];
  std::size_t got = 0;
  bool read = read_block(file.get(), buffer, kSiteNamesHeadSize, got);
  if (!begins_like_site_names(std::string_view(buffer, got))) return Existing::kOthers;
  if (stamp.size > kMaxNamesSize) return Existing::kOurs;
  bytes.reserve(static_cast<std::size_t>(stamp.size));
  bytes.assign(buffer, got);
  while (read && got > 0) {
    read = read_block(file.get(), buffer, sizeof buffer, got);
    if (read) bytes.append(buffer, got);
    if (bytes.size() > kMaxNamesSize) {
      bytes.clear();
      break;
    }
  }
  return Existing::kOurs;
}

FileFailure in_the_way(const std::string& path) {
  FileFailure failure = failure_of(Culprit::kPage, 0, path);
  failure.reason = "a file of that name that this program did not make is in the way";
  return failure;
}

}  // namespace

// True when `bytes` are the pieces one after the other.
bool same_bytes(std::string_view bytes, std::span<const std::string_view> pieces) {
  for (const std::string_view piece : pieces) {
    if (bytes.substr(0, piece.size()) != piece) return false;
    bytes.remove_prefix(piece.size());
  }
  return bytes.empty();
}

bool write_pieces(const std::string& path, std::span<const std::string_view> pieces, int& error) {
  FileReplacement replacement;
  FileReplacement::Options options;
  options.refuse_links = true;
  bool written = replacement.begin(path.c_str(), options);
  for (const std::string_view piece : pieces) {
    written = written && std::fwrite(piece.data(), 1, piece.size(), replacement.stream()) == piece.size();
  }
  if (written && replacement.commit()) return true;
  error = replacement.error() != 0 ? replacement.error() : errno;
  return false;
}

std::optional<FileFailure> update_site_names(const std::string& folder,
                                             std::span<const std::string_view> pieces) {
  const std::string path = join_path(folder, kSiteNamesName);
  if (path.size() >= kPathCapacity) return failure_of(Culprit::kPage, ENAMETOOLONG, path);
  std::string existing;
  switch (read_existing(path, existing)) {
    case Existing::kOthers:
      return in_the_way(path);
    case Existing::kOurs:
      if (same_bytes(existing, pieces)) return std::nullopt;
      break;
    case Existing::kNone:
      break;
  }
  std::string().swap(existing);
  int error = 0;
  if (!write_pieces(path, pieces, error)) return failure_of(Culprit::kPage, error, path);
  return std::nullopt;
}

std::optional<FileFailure> remove_site_names(const std::string& folder) {
  const std::string path = join_path(folder, kSiteNamesName);
  std::string existing;
  if (read_existing(path, existing) != Existing::kOurs) return std::nullopt;
  if (delete_file(path.c_str())) return std::nullopt;
  FileFailure failure = failure_of(Culprit::kPage, 0, path);
  failure.reason = "the search list of a site with no pages left could not be deleted";
  return failure;
}

}  // namespace prismet
