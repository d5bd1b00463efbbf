#pragma once

// The nine code tables that stamp records refer to, and every text the code
// table window shows for each. Table numbers run 1 to 9: cancellations,
// conditions, countries, formats, gum, papers, perforations, topics, types.
// The same window keeps a tenth list, the catalogues whose numbers a stamp may
// carry (numbers/Catalogues.h); stamps refer to it through their numbers.

#include <QString>

struct CodeTableInfo {
    int number = 0;
    QString menuCaption;  // the Maintain menu's item
    QString table;
    QString keyField;
    QString descField;
    QString loadQuery;   // every entry, in description order
    QString inUseQuery;  // the key value is appended
    QString windowCaption;
    QString label;     // above the description box
    QString findWord;  // fills the find prompt
    QString deleteQuestion;
    QString deleteTitle;
    QString inUseMessage;
    int helpContext = 0;

    // The main window's reload flag of this table's list.
    bool& ListChanged() const;
    // "Enter the <word> description to find:"
    QString FindPrompt() const;
};

inline constexpr int kCodeTableCount = 9;

inline bool IsCodeTable(int number)
{
    return number >= 1 && number <= kCodeTableCount;
}

// The list of catalogues, the tenth list the window keeps.
inline constexpr int kCatalogueList = 10;

// A list the code table window keeps: the nine code tables and the catalogues.
inline bool IsMaintainedList(int number)
{
    return IsCodeTable(number) || number == kCatalogueList;
}

// The row of list 1-10; any other number gives an empty row (number 0).
const CodeTableInfo& CodeTableInfoFor(int number);

// Texts the window shows for every table.
namespace CodeTexts {
inline const QString kFindTitle = QStringLiteral("Find Code");
inline const QString kMissingDescription = QStringLiteral("You must enter a description or press Cancel");
inline const QString kMissingTitle = QStringLiteral("Missing Data");
inline const QString kNotFound = QStringLiteral("That record was not found.");
inline const QString kNotFoundTitle = QStringLiteral("No Records Match");
inline const QString kInUseTitle = QStringLiteral("Cannot Delete");
}  // namespace CodeTexts
