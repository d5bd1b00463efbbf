#include "TestCatalogue.h"

#include "db/DbError.h"
#include "db/Schema.h"
#include "db/TextKeys.h"

#include <QFile>

#include <sqlite3.h>

#include <stdexcept>

TestCatalogue::TestCatalogue(int demoStamps, quint64 seed) : mDirPath(mDir.path())
{
    if (demoStamps > 0) CreateDemoCatalogue(Path(), demoStamps, seed);
    else CreateCatalogue(Path());
}

namespace {

struct Handle {
    sqlite3* db = nullptr;
    explicit Handle(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw std::runtime_error("cannot open test catalogue");
    }
    ~Handle() { sqlite3_close(db); }
};

}  // namespace

void TestCatalogue::Exec(const QString& sql, bool asTheProgram) const
{
    Handle h(Path());
    char* error = nullptr;
    if (sqlite3_exec(h.db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
    // The program keeps the keys of the texts it writes; a test that sets a scene
    // wants the file as the program would have left it.
    if (asTheProgram) {
        try {
            RefreshTextKeys(h.db);
        } catch (const DbError&) {
            // A scene without the key tables (an older layout) has nothing to refresh.
        }
    }
}

QString TestCatalogue::Scalar(const QString& sql) const
{
    Handle h(Path());
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(h.db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(h.db));
    QString result;
    if (sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_type(stmt, 0) != SQLITE_NULL)
        result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    return result;
}
