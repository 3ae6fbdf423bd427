#include "convert/named_files.h"

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>

#include "common/bounded_copy.h"
#include "common/file_system.h"
#include "common/fixed_text.h"
#include "common/path_text.h"
#include "common/text_stream.h"
#include "convert/site_index.h"

namespace prismet {

namespace {

bool same_identity(const FileStamp& a, const FileStamp& b) {
  return a.device == b.device && a.index == b.index;
}

// Whether a page of that name in an output folder would be the folder's
// index.
bool is_index_name(const char* page_path) {
  std::string name(file_name_of(page_path));
  if (kCaseBlindFileNames) lower_case_path(name.data());
  return name == kIndexName;
}

// The page's path of `input_path`: beside it, or in `output_folder` when
// that is not empty. Returns nothing, or why it cannot be had.
std::optional<FileFailure> page_path_of(const std::string& input_path, const std::string& output_folder,
                                        const char* extension, char (&output_path)[kPathCapacity]) {
  const std::string page_base =
      output_folder.empty() ? input_path : join_path(output_folder, file_name_of(input_path.c_str()));
  if (page_base.size() >= sizeof output_path) return failure_of(Culprit::kSource, ENAMETOOLONG);
  copy_string_bounded(output_path, page_base.c_str());
  if (!replace_extension(output_path, sizeof output_path, extension)) {
    return failure_of(Culprit::kPage, ENAMETOOLONG, output_path);
  }
  // The output folder's index lists its pages: a page never takes its place.
  if (!output_folder.empty() && is_index_name(output_path)) {
    FileFailure failure = failure_of(Culprit::kPage, 0, output_path);
    failure.reason = "that name is the output folder's index";
    return failure;
  }
  return std::nullopt;
}

// Another source's page of this batch is never replaced: the failure when
// `output_path` is such a page.
std::optional<FileFailure> page_of_another_source(const std::string& input_path, bool source_known,
                                                  const FileStamp& source_stamp, const char* output_path,
                                                  const WrittenPages& written) {
  FileStamp existing;
  if (written.empty() || !file_stamp(output_path, existing)) return std::nullopt;
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
  return std::nullopt;
}

}  // namespace

std::optional<FileFailure> convert_named_file(const std::string& input_path, PageConverter& converter,
                                              WrittenPages& written, const std::string& output_folder,
                                              std::uint64_t* lines, std::string* page_path,
                                              PageLinks* page_links) {
  const Settings& settings = converter.settings;
  if (names_standard_streams(input_path.c_str())) return convert_standard_streams(converter);
  // Opening tells whether the path exists, names a folder or can be read.
  TextReader input;
  if (!input.open(input_path.c_str())) return failure_of(Culprit::kSource, input.error());
  input.decode_as(settings.encoding);

  char output_path[kPathCapacity];
  if (auto failure = page_path_of(input_path, output_folder, settings.extension, output_path)) return failure;
  FileStamp source_stamp;
  const bool source_known = file_stamp(input_path.c_str(), source_stamp);
  if (auto failure = page_of_another_source(input_path, source_known, source_stamp, output_path, written)) {
    return failure;
  }
  PageResult result = write_page_file(input, input_path.c_str(), output_path, converter, std::string(),
                                      !output_folder.empty(), page_links);
  if (result.failure) return result.failure;
  if (lines != nullptr) *lines = result.lines;
  if (page_path != nullptr) *page_path = output_path;
  FileStamp page_stamp;
  if (file_stamp(output_path, page_stamp))
    written[{page_stamp.device, page_stamp.index}] = {input_path, source_stamp, output_path};
  return std::nullopt;
}

int convert_named_files(const std::vector<std::string>& files, const Settings& settings,
                        const Vocabulary& vocabulary, FileProgress* progress) {
  PageConverter converter(settings, vocabulary);
  WrittenPages written;
  const int count = static_cast<int>(files.size());
  int failed = 0;
  for (int index = 0; index < count; ++index) {
    const std::string& path = files[static_cast<std::size_t>(index)];
    if (progress != nullptr) progress->file_started(index, count, path.c_str());
    if (const std::optional<FileFailure> failure =
            convert_named_file(path, converter, written, std::string())) {
      ++failed;
      if (progress != nullptr) progress->file_failed(index, path.c_str(), *failure);
    }
  }
  return failed;
}

}  // namespace prismet
