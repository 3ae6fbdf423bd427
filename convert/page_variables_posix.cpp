#include "convert/page_variables.h"

namespace prismet {

std::string file_name_as_utf8(std::string_view name) { return std::string(name); }

bool file_names_are_cp932() { return false; }

bool file_names_are_utf8() { return true; }

}  // namespace prismet
