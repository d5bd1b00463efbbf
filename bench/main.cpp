// tessarine-bench: speed and memory of Tessarine on a large catalogue.
//
//   tessarine-bench --catalogue PATH --work DIR [--runs N] [--only GROUP,...]
//       runs every group of cases, each in processes of its own on its own copy
//       of the catalogue, and prints one table of medians, baselines and ratios.
//   tessarine-bench --child GROUP --dir DIR --runs N
//       one measuring process (the table's side starts these itself).
//
// ./bench/run.sh makes the demo catalogue and calls the first form.

#include "BenchCases.h"
#include "BenchTable.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <sqlite3.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

int Usage(const char* problem)
{
    if (problem) std::fprintf(stderr, "tessarine-bench: %s\n", problem);
    std::fprintf(stderr,
                 "usage: tessarine-bench --catalogue PATH --work DIR [--runs N] [--only GROUP,...]\n"
                 "       tessarine-bench --child GROUP --dir DIR --runs N\n"
                 "groups: %s\n",
                 qPrintable(BenchGroups().join(u',')));
    return 2;
}

QString Arg(const QStringList& args, const QString& name)
{
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

struct ChildRun {
    int status = -1;  // exit status, or -1 when it did not exit normally
    long peakKb = 0;
    Samples samples;
};

// Runs one measuring process with its standard output read as samples and its
// standard error kept in log.
ChildRun RunChild(const QString& group, const QString& dir, int runs, const QString& log)
{
    ChildRun result;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return result;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    const QByteArray groupArg = group.toUtf8();
    const QByteArray dirArg = QFile::encodeName(dir);
    const QByteArray runsArg = QByteArray::number(runs);
    const QByteArray logName = QFile::encodeName(log);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        if (std::FILE* err = std::freopen(logName.constData(), "w", stderr); !err) ::_exit(126);
        const char* argv[] = {self.c_str(),       "--child", groupArg.constData(), "--dir",
                              dirArg.constData(), "--runs",  runsArg.constData(),  nullptr};
        ::execv(self.c_str(), const_cast<char* const*>(argv));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    if (pid < 0) {
        ::close(pipeFds[0]);
        return result;
    }
    QByteArray output;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        output.append(buffer, n);
    }
    ::close(pipeFds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.peakKb = usage.ru_maxrss;
    for (const QByteArray& line : output.split('\n'))
        if (!line.trimmed().isEmpty() && !result.samples.Read(QString::fromUtf8(line)))
            std::fprintf(stderr, "%s: %s\n", qPrintable(group), line.constData());
    return result;
}

QString LogTail(const QString& log)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) return QString();
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    return lines.mid(std::max<qsizetype>(0, lines.size() - 8)).join(u'\n');
}

