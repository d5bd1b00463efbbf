#pragma once

// Colnect's "Catalog Codes" column: a stamp's numbers in several catalogues in
// one field, each after the catalogue's code and a colon, the number after the
// country's code: "Mi:NZ 840, Sn:NZ 1234, Sg:NZ 1189, Yt:NZ 912".

#include <QString>

#include <vector>

struct CodedNumber {
    QString code;    // "Mi"; empty for a part without a code
    QString number;  // "840", without the country's code
};

// The parts of the field in their order. A comma that is not followed by another
// code stays in its number ("Mi:DE 1, 2" is one number, "1, 2").
std::vector<CodedNumber> SplitCatalogCodes(const QString& field);

// The catalogue of the list that a code of Colnect's stands for: Mi Michel,
// Sn Scott, Sg Stanley Gibbons, Yt Yvert et Tellier; empty for any other code.
QString CatalogueOfCode(const QString& code);
