#include "app/batch.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <string>

#include "app/batch_internal.h"
#include "app/tree_conversion.h"
#include "common/bounded_copy.h"
#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/path_text.h"
#include "common/text_stream.h"
#include "convert/insert_file.h"
#include "convert/page_variables.h"
#include "convert/site_index.h"
#include "engine/emitter.h"

namespace prismet {

namespace batch {

const PageVariables* Run::start_page(const char* source_path, const std::string& index) {
  if (!settings.insert_file_variables) return nullptr;
  variables = page_variables_for(source_path, utf8_pages());
  variables.push_back({"{{index}}", index});
  return &variables;
}

FileFailure failure_of(Culprit culprit, int error, std::string path) {
  FileFailure failure;
  failure.culprit = culprit;
  failure.path = std::move(path);
  failure.error = error;
  return failure;
}

namespace {

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
// `lines` receives the source's line count.
std::optional<FileFailure> write_page(TextWriter& output, TextReader& input, const char* source_path,
                                      Run& run, Culprit output_culprit, const std::string& output_path,
                                      const std::string& index, std::uint64_t& lines) {
  const auto write_failure = [&] { return failure_of(output_culprit, output.error(), output_path); };
  const PageVariables* variables = run.start_page(source_path, index);
  if (!run.before.append_to(output, variables)) return insert_file_failure(run.before);
  if (output.ok()) lines = run.converter.convert(output, input, run.engine_encoding());
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
  std::uint64_t lines = 0;
  return write_page(output, input, "-", run, Culprit::kStandardOutput, std::string(), std::string(), lines);
}

// Writes the page of the open input to `page_path` through a replacement.
// With `refuse_links`, a page whose name is a symbolic link is refused
// instead of written through it.
PageResult write_page_file(TextReader& input, const char* source_path, const std::string& page_path, Run& run,
                           const std::string& index, bool refuse_links) {
  PageResult result;
  FileReplacement page;
  FileReplacement::Options options;
  options.refuse_links = refuse_links;
  if (!page.begin(page_path.c_str(), options)) {
    result.failure = failure_of(Culprit::kPage, page.error(), page_path);
    if (refuse_links && page.error() == ELOOP) result.failure->reason = kPageNameIsALink;
    return result;
  }
  TextWriter output;
  if (!output.attach(page.stream())) {
    result.failure = failure_of(Culprit::kPage, output.error(), page_path);
    return result;
  }
  result.failure =
      write_page(output, input, source_path, run, Culprit::kPage, page_path, index, result.lines);
  if (result.failure) return result;
  // The source has been read whole: when the output is the source itself,
  // the page may now take its place.
  input.close();
  if (!page.commit()) result.failure = failure_of(Culprit::kPage, page.error(), page_path);
  return result;
}

// Whether a page of that name in an output folder would be the folder's
// index.
bool is_index_name(const char* page_path) {
  std::string name(file_name_of(page_path));
  if (kCaseBlindFileNames) lower_case_path(name.data());
  return name == kIndexName;
}

}  // namespace

std::optional<FileFailure> convert_one(const std::string& input_path, Run& run, WrittenPages& written,
                                       const std::string& output_folder, std::uint64_t* lines,
                                       std::string* page_path) {
  const Settings& settings = run.settings;
  if (names_standard_streams(input_path.c_str())) return convert_standard_streams(run);
  // Opening tells whether the path exists, names a folder or can be read.
  TextReader input;
  if (!input.open(input_path.c_str())) return failure_of(Culprit::kSource, input.error());
  input.decode_as(settings.encoding);

  char output_path[kPathCapacity];
  const std::string page_base =
      output_folder.empty() ? input_path : join_path(output_folder, file_name_of(input_path.c_str()));
  if (page_base.size() >= sizeof output_path) return failure_of(Culprit::kSource, ENAMETOOLONG);
  copy_string_bounded(output_path, page_base.c_str());
  if (!replace_extension(output_path, sizeof output_path, settings.extension)) {
    return failure_of(Culprit::kPage, ENAMETOOLONG, output_path);
  }
  // The output folder's index lists its pages: a page never takes its place.
  if (!output_folder.empty() && is_index_name(output_path)) {
    FileFailure failure = failure_of(Culprit::kPage, 0, output_path);
    failure.reason = "that name is the output folder's index";
    return failure;
  }
  // Another source's page of this batch is never replaced.
  FileStamp source_stamp;
  const bool source_known = file_stamp(input_path.c_str(), source_stamp);
  FileStamp existing;
  if (!written.empty() && file_stamp(output_path, existing)) {
    const auto found = written.find({existing.device, existing.index});
    // The page written then may have been replaced since (by this run or by
    // another program) and its file's number given to a new file: only a
    // page whose path still leads to that file is the same page.
    FileStamp recorded;
    const bool still_that_page = found != written.end() && file_stamp(found->second.page.c_str(), recorded) &&
                                 same_identity(recorded, existing);
    if (still_that_page && found->second.source != input_path &&
        !(source_known && same_identity(found->second.source_stamp, source_stamp))) {
      FileFailure failure = failure_of(Culprit::kPageTaken, 0, output_path);
      failure.other_source = found->second.source;
      return failure;
    }
  }
  PageResult result =
      write_page_file(input, input_path.c_str(), output_path, run, std::string(), !output_folder.empty());
  if (result.failure) return result.failure;
  if (lines != nullptr) *lines = result.lines;
  if (page_path != nullptr) *page_path = output_path;
  FileStamp page_stamp;
  if (file_stamp(output_path, page_stamp))
    written[{page_stamp.device, page_stamp.index}] = {input_path, source_stamp, output_path};
  return std::nullopt;
}

PageResult convert_to_page(const char* source_path, const std::string& page_path, Run& run,
                           const std::string& index) {
  TextReader input;
  FileStamp source;
  // A walked source may have been replaced by a pipe or a device since it
  // was listed: only a plain file is read, so nothing can wait for ever.
  bool not_regular = false;
  if (!input.open_regular(source_path, not_regular, &source)) {
    PageResult result;
    result.failure = failure_of(Culprit::kSource, input.error());
    if (not_regular) result.failure->reason = "not a regular file";
    return result;
  }
  input.decode_as(run.settings.encoding);
  PageResult result = write_page_file(input, source_path, page_path, run, index, true);
  result.source = source;
  return result;
}

}  // namespace batch

using batch::Culprit;

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

std::string tree_summary_text(const TreeSummary& summary) {
  char text[160];
  std::snprintf(text, sizeof text, "converted %llu file%s, %.1f MB, in %.1f s",
                static_cast<unsigned long long>(summary.converted), summary.converted == 1 ? "" : "s",
                static_cast<double>(summary.bytes) / 1e6, summary.seconds);
  std::string line = text;
  if (summary.unchanged > 0) line += "; " + std::to_string(summary.unchanged) + " unchanged";
  if (summary.failed > 0) line += "; " + std::to_string(summary.failed) + " not converted";
  return line;
}

int convert_files(const std::vector<std::string>& files, const Settings& settings,
                  const Vocabulary& vocabulary, FileProgress* progress, const TreeOptions& options) {
  if (settings.output_folder[0] != '\0' || names_a_folder(files)) {
    return convert_trees(files, settings, vocabulary, progress, options);
  }
  batch::Run run(settings, vocabulary);
  batch::WrittenPages written;
  const int count = static_cast<int>(files.size());
  int failed = 0;
  for (int index = 0; index < count; ++index) {
    const std::string& path = files[static_cast<std::size_t>(index)];
    if (progress != nullptr) progress->file_started(index, count, path.c_str());
    if (const std::optional<FileFailure> failure = batch::convert_one(path, run, written, std::string())) {
      ++failed;
      if (progress != nullptr) progress->file_failed(index, path.c_str(), *failure);
    }
  }
  return failed;
}

}  // namespace prismet
