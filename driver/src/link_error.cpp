#include "link_error.h"

#include <boost/format.hpp>

namespace krvEBLowLevel {

namespace {

std::string withCode(const char* format, const boost::system::error_code& code) {
    return (boost::format(format) % code).str();
}

// A report that stands for a run of them says how many, as "(3 commands)".
std::string counted(const std::string& text, std::size_t count, const char* one, const char* more) {
    return (boost::format("%1% (%2% %3%)") % text % count % (count == 1 ? one : more)).str();
}

}  // namespace

std::string describe(const LinkError& error) {
    using Kind = LinkError::Kind;
    switch (error.kind) {
        case Kind::readCommand:
            return withCode("002 Could not read command: %1%", error.code);
        case Kind::readSize:
            return withCode("003 Could not read size: %1%", error.code);
        case Kind::readData:
            return withCode("004 Could not read data: %1%", error.code);
        case Kind::write:
            return withCode("010 Could not write data: %1%", error.code);
        case Kind::reopen:
            return withCode("011 Could not reopen port: %1%", error.code);
        case Kind::unwritten:
            return counted(withCode("010 Could not write data: %1%", error.code), error.count, "command", "commands");
        case Kind::dropped:
            return counted("012 Command dropped: the board is not keeping up", error.count, "command", "commands");
        case Kind::strayBytes:
            return counted("020 No command found, data loss possible", error.count, "byte", "bytes");
        case Kind::badSize:
            break;
    }
    return "021 Invalid frame size, data loss possible";
}

}  // namespace krvEBLowLevel
