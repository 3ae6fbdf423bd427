#include "convert/site_files.h"

#include <algorithm>
#include <optional>

#include "common/cp932_encoder.h"
#include "common/path_text.h"
#include "convert/page_variables.h"
#include "convert/site_index.h"
#include "convert/tree_walk.h"

namespace prismet {

namespace {

// The names of a path, split at either of the platform's separators.
std::vector<std::string_view> names_of(std::string_view path) {
  std::vector<std::string_view> names;
  const std::string text(path);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != kAlternatePathSeparator && !is_path_separator_at(text.c_str(), i))
      continue;
    names.push_back(path.substr(start, i - start));
    start = i + 1;
  }
  return names;
}

// The names with "." and empty ones left out and each ".." taking the name
// before it away; none when a ".." would climb above the first.
std::optional<std::string> normal_path(const std::vector<std::string_view>& names) {
  std::vector<std::string_view> kept;
  for (const std::string_view name : names) {
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (kept.empty()) return std::nullopt;
      kept.pop_back();
      continue;
    }
    kept.push_back(name);
  }
  std::string path;
  for (const std::string_view name : kept) {
    if (!path.empty()) path += '/';
    path += name;
  }
  return path;
}

// The relative URL from the site folder `from` ("/a/b/") to the page at
// the site path `to` ("/a/c/x.h.html"), each name percent-encoded.
std::string relative_url(std::string_view from, std::string_view to) {
  std::size_t common = 0;
  for (std::size_t i = 0; i < from.size() && i < to.size() && from[i] == to[i]; ++i) {
    if (from[i] == '/') common = i + 1;
  }
  std::string url;
  for (std::size_t i = common; i < from.size(); ++i) {
    if (from[i] == '/') url += "../";
  }
  std::size_t start = common;
  while (start <= to.size()) {
    std::size_t end = to.find('/', start);
    if (end == std::string_view::npos) end = to.size();
    url += url_of_name(to.substr(start, end - start));
    if (end < to.size()) url += '/';
    start = end + 1;
  }
  return url;
}

}  // namespace

std::size_t SiteFiles::add_top(const std::string& source_path, std::string site_path, int site) {
  Top top;
  top.site_path = std::move(site_path);
  top.site = site;
  top.source_path = source_path;
  top.hash = continued_hash(0xcbf29ce484222325ull, std::to_string(tops_.size()) + '/');
  top.stamped = file_stamp(source_path.c_str(), top.stamp);
  add_to_digest(top.site_path);
  add_to_digest(std::to_string(site));
  tops_.push_back(std::move(top));
  return tops_.size() - 1;
}

std::uint64_t SiteFiles::continued_hash(std::uint64_t hash, std::string_view name) {
  for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
  return hash;
}

std::uint64_t SiteFiles::folder_hash(std::size_t top, std::string_view folder) const {
  const std::uint64_t hash = tops_[top].hash;
  return folder.empty()
             ? hash
             : continued_hash(hash, kCaseBlindFileNames ? std::string_view(name_key(folder)) : folder);
}

void SiteFiles::add_hash(std::uint64_t hash, std::string_view key, std::string_view relative_path) {
  files_.push_back(hash);
  for (int i = 0; i < 8; ++i) digest_ = (digest_ ^ ((hash >> (8 * i)) & 0xFF)) * 0x100000001b3ull;
  if (key != relative_path) listed_as_.emplace(hash, relative_path);
}

void SiteFiles::add_file(std::size_t top, std::string_view relative_path) {
  const std::string key = name_key(relative_path);
  add_hash(continued_hash(folder_hash(top, ""), key), key, relative_path);
}

void SiteFiles::add_files(std::size_t top, std::string_view folder, const std::vector<std::string>& names) {
  const std::uint64_t start = folder_hash(top, folder);
  for (const std::string& name : names) {
    if (!kCaseBlindFileNames) {
      add_hash(continued_hash(start, name), name, name);
      continue;
    }
    const std::string path = std::string(folder) + name;
    add_hash(continued_hash(start, name_key(name)), name_key(path), path);
  }
}

void SiteFiles::finish() { std::sort(files_.begin(), files_.end()); }

bool SiteFiles::place(const std::string& path, std::size_t& top, std::string& relative) const {
  // The path's names from the innermost up, until a folder that is a top.
  std::vector<std::string> below;
  std::string at = path;
  while (at.size() > 1 && ends_with_separator(at)) at.pop_back();
  for (int depth = 0; depth < 256; ++depth) {
    FileStamp stamp;
    if (file_stamp(at.c_str(), stamp)) {
      for (std::size_t i = 0; i < tops_.size(); ++i) {
        if (!tops_[i].stamped || tops_[i].stamp.device != stamp.device || tops_[i].stamp.index != stamp.index)
          continue;
        const std::vector<std::string_view> names(below.rbegin(), below.rend());
        const std::optional<std::string> normal = normal_path(names);
        if (!normal) return false;
        top = i;
        relative = *normal;
        return true;
      }
    }
    const std::string up = folder_of(at.c_str());
    if (up == at) return false;
    below.emplace_back(file_name_of(at.c_str()));
    at = up;
  }
  return false;
}

