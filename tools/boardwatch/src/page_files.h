#ifndef BOARDWATCH_PAGE_FILES_H
#define BOARDWATCH_PAGE_FILES_H

// The page's files, built into the program from tools/boardwatch/page/.

#include <string_view>

namespace boardwatch {

struct PageFile {
    std::string_view path;  // "/", "/watch.js"
    std::string_view type;  // the Content-Type
    std::string_view body;
};

// Null when there is no such file.
const PageFile* findPageFile(std::string_view path);

}  // namespace boardwatch

#endif
