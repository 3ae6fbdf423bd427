#include "app/batch.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "app/insert_file.h"
#include "app/page_variables.h"
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
  // The insert files' variables of the page being written, where the
  // settings ask for them.
  PageVariables variables;
  // The pages written so far, by the file they are (device and index), with
  // the source each was written for.
  struct WrittenPage {
    std::string source;
    FileStamp source_stamp;
  };
  std::map<std::pair<std::uint64_t, std::uint64_t>, WrittenPage> written;

  // Automatic decoding gives the engine UTF-8.
  CharacterEncoding engine_encoding() const {
    return settings.encoding == SourceEncoding::kShiftJis ? CharacterEncoding::kShiftJis
                                                          : CharacterEncoding::kUtf8;
  }

  const PageVariables* start_page(const char* source_path) {
    if (!settings.insert_file_variables) return nullptr;
    variables = page_variables_for(source_path, settings.encoding != SourceEncoding::kShiftJis);
    return &variables;
  }
};

using Culprit = FileFailure::Culprit;

FileFailure failure_of(Culprit culprit, int error, std::string path = std::string()) {
  FileFailure failure;
  failure.culprit = culprit;
  failure.path = std::move(path);
  failure.error = error;
  return failure;
}

bool same_identity(const FileStamp& a, const FileStamp& b) {
  return a.device == b.device && a.index == b.index;
}

FileFailure insert_file_failure(const InsertFile& file) {
  FileFailure failure = failure_of(Culprit::kInsertFile, file.error(), file.path());
  failure.reason = file.reason();
  return failure;
}

// Writes the whole page: the insert-before file, the converted text, the
// insert-after file. A missing insert file is simply left out. Returns
// nothing, or what made the page fail: a page cut short by a failed read or
// write must not replace anything (the output may be the source itself).
// `output_culprit` and `output_path` name the output in a failure.
std::optional<FileFailure> write_page(TextWriter& output, TextReader& input, const char* source_path,
                                      Run& run, Culprit output_culprit, const std::string& output_path) {
  const auto write_failure = [&] { return failure_of(output_culprit, output.error(), output_path); };
  const PageVariables* variables = run.start_page(source_path);
  if (!run.before.append_to(output, variables)) return insert_file_failure(run.before);
  if (output.ok()) run.converter.convert(output, input, run.engine_encoding());
  if (!output.ok()) return write_failure();
  if (input.failed()) return failure_of(Culprit::kSource, input.error());
  if (!run.after.append_to(output, variables)) return insert_file_failure(run.after);
  if (!output.close()) return write_failure();
  return std::nullopt;
}

// Converts standard input to standard output.
std::optional<FileFailure> convert_standard_streams(Run& run) {
  TextReader input;
  input.attach(stdin);
  input.decode_as(run.settings.encoding);
  TextWriter output;
  if (!output.attach(stdout)) return failure_of(Culprit::kStandardOutput, output.error());
  return write_page(output, input, "-", run, Culprit::kStandardOutput, std::string());
}

// Converts one file into the page beside it. Returns nothing, or why the
// file was not converted.
std::optional<FileFailure> convert_one(const std::string& input_path, Run& run) {
  const Settings& settings = run.settings;
  if (names_standard_streams(input_path.c_str())) return convert_standard_streams(run);
  // Opening tells whether the path exists, names a folder or can be read.
  TextReader input;
  if (!input.open(input_path.c_str())) return failure_of(Culprit::kSource, input.error());
  input.decode_as(settings.encoding);

  char output_path[kPathCapacity];
  if (input_path.size() >= sizeof output_path) return failure_of(Culprit::kSource, ENAMETOOLONG);
  copy_string_bounded(output_path, input_path.c_str());
  if (!replace_extension(output_path, sizeof output_path, settings.extension)) {
    return failure_of(Culprit::kPage, ENAMETOOLONG, output_path);
  }
  // Another source's page of this batch is never replaced.
  FileStamp source_stamp;
  const bool source_known = file_stamp(input_path.c_str(), source_stamp);
  FileStamp existing;
  if (!run.written.empty() && file_stamp(output_path, existing)) {
    const auto found = run.written.find({existing.device, existing.index});
    if (found != run.written.end() && found->second.source != input_path &&
        !(source_known && same_identity(found->second.source_stamp, source_stamp))) {
      FileFailure failure = failure_of(Culprit::kPageTaken, 0, output_path);
      failure.other_source = found->second.source;
      return failure;
    }
  }
  FileReplacement page;
  if (!page.begin(output_path, FileReplacement::Options{})) {
    return failure_of(Culprit::kPage, page.error(), output_path);
  }
  TextWriter output;
  if (!output.attach(page.stream())) return failure_of(Culprit::kPage, output.error(), output_path);
  if (auto failure = write_page(output, input, input_path.c_str(), run, Culprit::kPage, output_path)) {
    return failure;
  }
  // The source has been read whole: when the output is the source itself,
  // the page may now take its place.
  input.close();
  if (!page.commit()) return failure_of(Culprit::kPage, page.error(), output_path);
  FileStamp written;
  if (file_stamp(output_path, written))
    run.written[{written.device, written.index}] = {input_path, source_stamp};
  return std::nullopt;
}

}  // namespace

std::string describe_failure(const char* source, const FileFailure& failure) {
  std::string line = source;
  switch (failure.culprit) {
    case Culprit::kSource:
      break;
    case Culprit::kPage:
      line += ": page " + failure.path;
      break;
    case Culprit::kInsertFile:
      line += ": insert file " + failure.path;
      break;
    case Culprit::kStandardOutput:
      line += ": standard output";
      break;
    case Culprit::kPageTaken:
      return line + ": page " + failure.path + " already written for " + failure.other_source;
  }
  line += ": ";
  line += failure.reason != nullptr ? failure.reason : std::strerror(failure.error);
  return line;
}

int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress) {
  Run run(settings, vocabulary);
  const int count = static_cast<int>(files.size());
  int failed = 0;
  for (int index = 0; index < count; ++index) {
    const std::string& path = files[static_cast<std::size_t>(index)];
    if (progress != nullptr) progress->file_started(index, count, path.c_str());
    if (const std::optional<FileFailure> failure = convert_one(path, run)) {
      ++failed;
      if (progress != nullptr) progress->file_failed(index, path.c_str(), *failure);
    }
  }
  return failed;
}

}  // namespace prismet
