// tessarine-catalogue: writes an empty catalogue, or a demo catalogue of invented
// stamps, for first runs, tests and benchmarks.

#include "db/CatalogueVersion.h"
#include "db/DbError.h"
#include "db/Schema.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

namespace {

int Usage(const char* problem)
{
    if (problem) std::fprintf(stderr, "tessarine-catalogue: %s\n", problem);
    std::fprintf(stderr,
                 "usage: tessarine-catalogue create PATH [--force] [--catalogue-version V]\n"
                 "       tessarine-catalogue demo PATH --stamps N [--seed S] [--force] [--catalogue-version V]\n"
                 "--catalogue-version writes the layout of an older program (for tests and benchmarks).\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return Usage(nullptr);
    if (args.front() == u"--help" || args.front() == u"-h") {
        Usage(nullptr);
        return 0;
    }
    const QString command = args.takeFirst();
    if (command != u"create" && command != u"demo") return Usage("unknown command");

    QString path;
    bool force = false;
    long long stamps = -1;
    unsigned long long seed = 1;
    int version = -1;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--force") {
            force = true;
        } else if (arg == u"--stamps" || arg == u"--seed") {
            if (command != u"demo") return Usage("--stamps and --seed belong to demo");
            if (args.isEmpty()) return Usage("missing number");
            bool ok = false;
            const QString number = args.takeFirst();
            if (arg == u"--stamps") {
                stamps = number.toLongLong(&ok);
                if (!ok || stamps < 0 || stamps > 100000000) return Usage("--stamps needs a whole number from 0 to 100000000");
            } else {
                seed = number.toULongLong(&ok);
                if (!ok) return Usage("--seed needs a whole number");
            }
        } else if (arg == u"--catalogue-version") {
            bool ok = false;
            version = args.isEmpty() ? -1 : args.takeFirst().toInt(&ok);
            if (!ok || version < 0 || version > kCatalogueVersion) return Usage("--catalogue-version needs a known version");
        } else if (arg.startsWith(u'-')) {
            return Usage("unknown option");
        } else if (path.isEmpty()) {
            path = arg;
        } else {
            return Usage("only one PATH");
        }
    }
    if (path.isEmpty()) return Usage("missing PATH");
    if (command == u"demo" && stamps < 0) return Usage("demo needs --stamps N");

    const QFileInfo target(path);
    if (target.exists()) {
        if (!force) {
            std::fprintf(stderr, "tessarine-catalogue: %s already exists (use --force to replace it)\n", qPrintable(path));
            return 1;
        }
        if (target.isDir() || !QFile::remove(path)) {
            std::fprintf(stderr, "tessarine-catalogue: cannot replace %s\n", qPrintable(path));
            return 1;
        }
    }
    try {
        if (command == u"create") CreateCatalogue(path, version);
        else CreateDemoCatalogue(path, static_cast<int>(stamps), seed, version);
    } catch (const DbError& e) {
        std::fprintf(stderr, "tessarine-catalogue: %s\n", qUtf8Printable(e.Text()));
        return 1;
    }
    return 0;
}
