// What an open handle names, as the handle itself sees it: an entry opened without following
// links is the link, not its target. The checks that refuse a link planted under a name, or a
// folder swapped for one, all ask here.
#pragma once

#include <windows.h>

// The attributes of the opened file or folder; INVALID_FILE_ATTRIBUTES when they cannot be had.
inline DWORD opened_attributes(HANDLE opened) {
  FILE_ATTRIBUTE_TAG_INFO tag = {};
  return GetFileInformationByHandleEx(opened, FileAttributeTagInfo, &tag, sizeof tag) ? tag.FileAttributes
                                                                                        : INVALID_FILE_ATTRIBUTES;
}

// True when the handle names a plain file: neither a folder nor a link (unknown counts as neither).
inline bool opened_plain_file(HANDLE opened) {
  DWORD attributes = opened_attributes(opened);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}
