#include "convert/page_converter.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "common/file_replacement.h"
#include "common/file_system.h"
#include "common/text_stream.h"

namespace prismet {

const PageVariables* PageConverter::start_page(const char* source_path, const std::string& index) {
  if (!settings.insert_file_variables) return nullptr;
  variables = page_variables_for(source_path, utf8_pages());
  if (settings.page_title) variables.front().value = name_as_page_text(*settings.page_title, utf8_pages());
  variables.push_back({"{{index}}", index});
  return &variables;
}

namespace {

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
                                      PageConverter& page, Culprit output_culprit,
                                      const std::string& output_path, const std::string& index,
                                      std::uint64_t& lines, PageLinks* page_links = nullptr) {
  const auto write_failure = [&] { return failure_of(output_culprit, output.error(), output_path); };
  const PageVariables* variables = page.start_page(source_path, index);
  if (!page.before.append_to(output, variables)) return insert_file_failure(page.before);
  if (output.ok()) lines = page.converter.convert(output, input, page.engine_encoding(), page_links);
  if (!output.ok()) return write_failure();
  if (input.failed()) return failure_of(Culprit::kSource, input.error());
  if (!page.after.append_to(output, variables)) return insert_file_failure(page.after);
  if (!output.close()) return write_failure();
  return std::nullopt;
}

}  // namespace

std::optional<FileFailure> convert_standard_streams(PageConverter& converter) {
  TextReader input;
  input.attach(stdin);
  input.decode_as(converter.settings.encoding);
  TextWriter output;
  if (!output.attach(stdout)) return failure_of(Culprit::kStandardOutput, output.error());
  std::uint64_t lines = 0;
  return write_page(output, input, kStandardInputName, converter, Culprit::kStandardOutput, std::string(),
                    std::string(), lines);
}

PageResult write_page_file(TextReader& input, const char* source_path, const std::string& page_path,
                           PageConverter& converter, const std::string& index, bool refuse_links,
                           PageLinks* page_links) {
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
  result.failure = write_page(output, input, source_path, converter, Culprit::kPage, page_path, index,
                              result.lines, page_links);
  if (result.failure) return result;
  // The source has been read whole: when the output is the source itself,
  // the page may now take its place.
  input.close();
  if (!page.commit()) result.failure = failure_of(Culprit::kPage, page.error(), page_path);
  return result;
}

PageResult convert_standard_input_to_page(const std::string& page_path, PageConverter& converter) {
  TextReader input;
  input.attach(stdin);
  input.decode_as(converter.settings.encoding);
  return write_page_file(input, kStandardInputName, page_path, converter, std::string(), true);
}

PageResult convert_to_page(const char* source_path, const std::string& page_path, PageConverter& converter,
                           const std::string& index, PageLinks* page_links) {
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
  input.decode_as(converter.settings.encoding);
  PageResult result = write_page_file(input, source_path, page_path, converter, index, true, page_links);
  result.source = source;
  return result;
}

}  // namespace prismet
