#include "app/batch.h"

#include "app/instance_lock.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/path_text.h"
#include "engine/emitter.h"
#include "settings/settings_file.h"

namespace prismet {

void copy_stream(TextWriter& output, TextReader& input) {
  // Whole lines at a time: the same bytes as a byte-by-byte copy, without a
  // call per byte.
  char block[4097];
  while (const std::size_t got = input.read_line(block, sizeof block - 1)) output.write(block, got);
}

bool append_file(TextWriter& output, const char* path) {
  TextReader input;
  if (!input.open(path)) return false;
  copy_stream(output, input);
  return input.close();
}

bool convert_file(const char* input_path, const char* temp_path, const OutputStyle& style,
                  const Vocabulary& vocabulary) {
  TextReader input;
  if (!input.open(input_path)) return false;
  TextWriter output;
  if (!output.open(temp_path)) return false;
  // A missing insert file is simply left out.
  if (style.insert_before[0] != '\0') append_file(output, style.insert_before);
  convert_source(output, input, style, vocabulary);
  if (style.insert_after[0] != '\0') append_file(output, style.insert_after);
  // Only a temporary file whose every write reached the disk may replace the
  // output: a truncated page must never be copied over it (or over the
  // source itself, when the output is the input).
  return output.close();
}

void convert_files(const std::vector<std::string>& files, const Settings& settings, const Vocabulary& vocabulary,
                   FileProgress* progress) {
  const int count = static_cast<int>(files.size());
  for (int index = 0; index < count; ++index) {
    const char* input_path = files[static_cast<std::size_t>(index)].c_str();
    if (progress != nullptr) progress->file_started(index, count, input_path);
    if (!path_exists(input_path)) continue;

    char temp_path[kPathCapacity];
    if (!module_path_with_extension(temp_path, sizeof temp_path, ".tmp")) continue;
    char output_path[kPathCapacity];
    if (files[static_cast<std::size_t>(index)].size() >= sizeof output_path) continue;
    copy_cut(output_path, input_path);
    if (!replace_extension(output_path, sizeof output_path, settings.extension)) continue;

    // Other instances share the temporary file: hold it from writing to
    // deleting.
    InstanceLock lock(temp_path);
    // A source that is the temporary file would be emptied by the very
    // conversion that reads it.
    if (same_file(input_path, temp_path)) continue;
    if (convert_file(input_path, temp_path, settings.style, vocabulary)) {
      // An output named like the temporary file already holds the page:
      // replacing and deleting it would lose it.
      if (same_file(temp_path, output_path)) continue;
      replace_file_keeping_attributes(temp_path, output_path);
    }
    delete_file(temp_path);
  }
}

}  // namespace prismet
