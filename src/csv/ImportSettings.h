#pragma once

// How a file is to be imported: how to read it, which field each of its columns
// fills, and what to do with a row that is already in the catalogue.

#include "csv/CsvReader.h"
#include "csv/CsvValues.h"
#include "csv/StampFields.h"

#include <vector>

// A row whose description and catalogue number (and country, when a column
// gives it) match a stamp of the catalogue.
enum class DuplicateChoice { Skip, Update, Add };

struct ImportSettings {
    CsvEncoding encoding = CsvEncoding::Utf8;
    QChar separator = u',';
    bool header = true;
    ValueConventions values;
    std::vector<int> mapping;  // the field (Fld) of each column
    DuplicateChoice duplicates = DuplicateChoice::Skip;

    int FieldOf(qsizetype column) const
    {
        return column >= 0 && column < qsizetype(mapping.size()) ? mapping[size_t(column)] : Fld::Ignore;
    }
    // The column of a field, or -1.
    qsizetype ColumnOf(int field) const
    {
        for (size_t i = 0; i < mapping.size(); ++i)
            if (mapping[i] == field) return qsizetype(i);
        return -1;
    }
};
