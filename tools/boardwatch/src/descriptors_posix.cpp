#include <sys/resource.h>

#include "descriptors.h"

namespace boardwatch {

std::size_t raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    if (limit.rlim_cur == RLIM_INFINITY) return static_cast<std::size_t>(-1);
    return static_cast<std::size_t>(limit.rlim_cur);
}

}  // namespace boardwatch
