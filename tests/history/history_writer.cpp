#include "history/RunHistory.h"

#include <QCoreApplication>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const RunHistory history(QString::fromLocal8Bit(argv[1]));
    const QDateTime started(QDate(2026, 12, 7), QTime(10, 0), Qt::UTC);
    for (int run = 0;; ++run) {
        RunRecord record;
        record.cause = u"interval"_s;
        record.started = started.addSecs(run);
        record.ended = started.addSecs(run + 1);
        record.ok = true;
        record.file = u"C:\\Yedek\\%1-STOK.bak"_s.arg(run);
        const Result<qint64> id = history.append(record);
        if (!id) {
            std::fprintf(stderr, "%s\n", qPrintable(id.failure().reason));
            return 1;
        }
        std::printf("%lld\n", static_cast<long long>(id.value()));
        std::fflush(stdout);
    }
}
