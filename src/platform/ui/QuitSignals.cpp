#include "platform/ui/QuitSignals.h"

#include "platform/foundation/Log.h"

#include <QSocketNotifier>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace ui {

namespace {

constexpr std::array quitSignals{SIGTERM, SIGINT, SIGHUP};

int signalPipeWriter = -1;
// Set by the first signal and once the run is over: the loop that would hear the pipe may never run again
// (the app can be waiting for a movie to finish), so a later signal must not wait for it.
std::atomic<bool> endAtOnce{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void endNowBy(int signal)
{
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
}

void onSignal(int signal)
{
    if (endAtOnce.exchange(true)) {
        endNowBy(signal);
        return;
    }
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a quit request: dropping this one loses nothing.
    [[maybe_unused]] const auto written = ::write(signalPipeWriter, &byte, 1);
    errno = saved;
}

} // namespace

struct QuitSignals::Impl {
    std::array<int, 2> pipe{-1, -1};
    std::array<struct sigaction, quitSignals.size()> previous{};
    std::unique_ptr<QSocketNotifier> notifier;
};

QuitSignals::QuitSignals(std::function<void(int signal)> handler)
    : impl_(std::make_unique<Impl>())
{
    if (::pipe2(impl_->pipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        fnd::log(fnd::LogLevel::Error, std::string("no pipe for the quit signals: ") + std::strerror(errno));
        return;
    }
    signalPipeWriter = impl_->pipe[1];
    endAtOnce = false;
    const int reader = impl_->pipe[0];
    impl_->notifier = std::make_unique<QSocketNotifier>(reader, QSocketNotifier::Read);
    QObject::connect(impl_->notifier.get(), &QSocketNotifier::activated, [reader, handler = std::move(handler)] {
        unsigned char byte = 0;
        while (::read(reader, &byte, 1) == 1) {
            fnd::log(fnd::LogLevel::Info, std::string("quitting on SIG") + sigabbrev_np(byte));
            handler(byte);
        }
    });

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < quitSignals.size(); ++i)
        ::sigaction(quitSignals[i], &action, &impl_->previous[i]);
}

void QuitSignals::endAtOnceFromNowOn()
{
    endAtOnce = true;
}

QuitSignals::~QuitSignals()
{
    if (impl_->pipe[0] < 0)
        return;
    for (std::size_t i = 0; i < quitSignals.size(); ++i)
        ::sigaction(quitSignals[i], &impl_->previous[i], nullptr);
    impl_->notifier.reset();
    signalPipeWriter = -1;
    ::close(impl_->pipe[0]);
    ::close(impl_->pipe[1]);
}

} // namespace ui
