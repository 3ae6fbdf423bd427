// One INI file, read and parsed once and then served from memory: reads and
// writes through an image return and produce exactly what the same calls
// through read_string and write_string (ini_file.h) would, one after the
// other, but the file is read at most once and written at most once, when
// save() is called. A settings file of any size costs one read and one
// write per run.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "settings/ini_document.h"

namespace prismet::ini {

class FileImage {
 public:
  // Nothing is read until the first read or write. A null `file` gives an
  // image on which reads give empty texts and writes fail.
  //
  // With `utf8_allowed`, a file found to be UTF-8 (ini_text_encoding.h) is
  // read and written in UTF-8, keeping its byte order mark: the names and
  // values passed in and returned stay code page 932 and are converted. A
  // key or value the file cannot hold in its encoding is refused, and a
  // value of the file that code page 932 cannot show reads with "?" in its
  // place, but is kept unless a write gives the key another value.
  explicit FileImage(const char* file, bool utf8_allowed = false);

  // What read_string returns for the file as the writes so far left it.
  // Reads report nothing: with no memory left they throw std::bad_alloc.
  std::size_t read_string(const char* section, const char* key, const char* default_value, char* buffer,
                          std::size_t capacity);

  // True when the file holds a section that reads of `section` find.
  bool has_section(const char* section);

  // Applies what write_string would write, in memory. False when the file
  // cannot be read (it is then never written) or an argument is null. With
  // no memory left for the write (or for reading the file) the image is as
  // an unreadable file from then on: false, error() ENOMEM, the file kept.
  bool write_string(const char* section, const char* key, const char* value);

  // Writes the file when a write changed it: true when nothing needed
  // writing or the file now holds the image. On failure (ENOMEM when no
  // memory is left for the bytes) the file is as it was and error() tells
  // the system's reason.
  bool save();

  // The system's error number of the failed read or save; 0 if none.
  int error() const { return error_; }

  // The file as read and changed so far (its names and values in its own
  // encoding, document().encoding), or null when it could not be read.
  const Document* document();

 private:
  enum class State { kUnloaded, kLoaded, kMissing, kUnreadable };
  void load();
  // write_string once the file is loaded; may throw std::bad_alloc.
  bool apply_write(const char* section, const char* key, const char* value);
  // apply_write for a UTF-8 file, its key and value converted.
  bool apply_utf8_write(const char* section, const char* key, const char* value);
  // Makes the changed key (and its section, when the write made it) read as
  // a fresh read of the written file would; false when its line would not
  // read back as one key of that section.
  bool settle(Section& section, Key& key, bool new_section);
  // The bytes the file is to hold.
  std::string file_bytes();

  // The line of the last write that changed anything, as written: the file
  // holds it so, while the document holds it as read back.
  struct Written {
    std::size_t section;
    std::size_t key;
    bool new_section;
    std::string section_name;
    Key key_as_written;
  };

  std::string file_;
  bool has_file_;
  bool utf8_allowed_;
  bool byte_order_mark_ = false;
  State state_ = State::kUnloaded;
  Document document_;  // as a fresh read of the file would give it
  std::optional<Written> written_;
  std::optional<std::string> written_bytes_;  // the whole file, where one line would not do
  bool changed_ = false;
  int error_ = 0;
};

}  // namespace prismet::ini
