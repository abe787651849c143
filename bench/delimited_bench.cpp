// Times the delimited text writer alone over a fetched result, to split a whole unattended run
// into fetch and write.
//   bench_delimited DATABASE OUTPUT [SQL] [REPEATS]
// Prints the fetch time, then one line per write run and the best write time.
#include "export/DelimitedWriter.h"
#include "export/OutputFile.h"
#include "platform/UserLocale.h"
#include "query/Tdm1.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_delimited DATABASE OUTPUT [SQL] [REPEATS]\n");
        return 2;
    }
    const QString database = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString sql =
        argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("SELECT * FROM bench");
    const int repeats = argc > 4 ? std::max(1, std::atoi(argv[4])) : 3;
    try {
        velmora::Tdm1 dm;
        dm.ADOConn1.setConnectionString(QStringLiteral("Provider=SQLite;Data Source=") + database);
        dm.ADOConn1.open();
        dm.ADOQry1.setSql(sql);
        QElapsedTimer clock;
        clock.start();
        dm.ADOQry1.openQuery();
        std::printf("fetch_seconds %.3f\n", double(clock.nsecsElapsed()) / 1e9);
        double best = 1e300;
        for (int i = 0; i < repeats; ++i) {
            clock.restart();
            velmora::OutputFile out(output);
            velmora::DelimitedWriter writer(out, QStringLiteral(","), velmora::userLocale());
            std::int64_t rows = 0;
            writer.writeHeader(dm.ADOQry1);
            writer.writeRecords(dm.ADOQry1, rows);
            out.close();
            const double seconds = double(clock.nsecsElapsed()) / 1e9;
            best = std::min(best, seconds);
            std::printf("write run %d: %lld rows in %.3f s\n", i + 1, static_cast<long long>(rows),
                        seconds);
        }
        std::printf("write_seconds %.3f\n", best);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_delimited: %s\n", e.what());
        return 1;
    }
    return 0;
}
