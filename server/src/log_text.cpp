#include "log_text.h"

#include <boost/format.hpp>

std::string programTextForLog(const std::string& text) {
    if (text.size() <= maxLoggedLength) return escapedForLog(text);
    return str(boost::format("%1%... (%2% bytes)") % escapedForLog(text.substr(0, maxLoggedLength)) % text.size());
}
