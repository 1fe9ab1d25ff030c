#include "platform/QuitSignals.h"

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A signal handler may only write to a descriptor: the byte carries the signal's number to the event loop.
int signalPipe[2] = {-1, -1};
constexpr std::array kSignals{SIGTERM, SIGINT, SIGHUP};

void OnSignal(int number)
{
    const char byte = static_cast<char>(number);
    // Nothing can be done about a full pipe inside a handler; one byte already waiting is enough.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[0], &byte, 1);
}

QString NameOf(int number)
{
    switch (number) {
    case SIGTERM:
        return u"SIGTERM"_s;
    case SIGINT:
        return u"SIGINT"_s;
    default:
        return u"SIGHUP"_s;
    }
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, this);
    watcher_ = notifier;
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(signalPipe[1], &byte, 1) == 1)
            emit received(NameOf(byte));
    });
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        if (sigaction(number, &action, nullptr) != 0)
            qWarning("cannot catch signal %d: it ends the program at once", number);
    }
}

QuitSignals::~QuitSignals()
{
    for (int number : kSignals)
        std::signal(number, SIG_DFL);
    delete watcher_;
    for (int &fd : signalPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}
