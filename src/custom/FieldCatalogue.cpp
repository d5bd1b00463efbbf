#include "custom/FieldCatalogue.h"

#include "db/Database.h"
#include "db/DbError.h"
#include "db/FieldValue.h"
#include "db/Recordset.h"

#include <algorithm>
#include <cmath>

std::optional<FieldCatalogue> FieldCatalogue::FromRows(std::vector<CatalogueField> rows)
{
    if (rows.empty() || rows.size() > 32767) return std::nullopt;
    FieldCatalogue catalogue;
    catalogue.mIndexOf.assign(rows.size() + 1, -1);
    for (size_t i = 0; i < rows.size(); ++i) {
        const CatalogueField& row = rows[i];
        if (row.specId < 1 || row.specId > static_cast<int>(rows.size())) return std::nullopt;
        int& slot = catalogue.mIndexOf[static_cast<size_t>(row.specId)];
        if (slot >= 0) return std::nullopt;
        slot = static_cast<int>(i);
        if (row.datatype < FieldType::Text || row.datatype > FieldType::Image) return std::nullopt;
        if (row.fieldname.trimmed().isEmpty() || row.filename.trimmed().isEmpty()) return std::nullopt;
        if (row.filename != kStampTable && row.linkfield.trimmed().isEmpty()) return std::nullopt;
        if (!std::isfinite(row.defwidth) || row.defwidth < 0) return std::nullopt;
    }
    catalogue.mRows = std::move(rows);
    return catalogue;
}

std::optional<FieldCatalogue> FieldCatalogue::Load(Database& db)
{
    std::vector<CatalogueField> rows;
    try {
        auto spec = db.OpenSnapshot(QStringLiteral("Select * from RptSpec order by [desc]"));
        if (!spec->IsEmpty()) spec->MoveFirst();
        while (!spec->Eof()) {
            CatalogueField row;
            const auto specId = WholeOf(spec->Field(QStringLiteral("SpecID")));
            const auto datatype = WholeOf(spec->Field(QStringLiteral("datatype")));
            if (!specId || !datatype || *specId < 1 || *specId > 32767) return std::nullopt;
            row.specId = static_cast<int>(*specId);
            row.datatype = static_cast<int>(std::clamp<qint64>(*datatype, 0, 6));
            row.desc = TextOf(spec->Field(QStringLiteral("Desc")));
            row.fieldname = TextOf(spec->Field(QStringLiteral("fieldname")));
            row.filename = TextOf(spec->Field(QStringLiteral("filename")));
            row.linkfield = TextOf(spec->Field(QStringLiteral("Linkfield")));
            const QVariant width = spec->Field(QStringLiteral("defwidth"));
            if (width.isNull()) {
                row.defwidth = 1;
            } else {
                const auto number = NumberOf(width);
                if (!number) return std::nullopt;
                row.defwidth = static_cast<float>(*number);
            }
            row.isCurrency = BoolOf(spec->Field(QStringLiteral("IsCurrency")));
            rows.push_back(std::move(row));
            spec->MoveNext();
        }
        spec->Close();
    } catch (const DbError& error) {
        // A closed database is not the catalogue's fault.
        if (error.Number() == ErrNo::ObjectInvalid || error.Number() == ErrNo::NoObject) throw;
        return std::nullopt;
    }
    return FromRows(std::move(rows));
}

const CatalogueField* FieldCatalogue::Find(int specId) const
{
    if (specId < 1 || specId >= static_cast<int>(mIndexOf.size())) return nullptr;
    const int index = mIndexOf[static_cast<size_t>(specId)];
    return index < 0 ? nullptr : &mRows[static_cast<size_t>(index)];
}
