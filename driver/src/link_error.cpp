#include "link_error.h"

#include <boost/format.hpp>

namespace krvEBLowLevel {

namespace {

std::string withCode(const char* format, const boost::system::error_code& code) {
    return (boost::format(format) % code).str();
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
        case Kind::dropped:
            return "012 Command dropped: the board is not keeping up";
        case Kind::strayBytes:
            return (boost::format("020 No command found, data loss possible (%1% %2%)") % error.bytes %
                    (error.bytes == 1 ? "byte" : "bytes"))
                .str();
        case Kind::badSize:
            break;
    }
    return "021 Invalid frame size, data loss possible";
}

}  // namespace krvEBLowLevel
