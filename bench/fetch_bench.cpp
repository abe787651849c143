// Times fetching a whole SQLite query into the result set through the data-access layer (the
// connection on its database thread, as the program runs it).
//   bench_fetch DATABASE [SQL] [REPEATS]
// Prints one line per run and a summary: rows, best seconds, result-set bytes.
#include "query/Tdm1.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_fetch DATABASE [SQL] [REPEATS]\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString sql =
        argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("SELECT * FROM bench");
    const int repeats = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    try {
        velmora::Tdm1 dm;
        dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + database);
        dm.ADOConn1.open();
        dm.ADOQry1.setSql(sql);
        double best = 1e300;
        for (int i = 0; i < repeats; ++i) {
            dm.ADOQry1.close();
            QElapsedTimer clock;
            clock.start();
            dm.ADOQry1.openQuery();
            const double seconds = double(clock.nsecsElapsed()) / 1e9;
            best = std::min(best, seconds);
            std::printf("run %d: %lld rows in %.3f s\n", i + 1,
                        static_cast<long long>(dm.ADOQry1.recordCount()), seconds);
        }
        std::printf("rows %lld\nfields %d\nbest_seconds %.3f\nresult_bytes %zu\n",
                    static_cast<long long>(dm.ADOQry1.recordCount()), dm.ADOQry1.fieldCount(), best,
                    dm.ADOQry1.rows().memoryBytes());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_fetch: %s\n", e.what());
        return 1;
    }
    return 0;
}
