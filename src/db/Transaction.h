#pragma once

// Writes that belong together, such as a stamp's record and its images: they
// reach the catalogue all or not at all. A savepoint on the catalogue's
// connection, rolled back unless committed.

#include <memory>

class Database;
struct Connection;

class Transaction {
public:
    // Throws DbError when the catalogue is closed.
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Throws DbError when the writes cannot be committed; they are then rolled back.
    void Commit();

private:
    std::shared_ptr<Connection> mConn;
    bool mOpen = false;
};
