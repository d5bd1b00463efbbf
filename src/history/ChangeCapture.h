#pragma once

// Noting a change as it is made. On each open catalogue the history keeps, in
// the connection's temporary schema (never in the file), one table and three
// triggers for every table whose rows a change may touch: the stamps, the
// trash, the nine code tables, the stamps' images and their pictures. While a
// recording is under way the triggers note each row's state before its first
// write (or that it was not there), so that a change made by any code, however
// it writes, is known to the row: the editor's update, a bulk change, an
// import, the code table window. Outside a recording they do nothing.

#include "history/Change.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class Database;
struct Connection;

// One table the history watches.
struct CapturedTable {
    QString name;         // as the file spells it
    QString key;          // its key column
    QStringList columns;  // the columns holding data (the key among them), in order
    int keyIndex = 0;     // of the key among the columns
    int descIndex = -1;   // of the description (stamps and code tables), or -1
    int codeTable = 0;    // 1-9 for a code table, 10 for the catalogues, else 0
    bool stamps = false;  // Stamp or the trash: a stamp's own row
};

// What the history knows of one connection: the watched tables, in the order
// in which rows are written back (a picture before the images that show it, a
// code before the stamps that use it, the stamp before its images); deletes go
// in the reverse order.
struct CaptureLayout {
    std::vector<CapturedTable> tables;
    int depth = 0;  // recordings under way (an inner one joins the outer)
};

// Makes the temporary tables and triggers on an open catalogue's connection.
void InstallChangeCapture(Connection& conn);

// A change being noted: from its construction to Finish, every write on the
// catalogue's connection is noted. Construct it inside the transaction of the
// writes; a recording started while another is under way joins that one (its
// Finish gives an empty change).
class ChangeRecording {
public:
    ChangeRecording(Database& db, ChangeKind kind);
    ~ChangeRecording();
    ChangeRecording(const ChangeRecording&) = delete;
    ChangeRecording& operator=(const ChangeRecording&) = delete;

    // The change noted so far, with the values before and a fingerprint of the
    // values after; nothing is put on the history. Throws DbError.
    Change Finish();

private:
    std::shared_ptr<Connection> mConn;
    std::shared_ptr<CaptureLayout> mLayout;
    ChangeKind mKind;
    bool mOuter = false;
};
