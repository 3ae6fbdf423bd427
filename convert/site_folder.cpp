#include "convert/site_folder.h"

#include <cerrno>
#include <map>
#include <string>
#include <unordered_set>

#include "common/fixed_text.h"
#include "common/path_text.h"
#include "convert/site_index.h"
#include "convert/site_index_file.h"
#include "convert/site_names.h"
#include "convert/site_names_file.h"
#include "convert/site_navigation.h"

namespace prismet {

namespace {

std::optional<FileFailure> write_index(const SiteFolder& folder) {
  const std::string path = join_path(folder.output_path, kIndexName);
  if (folder.previous.in_the_way) {
    FileFailure failure = failure_of(Culprit::kPage, 0, path);
    failure.reason = "a file of that name that this program did not make is in the way";
    return failure;
  }
  if (folder.index_is_link) {
    FileFailure failure = failure_of(Culprit::kPage, ELOOP, path);
    failure.reason = "the index's name is a symbolic link";
    return failure;
  }
  const std::string bytes =
      folder.index.navigation ? render_navigation_index(folder.index) : render_index(folder.index);
  if (bytes == folder.previous.bytes) return std::nullopt;
  if (path.size() >= kPathCapacity) return failure_of(Culprit::kPage, ENAMETOOLONG, path);
  int error = 0;
  if (!write_index_file(path, bytes, error)) return failure_of(Culprit::kPage, error, path);
  return std::nullopt;
}

// A folder whose sources are all gone keeps no index of its own that would
// still link their pages: the index this program made there goes (and with
// it the link from the folder above, which lists only folders with pages).
// An index.html of anyone else stays as it is.
std::optional<FileFailure> remove_index(const SiteFolder& folder) {
  if (folder.previous.in_the_way || folder.previous.bytes.empty()) return std::nullopt;
  const std::string path = join_path(folder.output_path, kIndexName);
  if (delete_file(path.c_str())) return std::nullopt;
  FileFailure failure = failure_of(Culprit::kPage, 0, path);
  failure.reason = "the index of a folder with no pages left could not be deleted";
  return failure;
}

}  // namespace

const char* culprit_path(const SiteFolder& folder) {
  return folder.source_path.empty() ? folder.output_path.c_str() : folder.source_path.c_str();
}

std::optional<FileFailure> end_folder(SiteFolder& folder) {
  for (const IndexPage& page : folder.index.pages) {
    ++folder.files_below;
    folder.bytes_below += page.record.source.size;
    folder.lines_below += page.record.lines;
  }
  std::optional<FileFailure> failure;
  if (folder.files_below > 0) {
    failure = write_index(folder);
  } else if (folder.complete) {
    failure = remove_index(folder);
  }
  if (folder.parent != nullptr && !folder.complete) folder.parent->complete = false;
  if (folder.parent != nullptr && folder.files_below > 0) {
    folder.parent->index.folders.push_back(
        {folder.name, folder.files_below, folder.bytes_below, folder.lines_below});
    folder.parent->files_below += folder.files_below;
    folder.parent->bytes_below += folder.bytes_below;
    folder.parent->lines_below += folder.lines_below;
  }
  // What the index kept is no longer needed.
  folder.index = FolderIndex();
  PageRecords().swap(folder.previous.records);
  std::string().swap(folder.previous.bytes);
  std::map<std::string, std::string>().swap(folder.taken);
  std::unordered_set<std::string>().swap(folder.links);
  std::unordered_set<std::string>().swap(folder.outputs);
  return failure;
}

std::optional<FileFailure> end_site(SiteFolder& root, std::string_view extension) {
  std::optional<FileFailure> failure;
  if (root.output_is_link || root.index_is_link) return failure;
  if (root.files_below > 0) {
    const std::string head = site_names_head(extension);
    const std::string_view pieces[] = {head, root.site_names, site_names_tail()};
    failure = update_site_names(root.output_path, pieces);
  } else if (root.complete) {
    failure = remove_site_names(root.output_path);
  }
  std::string().swap(root.site_names);
  return failure;
}

}  // namespace prismet
