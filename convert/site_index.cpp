#include "convert/site_index.h"

#include <charconv>
#include <cstdint>

#include "convert/page_variables.h"
#include "convert/symbol_page_name.h"
#include "convert/symbol_pages.h"

namespace prismet {

namespace {

// Opens the comment that keeps the records, with the version of their
// format. Version 2 adds the page's size to each record; a record of
// version 1 is read with the page's size unknown, so its page is converted
// once more and then recorded in full.
constexpr std::string_view kRecordsOpen = "<!-- prismet-index 2\n";
constexpr std::string_view kRecordsOpenWithoutSizes = "<!-- prismet-index 1\n";
static_assert(kRecordsOpen.size() == kRecordsOpenWithoutSizes.size());
constexpr std::string_view kRecordsClose = "-->\n";

// A name or site path as the document's text shows it.
std::string shown(std::string_view name, bool utf8) { return name_as_page_text(name, utf8); }

// Numbers and rows are appended in place, without a formatted print or a
// string of their own: about a tenth off a second run over an unchanged tree,
// which renders every index to compare it (the whole-tree benchmark's
// second-run row).
void append_decimal(std::string& out, std::uint64_t value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  out.append(text, end.ptr);
}

void append_hex16(std::string& out, std::uint64_t value) {
  static constexpr char kHex[] = "0123456789abcdef";
  char text[16];
  for (int i = 15; i >= 0; --i, value >>= 4) text[i] = kHex[value & 15];
  out.append(text, sizeof text);
}

void append_row(std::string& out, std::string_view href, std::string_view href_tail, std::string_view text,
                std::string_view text_tail) {
  out += "<tr><td><a href=\"";
  out += href;
  out += href_tail;
  out += "\">";
  out += text;
  out += text_tail;
  out += "</a></td><td>";
}

constexpr char kStyle[] =
    "<style>\n"
    "body { margin: 0; padding: 0.6em 1em; background: #ffffff; color: #1f1f1f; font: 0.95rem system-ui, "
    "sans-serif; }\n"
    "h1 { font-size: 1rem; font-weight: 600; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { padding: 0.15em 1em 0.15em 0; text-align: right; }\n"
    "th:first-child, td:first-child { text-align: left; }\n"
    "a { color: #0033b3; }\n"
    "@media (prefers-color-scheme: dark) {\n"
    "  body { background: #1e1e1e; color: #d4d4d4; }\n"
    "  a { color: #569cd6; }\n"
    "}\n"
    "</style>\n";

void append_records(std::string& out, const FolderIndex& index) {
  out += kRecordsOpen;
  for (const IndexPage& page : index.pages) {
    const PageRecord& r = page.record;
    append_hex16(out, r.fingerprint);
    for (const std::uint64_t field : {r.source.device, r.source.index, r.source.size, r.source.modified,
                                      r.source.changed, r.lines, r.page_size}) {
      out += ' ';
      append_decimal(out, field);
    }
    out += ' ';
    // Percent-encoded, so no name can close the comment.
    out += url_of_name(page.page_name);
    out += '\n';
  }
  out += kRecordsClose;
}

// Reads a number of `base` (10 or 16) that ends in a blank; false for none,
// another byte, or one that does not fit.
bool read_number(std::string_view& text, unsigned base, std::uint64_t& value) {
  value = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] != ' '; ++i) {
    const char c = text[i];
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else {
      return false;
    }
    if (value > (UINT64_MAX - digit) / base) return false;
    value = value * base + digit;
  }
  if (i == 0 || i == text.size()) return false;
  text.remove_prefix(i + 1);
  return true;
}

bool read_record(std::string_view line, bool with_size, std::string_view& url, PageRecord& record) {
  std::uint64_t* const fields[] = {&record.source.device,   &record.source.index,   &record.source.size,
                                   &record.source.modified, &record.source.changed, &record.lines,
                                   &record.page_size};
  if (!read_number(line, 16, record.fingerprint)) return false;
  for (std::uint64_t* field : fields) {
    if (field == &record.page_size && !with_size) {
      record.page_size = kUnknownPageSize;
      break;
    }
    if (!read_number(line, 10, *field)) return false;
  }
  url = line;
  return !url.empty();
}

}  // namespace

