#include "app/batch.h"

#include <cerrno>
#include <cstdio>

#include "app/insert_file.h"
#include "common/bounded_copy.h"
#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/path_text.h"
#include "common/text_stream.h"
#include "engine/emitter.h"

namespace prismet {

namespace {

// What every page of one run shares: the settings, the conversion set up
// once for them, the header and the footer.
struct Run {
  Run(const Settings& settings, const Vocabulary& vocabulary)
      : settings(settings),
        converter(settings.style, vocabulary),
        before(settings.style.insert_before),
        after(settings.style.insert_after) {}
  const Settings& settings;
  SourceConverter converter;
  InsertFile before;
  InsertFile after;
};

// Writes the whole page: the insert-before file, the converted text, the
// insert-after file. A missing insert file is simply left out. Returns 0,
// or the error number of a failed read or write: a page cut short by
// either must not replace anything (the output may be the source itself).
int write_page(TextWriter& output, TextReader& input, Run& run) {
  run.before.append_to(output);
  run.converter.convert(output, input);
  run.after.append_to(output);
  if (input.failed()) return input.error();
  if (!output.close()) return output.error();
  return 0;
}

// Converts standard input to standard output.
int convert_standard_streams(Run& run) {
  TextReader input;
  input.attach(stdin);
  TextWriter output;
  if (!output.attach(stdout)) return output.error();
  return write_page(output, input, run);
}

// Converts one file into the page beside it. Returns 0, or the error number
// that tells why the file was not converted.
int convert_one(const std::string& input_path, Run& run) {
  const Settings& settings = run.settings;
  if (names_standard_streams(input_path.c_str())) return convert_standard_streams(run);
  // Opening tells whether the path exists, names a folder or can be read.
  TextReader input;
  if (!input.open(input_path.c_str())) return input.error();

  char output_path[kPathCapacity];
  if (input_path.size() >= sizeof output_path) return ENAMETOOLONG;
  copy_string_bounded(output_path, input_path.c_str());
  if (!replace_extension(output_path, sizeof output_path, settings.extension)) return ENAMETOOLONG;

  FileReplacement page;
  if (!page.begin(output_path, FileReplacement::Options{})) return page.error();
  TextWriter output;
  if (!output.attach(page.stream())) return output.error();
  if (const int error = write_page(output, input, run)) return error;
  // The source has been read whole: when the output is the source itself,
  // the page may now take its place.
  input.close();
  if (!page.commit()) return page.error();
  return 0;
}

}  // namespace

int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress) {
  Run run(settings, vocabulary);
  const int count = static_cast<int>(files.size());
  int failed = 0;
  for (int index = 0; index < count; ++index) {
    const std::string& path = files[static_cast<std::size_t>(index)];
    if (progress != nullptr) progress->file_started(index, count, path.c_str());
    if (const int error = convert_one(path, run)) {
      ++failed;
      if (progress != nullptr) progress->file_failed(index, path.c_str(), error);
    }
  }
  return failed;
}

}  // namespace prismet
