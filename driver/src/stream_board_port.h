#ifndef BOARDIO_STREAM_BOARD_PORT_H
#define BOARDIO_STREAM_BOARD_PORT_H

#include <array>
#include <boost/asio/write.hpp>
#include <memory>

#include "board_port.h"

namespace krvEBLowLevel {

// What every transport that Asio reads as a stream of bytes does alike: the
// read that takes whatever the stream holds, and the write of a whole block.
// Stream is boost::asio::serial_port or boost::asio::ip::tcp::socket; a
// transport adds its opening, its closing and writeNow.
template <typename Stream>
class StreamBoardPort : public BoardPort, public std::enable_shared_from_this<StreamBoardPort<Stream>> {
public:
    void startReading(Reader& portReader) override {
        reader = &portReader;
        readNext();
    }

    void write(const unsigned char* bytes, std::size_t count, WriteDone done) override {
        boost::asio::async_write(stream, boost::asio::buffer(bytes, count),
                                 [self = this->shared_from_this(), done = std::move(done)](
                                     const boost::system::error_code& error, std::size_t) { done(error); });
    }

protected:
    explicit StreamBoardPort(boost::asio::io_context& loop) : stream(loop) {}

    void readNext() {
        stream.async_read_some(boost::asio::buffer(readBuffer),
                               [self = this->shared_from_this()](const boost::system::error_code& error,
                                                                 std::size_t size) { self->onRead(error, size); });
    }

    // Hands bytes read to the reader and reads on, unless the reader closed
    // the port meanwhile.
    void deliver(const unsigned char* bytes, std::size_t count) {
        reader->received(bytes, count);
        if (stream.is_open()) readNext();
    }

    Stream stream;
    Reader* reader = nullptr;

private:
    void onRead(const boost::system::error_code& error, std::size_t size) {
        // Closed by the owner: the read it cut short is no news.
        if (!stream.is_open()) return;
        if (error) {
            reader->readFailed(error);
            return;
        }
        deliver(readBuffer.data(), size);
    }

    // One read takes whatever the port holds, often many frames at once: a
    // read per frame part would cost far more than the frames themselves.
    std::array<unsigned char, 4096> readBuffer{};
};

}  // namespace krvEBLowLevel

#endif
