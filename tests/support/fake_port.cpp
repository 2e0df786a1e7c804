#include "tests/support/fake_port.h"

#include <algorithm>

#include "tools/radiosim/radio_sim.h"

namespace chanwright::test {

namespace {

const char kSource[] = "Chanwright";

}  // namespace

FakePort::FakePort(FakeClock& clock, RadioSim* sim) : clock_(clock), sim_(sim) {}

bool FakePort::Open(ErrorInfo& error) {
    ++opens;
    if (sim_ && sim_->HungUp())
        unplugged_ = true;
    if (unplugged_) {
        error = unplugError_;
        return false;
    }
    if (openError_) {
        error = *openError_;
        return false;
    }
    if (open_) {
        error = {0, "The port is already open."};
        return false;
    }
    open_ = true;
    return true;
}

void FakePort::Close() {
    open_ = false;
    // Like a real device, unread input does not survive the close.
    input_.clear();
    arrived_ = false;
}

int FakePort::BytesAvailable() {
    CheckUsable();
    return static_cast<int>(input_.size());
}

std::vector<uint8_t> FakePort::Read(int count) {
    CheckUsable();
    const auto taken = static_cast<size_t>(std::clamp(count, 0, static_cast<int>(input_.size())));
    std::vector<uint8_t> bytes(input_.begin(), input_.begin() + taken);
    input_.erase(input_.begin(), input_.begin() + taken);
    if (onRead)
        onRead(bytes.size());
    return bytes;
}

void FakePort::Write(const std::vector<uint8_t>& bytes) {
    ++writeCalls_;
    CheckUsable();
    if (writeCalls_ == failWriteAt_)
        throw SerialPortError(writeError_, writeErrorSource_);
    writes.push_back(bytes);
    if (sim_) {
        const std::vector<uint8_t> reply = sim_->Receive(bytes);
        // A radio that hangs up takes this write and fails the next use of the port.
        if (sim_->HungUp())
            Unplug();
        else
            Feed(reply);
    }
    if (onWrite)
        onWrite(bytes);
}

// Like a real port's wait for ready-read, only bytes that arrived since the last wait end it
// early: bytes already seen must not make a caller that wants more spin without time passing.
void FakePort::WaitForInput(int milliseconds, int /*wanted*/) {
    const bool usable = open_ && !unplugged_ && !(sim_ && sim_->HungUp());
    if (arrived_ && usable && !input_.empty()) {
        arrived_ = false;
        return;
    }
    clock_.now += std::max(milliseconds, 0) / 1000.0;
}

void FakePort::Feed(const std::vector<uint8_t>& bytes) {
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    arrived_ = arrived_ || !bytes.empty();
}

void FakePort::FailWriteAt(int n, ErrorInfo error, std::string source) {
    failWriteAt_ = n;
    writeError_ = std::move(error);
    writeErrorSource_ = std::move(source);
}

void FakePort::Unplug(ErrorInfo error, std::string source) {
    if (unplugged_)
        return;
    unplugged_ = true;
    unplugError_ = std::move(error);
    unplugSource_ = std::move(source);
}

// A pulled cable or a closed port fails whatever the link tries next.
void FakePort::CheckUsable() {
    if (sim_ && sim_->HungUp())
        Unplug();
    if (unplugged_)
        throw SerialPortError(unplugError_, unplugSource_);
    if (!open_)
        throw SerialPortError({0, "The port is not open."}, kSource);
}

}  // namespace chanwright::test
