// How long `zekctl apply` takes to rename and move every module of a fleet of 50, 260 and 300
// (more than the window's tree holds), from the search's own CSV to the verified summary, and
// how long reading a file of 100,000 rows takes (it once grew with the square of the rows). The fleet is the
// zeksim program; the reboot delay the window keeps (one second) is part of every figure. Opens sockets: run
// it inside a private network namespace (scripts/netns-run.sh).
#include "ctl/ctl_formats.h"
#include "ctl/zekctl.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

int zekctl(std::vector<std::string> args, std::string& out) {
    for (const char* common : {"--from", "127.0.0.1", "--wait", "5000"})
        args.emplace_back(common);
    std::ostringstream o, e;
    const int code = zek::cli::runZekctl(args, o, e);
    out = o.str();
    return code;
}

void runCase(int modules, const QString& zeksim, const QTemporaryDir& dir) {
    // Its log is not read here: a full pipe would stop it.
    QProcess sim;
    sim.setStandardOutputFile(QProcess::nullDevice());
    sim.setStandardErrorFile(QProcess::nullDevice());
    sim.start(zeksim, {QStringLiteral("--modules"), QString::number(modules)});
    std::string csv;
    for (int tries = 0; tries < 20 && zekctl({"search", "--format", "csv"}, csv) != 0; ++tries)
        sim.waitForFinished(100);
    for (std::size_t at = 0; (at = csv.find(",ZEK module ", at)) != std::string::npos;)
        csv.replace(at, 12, ",Hall ");
    const std::string path = dir.filePath(QStringLiteral("fleet.csv")).toStdString();
    std::ofstream(path) << csv;
    std::string summary;
    const auto start = std::chrono::steady_clock::now();
    const int code = zekctl({"apply", path}, summary);
    const auto ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    const std::size_t last = summary.rfind('\n', summary.size() - 2);
    std::printf("apply %3d modules: %7.1f ms, exit %d, %s", modules, ms, code,
                summary.substr(last == std::string::npos ? 0 : last + 1).c_str());
    sim.terminate();
    sim.waitForFinished(10000);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString zeksim = qEnvironmentVariable("ZEKSIM", QStringLiteral(ZEKSIM_PATH));
    QTemporaryDir dir;
    for (int modules : {50, 260, 300})
        runCase(modules, zeksim, dir);
    std::string rows = "mac,serial,ip,name\n";
    for (int i = 0; i < 100000; ++i) {
        char row[96];
        std::snprintf(row, sizeof row, "02 5A 45 %02X %02X %02X,%d,10.%d.%d.%d,\"Hall %d, east\"\n", i >> 16,
                      (i >> 8) & 255, i & 255, 100000 + i, i >> 16, (i >> 8) & 255, i & 255, i);
        rows += row;
    }
    const auto start = std::chrono::steady_clock::now();
    const zek::cli::ApplyFile file = zek::cli::parseApplyCsv(rows);
    std::printf("read %zu apply rows: %7.1f ms%s\n", file.rows.size(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
                file.error.c_str());
    return 0;
}
