// A site's names script on disk (site_names.h): written in one piece through
// a replacement when it would change, removed when its site has no pages
// left, and never put in place of a file this program did not make.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "convert/failure.h"

namespace prismet {

// Brings the script in the folder `folder` to the bytes of `pieces` one
// after the other, unless it holds them already. Returns nothing, or why it
// could not.
std::optional<FileFailure> update_site_names(const std::string& folder,
                                             std::span<const std::string_view> pieces);

// Removes the script this program made in the folder `folder`, if there is
// one; anyone else's file of that name stays.
std::optional<FileFailure> remove_site_names(const std::string& folder);

}  // namespace prismet
