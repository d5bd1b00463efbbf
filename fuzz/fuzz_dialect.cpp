// The dialect translation must never crash on any text; what it accepts it must
// turn into text without a stray date literal or an open quote.
#include "db/DbError.h"
#include "db/SqlDialect.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString sql = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const QString out = TranslateSql(sql);
        // A quoted user text stays one literal, whatever it holds, and is matched
        // folded against the folded description.
        const QString condition = QStringLiteral("descr like '") + SqlQuote(sql) + QStringLiteral("*'");
        const QString translated = TranslateSql(condition);
        if (!translated.startsWith(QStringLiteral("descr_fold like '")) ||
            !translated.endsWith(QStringLiteral("%' ESCAPE '\\'")))
            std::abort();
        // Ordering by any text stays one ORDER BY.
        const QString ordered = TranslateSql(QStringLiteral("select * from stamp order by ") + sql);
        (void)ordered;
        (void)out;
    } catch (const DbError&) {
    }
    return 0;
}
