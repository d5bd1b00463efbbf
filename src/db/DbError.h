#pragma once

#include <QString>

#include <exception>
#include <string>

// The error numbers the program knows by name. Any other failure carries the
// database engine's own result code.
namespace ErrNo {
inline constexpr int Overflow = 6;        // a money total beyond the amounts the program keeps
inline constexpr int NoObject = 91;        // an object that should hold the database holds none
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int FileNotFound = 3024;
inline constexpr int FileInUse = 3045;     // another process holds the catalogue
inline constexpr int CannotOpen = 3051;    // the file cannot be opened for writing
inline constexpr int NotACatalogue = 3078; // a table of the catalogue is missing
inline constexpr int NewerCatalogue = 3079; // written by a newer version of the program
inline constexpr int RecordDeleted = 3167;
inline constexpr int PageLocked = 3168;
inline constexpr int RecordLocked = 3260;
inline constexpr int NotInEdit = 3020;
inline constexpr int ObjectInvalid = 3420; // database or recordset no longer valid
inline constexpr int QuerySyntax = 3075;
inline constexpr int FileError = 75;       // a report or backup file could not be written
inline constexpr int DialogCancel = 32755; // Cancel in a file dialog
}  // namespace ErrNo

// One error type for every failure of the catalogue and file layer.
class DbError : public std::exception {
public:
    DbError(int number, QString text) : mNumber(number), mText(std::move(text)), mWhat(mText.toStdString()) {}

    int Number() const noexcept { return mNumber; }
    const QString& Text() const noexcept { return mText; }
    const char* what() const noexcept override { return mWhat.c_str(); }

private:
    int mNumber;
    QString mText;
    std::string mWhat;
};
