#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// One row of the field catalogue that custom reports offer.
struct FieldCatalogueRow {
    int specId;
    const char* desc;
    const char* fieldname;
    int datatype;  // 1 text, 2 number, 3 date, 4 yes/no
    const char* filename;
    const char* linkfield;  // empty for the stamp table's own fields
    double defwidth;        // inches; 0 leaves it empty (read as 1)
    bool isCurrency;
};

// The statements that create an empty catalogue: every table, index and the
// field catalogue's rows.
QStringList CatalogueSchemaSql();
const std::vector<FieldCatalogueRow>& FieldCatalogueRows();

// The tables the main window cannot work without.
QStringList CatalogueTables();

// Creates an empty catalogue at path; the file must not exist yet. A version
// below the current one makes a file as an older program wrote it.
void CreateCatalogue(const QString& path, int version = -1);

// Creates a catalogue with invented code lists and the given number of invented
// stamps; the file must not exist yet.
void CreateDemoCatalogue(const QString& path, int stamps, quint64 seed, int version = -1);
