#include "board_driver.h"

namespace {

class KrvBoardDriver : public BoardDriver {
public:
    explicit KrvBoardDriver(std::string device) : driver(new krvEBLowLevel::krvEBLow(device)) {}
    ~KrvBoardDriver() override { delete driver; }
    KrvBoardDriver(const KrvBoardDriver&) = delete;
    KrvBoardDriver& operator=(const KrvBoardDriver&) = delete;

    void attach(krvEBLowLevel::SingleBoardObserver* observer) override { driver->attach(observer); }
    void detach(krvEBLowLevel::SingleBoardObserver* observer) override { driver->detach(observer); }
    void open() override { driver->open(); }
    void close() override { driver->close(); }
    void sendCommand(krvEBLowLevel::Command* command) override { driver->sendCommand(command); }
    krvEBLowLevel::krvCommState getState() override { return driver->getState(); }

private:
    krvEBLowLevel::krvEBLow* driver;
};

}  // namespace

BoardDriverFactory krvEBLowFactory() {
    return [](const std::string& device) { return std::make_unique<KrvBoardDriver>(device); };
}