qint64 StampCount(const QString& catalogue)
{
    sqlite3* db = nullptr;
    qint64 count = -1;
    if (sqlite3_open_v2(QFile::encodeName(catalogue).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT count(*) FROM Stamp", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            count = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return count;
}

QString CpuModel()
{
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (!info.open(QIODevice::ReadOnly)) return QStringLiteral("unknown CPU");
    for (const QByteArray& line : info.readAll().split('\n'))
        if (line.startsWith("model name")) return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown CPU");
}

bool FreshCopy(const QString& catalogue, const QString& dir)
{
    std::error_code error;
    const std::filesystem::path folder(QFile::encodeName(dir).toStdString());
    std::filesystem::remove_all(folder, error);
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    return std::filesystem::copy_file(QFile::encodeName(catalogue).toStdString(), folder / "stamp.mdb", error);
}

int RunAll(const QString& catalogue, const QString& work, int runs, QStringList groups)
{
    const qint64 stamps = StampCount(catalogue);
    if (stamps < 1) {
        std::fprintf(stderr, "tessarine-bench: %s is not a catalogue with stamps\n", qPrintable(catalogue));
        return 1;
    }
    if (groups.isEmpty()) {
        groups = BenchGroups();
        for (const QString& group : kOnRequestGroups) groups.removeAll(group);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);

    Samples samples;
    QStringList peaks;
    for (const QString& group : groups) {
        const QString dir = work + u'/' + group;
        if (!FreshCopy(catalogue, dir)) {
            samples.errors << group + QStringLiteral(": cannot copy the catalogue to ") + dir;
            continue;
        }
        // A start-up is measured once per process, as the collector meets it.
        const int processes = group == u"load" ? runs : 1;
        long peakKb = 0;
        std::fprintf(stderr, "measuring %s...\n", qPrintable(group));
        for (int p = 0; p < processes; ++p) {
            const QString log = work + u'/' + group + QStringLiteral(".log");
            const ChildRun child = RunChild(group, dir, group == u"load" ? 1 : runs, log);
            samples.Merge(child.samples);
            peakKb = std::max(peakKb, child.peakKb);
            if (child.status != 0)
                samples.errors << group +
                                      QStringLiteral(": the measuring process failed (status %1): ").arg(child.status) +
                                      LogTail(log);
        }
        peaks << QStringLiteral("%1 %2").arg(group).arg(static_cast<double>(peakKb) / 1024.0, 0, 'f', 1);
    }

    std::vector<BenchCase> cases;
    for (const QString& group : groups) {
        const auto& more = kOnRequestGroups.contains(group) ? ImageCases() : StandardCases();
        for (const BenchCase& c : more)
            if (std::none_of(cases.begin(), cases.end(), [&](const BenchCase& had) { return had.label == c.label; }))
                cases.push_back(c);
    }
    std::printf("Tessarine benchmarks, %s\n", qPrintable(QDateTime::currentDateTime().toString(Qt::ISODate)));
    std::printf("catalogue: %lld stamps, %.1f MB; medians of %d runs (Next and Previous: of 100 moves each)\n",
                static_cast<long long>(stamps), static_cast<double>(QFileInfo(catalogue).size()) / (1024.0 * 1024.0),
                runs);
    std::printf("machine: %u cores, %s; SQLite %s, Qt %s\n", std::thread::hardware_concurrency(),
                qPrintable(CpuModel()), sqlite3_libversion(), qVersion());
    std::printf("targets: %s; baseline: the same SQL through the SQLite C API, raw rows to a file\n\n",
                stamps <= 100000 ? "those for 100,000 stamps" : "those for 1,000,000 stamps");
    std::printf("%s\n", qPrintable(FormatTable(cases, samples, static_cast<int>(stamps))));
    std::printf("peak memory of each measuring process (MB): %s\n", qPrintable(peaks.join(QStringLiteral(", "))));
    const Tally tally = Count(cases, samples, static_cast<int>(stamps));
    std::printf("%d of %zu targets met", tally.met, cases.size());
    if (tally.missed) std::printf(", %d missed", tally.missed);
    if (tally.unmeasured) std::printf(", %d not measured", tally.unmeasured);
    std::printf("\n");
    for (const QString& error : samples.errors) std::printf("error: %s\n", qUtf8Printable(error));
    return samples.errors.isEmpty() && tally.unmeasured == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
    bool ok = true;
    const int runs = args.contains(QStringLiteral("--runs")) ? Arg(args, QStringLiteral("--runs")).toInt(&ok) : 5;
    if (!ok || runs < 1 || runs > 1000) return Usage("--runs needs a number from 1 to 1000");

    if (args.contains(QStringLiteral("--child"))) {
        const QString group = Arg(args, QStringLiteral("--child"));
        const QString dir = Arg(args, QStringLiteral("--dir"));
        if (!BenchGroups().contains(group) || dir.isEmpty()) return Usage("--child needs a group and --dir");
        return RunBenchGroup(argc, argv, group, dir, runs);
    }

    // The table and the progress lines on standard error keep their order.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString catalogue = Arg(args, QStringLiteral("--catalogue"));
    const QString work = Arg(args, QStringLiteral("--work"));
    if (catalogue.isEmpty() || work.isEmpty()) return Usage("--catalogue and --work are needed");
    QStringList groups;
    if (args.contains(QStringLiteral("--only"))) {
        groups = Arg(args, QStringLiteral("--only")).split(u',', Qt::SkipEmptyParts);
        for (const QString& group : groups)
            if (!BenchGroups().contains(group)) return Usage("unknown group");
    }
    return RunAll(QFileInfo(catalogue).absoluteFilePath(), QFileInfo(work).absoluteFilePath(), runs, groups);
}
