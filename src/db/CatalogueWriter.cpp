// Writing new catalogue files: the empty catalogue and the demo catalogue.

#include "db/CatalogueVersion.h"
#include "db/DbError.h"
#include "db/Schema.h"
#include "db/StringHelpers.h"
#include "db/TextKeys.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <array>
#include <random>

namespace {

class RawDb {
public:
    explicit RawDb(const QString& path)
    {
        const QByteArray name = QFile::encodeName(path);
        const int rc = sqlite3_open_v2(name.constData(), &mDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) Fail(rc);
    }
    ~RawDb()
    {
        while (sqlite3_stmt* stmt = sqlite3_next_stmt(mDb, nullptr)) sqlite3_finalize(stmt);
        sqlite3_close(mDb);
    }
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    void Exec(const QString& sql)
    {
        const QByteArray utf8 = sql.toUtf8();
        const int rc = sqlite3_exec(mDb, utf8.constData(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) Fail(rc);
    }
    sqlite3_stmt* Prepare(const char* sql)
    {
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(mDb, sql, -1, &stmt, nullptr);
        if (rc != SQLITE_OK) Fail(rc);
        return stmt;
    }
    void Run(sqlite3_stmt* stmt)
    {
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
        if (rc != SQLITE_DONE) Fail(rc);
    }
    [[noreturn]] void Fail(int rc) { throw DbError(rc & 0xff, QString::fromUtf8(mDb ? sqlite3_errmsg(mDb) : sqlite3_errstr(rc))); }
    sqlite3* Handle() const { return mDb; }

private:
    sqlite3* mDb = nullptr;
};

void BindText(sqlite3_stmt* stmt, int i, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(stmt, i, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void WriteSchema(RawDb& db)
{
    db.Exec(QStringLiteral("PRAGMA journal_mode=DELETE"));
    db.Exec(QStringLiteral("BEGIN"));
    const QStringList statements = CatalogueSchemaSql();
    // Tables first; the indexes are made after the rows (faster for a large demo).
    for (const QString& sql : statements)
        if (sql.startsWith(QStringLiteral("CREATE TABLE"))) db.Exec(sql);
    sqlite3_stmt* spec = db.Prepare(
        "INSERT INTO RptSpec (SpecID, \"Desc\", fieldname, datatype, filename, Linkfield, defwidth, IsCurrency) "
        "VALUES (?,?,?,?,?,?,?,?)");
    for (const FieldCatalogueRow& row : FieldCatalogueRows()) {
        sqlite3_bind_int(spec, 1, row.specId);
        BindText(spec, 2, QString::fromUtf8(row.desc));
        BindText(spec, 3, QString::fromUtf8(row.fieldname));
        sqlite3_bind_int(spec, 4, row.datatype);
        BindText(spec, 5, QString::fromUtf8(row.filename));
        BindText(spec, 6, QString::fromUtf8(row.linkfield));
        if (row.defwidth > 0) sqlite3_bind_double(spec, 7, row.defwidth);
        sqlite3_bind_int(spec, 8, row.isCurrency ? 1 : 0);
        db.Run(spec);
    }
}

void WriteIndexes(RawDb& db)
{
    for (const QString& sql : CatalogueSchemaSql())
        if (sql.startsWith(QStringLiteral("CREATE INDEX"))) db.Exec(sql);
}

// Invented code lists, in the order of the code table numbers 1-9.
struct CodeList {
    const char* table;
    const char* descField;
    std::vector<const char*> entries;
};

const std::array<CodeList, 9>& DemoCodeLists()
{
    static const std::array<CodeList, 9> lists = {{
        {"cancel", "CanDesc", {"Circular date stamp", "Duplex", "Favour cancel", "First day of issue", "Killer bars",
                               "Maltese cross", "Manuscript", "Numeral", "Pen cancel", "Pictorial", "Slogan",
                               "Squared circle", "Unused"}},
        {"Condition", "conDesc", {"Average", "Fine", "Fine-Very Fine", "Good", "Mint hinged", "Mint never hinged",
                                  "Poor", "Superb", "Very Fine", "Damaged"}},
        // Some in their own language and script, as collectors keep them.
        {"country", "Coudesc", {"Argentina", "Australia", "Österreich", "Belgium", "Brazil", "Canada", "Côte d'Ivoire",
                                "China", "Czechoslovakia", "Denmark", "Egypt", "Finland", "France", "Germany",
                                "Great Britain", "Ελλάδα", "Hong Kong", "Hungary", "Ísland", "India", "Ireland",
                                "Israel", "Italy", "Japan", "Åland", "Mexico", "Monaco", "Netherlands", "New Zealand",
                                "Norway", "Polska", "Portugal", "Россия", "San Marino", "South Africa", "España",
                                "Sweden", "Switzerland", "Turkey", "United States", "Vatican City"}},
        {"format", "FormDesc", {"Block of 4", "Booklet pane", "Coil", "Cover", "First day cover", "Full sheet",
                                "Pair", "Plate block", "Postal card", "Single", "Souvenir sheet", "Strip of 3"}},
        {"gum", "GumDesc", {"Disturbed gum", "No gum", "Original gum", "Regummed", "Self-adhesive", "Hinge remnant"}},
        {"paper", "Papdesc", {"Chalk-surfaced", "Fluorescent", "Granite", "Laid", "Pelure", "Phosphor-tagged",
                              "Silk thread", "Wove"}},
        {"Perf", "PerfDesc", {"Die cut", "Imperforate", "Perf 10", "Perf 11", "Perf 11 x 10 1/2", "Perf 12",
                              "Perf 12 1/2", "Perf 13", "Perf 14", "Perf 14 x 15", "Rouletted"}},
        {"topic", "TopDesc", {"Architecture", "Art", "Aviation", "Birds", "Christmas", "Famous people", "Flowers",
                              "Insects", "Maps", "Music", "Olympics", "Royalty", "Ships", "Space", "Sports", "Trains"}},
        {"type", "Typedesc", {"Airmail", "Commemorative", "Definitive", "Newspaper", "Official", "Postage due",
                              "Revenue", "Semi-postal", "Special delivery", "Telegraph"}},
    }};
    return lists;
}

const char* const kSubjects[] = {
    "Penny Black", "Queen Victoria", "Columbus Landing", "Inverted Jenny", "Harbour Bridge", "Mount Fuji",
    "Eiffel Tower", "Kangaroo and Map", "Lighthouse", "Steam Locomotive", "Red Cross", "Olympic Rings",
    "Bald Eagle", "Tulip Fields", "King George V", "Moon Landing", "Sailing Ship", "Kölner Dom", "Hummingbird",
    "Österreich Edelweiss", "Great Wall", "Pyramids of Giza", "Matterhorn", "Viking Ship", "Mozart", "Chopin", "Elephant",
    "Lion", "Butterfly", "Windmill", "Castle", "Bridge", "Carnation", "Zeppelin", "Airmail Biplane",
    "Christmas Madonna", "National Flag", "Coat of Arms", "Parliament", "Postal Horn", "Bicycle Race",
    "Ice Hockey", "Figure Skating", "Owl", "Penguin", "Polar Bear", "Rose", "Orchid", "Satellite", "Rocket",
    "Wildlife Fund", "Europa", "Centenary", "Jubilee", "Coronation", "Independence", "Harvest", "Fisherman",
    "Tram", "Mail Coach", "Stagecoach", "Ocean Liner", "Volcano", "Waterfall", "Totem Pole", "Bison",
};
const char* const kVarieties[] = {"", "", "", "", " (overprint)", " (surcharge)", " (shade)", " (coil)",
                                  " (booklet)", " (specimen)"};
const char* const kColors[] = {"Black", "Red", "Carmine", "Blue", "Ultramarine", "Green", "Olive", "Brown",
                               "Sepia", "Violet", "Orange", "Yellow", "Multicoloured", "Rose", "Slate"};
const char* const kWatermarks[] = {"Crown", "Crown CA", "Multiple crown", "Star", "Posthorn", "Lozenges",
                                   "None", "Wavy lines", "Small star"};
const char* const kErrors[] = {"Inverted centre", "Missing colour", "Double print", "Imperforate between",
                               "Shifted perforation", "Plate flaw"};
const char* const kNotes[] = {
    "Bought at the spring fair.",
    "From grandfather's album.\nHinged on the back; certificate in the file.",
    "Light crease top right.",
    "Expertised.\nCertificate no. 4471.\nKeep in the safe.",
    "Part of a mixed lot; check the perforation gauge.",
    "Wanted for the country collection.",
};

class Demo {
public:
    explicit Demo(quint64 seed) : mRng(seed) {}

    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRng); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(mRng); }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[static_cast<size_t>(Uniform(0, int(N) - 1))]; }

