#include "db/CatalogueVersion.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/RawSql.h"
#include "db/TextKeys.h"
#include "history/TrashSchema.h"
#include "images/ImageSchema.h"
#include "numbers/NumberSchema.h"

#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <iterator>

namespace {

// The steps, in order: kSteps[n] brings a file from version n to n + 1.
using Step = void (*)(sqlite3*);
const Step kSteps[] = {
    AddTextKeys,          // 0 -> 1: folded texts and collation keys beside the collector's texts
    AddImageTables,       // 1 -> 2: stamp images, their pictures and thumbnails
    AddFindText,          // 2 -> 3: the joined folded texts the stamp list's filter looks in
    AddTrashTable,        // 3 -> 4: deleted stamps kept in a trash until it is emptied
    AddCatalogueNumbers,  // 4 -> 5: the list of catalogues and each stamp's numbers in them
};
static_assert(std::size(kSteps) == kCatalogueVersion, "one step per version");

}  // namespace

int CatalogueVersion(sqlite3* db)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &stmt, nullptr);
    if (rc != SQLITE_OK) ThrowEngineError(db, rc);
    int version = 0;
    rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) version = sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW) ThrowEngineError(db, rc);
    return version;
}

void RefuseNewerCatalogue(sqlite3* db, const QString& path)
{
    const int version = CatalogueVersion(db);
    if (version > kCatalogueVersion)
        throw DbError(ErrNo::NewerCatalogue,
                      QStringLiteral("'%1' was written by a newer version of Tessarine (catalogue version %2); this "
                                     "version can open catalogues up to version %3.  The file has not been changed.")
                          .arg(QFileInfo(path).absoluteFilePath())
                          .arg(version)
                          .arg(kCatalogueVersion));
}

void UpgradeCatalogue(sqlite3* db, int toVersion)
{
    const int from = CatalogueVersion(db);
    toVersion = std::min(toVersion, kCatalogueVersion);
    if (from >= toVersion) return;
    ExecSql(db, "SAVEPOINT upgrade");
    try {
        for (int version = from; version < toVersion; ++version) kSteps[version](db);
        const QByteArray pragma = "PRAGMA user_version = " + QByteArray::number(toVersion);
        ExecSql(db, pragma.constData());
        ExecSql(db, "RELEASE upgrade");
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO upgrade", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "RELEASE upgrade", nullptr, nullptr, nullptr);
        throw;
    }
}
