#ifndef BOARDIO_LINK_ERROR_H
#define BOARDIO_LINK_ERROR_H

#include <boost/system/error_code.hpp>
#include <cstddef>
#include <string>

namespace krvEBLowLevel {

// A failure on the link as the part that found it knows it. It becomes the
// text of an error message only when it is delivered, in describe().
struct LinkError {
    enum class Kind {
        readCommand,  // reading a frame's id byte failed
        readSize,     // reading its size bytes failed
        readData,     // reading its payload failed
        write,        // a block could not be written
        reopen,       // the port could not be opened again
        unwritten,    // `count` blocks waited for a port that could not be opened again
        dropped,      // `count` blocks in a row found no room among those waiting
        strayBytes,   // `count` bytes in a row were no frame
        badSize,      // a frame header gave a size no frame has
    };

    Kind kind;
    boost::system::error_code code{};
    std::size_t count = 0;

    bool isReadFailure() const { return kind == Kind::readCommand || kind == Kind::readSize || kind == Kind::readData; }
};

// The numbered text the observers get, as in "002 Could not read command:
// asio.misc:2".
std::string describe(const LinkError& error);

}  // namespace krvEBLowLevel

#endif
