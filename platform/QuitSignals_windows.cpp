#include "platform/QuitSignals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <atomic>
#include <windows.h>

using namespace Qt::StringLiterals;

// A logoff or shutdown reaches a program in two ways: the session-end messages to its top-level windows,
// and the console's control events when it has a console. Either way the process is ended once the answer
// is given, so the answer waits until the program has ended as "Kapat" would, a run in flight included.

namespace {

constexpr wchar_t kWindowClass[] = L"ZantoYedekSessionEnd";

QPointer<QuitSignals> receiver;
// Set by the destructor, which runs when the event loop has returned: the console handler may return then.
// One for the process, never closed, as the handler may still be waiting on it while the process ends.
const HANDLE ended = CreateEventW(nullptr, TRUE, FALSE, nullptr);

// The hidden window the session-end messages come to, gone with its owner.
class SessionWindow final : public QObject {
public:
    SessionWindow(HWND window, QObject *parent) : QObject(parent), window_(window) {}
    ~SessionWindow() override
    {
        DestroyWindow(window_);
        UnregisterClassW(kWindowClass, GetModuleHandleW(nullptr));
    }
    SessionWindow(const SessionWindow &) = delete;
    SessionWindow &operator=(const SessionWindow &) = delete;

private:
    HWND window_;
};

void Deliver(const QString &what)
{
    QMetaObject::invokeMethod(
        receiver.data(),
        [what] {
            if (receiver)
                emit receiver->received(what);
        },
        Qt::QueuedConnection);
}

// Runs on a thread of its own, made by the system.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        Deliver(u"CTRL_C"_s);
        return TRUE;
    case CTRL_CLOSE_EVENT:
        Deliver(u"CTRL_CLOSE"_s);
        break;
    case CTRL_LOGOFF_EVENT:
        Deliver(u"CTRL_LOGOFF"_s);
        break;
    case CTRL_SHUTDOWN_EVENT:
        Deliver(u"CTRL_SHUTDOWN"_s);
        break;
    default:
        return FALSE;
    }
    // Returning lets the system end the process at once; it ends it anyway when its own patience is gone.
    WaitForSingleObject(ended, INFINITE);
    return TRUE;
}

// Runs on the user-interface thread, inside its event loop.
LRESULT CALLBACK OnWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_QUERYENDSESSION)
        return TRUE;
    if (message == WM_ENDSESSION && wParam && receiver) {
        // After this message is answered the process may end at any moment: the program's own ending runs
        // here, and the application's exit leaves this loop too.
        QEventLoop loop;
        emit receiver->received((lParam & ENDSESSION_LOGOFF) ? u"WM_ENDSESSION (logoff)"_s
                                                             : u"WM_ENDSESSION"_s);
        if (!QCoreApplication::closingDown())
            loop.exec();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent)
{
    receiver = this;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OnWindowMessage;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    // A hidden top-level window: message-only windows are not told of the session's end.
    HWND window = RegisterClassW(&windowClass)
                      ? CreateWindowExW(0, kWindowClass, L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                        windowClass.hInstance, nullptr)
                      : nullptr;
    if (!window || !SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
        qWarning("cannot watch the session's end: a logoff ends the program at once");
        if (window)
            DestroyWindow(window);
        return;
    }
    watcher_ = new SessionWindow(window, this);
}

QuitSignals::~QuitSignals()
{
    if (watcher_)
        SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    delete watcher_;
    receiver = nullptr;
    SetEvent(ended);
}
