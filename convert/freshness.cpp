#include "convert/freshness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string_view>

#include "common/file_system.h"
#include "common/version.h"

namespace prismet {

namespace {

class Fnv1a {
 public:
  Fnv1a() = default;
  explicit Fnv1a(std::uint64_t hash) : hash_(hash) {}
  void add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) hash_ = (hash_ ^ bytes[i]) * 0x100000001b3ull;
  }
  // Each text with its length, so that no two sequences of texts run together.
  void add_text(std::string_view text) {
    add_number(text.size());
    add(text.data(), text.size());
  }
  void add_number(std::uint64_t value) { add(&value, sizeof value); }
  void add_file(const char* path) {
    bool not_regular = false;
    std::unique_ptr<std::FILE, FileCloser> file(
        path[0] == '\0' ? nullptr : open_regular_file_for_reading(path, not_regular));
    if (!file) {
      add_text("no file");
      return;
    }
    char buffer[1 << 14];
    std::size_t got = 0;
    std::uint64_t total = 0;
    while (read_block(file.get(), buffer, sizeof buffer, got) && got > 0) {
      add(buffer, got);
      total += got;
    }
    add_number(total);
  }
  std::uint64_t value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ull;
};

}  // namespace

std::uint64_t run_fingerprint(const Settings& settings) {
  Fnv1a hash;
  hash.add_text("prismet " PRISMET_VERSION);
  const OutputStyle& style = settings.style;
  for (const std::int64_t value :
       {std::int64_t{style.tab_width}, std::int64_t{style.line_numbers}, std::int64_t{style.expand_tabs},
        std::int64_t{style.nbsp_spaces}, std::int64_t{style.line_anchors},
        static_cast<std::int64_t>(settings.encoding), std::int64_t{settings.insert_file_variables}}) {
    hash.add_number(static_cast<std::uint64_t>(value));
  }
  for (const TagPair* pair : {&style.whole, &style.comment, &style.constant, &style.char_constant,
                              &style.string_literal, &style.keyword, &style.line_number, &style.line}) {
    hash.add_text(pair->open);
    hash.add_text(pair->close);
  }
  hash.add_text(settings.extension);
  hash.add_file(settings.vocabulary_file);
  hash.add_file(style.insert_before);
  hash.add_file(style.insert_after);
  return hash.value();
}

std::uint64_t fingerprint_with_site(std::uint64_t fingerprint, std::uint64_t digest) {
  Fnv1a hash;
  hash.add_text("include links");
  hash.add_number(fingerprint);
  hash.add_number(digest);
  return hash.value();
}

std::uint64_t fingerprint_with(std::uint64_t fingerprint, std::string_view text) {
  Fnv1a hash(fingerprint);
  hash.add_text(text);
  return hash.value();
}

PageState check_page(const PageRecord& previous, const PagePlace& place, FileStamp* page_stamp) {
  FileStamp source;
  if (!place.sources->stamp(place.source_name, place.source_path, source)) return PageState::kSourceUnknown;
  FileStamp page;
  if (previous.source == source && previous.page_size != kUnknownPageSize &&
      place.pages->stamp(place.page_name, place.page_path, page) && page.size == previous.page_size) {
    if (page_stamp != nullptr) *page_stamp = page;
    return PageState::kUnchanged;
  }
  return PageState::kChanged;
}

std::uint64_t page_size_of(const std::string& page_path) {
  FileStamp page;
  return file_stamp(page_path.c_str(), page) ? page.size : kUnknownPageSize;
}

}  // namespace prismet
