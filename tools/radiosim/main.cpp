// chanwright-radiosim: a radio on a pseudo-terminal, for trying the program without hardware.
// Prints the terminal's device path as its first line, then answers until SIGINT or SIGTERM.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "core/shared_state.h"
#include "image/default_image.h"
#include "tools/radiosim/radio_sim.h"

namespace chanwright {
namespace {

constexpr char kUsage[] =
    "usage: chanwright-radiosim [--model HV2071P|TQ5300] [--image FILE.hex] [--dump FILE.hex] "
    "[--log FILE|-] [--baud N] [--late MS] [--fault KIND[@N]]... [--link PATH]";

constexpr char kHelp[] =
    "\nServes the radio side of the cable on a pseudo-terminal and prints its device path.\n"
    "  --model M      start from the default memory of HV2071P (default) or TQ5300\n"
    "  --image F      start from an 8192-byte image file instead\n"
    "  --dump F       write the memory to F when stopped\n"
    "  --log F        one line per command received (- for standard error)\n"
    "  --baud N       send and take bytes at N baud (10 bits a byte); default: at once\n"
    "  --late MS      how long a late reply is held back; default 10300\n"
    "  --link P       make P a symbolic link to the device\n"
    "  --fault K[@N]  misbehave on every command, or on the N-th only. K is one of\n"
    "                 bad-checksum, lowercase-checksum, drop-reply, noise, extra-byte,\n"
    "                 silence, hang-up, wrong-model, mismatched-ids,\n"
    "                 lost-write, late-reply, previous-reply (from N on), non-hex,\n"
    "                 block-ids, flood (from N on)\n"
    "Stop with Ctrl+C.\n";

volatile sig_atomic_t stopRequested = 0;

void OnStopSignal(int) {
    stopRequested = 1;
}

struct Options {
    Model model = Model::HV2071P;
    std::string imagePath;
    std::string dumpPath;
    std::string logPath;
    std::string linkPath;
    long baud = 0;
    long lateMs = 10300;
    std::vector<SimFault> faults;
};

int UsageError(const std::string& why) {
    std::cerr << "chanwright-radiosim: " << why << "\n" << kUsage << "\n";
    return 2;
}

bool ParseBaud(const std::string& text, long& baud) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    baud = std::stol(text);
    return true;
}

// Takes "--name value" and "--name=value". Returns an empty string or why the line is wrong.
std::string ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        const size_t equals = name.find('=');
        if (equals != std::string::npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return "missing value for " + name;
        }
        if (name == "--model") {
            std::transform(value.begin(), value.end(), value.begin(), ::toupper);
            if (value == "HV2071P")
                options.model = Model::HV2071P;
            else if (value == "TQ5300")
                options.model = Model::TQ5300;
            else
                return "unknown model " + value;
        } else if (name == "--image") {
            options.imagePath = value;
        } else if (name == "--dump") {
            options.dumpPath = value;
        } else if (name == "--log") {
            options.logPath = value;
        } else if (name == "--link") {
            options.linkPath = value;
        } else if (name == "--baud") {
            if (!ParseBaud(value, options.baud))
                return "bad baud rate " + value;
        } else if (name == "--late") {
            if (!ParseBaud(value, options.lateMs))
                return "bad delay " + value;
        } else if (name == "--fault") {
            const auto fault = ParseFault(value);
            if (!fault)
                return "unknown fault " + value;
            options.faults.push_back(*fault);
        } else {
            return "unknown option " + name;
        }
    }
    return {};
}

bool LoadImage(const std::string& path, MemoryImage& image) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (bytes.size() != image.size())
        return false;
    std::copy(bytes.begin(), bytes.end(), image.begin());
    return true;
}