    QDate DateIn(int fromYear, int toYear)
    {
        const QDate from(fromYear, 1, 1);
        const qint64 span = from.daysTo(QDate(toYear, 12, 31));
        return from.addDays(std::uniform_int_distribution<qint64>(0, span)(mRng));
    }
    // A price with cents, most of them small.
    double Price(double typical)
    {
        const double raw = std::exponential_distribution<double>(1.0 / typical)(mRng);
        return static_cast<double>(std::llround(raw * 100 + 5)) / 100.0;
    }
    QString CatalogueNumber()
    {
        const int n = Uniform(1, 100) <= 45 ? Uniform(1, 120) : Uniform(1, 4800);
        switch (Uniform(0, 9)) {
        case 0: return QString::number(n) + QChar(u'a' + Uniform(0, 3));
        case 1: return QStringLiteral("C") + QString::number(n);
        case 2: return QStringLiteral("J") + QString::number(n);
        case 3: return QStringLiteral("B") + QString::number(n) + QStringLiteral("a");
        default: return QString::number(n);
        }
    }

private:
    std::mt19937_64 mRng;
};

void BindOptionalDate(sqlite3_stmt* stmt, int i, const QDate& date)
{
    if (date.isValid()) BindText(stmt, i, date.toString(Qt::ISODate));
    else sqlite3_bind_null(stmt, i);
}

void BindOptionalMoney(sqlite3_stmt* stmt, int i, bool present, double value)
{
    if (present) sqlite3_bind_double(stmt, i, value);
    else sqlite3_bind_null(stmt, i);
}

// A price in cents times a quantity, without floating-point residue.
double Times(double price, int quantity)
{
    return static_cast<double>(std::llround(price * 100) * quantity) / 100.0;
}

void WriteDemoRows(RawDb& db, int stamps, quint64 seed)
{
    Demo demo(seed);
    std::array<int, 9> codeCounts{};
    for (size_t t = 0; t < DemoCodeLists().size(); ++t) {
        const CodeList& list = DemoCodeLists()[t];
        const QByteArray sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (?)")
                                   .arg(QString::fromUtf8(list.table), QString::fromUtf8(list.descField))
                                   .toUtf8();
        sqlite3_stmt* insert = db.Prepare(sql.constData());
        for (const char* entry : list.entries) {
            BindText(insert, 1, QString::fromUtf8(entry));
            db.Run(insert);
        }
        codeCounts[t] = static_cast<int>(list.entries.size());
    }

    sqlite3_stmt* insert = db.Prepare(
        "INSERT INTO Stamp (descr, catnum, catsort, face, Year, used, wantlist, quantity, CouID, typeID, formID, "
        "papID, CanID, perfID, topID, gumID, ConID, Color, watermark, Errors, issued, pricepaid, totalpaid, catvalue, "
        "totalval, priceask, totalsales, forsale, purchased, sold, datesold, notes, misc1, misc2) "
        "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    // Code references in column order CouID ... ConID, by code table number.
    const int codeColumns[9] = {3, 9, 4, 6, 1, 7, 8, 5, 2};
    for (int i = 0; i < stamps; ++i) {
        const QDate issued = demo.DateIn(1840, 2025);
        const QString descr = QString::fromUtf8(demo.Pick(kSubjects)) + u' ' +
                              QString::number(demo.Uniform(1, 50) * (demo.Chance(0.3) ? 10 : 1)) +
                              (demo.Chance(0.5) ? QStringLiteral("c") : QStringLiteral("d")) +
                              QString::fromUtf8(demo.Pick(kVarieties));
        const QString catnum = demo.Chance(0.03) ? QString() : demo.CatalogueNumber();
        const bool want = demo.Chance(0.08);
        const bool sold = !want && demo.Chance(0.1);
        const bool forSale = !sold && !want && demo.Chance(0.1);
        const int quantity = demo.Chance(0.8) ? 1 : demo.Uniform(2, 12);

        int c = 1;
        BindText(insert, c++, descr);
        BindText(insert, c++, catnum);
        BindText(insert, c++, CatalogueSortKey(catnum));
        BindOptionalMoney(insert, c++, !demo.Chance(0.1), demo.Uniform(1, 500) / 100.0);
        if (demo.Chance(0.1)) sqlite3_bind_null(insert, c++);
        else sqlite3_bind_int(insert, c++, issued.year());
        sqlite3_bind_int(insert, c++, demo.Chance(0.6) ? 1 : 0);
        sqlite3_bind_int(insert, c++, want ? 1 : 0);
        sqlite3_bind_int(insert, c++, quantity);
        for (int column = 0; column < 9; ++column) {
            const int count = codeCounts[static_cast<size_t>(codeColumns[column] - 1)];
            if (demo.Chance(0.1)) sqlite3_bind_null(insert, c++);
            else sqlite3_bind_int(insert, c++, demo.Uniform(1, count));
        }
        BindText(insert, c++, demo.Chance(0.15) ? QString() : QString::fromUtf8(demo.Pick(kColors)));
        BindText(insert, c++, demo.Chance(0.5) ? QString() : QString::fromUtf8(demo.Pick(kWatermarks)));
        BindText(insert, c++, demo.Chance(0.95) ? QString() : QString::fromUtf8(demo.Pick(kErrors)));
        BindOptionalDate(insert, c++, demo.Chance(0.1) ? QDate() : issued);
        const bool hasPaid = !demo.Chance(0.1);
        const double paid = demo.Price(want ? 20 : 8);
        BindOptionalMoney(insert, c++, hasPaid, paid);
        BindOptionalMoney(insert, c++, hasPaid, Times(paid, quantity));
        const bool hasValue = !want && !demo.Chance(0.1);
        const double value = demo.Price(12);
        BindOptionalMoney(insert, c++, hasValue, value);
        BindOptionalMoney(insert, c++, hasValue, Times(value, quantity));
        const bool hasAsk = (sold || forSale) && !demo.Chance(0.05);
        const double ask = demo.Price(15);
        BindOptionalMoney(insert, c++, hasAsk, ask);
        BindOptionalMoney(insert, c++, hasAsk, Times(ask, quantity));
        sqlite3_bind_int(insert, c++, forSale ? 1 : 0);
        const QDate purchased = want || demo.Chance(0.1) ? QDate() : demo.DateIn(std::max(1950, issued.year()), 2025);
        BindOptionalDate(insert, c++, purchased);
        sqlite3_bind_int(insert, c++, sold ? 1 : 0);
        const QDate sale = sold && purchased.isValid() && !demo.Chance(0.1)
                               ? purchased.addDays(demo.Uniform(30, 3000))
                               : QDate();
        BindOptionalDate(insert, c++, sale);
        BindText(insert, c++, demo.Chance(0.8) ? QString() : QString::fromUtf8(demo.Pick(kNotes)));
        BindText(insert, c++, demo.Chance(0.9) ? QString() : QStringLiteral("Album %1, page %2").arg(demo.Uniform(1, 12)).arg(demo.Uniform(1, 60)));
        BindText(insert, c++, demo.Chance(0.95) ? QString() : QStringLiteral("Lot %1").arg(demo.Uniform(100, 999)));
        db.Run(insert);
    }
}

// The version whose layout has the stamps' numbers in other catalogues.
constexpr int kNumbersVersion = 5;

// Each stamp's numbers in a few catalogues of the starting list (Scott, Stanley
// Gibbons, Michel, now and then Yvert et Tellier), drawn from a stream of their
// own, so that the stamps are those of the same seed without numbers.
void WriteDemoNumbers(RawDb& db, quint64 seed)
{
    Demo demo(seed ^ 0x6e756d6265727321ULL);
    sqlite3_stmt* stamps = db.Prepare("SELECT StampID, catnum FROM Stamp ORDER BY StampID");
    std::vector<std::pair<qint64, QString>> rows;
    while (sqlite3_step(stamps) == SQLITE_ROW)
        rows.emplace_back(sqlite3_column_int64(stamps, 0),
                          QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stamps, 1))));
    sqlite3_finalize(stamps);
    std::array<qint64, 4> catalogues{};
    const char* const names[] = {"Scott", "Stanley Gibbons", "Michel", "Yvert et Tellier"};
    for (size_t i = 0; i < catalogues.size(); ++i) {
        sqlite3_stmt* find = db.Prepare("SELECT CatalogID FROM Catalog WHERE CatalogDesc = ?1");
        sqlite3_bind_text(find, 1, names[i], -1, SQLITE_STATIC);
        if (sqlite3_step(find) == SQLITE_ROW) catalogues[i] = sqlite3_column_int64(find, 0);
        sqlite3_finalize(find);
    }
    sqlite3_stmt* insert = db.Prepare(
        "INSERT INTO StampNumber (StampID, CatalogID, Position, CatNo, CatNoSort, NumValue) VALUES (?,?,?,?,?,?)");
    for (const auto& [stampId, catnum] : rows) {
        int position = 0;
        for (size_t i = 0; i < catalogues.size(); ++i) {
            if (catalogues[i] == 0 || !demo.Chance(i == 3 ? 0.25 : 0.97)) continue;
            QString number;
            switch (i) {
                case 0:
                    number = catnum.isEmpty() ? demo.CatalogueNumber() : catnum;
                    break;
                case 1:
                    number =
                        QString::number(demo.Uniform(1, 5200)) + (demo.Chance(0.1) ? QStringLiteral("a") : QString());
                    break;
                case 2:
                    number =
                        QString::number(demo.Uniform(1, 4000)) + (demo.Chance(0.05) ? QStringLiteral(" I") : QString());
                    break;
                default:
                    number = QString::number(demo.Uniform(1, 3100));
                    break;
            }
            sqlite3_bind_int64(insert, 1, stampId);
            sqlite3_bind_int64(insert, 2, catalogues[i]);
            sqlite3_bind_int(insert, 3, ++position);
            BindText(insert, 4, number);
            BindText(insert, 5, CatalogueSortKey(number));
            BindOptionalMoney(insert, 6, demo.Chance(0.3), demo.Price(10));
            db.Run(insert);
        }
    }
    sqlite3_finalize(insert);
    // Their keys are made by the pass over every row that follows.
}

