// Batch conversion: every listed file is converted into a temporary file
// beside the program (insert-before file, converted text, insert-after file),
// which then replaces the output: the input path with its extension replaced
// by the configured one.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/text_stream.h"
#include "engine/vocabulary.h"
#include "settings/output_style.h"

namespace prismet {

// Told about each file before it is converted (the busy indicator).
class FileProgress {
 public:
  virtual ~FileProgress() = default;
  virtual void file_started(int index, int count, const char* path) = 0;
};

// Converts the paths in order. Paths that no longer exist, that cannot be
// read, or whose output path would not fit in 260 bytes are skipped; a file
// that fails leaves its output as it was. Reports nothing.
void convert_files(const std::vector<std::string>& files, const Settings& settings, const Vocabulary& vocabulary,
                   FileProgress* progress);

// Writes the complete page for one input into the temporary file. True only
// when every write and the close succeeded.
bool convert_file(const char* input_path, const char* temp_path, const OutputStyle& style,
                  const Vocabulary& vocabulary);

// Copies the file at `path` (read as text) to the output. False, writing
// nothing, when it cannot be opened; otherwise true when it closed cleanly.
bool append_file(TextWriter& output, const char* path);

// Copies every byte of the input to the output unchanged.
void copy_stream(TextWriter& output, TextReader& input);

}  // namespace prismet
