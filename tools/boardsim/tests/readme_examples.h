#ifndef BOARDSIM_TESTS_README_EXAMPLES_H
#define BOARDSIM_TESTS_README_EXAMPLES_H

#include "document_examples.h"

namespace testing_support {

// The scenario script boardsim's README offers to copy.
inline std::vector<std::string> scenarioScript() {
    return exampleAfter(BOARDSIM_README, "### A scenario to copy");
}

}  // namespace testing_support

#endif