std::string url_of_name(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  const std::string utf8 = file_name_as_utf8(name);
  std::string url;
  url.reserve(utf8.size());
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                       byte == '~';
    if (plain) {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

std::string index_link(const std::string& site_path, bool utf8) {
  if (site_path.empty()) return std::string();
  return "<nav class=\"prismet-nav\"><a href=\"index.html\">" + shown(site_path, utf8) + "</a></nav>";
}

std::string symbol_index_link(const std::string& site_path) {
  std::string out = "<p class=\"prismet-symbols-link\"><a href=\"";
  // One folder up for each name of the path ("/a/b/" is two below the root).
  for (std::size_t i = 1; i < site_path.size(); ++i) {
    if (site_path[i] == '/') out += "../";
  }
  out += kSymbolFolder;
  out += '/';
  out += kSymbolIndexName;
  out += "\">Symbols</a></p>\n";
  return out;
}

void append_index_records(std::string& out, const FolderIndex& index) { append_records(out, index); }

std::string index_document_head(const std::string& title, bool utf8, const char* style) {
  std::string out =
      "<!DOCTYPE html>\n"
      "<html>\n"
      "<head>\n";
  out += utf8 ? "<meta charset=\"utf-8\">\n" : "<meta charset=\"Shift_JIS\">\n";
  out +=
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<meta name=\"generator\" content=\"prismet\">\n"
      "<title>" +
      title + "</title>\n";
  out += style;
  out += "</head>\n<body>\n";
  return out;
}

std::string render_index(const FolderIndex& index) {
  const std::string title = shown(index.site_path, index.utf8);
  std::string out = index_document_head(title, index.utf8, kStyle);
  out += "<h1>" + title + "</h1>\n";
  if (index.cross_references) out += symbol_index_link(index.site_path);
  out += "<table>\n";
  out += "<thead><tr><th>Name</th><th>Bytes</th><th>Lines</th></tr></thead>\n<tbody>\n";
  if (index.has_parent) {
    append_row(out, "../index.html", "", "../", "");
    out += "</td><td></td></tr>\n";
  }
  for (const IndexFolder& folder : index.folders) {
    append_row(out, url_of_name(folder.name), "/index.html", shown(folder.name, index.utf8), "/");
    append_decimal(out, folder.bytes);
    out += "</td><td>";
    append_decimal(out, folder.files);
    out += folder.files == 1 ? " file" : " files";
    out += "</td></tr>\n";
  }
  for (const IndexPage& page : index.pages) {
    append_row(out, url_of_name(page.page_name), "", shown(page.source_name, index.utf8), "");
    append_decimal(out, page.record.source.size);
    out += "</td><td>";
    append_decimal(out, page.record.lines);
    out += "</td></tr>\n";
  }
  out += "</tbody>\n</table>\n</body>\n</html>\n";
  append_records(out, index);
  return out;
}

bool begins_like_index(std::string_view head) {
  // The opening of render_index's document, then, before the title (whose
  // length has no bound), the generator's name.
  constexpr std::string_view kOpening = "<!DOCTYPE html>\n<html>\n<head>\n";
  constexpr std::string_view kGenerator = "\n<meta name=\"generator\" content=\"prismet\">\n";
  if (head.size() > kIndexHeadSize) head = head.substr(0, kIndexHeadSize);
  return head.substr(0, kOpening.size()) == kOpening && head.find(kGenerator) != std::string_view::npos;
}

bool read_index_records(std::string_view bytes, PageRecords& records) {
  records.clear();
  bool with_size = true;
  std::size_t open = bytes.rfind(kRecordsOpen);
  if (open == std::string_view::npos) {
    with_size = false;
    open = bytes.rfind(kRecordsOpenWithoutSizes);
    if (open == std::string_view::npos) return false;
  }
  std::string_view rest = bytes.substr(open + kRecordsOpen.size());
  if (rest.size() < kRecordsClose.size() || rest.substr(rest.size() - kRecordsClose.size()) != kRecordsClose)
    return false;
  rest.remove_suffix(kRecordsClose.size());
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    std::string_view url;
    PageRecord record;
    // A line this program cannot have written is left out: its page is
    // simply converted again.
    if (read_record(line, with_size, url, record)) records.insert_or_assign(std::string(url), record);
  }
  return true;
}

}  // namespace prismet
