#include "convert/symbol_names.h"

#include <cstdint>

#include "common/cp932.h"
#include "common/cp932_table.h"
#include "convert/site_names.h"
#include "convert/symbol_page_name.h"

namespace prismet {

namespace {

constexpr std::string_view kOpening = "// prismet-symbols 1\n";
static_assert(kOpening.size() <= kSymbolNamesHeadSize);

void append_utf8(std::string& out, std::uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

// Shift_JIS text in UTF-8; a byte or pair that is no character becomes
// U+FFFD.
std::string utf8_of_shift_jis(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    int code_point = -1;
    if (is_lead_byte(byte) && i + 1 < text.size()) {
      const std::uint16_t pair = decode_cp932_pair(byte, static_cast<unsigned char>(text[i + 1]));
      if (pair != 0) {
        code_point = pair;
        ++i;
      }
    } else {
      code_point = decode_cp932_single(byte);
    }
    append_utf8(out, code_point < 0 ? 0xFFFDu : static_cast<std::uint32_t>(code_point));
  }
  return out;
}

// Shows what the site's names script found, then the names that hold what
// is typed, those equal to it first, at most a hundred; where no file was
// found, its "no file" gives way to them.
constexpr char kTail[] = R"js(]};
(function () {
  var input = document.getElementById("prismet-search");
  var list = document.getElementById("prismet-found");
  var script = document.currentScript;
  if (!input || !list || !script) return;
  var folder = script.getAttribute("src").replace(/[^\/]*$/, "");
  var names = prismetSymbols.names, most = 100, lower = null;
  function name(i) { return names[i][0]; }
  function page(i) {
    var n = names[i];
    return n[1] + prismetSymbols.extension + "#" + (n.length > 2 ? n[2] : n[0]);
  }
  function add(text, href) {
    var item = document.createElement("li");
    item.className = "prismet-symbol";
    var inside = item;
    if (href) {
      inside = document.createElement("a");
      inside.href = folder + encodeURI(href);
      item.appendChild(inside);
    }
    inside.textContent = text;
    list.appendChild(item);
  }
  function show() {
    var old = list.querySelectorAll("li.prismet-symbol");
    for (var o = 0; o < old.length; ++o) list.removeChild(old[o]);
    var wanted = input.value.trim().toLowerCase();
    if (!wanted) return;
    if (!lower) lower = names.map(function (n, i) { return name(i).toLowerCase(); });
    var equal = [], other = [];
    for (var i = 0; i < lower.length; ++i) {
      if (lower[i] === wanted) equal.push(i);
      else if (lower[i].indexOf(wanted) >= 0) other.push(i);
    }
    var found = equal.concat(other);
    if (found.length === 0) return;
    var last = list.lastElementChild;
    if (last && !last.firstElementChild && last.textContent === "no file") list.removeChild(last);
    for (var k = 0; k < found.length && k < most; ++k) add(name(found[k]), page(found[k]));
    if (found.length > most) add((found.length - most) + " more symbols");
  }
  input.hidden = false;
  input.addEventListener("input", show);
  show();
})();
)js";

}  // namespace

void append_symbol_name(std::string& list, std::string_view name, bool utf8) {
  list += "[\"";
  bool ascii = true;
  for (const char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii || utf8) {
    append_script_text(list, name);
  } else {
    append_script_text(list, utf8_of_shift_jis(name));
  }
  list += "\",\"";
  // The group's page without its extension, which the script adds.
  list += symbol_group_page(symbol_group(name), std::string_view());
  const std::string anchor = symbol_anchor(name);
  if (anchor != name) {
    list += "\",\"";
    list += anchor;
  }
  list += "\"],\n";
}

std::string symbol_names_head(std::string_view extension) {
  std::string out(kOpening);
  out += "// The names this site defines, for its indexes' search box.\nvar prismetSymbols = {extension: \"";
  append_script_text(out, extension);
  out += "\", names: [\n";
  return out;
}

std::string_view symbol_names_tail() { return kTail; }

bool begins_like_symbol_names(std::string_view head) { return head.substr(0, kOpening.size()) == kOpening; }

}  // namespace prismet
