#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/clone_operations.h"
#include "link/serial_port.h"
#include "tests/support/test_platform.h"

namespace chanwright {
class RadioSim;
}

namespace chanwright::test {

// What the radio dialog would show: every progress value and each running/ready change.
class RecordingView : public TransferView {
  public:
    void ShowProgress(int percent) override { progress.push_back(percent); }
    void SetRunning(bool running) override { states.push_back(running); }
    void ShowStage(const std::string& stage) override { stages.push_back(stage); }
    std::vector<int> progress;
    std::vector<bool> states;
    std::vector<std::string> stages;
};

// A serial port in memory. With a simulated radio attached every write reaches it and its answer
// is readable at once; without one, tests Feed bytes or answer from onWrite. A wait returns at
// once when bytes arrived since the previous wait; otherwise (nothing new, port closed or
// unplugged) it moves the fake clock on by the whole wait, so time-outs pass instantly.
class FakePort : public SerialPort {
  public:
    explicit FakePort(FakeClock& clock, RadioSim* sim = nullptr);

    std::string Device() const override { return device_; }
    bool Open(ErrorInfo& error) override;
    bool IsOpen() const override { return open_; }
    void Close() override;
    int BytesAvailable() override;
    std::vector<uint8_t> Read(int count) override;
    void Write(const std::vector<uint8_t>& bytes) override;
    void WaitForInput(int milliseconds, int wanted) override;

    // Queues bytes for reading, as if the radio had sent them.
    void Feed(const std::vector<uint8_t>& bytes);
    // Every later Open fails with this error, until FailOpen(std::nullopt).
    void FailOpen(std::optional<ErrorInfo> error) { openError_ = std::move(error); }
    // The n-th Write call (1-based, counting failed ones) throws instead of sending.
    void FailWriteAt(int n, ErrorInfo error, std::string source = "Chanwright");
    // The cable is pulled: Open fails and every later read, count or write throws.
    void Unplug(ErrorInfo error = {0, "The device has been disconnected."},
                std::string source = "Chanwright");

    std::vector<std::vector<uint8_t>> writes;  // one entry per successful Write
    int opens = 0;                             // Open calls, failed ones included
    // Called after each successful Write with its bytes; may Feed a scripted reply.
    std::function<void(const std::vector<uint8_t>&)> onWrite;
    // Called after each Read with how many bytes it took; may Feed what follows on the line.
    std::function<void(size_t)> onRead;

  private:
    void CheckUsable();

    int writeCalls_ = 0;  // Write calls, failed ones included

    FakeClock& clock_;
    RadioSim* sim_;
    std::string device_ = "/dev/fake0";
    std::deque<uint8_t> input_;
    bool open_ = false;
    bool arrived_ = false;  // bytes came in since the last wait
    bool unplugged_ = false;
    std::optional<ErrorInfo> openError_;
    int failWriteAt_ = 0;
    ErrorInfo writeError_;
    std::string writeErrorSource_;
    ErrorInfo unplugError_;
    std::string unplugSource_;
};

}  // namespace chanwright::test
