// tessarine-catalogue: writes an empty catalogue, or a demo catalogue of invented
// stamps, for first runs, tests and benchmarks; adds, lists, exports and
// attaches stamp images, as the Images tab does; exports a catalogue's stamps to
// a CSV file and imports them from one.

#include "csv/CsvExport.h"
#include "csv/CsvImport.h"
#include "csv/CsvPreview.h"
#include "db/CatalogueVersion.h"
#include "db/Database.h"
#include "db/DbError.h"
#include "db/Schema.h"
#include "history/AutoBackups.h"
#include "images/DemoImages.h"
#include "images/ImageCommands.h"
#include "images/ImageStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStringList>

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

namespace {

int Usage(const char* problem)
{
    if (problem) std::fprintf(stderr, "tessarine-catalogue: %s\n", problem);
    std::fprintf(stderr,
                 "usage: tessarine-catalogue create PATH [--force] [--catalogue-version V]\n"
                 "       tessarine-catalogue demo PATH --stamps N [--seed S] [--force] [--catalogue-version V]\n"
                 "                               [--images M [--image-kb K]]\n"
                 "       tessarine-catalogue images add CATALOGUE STAMPID FILE... [--kind KIND] [--caption TEXT]\n"
                 "       tessarine-catalogue images list CATALOGUE [STAMPID]\n"
                 "       tessarine-catalogue images export CATALOGUE STAMPID FOLDER\n"
                 "       tessarine-catalogue images attach CATALOGUE FOLDER\n"
                 "       tessarine-catalogue export CATALOGUE FILE.csv\n"
                 "       tessarine-catalogue import CATALOGUE FILE.csv [--map \"Heading=field,...\"]\n"
                 "           [--duplicates skip|update|add] [--decimal-comma] [--date-order dmy|mdy|ymd] [--dry-run]\n"
                 "--catalogue-version writes the layout of an older program (for tests and benchmarks).\n"
                 "--images gives the first M stamps an invented front and back scan of about K kilobytes each\n"
                 "(default 100).\n"
                 "KIND is Front (the default), Back, Certificate, Detail or Other. attach gives each image file of\n"
                 "FOLDER to the stamp whose catalogue number its name starts with (\"840.jpg\", \"840-back.jpg\").\n"
                 "The images commands refuse a catalogue that Tessarine has open.\n");
    return 2;
}

void Print(FILE* stream, const QStringList& lines)
{
    for (const QString& line : lines) std::fprintf(stream, "%s\n", qUtf8Printable(line));
}

std::optional<qint64> StampIdArgument(const QString& text)
{
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    if (!ok || id < 1) return std::nullopt;
    return id;
}

int Images(QStringList args)
{
    if (args.isEmpty()) return Usage("images needs add, list, export or attach");
    const QString what = args.takeFirst();
    QString kind = kFrontKind;
    QString caption;
    QStringList operands;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (what == u"add" && (arg == u"--kind" || arg == u"--caption")) {
            if (args.isEmpty()) return Usage("--kind and --caption need a value");
            const QString value = args.takeFirst();
            if (arg == u"--caption") {
                caption = value;
            } else if (const auto named = ImageKindNamed(value)) {
                kind = *named;
            } else {
                return Usage("--kind is Front, Back, Certificate, Detail or Other");
            }
        } else if (arg.startsWith(QStringLiteral("--"))) {
            return Usage("unknown option");
        } else {
            operands << arg;
        }
    }
    const bool known = (what == u"add" && operands.size() >= 3) || (what == u"list" && operands.size() >= 1 && operands.size() <= 2) ||
                       (what == u"export" && operands.size() == 3) || (what == u"attach" && operands.size() == 2);
    if (!known) return Usage("images: unknown command or wrong number of arguments");
    std::optional<qint64> stampId;
    if (what != u"attach" && operands.size() >= 2) {
        stampId = StampIdArgument(operands.at(1));
        if (!stampId) return Usage("STAMPID is a stamp's number, 1 or more");
    }

    CommandOutput output;
    int status = 1;
    try {
        // Opened as the program opens it: exclusively, so that neither can change
        // the file under the other.
        auto db = Database::Open(operands.front(), true, CatalogueTables());
        if (what == u"add") status = ImagesAdd(*db, *stampId, operands.mid(2), kind, caption, output);
        else if (what == u"list") status = ImagesList(*db, stampId, output);
        else if (what == u"export") status = ImagesExport(*db, *stampId, operands.at(2), output);
        else status = ImagesAttach(*db, operands.at(1), output);
    } catch (const DbError& e) {
        Print(stdout, output.out);
        Print(stderr, output.err);
        std::fprintf(stderr, "tessarine-catalogue: %s\n", qUtf8Printable(e.Text()));
        return 1;
    }
    Print(stdout, output.out);
    Print(stderr, output.err);
    return status;
}

