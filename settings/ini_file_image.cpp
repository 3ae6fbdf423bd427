#include "settings/ini_file_image.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>

#include "common/bounded_copy.h"
#include "common/cp932.h"
#include "common/file_replacement.h"
#include "common/file_system.h"
#include "settings/ini_text_encoding.h"

namespace prismet::ini {

namespace {

// A default loses its trailing spaces, but keeps at least one byte.
std::string_view without_trailing_spaces(std::string_view text) {
  while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// One pair of enclosing quotes, of either kind, comes off a value of at least
// two characters; a quote that is the second byte of a double-byte
// character does not count.
std::string_view without_quotes(std::string_view text) {
  if (text.empty() || (text.front() != '"' && text.front() != '\'')) return text;
  std::size_t last = 0;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) {
    last = i;
    ++characters;
  }
  if (characters < 2 || char_length(text, last) != 1 || text[last] != text.front()) return text;
  return text.substr(1, last - 1);
}

}  // namespace

FileImage::FileImage(const char* file, bool utf8_allowed)
    : file_(file != nullptr ? file : ""), has_file_(file != nullptr), utf8_allowed_(utf8_allowed) {}

void FileImage::load() {
  if (state_ != State::kUnloaded) return;
  state_ = State::kMissing;
  if (!has_file_ || !path_exists(file_.c_str())) return;
  state_ = State::kUnreadable;
  const std::unique_ptr<std::FILE, FileCloser> stream(open_file_for_reading(file_.c_str()));
  if (!stream) {
    error_ = errno != 0 ? errno : EIO;
    return;
  }
  try {
    std::string bytes;
    char block[65536];
    for (;;) {
      std::size_t got = 0;
      errno = 0;
      if (!read_block(stream.get(), block, sizeof block, got)) {
        // Part of a file is not the file: its values are not taken, and it is
        // never written back from what was read.
        error_ = errno != 0 ? errno : EIO;
        return;
      }
      bytes.append(block, got);
      if (got < sizeof block) break;
    }
    FileEncoding encoding;
    if (utf8_allowed_) encoding = detect_file_encoding(bytes);
    byte_order_mark_ = encoding.byte_order_mark;
    const std::string_view text =
        std::string_view(bytes).substr(byte_order_mark_ ? kUtf8ByteOrderMark.size() : 0);
    document_ = parse_document(text, encoding.text);
  } catch (const std::bad_alloc&) {
    error_ = ENOMEM;  // as a file that cannot be read: never written back
    return;
  }
  state_ = State::kLoaded;
}

bool FileImage::has_section(const char* section) {
  if (!has_file_ || section == nullptr) return false;
  load();
  return state_ == State::kLoaded && find_section(document_, section) != nullptr;
}

std::size_t FileImage::read_string(const char* section, const char* key, const char* default_value,
                                   char* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  if (!has_file_ || section == nullptr || key == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  const std::string fallback =
      whole_characters(without_trailing_spaces(default_value != nullptr ? default_value : ""));
  load();
  if (state_ == State::kUnreadable) return copy_whole_characters(buffer, capacity, fallback);
  const bool utf8 = document_.encoding == TextEncoding::kUtf8;
  std::optional<std::string> file_key = utf8 ? utf8_of_cp932(key) : std::string(key);
  std::string converted;
  std::string_view value = fallback;
  Section* found_section = find_section(document_, section);
  if (found_section != nullptr && file_key) {
    const Key* found_key = find_key(*found_section, *file_key, document_.encoding);
    if (found_key != nullptr && found_key->value) {
      value = *found_key->value;
      if (utf8) value = converted = cp932_of_utf8_or_marks(value);
    }
  }
  return copy_whole_characters(buffer, capacity, without_quotes(value));
}

bool FileImage::write_string(const char* section, const char* key, const char* value) {
  if (!has_file_ || section == nullptr || key == nullptr || value == nullptr) return false;
  load();
  if (state_ == State::kUnreadable) return false;
  try {
    if (document_.encoding == TextEncoding::kUtf8) return apply_utf8_write(section, key, value);
    return apply_write(section, key, value);
  } catch (const std::bad_alloc&) {
    // The write may have changed the document halfway: from here on the
    // image is as a file that cannot be read, and the file keeps its bytes.
    state_ = State::kUnreadable;
    changed_ = false;
    written_.reset();
    written_bytes_.reset();
    error_ = ENOMEM;
    return false;
  }
}

bool FileImage::apply_write(const char* section, const char* key, const char* value) {
  const std::size_t sections = document_.sections.size();
  // A write that changes nothing writes nothing: the file keeps the bytes of
  // the last write that did.
  if (!set_value(document_, section, key, value)) return true;
  changed_ = true;
  written_.reset();
  written_bytes_.reset();
  Section* changed_section = find_section(document_, section);
  Key* changed_key =
      changed_section != nullptr ? find_key(*changed_section, key, document_.encoding) : nullptr;
  if (changed_key != nullptr) {
    Written written{static_cast<std::size_t>(changed_section - document_.sections.data()),
                    static_cast<std::size_t>(changed_key - changed_section->keys.data()),
                    document_.sections.size() != sections, changed_section->name, *changed_key};
    if (settle(*changed_section, *changed_key, written.new_section)) {
      written_ = std::move(written);
      return true;
    }
  }
  // The name or value makes more than one line of the file, or cannot be
  // found again as stored: the file gets the bytes as written, and what a
  // fresh read of them gives is the document from here on.
  written_bytes_ = write_document(document_);
  document_ = parse_document(*written_bytes_, document_.encoding);
  return true;
}

bool FileImage::apply_utf8_write(const char* section, const char* key, const char* value) {
  const std::optional<std::string> file_key = utf8_of_cp932(key);
  if (!file_key) return false;
  // A value that reads as the one written stays as the file holds it: what
  // code page 932 cannot show of it is not lost by writing back a read.
  Section* found_section = find_section(document_, section);
  const Key* found_key =
      found_section != nullptr ? find_key(*found_section, *file_key, TextEncoding::kUtf8) : nullptr;
  if (found_key != nullptr && found_key->value &&
      cp932_of_utf8_or_marks(*found_key->value) == whole_characters(trim_leading_blanks(value))) {
    return true;
  }
  const std::optional<std::string> file_value = utf8_of_cp932(value);
  if (!file_value) return false;
  return apply_write(section, file_key->c_str(), file_value->c_str());
}

bool FileImage::settle(Section& section, Key& key, bool new_section) {
  // The lines the write added or changed, read back on their own: a line of
  // the file never depends on the lines around it, so this is what a fresh
  // read of the whole file gives for them.
  std::string lines;
  if (new_section) lines = "[" + section.name + "]\r\n";
  lines += key.name;
  if (key.value) lines += "=" + *key.value;
  lines += "\r\n";
  Document alone = parse_document(lines, document_.encoding);
  const std::size_t expected_sections = new_section ? 2 : 1;
  if (alone.sections.size() != expected_sections || alone.sections.front().keys.empty() != new_section ||
      alone.sections.back().keys.size() != 1) {
    return false;
  }
  if (new_section) section.name = std::move(alone.sections.back().name);
  key = std::move(alone.sections.back().keys.front());
  return true;
}

std::string FileImage::file_bytes() {
  if (written_bytes_) return *written_bytes_;
  if (!written_) return write_document(document_);
  // The last write's line goes out as it was written; only a later reading
  // trims it.
  Section& section = document_.sections[written_->section];
  Key& key = section.keys[written_->key];
  std::swap(key, written_->key_as_written);
  if (written_->new_section) std::swap(section.name, written_->section_name);
  std::string bytes = write_document(document_);
  std::swap(key, written_->key_as_written);
  if (written_->new_section) std::swap(section.name, written_->section_name);
  return bytes;
}

const Document* FileImage::document() {
  if (!has_file_) return nullptr;
  load();
  return state_ == State::kUnreadable ? nullptr : &document_;
}

bool FileImage::save() {
  if (!changed_) return true;
  int error = 0;
  try {
    std::string bytes = file_bytes();
    if (byte_order_mark_) bytes.insert(0, kUtf8ByteOrderMark);
    if (!replace_file_contents(file_.c_str(), bytes, &error)) {
      error_ = error;
      return false;
    }
  } catch (const std::bad_alloc&) {
    error_ = ENOMEM;  // no bytes to write: the file is as it was
    return false;
  }
  changed_ = false;
  return true;
}

}  // namespace prismet::ini