// Writes the catalogue beside its final name and moves it into place only when it
// is complete, so that an interrupted run never leaves a half-made catalogue.
// Whatever needs the current layout is written after the upgrade.
template <typename Fill, typename FillUpgraded>
void WriteCatalogue(const QString& path, int version, Fill fill, FillUpgraded fillUpgraded)
{
    if (QFileInfo::exists(path))
        throw DbError(ErrNo::FileError, QStringLiteral("'%1' already exists.").arg(path));
    const QString partial = path + QStringLiteral(".partial");
    QFile::remove(partial);
    try {
        {
            RawDb db(partial);
            WriteSchema(db);
            fill(db);
            WriteIndexes(db);
            // A new catalogue is made as every older one is brought up to date.
            const int made = version < 0 ? kCatalogueVersion : version;
            UpgradeCatalogue(db.Handle(), made);
            fillUpgraded(db, made);
            if (version != 0) CheckTextKeys(db.Handle());
            db.Exec(QStringLiteral("COMMIT"));
        }
        if (!QFile::rename(partial, path))
            throw DbError(ErrNo::FileError, QStringLiteral("Could not write '%1'.").arg(path));
    } catch (...) {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
        throw;
    }
}

}  // namespace

void CreateCatalogue(const QString& path, int version)
{
    WriteCatalogue(
        path, version, [](RawDb&) {}, [](RawDb&, int) {});
}

void CreateDemoCatalogue(const QString& path, int stamps, quint64 seed, int version)
{
    WriteCatalogue(
        path, version, [&](RawDb& db) { WriteDemoRows(db, stamps, seed); },
        [&](RawDb& db, int made) {
            if (made >= kNumbersVersion) WriteDemoNumbers(db, seed);
        });
}