// Written beside the target and renamed over it, so a reader never sees half a memory.
bool DumpImage(const std::string& path, const MemoryImage& image) {
    const std::string temp = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

struct Pty {
    int master = -1;
    int slave = -1;
    std::string slavePath;

    void Close() {
        if (master >= 0)
            close(master);
        if (slave >= 0)
            close(slave);
        master = slave = -1;
    }
};

// Our own slave descriptor stays open for good: the program closes and reopens the device for
// every step, and without it the master would see a hang-up each time.
bool OpenPty(Pty& pty) {
    pty.master = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0 || grantpt(pty.master) != 0 || unlockpt(pty.master) != 0)
        return false;
    const char* name = ptsname(pty.master);
    if (!name)
        return false;
    pty.slavePath = name;
    pty.slave = open(name, O_RDWR | O_NOCTTY);
    if (pty.slave < 0)
        return false;
    termios mode{};
    if (tcgetattr(pty.slave, &mode) != 0)
        return false;
    cfmakeraw(&mode);  // no echo, no line editing, no CR/NL translation
    cfsetspeed(&mode, B9600);
    if (tcsetattr(pty.slave, TCSANOW, &mode) != 0)
        return false;
    return fcntl(pty.master, F_SETFL, fcntl(pty.master, F_GETFL) | O_NONBLOCK) == 0;
}

bool MakeLink(const std::string& linkPath, const std::string& target) {
    struct stat info {};
    if (lstat(linkPath.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode))
            return false;
        unlink(linkPath.c_str());  // left over from an earlier run
    }
    return symlink(target.c_str(), linkPath.c_str()) == 0;
}

int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
}