void SiteFiles::add_include_folder(const std::string& path) {
  std::size_t top = 0;
  std::string relative;
  if (!place(path, top, relative)) return;
  include_folders_.push_back({top, relative.empty() ? std::string() : relative + '/'});
  add_to_digest(std::to_string(top) + '/' + include_folders_.back().relative);
}

std::string SiteFiles::find(std::size_t top, std::string_view path) const {
  const std::optional<std::string> normal = normal_path(names_of(path));
  if (!normal || normal->empty()) return std::string();
  std::string key = name_key(*normal);
  const std::uint64_t hash = continued_hash(folder_hash(top, ""), key);
  if (!std::binary_search(files_.begin(), files_.end(), hash)) return std::string();
  // As listed: the key itself unless the listing differs from it.
  const auto listed = listed_as_.find(hash);
  return listed == listed_as_.end() ? key : listed->second;
}

bool SiteFiles::usable_name(const std::string& name) {
  return !name.empty() && !is_absolute_path(name.c_str()) && !is_path_separator_at(name.c_str(), 0);
}

std::string SiteFiles::find_in_site(int site, const std::string& name, std::size_t& found_top) const {
  std::string found;
  for (std::size_t top = 0; found.empty() && top < tops_.size(); ++top) {
    found_top = top;
    if (tops_[top].site == site) found = find(top, name);
  }
  for (std::size_t i = 0; found.empty() && i < include_folders_.size(); ++i) {
    found_top = include_folders_[i].top;
    if (tops_[found_top].site == site) found = find(found_top, include_folders_[i].relative + name);
  }
  return found;
}

std::string SiteFiles::link_named(const std::string& source_folder, std::string_view name, bool angled,
                                  std::string_view page_extension) const {
  const std::string text(name);
  if (!usable_name(text)) return std::string();
  // The pages of files named one by one go into the output folder itself,
  // which is the site of every top.
  std::size_t found_top = 0;
  std::string found;
  std::string relative;
  if (!angled && place(join_path(source_folder, text), found_top, relative) && tops_[found_top].site == 0)
    found = find(found_top, relative);
  if (found.empty()) found = find_in_site(0, text, found_top);
  if (found.empty()) return std::string();
  return relative_url("/", tops_[found_top].site_path + found + std::string(page_extension));
}

std::string SiteFiles::link(std::size_t top, std::string_view folder, std::string_view name, bool angled,
                            std::string_view page_extension) const {
  const std::string text(name);
  if (top >= tops_.size() || !usable_name(text)) return std::string();
  std::size_t found_top = top;
  std::string found;
  if (!angled) {
    const std::string path = std::string(folder) + text;
    found = find(top, path);
    // A name that climbs out of its top is looked for where it leads on
    // the disk: into another top of the site, perhaps.
    if (found.empty() && !normal_path(names_of(path))) {
      std::string relative;
      if (place(join_path(tops_[top].source_path, path), found_top, relative) &&
          tops_[found_top].site == tops_[top].site) {
        found = find(found_top, relative);
      }
      if (found.empty()) found_top = top;
    }
  }
  if (found.empty()) found = find_in_site(tops_[top].site, text, found_top);
  if (found.empty()) return std::string();
  const std::string from = tops_[top].site_path + std::string(folder);
  const std::string to = tops_[found_top].site_path + found + std::string(page_extension);
  return relative_url(from, to);
}

void SiteFiles::add_to_digest(std::string_view text) {
  const std::uint64_t size = text.size();
  for (int i = 0; i < 8; ++i) digest_ = (digest_ ^ ((size >> (8 * i)) & 0xFF)) * 0x100000001b3ull;
  for (const char c : text) digest_ = (digest_ ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
}

const std::string* IncludeTargetCache::find(std::size_t top, std::string_view folder, std::string_view name,
                                            bool angled) {
  if (!used_ || top != top_ || folder != folder_) {
    targets_.clear();
    used_ = true;
    top_ = top;
    folder_.assign(folder);
  }
  key_.assign(1, angled ? '<' : '"');
  key_.append(name);
  const auto found = targets_.find(key_);
  return found == targets_.end() ? nullptr : &found->second;
}

std::string_view SitePageLinks::include_target(std::string_view name, bool angled) {
  if (cache_ != nullptr && named_folder_ == nullptr) {
    if (const std::string* kept = cache_->find(top_, folder_, name, angled)) return *kept;
    target_ = look_up(name, angled);
    cache_->keep(target_);
    return target_;
  }
  target_ = look_up(name, angled);
  return target_;
}

std::string SitePageLinks::look_up(std::string_view name, bool angled) const {
  // A UTF-8 page's names are looked up in the code page of the system's
  // file names where that is code page 932; a character it lacks names no
  // file. A Shift_JIS page's names are looked up in UTF-8 where the
  // system's names are UTF-8.
  std::string file_name;
  if (utf8_page_ && file_names_are_cp932()) {
    file_name = cp932_html_of_utf8(name);
    if (file_name.find("&#") != std::string::npos) return std::string();
  } else if (!utf8_page_ && file_names_are_utf8()) {
    if (!utf8_of_cp932(name, file_name)) return std::string();
  } else {
    file_name.assign(name);
  }
  return named_folder_ != nullptr ? site_.link_named(*named_folder_, file_name, angled, page_extension_)
                                  : site_.link(top_, folder_, file_name, angled, page_extension_);
}

}  // namespace prismet