int Fail(const QString& text)
{
    std::fprintf(stderr, "tessarine-catalogue: %s\n", qUtf8Printable(text));
    return 1;
}

// The catalogue, held as the program holds it; nothing while the program has it.
std::unique_ptr<Database> OpenCatalogue(const QString& path, QString& error)
{
    try {
        return Database::Open(path, true, CatalogueTables());
    } catch (const DbError& e) {
        error = e.Text();
        return nullptr;
    }
}

int Export(const QStringList& args)
{
    if (args.size() != 2) return Usage("export needs CATALOGUE and FILE.csv");
    QString error;
    auto db = OpenCatalogue(args.at(0), error);
    if (!db) return Fail(error);
    try {
        const ExportResult result = ExportStamps(*db, args.at(1), 1);
        if (!result.Written()) return Fail(QStringLiteral("cannot write %1: %2").arg(args.at(1), result.error));
        std::printf("%lld stamps written to %s\n", static_cast<long long>(result.stamps), qUtf8Printable(args.at(1)));
    } catch (const DbError& e) {
        return Fail(e.Text());
    }
    return 0;
}

// Applies "Heading=field,..." to the guessed mapping; the empty text or the
// problem.
QString ApplyMap(const QString& map, const CsvPreview& preview, const CatalogueList& catalogues,
                 ImportSettings& settings)
{
    for (const QString& pair : map.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.lastIndexOf(u'=');
        if (equals <= 0) return QStringLiteral("--map needs Heading=field pairs: '%1'").arg(pair);
        const QString heading = pair.left(equals).trimmed();
        const QString name = pair.mid(equals + 1).trimmed();
        qsizetype column = -1;
        for (qsizetype i = 0; i < preview.headings.size() && column < 0; ++i)
            if (preview.headings.at(i).trimmed().compare(heading, Qt::CaseInsensitive) == 0) column = i;
        bool isNumber = false;
        const qsizetype number = heading.toLongLong(&isNumber);
        if (column < 0 && isNumber && number >= 1 && number <= qsizetype(settings.mapping.size())) column = number - 1;
        if (column < 0) return QStringLiteral("the file has no column headed '%1'").arg(heading);
        const std::optional<int> field = FieldByName(name, catalogues);
        if (!field) return QStringLiteral("'%1' is no field of a stamp").arg(name);
        if (*field != Fld::Ignore && *field != Fld::NewCatalogue)
            for (int& other : settings.mapping)
                if (other == *field) other = Fld::Ignore;
        settings.mapping[size_t(column)] = *field;
    }
    return QString();
}