void SleepUntil(int64_t deadlineNs) {
    const timespec until{static_cast<time_t>(deadlineNs / 1000000000),
                         static_cast<long>(deadlineNs % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// Writes everything, waiting in poll() when the program is slow to read. False once the line is
// gone or a stop is requested.
bool WriteAll(int fd, const uint8_t* data, size_t count, const sigset_t& waitMask) {
    while (count > 0) {
        const ssize_t written = write(fd, data, count);
        if (written > 0) {
            data += written;
            count -= static_cast<size_t>(written);
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd out{fd, POLLOUT, 0};
        if (ppoll(&out, 1, nullptr, &waitMask) < 0 && errno != EINTR)
            return false;
        if (stopRequested)
            return false;
    }
    return true;
}

// The radio end of the cable. With a baud rate it keeps the line's time in both directions:
// a command is complete n byte times after its SOH started, and each reply byte reaches the
// program one byte time after the one before, measured from absolute deadlines.
class Line {
  public:
    Line(RadioSim& sim, int masterFd, const Options& options, const sigset_t& waitMask)
        : sim_(sim),
          fd_(masterFd),
          byteNs_(options.baud > 0 ? 1e10 / options.baud : 0),
          lateNs_(int64_t{options.lateMs} * 1000000),
          waitMask_(waitMask) {}

    // Feeds a chunk read at readNs to the radio, answering each frame as it completes.
    bool Take(const uint8_t* data, size_t count, int64_t readNs) {
        for (size_t i = 0; i < count && !sim_.HungUp(); ++i) {
            const bool wasInFrame = sim_.InFrame();
            const std::vector<uint8_t> reply = sim_.Receive(&data[i], 1);
            if (!wasInFrame && sim_.InFrame()) {
                frameStartNs_ = std::max(readNs, inputFreeNs_);
                frameBytes_ = 0;
            }
            if (wasInFrame || sim_.InFrame())
                ++frameBytes_;
            if (wasInFrame && !sim_.InFrame())
                inputFreeNs_ = frameStartNs_ + Bytes(frameBytes_);
            // A late reply keeps the radio busy: what comes meanwhile waits in the line.
            const int64_t startNs =
                std::max(inputFreeNs_, readNs) + (sim_.ReplyLate() ? lateNs_ : 0);
            if (!reply.empty() && !Send(reply, startNs))
                return false;
        }
        return true;
    }

  private:
    int64_t Bytes(size_t count) const { return std::llround(byteNs_ * count); }

    bool Send(const std::vector<uint8_t>& reply, int64_t startNs) {
        if (byteNs_ <= 0) {
            SleepUntil(startNs);
            return WriteAll(fd_, reply.data(), reply.size(), waitMask_);
        }
        // A byte is the program's to read once its last bit is on the wire.
        for (size_t k = 0; k < reply.size(); ++k) {
            SleepUntil(startNs + Bytes(k + 1));
            if (!WriteAll(fd_, &reply[k], 1, waitMask_))
                return false;
        }
        return true;
    }

    RadioSim& sim_;
    int fd_;
    double byteNs_;
    int64_t lateNs_;
    sigset_t waitMask_;
    int64_t frameStartNs_ = 0;
    int64_t inputFreeNs_ = 0;
    size_t frameBytes_ = 0;
};

// As much of a flood as the line takes now, unpaced.
void FloodLine(const RadioSim& sim, int fd) {
    const std::vector<uint8_t>& copy = sim.FloodBytes();
    std::vector<uint8_t> chunk;
    while (chunk.size() < 4096)
        chunk.insert(chunk.end(), copy.begin(), copy.end());
    while (write(fd, chunk.data(), chunk.size()) > 0) {
    }
}

// Answers until a stop signal or a hang-up fault. False when the line failed under us.
bool Serve(RadioSim& sim, const Pty& pty, const Options& options, const sigset_t& waitMask) {
    Line line(sim, pty.master, options, waitMask);
    uint8_t buffer[4096];
    while (!stopRequested && !sim.HungUp()) {
        const short events = sim.Flooding() ? POLLIN | POLLOUT : POLLIN;
        pollfd in{pty.master, events, 0};
        if (ppoll(&in, 1, nullptr, &waitMask) < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (in.revents & POLLOUT)
            FloodLine(sim, pty.master);
        if (!(in.revents & POLLIN)) {
            if (in.revents & (POLLERR | POLLHUP | POLLNVAL))
                return false;
            continue;
        }
        const ssize_t count = read(pty.master, buffer, sizeof buffer);
        if (count < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (count <= 0)
            return false;
        if (!line.Take(buffer, static_cast<size_t>(count), NowNs()))
            return stopRequested;
    }
    return true;
}

int Run(int argc, char** argv) {
    Options options;
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << kUsage << "\n" << kHelp;
        return 0;
    }
    const std::string why = ParseOptions(argc, argv, options);
    if (!why.empty())
        return UsageError(why);

    MemoryImage memory{};
    if (options.imagePath.empty())
        BuildDefaultImage(memory, options.model);
    else if (!LoadImage(options.imagePath, memory))
        return UsageError("cannot read an 8192-byte image from " + options.imagePath);

    std::FILE* log = nullptr;
    if (options.logPath == "-")
        log = stderr;
    else if (!options.logPath.empty() && !(log = std::fopen(options.logPath.c_str(), "w")))
        return UsageError("cannot write the log " + options.logPath);

    RadioSim sim(memory);
    for (const SimFault& fault : options.faults)
        sim.AddFault(fault);
    sim.KeepLog(false);
    if (log) {
        sim.SetLogSink([log](const std::string& text) {
            std::fprintf(log, "%s\n", text.c_str());
            std::fflush(log);
        });
    }

    // Stop signals are held back except while we wait in poll, so a reply is never cut short.
    sigset_t stopSignals, waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);

    Pty pty;
    if (!OpenPty(pty)) {
        std::cerr << "chanwright-radiosim: cannot open a pseudo-terminal: " << std::strerror(errno)
                  << "\n";
        pty.Close();
        return 1;
    }
    if (!options.linkPath.empty() && !MakeLink(options.linkPath, pty.slavePath)) {
        pty.Close();
        return UsageError("cannot create the link " + options.linkPath);
    }
    std::cout << pty.slavePath << std::endl;

    const bool served = Serve(sim, pty, options, waitMask);
    pty.Close();
    if (!options.linkPath.empty())
        unlink(options.linkPath.c_str());
    if (log && log != stderr)
        std::fclose(log);
    int status = served ? 0 : 1;
    if (!served)
        std::cerr << "chanwright-radiosim: the line failed\n";
    if (!options.dumpPath.empty() && !DumpImage(options.dumpPath, sim.Memory())) {
        std::cerr << "chanwright-radiosim: cannot write " << options.dumpPath << "\n";
        status = 1;
    }
    return status;
}

}  // namespace
}  // namespace chanwright

int main(int argc, char** argv) {
    return chanwright::Run(argc, argv);
}
