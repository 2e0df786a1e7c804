#include "storage/temporary_files.h"

#include <QRandomGenerator>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <string_view>

#include "core/text_encoding.h"

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

namespace chanwright {

#ifdef Q_OS_UNIX

namespace {

constexpr int kDigits = 6;
constexpr time_t kStaleAfter = 24 * 60 * 60;

ErrorInfo SystemError(int number) {
    return {number, std::strerror(number)};
}

// The copies in existence, for the signal handler: the one piece of state the program keeps for
// the whole process, because a handler can reach nothing else. A slot is claimed (kFilling), its
// name written, and only then marked kHeld, so a handler running meanwhile on another thread
// never reads half a name. With every slot taken a copy goes unlisted: a signal leaves it, and a
// later save of its target removes it when stale.
enum SlotState : int { kFree, kFilling, kHeld };
struct Slot {
    std::atomic<int> state{kFree};
    char name[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");
Slot heldNames[16];

void Hold(const QByteArray& name) {
    if (name.size() >= PATH_MAX)
        return;
    for (Slot& slot : heldNames) {
        int free = kFree;
        if (slot.state.compare_exchange_strong(free, kFilling)) {
            std::memcpy(slot.name, name.constData(), static_cast<std::size_t>(name.size()) + 1);
            slot.state.store(kHeld);
            return;
        }
    }
}

void Release(const QByteArray& name) {
    for (Slot& slot : heldNames) {
        if (slot.state.load() == kHeld && name == slot.name) {
            slot.state.store(kFree);
            return;
        }
    }
}

extern "C" void RemoveHeldAndDie(int signal) {
    for (Slot& slot : heldNames) {
        if (slot.state.load() == kHeld)
            ::unlink(slot.name);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);  // delivered as the handler returns: the default action ends the program
}

// SIGINT and SIGTERM wait while a copy is made or removed and its name held or released, so that
// no signal falls between the two in this thread.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &stops, &before_);
    }
    ~SignalsHeld() { pthread_sigmask(SIG_SETMASK, &before_, nullptr); }
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

  private:
    sigset_t before_;
};

// The first bytes of name, at most limit, ending between two characters: never inside a UTF-8
// sequence. A byte that starts none (a name in Latin-1) is a character of its own.
QByteArray Cut(const QByteArray& name, std::size_t limit) {
    const std::string_view bytes(name.constData(), static_cast<std::size_t>(name.size()));
    std::size_t end = 0;
    while (end < bytes.size()) {
        char32_t code = 0;
        const auto length = static_cast<std::size_t>(std::max(1, Utf8Sequence(bytes, end, code)));
        if (end + length > limit)
            break;
        end += length;
    }
    return name.left(static_cast<qsizetype>(end));
}

// Where the copies' names begin: target's folder (with its slash) and the target's name, cut so
// that the name plus ".xxxxxx" stays within the folder's limit (255 when the system says none).
QByteArray Stem(const QByteArray& target, QByteArray& folder) {
    const qsizetype slash = target.lastIndexOf('/');
    folder = target.left(slash + 1);
    long limit = ::pathconf(folder.isEmpty() ? "." : folder.constData(), _PC_NAME_MAX);
    if (limit <= kDigits + 1)
        limit = 255;
    return Cut(target.mid(slash + 1), static_cast<std::size_t>(limit - kDigits - 1));
}

bool IsCopyOf(const QByteArray& name, const QByteArray& stem) {
    if (name.size() != stem.size() + 1 + kDigits || !name.startsWith(stem) ||
        name[stem.size()] != '.')
        return false;
    return std::all_of(name.end() - kDigits, name.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

}  // namespace

int CreateTemporary(const QByteArray& target, QByteArray& name, ErrorInfo& error) {
    QByteArray folder;
    const QByteArray stem = Stem(target, folder);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Always six digits: the name's length must not depend on the draw, or a target whose
        // copy would just pass the file system's name limit fails only some of the time.
        name = folder + stem + '.' +
               QByteArray::number(QRandomGenerator::global()->generate() & 0xFFFFFF, 16)
                   .rightJustified(kDigits, '0');
        const SignalsHeld held;
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            Hold(name);
            return fd;
        }
        if (errno != EEXIST) {
            error = SystemError(errno);
            return -1;
        }
    }
    error = SystemError(EEXIST);
    return -1;
}

bool PutTemporaryInPlace(const QByteArray& name, const QByteArray& target, ErrorInfo& error) {
    const SignalsHeld held;
    const bool renamed = ::rename(name.constData(), target.constData()) == 0;
    if (!renamed) {
        error = SystemError(errno);
        ::unlink(name.constData());
    }
    Release(name);
    return renamed;
}

void RemoveTemporary(const QByteArray& name) {
    const SignalsHeld held;
    ::unlink(name.constData());
    Release(name);
}

void RemoveStaleTemporaries(const QByteArray& target) {
    QByteArray folder;
    const QByteArray stem = Stem(target, folder);
    DIR* dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const time_t staleBefore = std::time(nullptr) - kStaleAfter;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray path = folder + entry->d_name;
        struct stat info {};
        if (IsCopyOf(QByteArray(entry->d_name), stem) && ::lstat(path.constData(), &info) == 0 &&
            S_ISREG(info.st_mode) && info.st_mtime < staleBefore)
            ::unlink(path.constData());
    }
    ::closedir(dir);
}

void RemoveTemporariesOnSignal() {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        if (::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN)
            continue;
        action = {};
        action.sa_handler = RemoveHeldAndDie;
        sigemptyset(&action.sa_mask);
        ::sigaction(signal, &action, nullptr);
    }
}

#else  // Other systems write through Qt's own save files.

void RemoveStaleTemporaries(const QByteArray&) {}
void RemoveTemporariesOnSignal() {}

#endif

}  // namespace chanwright
