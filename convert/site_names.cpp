#include "convert/site_names.h"

#include <cstdint>

#include "common/character_encoding.h"
#include "convert/page_variables.h"
#include "convert/site_index.h"

namespace prismet {

namespace {

constexpr std::string_view kOpening = "// prismet-files 1\n";
static_assert(kOpening.size() <= kSiteNamesHeadSize);

void append_unit(std::string& out, std::uint32_t unit) {
  static constexpr char kHex[] = "0123456789abcdef";
  const char text[] = {
      '\\', 'u', kHex[(unit >> 12) & 15], kHex[(unit >> 8) & 15], kHex[(unit >> 4) & 15], kHex[unit & 15]};
  out.append(text, sizeof text);
}

void append_code_point(std::string& out, std::uint32_t code_point) {
  if (code_point < 0x10000) {
    append_unit(out, code_point);
    return;
  }
  code_point -= 0x10000;
  append_unit(out, 0xD800 + (code_point >> 10));
  append_unit(out, 0xDC00 + (code_point & 0x3FF));
}

// The search box: finds the pages whose path holds what is typed (in any
// case), at most a hundred shown, each a link relative to the index that
// loaded this script.
constexpr char kTail[] = R"js(]};
(function () {
  var input = document.getElementById("prismet-search");
  var list = document.getElementById("prismet-found");
  var script = document.currentScript;
  if (!input || !list || !script) return;
  var root = script.getAttribute("src").replace(/[^\/]*$/, "");
  var files = prismetSite.files, most = 100, lower = null;
  function path(i) { return typeof files[i] === "string" ? files[i] : files[i][0]; }
  function link(i) {
    if (typeof files[i] !== "string") return files[i][1];
    return files[i].split("/").map(encodeURIComponent).join("/") + encodeURIComponent(prismetSite.extension);
  }
  function add(text, href) {
    var item = document.createElement("li");
    var inside = item;
    if (href) {
      inside = document.createElement("a");
      inside.href = root + href;
      item.appendChild(inside);
    }
    inside.textContent = text;
    list.appendChild(item);
  }
  function show() {
    var wanted = input.value.trim().toLowerCase();
    list.textContent = "";
    if (!wanted) return;
    if (!lower) lower = files.map(function (f, i) { return path(i).toLowerCase(); });
    var found = 0;
    for (var i = 0; i < lower.length; ++i) {
      if (lower[i].indexOf(wanted) < 0) continue;
      if (++found <= most) add(path(i), link(i));
    }
    if (found > most) add((found - most) + " more");
    if (found === 0) add("no file");
  }
  input.hidden = false;
  input.addEventListener("input", show);
  show();
})();
)js";

}  // namespace

bool append_script_text(std::string& out, std::string_view name) {
  bool well_formed = true;
  const char* position = name.data();
  const char* const end = position + name.size();
  while (position < end) {
    const auto byte = static_cast<unsigned char>(*position);
    if (byte >= 0x20 && byte < 0x7F) {
      if (byte == '"' || byte == '\\' || byte == '<' || byte == '>') {
        append_unit(out, byte);
      } else {
        out += static_cast<char>(byte);
      }
      ++position;
      continue;
    }
    const std::size_t length = utf8_sequence_length(position, end);
    if (length == 1 && byte >= 0x80) {
      well_formed = false;
      append_unit(out, 0xFFFD);
    } else {
      append_code_point(out, utf8_code_point(position, length));
    }
    position += length;
  }
  return well_formed;
}

SiteNamesFolder site_names_folder(const SiteNamesFolder& parent, std::string_view name) {
  SiteNamesFolder folder = parent;
  append_script_text(folder.text, file_name_as_utf8(name));
  folder.text += '/';
  folder.url += url_of_name(name);
  folder.url += '/';
  return folder;
}

void append_site_name(std::string& list, const SiteNamesFolder& folder, std::string_view source_name,
                      std::string_view page_name, std::string_view extension) {
  const std::size_t start = list.size();
  list += '"';
  list += folder.text;
  // Most names are ASCII, the same in every encoding: no conversion.
  bool ascii = true;
  for (const char byte : source_name) ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
  const bool well_formed = ascii ? append_script_text(list, source_name)
                                 : append_script_text(list, file_name_as_utf8(source_name));
  list += '"';
  const bool named_so = page_name.size() == source_name.size() + extension.size() &&
                        page_name.substr(0, source_name.size()) == source_name &&
                        page_name.substr(source_name.size()) == extension;
  if (!well_formed || !named_so) {
    list.insert(start, 1, '[');
    list += ",\"";
    list += folder.url;
    list += url_of_name(page_name);
    list += "\"]";
  }
  list += ",\n";
}

std::string site_names_head(std::string_view extension) {
  std::string out(kOpening);
  out += "// The pages of this site, for its indexes' search box.\nvar prismetSite = {extension: \"";
  append_script_text(out, file_name_as_utf8(extension));
  out += "\", files: [\n";
  return out;
}

std::string_view site_names_tail() { return kTail; }

std::string site_names_script(std::string_view list, std::string_view extension) {
  std::string out = site_names_head(extension);
  out += list;
  out += site_names_tail();
  return out;
}

bool begins_like_site_names(std::string_view head) { return head.substr(0, kOpening.size()) == kOpening; }

}  // namespace prismet
