#ifndef BOARDIO_TESTS_PORT_UNDER_TEST_H
#define BOARDIO_TESTS_PORT_UNDER_TEST_H

// A transport of the driver tested on its own: the port read and written on
// an event loop of its own thread, as the I/O thread does.

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "board_port.h"

namespace porttest {

using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

// Keeps what the port read, and how reading ended.
class ReadLog : public krvEBLowLevel::BoardPort::Reader {
public:
    void received(const unsigned char* bytes, std::size_t count) override {
        std::lock_guard<std::mutex> guard(lock);
        this->bytes.insert(this->bytes.end(), bytes, bytes + count);
        changed.notify_all();
    }
    void readFailed(const boost::system::error_code& error) override {
        std::lock_guard<std::mutex> guard(lock);
        failures.push_back(error);
        changed.notify_all();
    }
    bool waitFor(std::size_t count) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, [&] { return bytes.size() >= count || !failures.empty(); });
    }
    bool waitForFailure() {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, 5s, [&] { return !failures.empty(); });
    }
    Bytes read() {
        std::lock_guard<std::mutex> guard(lock);
        return bytes;
    }
    std::vector<boost::system::error_code> failuresSoFar() {
        std::lock_guard<std::mutex> guard(lock);
        return failures;
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    Bytes bytes;
    std::vector<boost::system::error_code> failures;
};

// Open a port on `loop`, then start(): it is read into `log` from then on,
// and closed on the loop's thread at the end.
class PortUnderTest {
public:
    ~PortUnderTest() {
        if (!runner.joinable()) return;
        boost::asio::post(loop, [this] { port->close(); });
        work.reset();
        runner.join();
    }

    void start(std::shared_ptr<krvEBLowLevel::BoardPort> opened) {
        port = std::move(opened);
        boost::asio::post(loop, [this] { port->startReading(log); });
        runner = std::thread([this] { loop.run(); });
    }

    // Writes on the loop's thread and waits until the write has completed.
    boost::system::error_code write(const Bytes& bytes) {
        std::promise<boost::system::error_code> written;
        boost::asio::post(loop, [&] {
            port->write(bytes.data(), bytes.size(),
                        [&](const boost::system::error_code& error) { written.set_value(error); });
        });
        return written.get_future().get();
    }

    // Closes the port on the loop's thread and waits until it has.
    void close() {
        std::promise<void> closed;
        boost::asio::post(loop, [&] {
            port->close();
            closed.set_value();
        });
        closed.get_future().get();
    }

    boost::asio::io_context loop;
    ReadLog log;
    std::shared_ptr<krvEBLowLevel::BoardPort> port;

private:
    boost::asio::executor_work_guard<boost::asio::io_context::executor_type> work{loop.get_executor()};
    std::thread runner;
};

}  // namespace porttest

#endif
