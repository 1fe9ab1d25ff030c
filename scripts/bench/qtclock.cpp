// The floor beneath the program's idle cost with its window shown: a plain Qt window of the main window's
// size, woken each second by a timer, as the program is. "label" sets a QLabel to the time at each wake, as
// any Qt clock does; "timer" only wakes. Measured beside the program by idle.sh, on the same X server, so
// that the table tells what the program adds to what Qt and the X server cost for a label changed each
// second.
// Usage: kvz_bench_qtclock label|timer
#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    const QString mode = arguments.size() == 2 ? arguments.at(1) : QString();
    if (mode != u"label" && mode != u"timer") {
        std::fprintf(stderr, "usage: kvz_bench_qtclock label|timer\n");
        return 2;
    }
    // The main window's and its clock label's rectangles, in pixels.
    QWidget window;
    window.setWindowTitle(QStringLiteral("kvz_bench_qtclock"));
    window.resize(377, 193);
    QLabel label(&window);
    label.setGeometry(208, 48, 105, 33);
    const auto showTime = [&label] {
        label.setText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")));
    };
    showTime();
    window.show();
    QTimer second;
    second.setTimerType(Qt::PreciseTimer);
    // Unconnected, the timer still wakes the event loop each second: that wake is the "timer" floor.
    if (mode == u"label")
        QObject::connect(&second, &QTimer::timeout, &label, showTime);
    second.start(1000);
    return QApplication::exec();
}
