#include "base/delete_tree.h"

namespace {

// Windows' attribute bits, spelt out here because the core does not include <windows.h>.
constexpr uint32_t ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t ATTRIBUTE_REPARSE_POINT = 0x400;

}  // namespace

tree_entry_action classify_tree_entry(uint32_t attributes) {
  int folder = (attributes & ATTRIBUTE_DIRECTORY) != 0;
  if (attributes & ATTRIBUTE_REPARSE_POINT) return folder ? TREE_REMOVE_FOLDER_LINK : TREE_DELETE_FILE_LINK;
  return folder ? TREE_ENTER_FOLDER : TREE_DELETE_FILE;
}