int Import(QStringList args)
{
    QStringList paths;
    QString map;
    bool dryRun = false;
    std::optional<DecimalMark> decimal;
    std::optional<DateOrder> dates;
    DuplicateChoice duplicates = DuplicateChoice::Skip;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--map") {
            if (args.isEmpty()) return Usage("--map needs Heading=field,...");
            map += u',' + args.takeFirst();
        } else if (arg == u"--duplicates") {
            const QString choice = args.isEmpty() ? QString() : args.takeFirst();
            if (choice == u"skip") duplicates = DuplicateChoice::Skip;
            else if (choice == u"update") duplicates = DuplicateChoice::Update;
            else if (choice == u"add") duplicates = DuplicateChoice::Add;
            else return Usage("--duplicates needs skip, update or add");
        } else if (arg == u"--decimal-comma") {
            decimal = DecimalMark::Comma;
        } else if (arg == u"--date-order") {
            const QString order = args.isEmpty() ? QString() : args.takeFirst();
            if (order == u"dmy") dates = DateOrder::Dmy;
            else if (order == u"mdy") dates = DateOrder::Mdy;
            else if (order == u"ymd") dates = DateOrder::Ymd;
            else return Usage("--date-order needs dmy, mdy or ymd");
        } else if (arg == u"--dry-run") {
            dryRun = true;
        } else if (arg.startsWith(u'-')) {
            return Usage("unknown option");
        } else {
            paths << arg;
        }
    }
    if (paths.size() != 2) return Usage("import needs CATALOGUE and FILE.csv");

    QString error;
    auto db = OpenCatalogue(paths.at(0), error);
    if (!db) return Fail(error);
    const QString& file = paths.at(1);
    CatalogueList catalogues;
    try {
        catalogues = LoadCatalogues(*db);
    } catch (const DbError& e) {
        return Fail(e.Text());
    }
    const CsvPreview preview = InspectCsvFile(file, catalogues);
    if (!preview.sniff.Ok()) return Fail(preview.sniff.message);
    if (!preview.error.isEmpty()) return Fail(preview.error);
    ImportSettings settings = preview.settings;
    if (decimal) settings.values.decimal = *decimal;
    if (dates) settings.values.dates = *dates;
    settings.duplicates = duplicates;
    if (!map.isEmpty()) {
        const QString problem = ApplyMap(map, preview, catalogues, settings);
        if (!problem.isEmpty()) return Usage(qUtf8Printable(problem));
    }
    try {
        const ImportPlan plan = MakeImportPlan(*db, file, settings);
        if (!plan.problem.isEmpty()) return Fail(plan.problem);
        for (const RefusedRow& row : plan.refused) std::printf("refused: %s\n", qUtf8Printable(row.Text()));
        if (plan.counts.refused > qint64(plan.refused.size()))
            std::printf("refused: and %lld more rows\n", static_cast<long long>(plan.counts.refused - qint64(plan.refused.size())));
        // Nothing to import at all: no row of stamps could be read.
        const bool nothing = plan.rows.empty() && plan.counts.skipped == 0;
        if (dryRun) {
            std::printf("dry run, nothing written: %s\n", qUtf8Printable(ImportSummary(plan.counts)));
            return nothing ? 1 : 0;
        }
        if (plan.rows.empty()) {
            std::printf("%s\n", qUtf8Printable(ImportSummary(plan.counts)));
            return nothing ? 1 : 0;
        }
        // As in the program, the catalogue is backed up before an import when
        // the last automatic backup is older than a day; a backup that cannot
        // be made is said, and the import goes on.
        const AutomaticBackups backups(db->Path());
        QString problem;
        if (backups.IsDue() && !MakeAutomaticBackup(*db, backups, &problem))
            std::fprintf(stderr, "tessarine-catalogue: the automatic backup could not be made: %s\n",
                         qUtf8Printable(problem));
        const ImportResult result = RunImport(*db, plan);
        std::printf("%s\n", qUtf8Printable(ImportSummary(result.counts)));
    } catch (const DbError& e) {
        return Fail(e.Text());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    // Invented scans have text drawn on them, which needs fonts, which need a
    // GUI application; it never shows a window, so needs no display.
    bool drawing = false;
    for (int i = 1; i < argc; ++i) drawing = drawing || std::strcmp(argv[i], "--images") == 0;
    if (drawing) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app =
        drawing ? std::make_unique<QGuiApplication>(argc, argv) : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) return Usage(nullptr);
    if (args.front() == u"--help" || args.front() == u"-h") {
        Usage(nullptr);
        return 0;
    }
    const QString command = args.takeFirst();
    if (command == u"images") return Images(args);
    if (command == u"export") return Export(args);
    if (command == u"import") return Import(args);
    if (command != u"create" && command != u"demo") return Usage("unknown command");

    QString path;
    bool force = false;
    long long stamps = -1;
    unsigned long long seed = 1;
    int version = -1;
    long long images = 0;
    long long imageKb = 100;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--force") {
            force = true;
        } else if (arg == u"--images" || arg == u"--image-kb") {
            if (command != u"demo") return Usage("--images and --image-kb belong to demo");
            bool ok = false;
            const long long number = args.isEmpty() ? -1 : args.takeFirst().toLongLong(&ok);
            if (!ok || number < 0 || number > 100000000) return Usage("--images and --image-kb need a whole number");
            (arg == u"--images" ? images : imageKb) = number;
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
        if (images > 0) {
            if (version >= 0 && version < 2) return Usage("--images needs catalogue version 2 or later");
            auto db = Database::Open(path, true, CatalogueTables());
            AddDemoImages(*db, static_cast<int>(images), imageKb * 1024, seed, [images](int done) {
                if (done % 500 == 0 || done == images) std::fprintf(stderr, "images: %d of %lld stamps\r", done, images);
            });
            std::fprintf(stderr, "\n");
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "tessarine-catalogue: %s\n", qUtf8Printable(e.Text()));
        return 1;
    }
    return 0;
}
