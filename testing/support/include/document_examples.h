#ifndef TESTSUPPORT_DOCUMENT_EXAMPLES_H
#define TESTSUPPORT_DOCUMENT_EXAMPLES_H

// Examples the documents show, taken from them, so that tests check what
// readers copy.

#include <fstream>
#include <string>
#include <vector>

namespace testing_support {

// The lines of the first fenced block after `heading` in a Markdown file;
// empty when there is none.
inline std::vector<std::string> exampleAfter(const std::string& path, const std::string& heading) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    bool found = false, inside = false;
    for (std::string line; std::getline(in, line);) {
        if (!found) {
            found = line == heading;
        } else if (line.rfind("```", 0) == 0) {
            if (inside) return lines;
            inside = true;
        } else if (inside) {
            lines.push_back(line);
        }
    }
    return {};
}

}  // namespace testing_support

#endif
