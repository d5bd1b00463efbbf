#pragma once

// The version of a catalogue file's layout, kept in PRAGMA user_version. A file
// made before versions were kept reads 0. Each step from one version to the
// next is one function; opening an older file runs the steps it lacks, all in
// one transaction, so the file is either wholly upgraded or left as it was.

#include <QString>

struct sqlite3;

// The version this program writes.
inline constexpr int kCatalogueVersion = 5;

int CatalogueVersion(sqlite3* db);

// Refuses (DbError NewerCatalogue) a file from a newer program, before anything
// is written to it.
void RefuseNewerCatalogue(sqlite3* db, const QString& path);

// Runs the steps from the file's version up to toVersion (tests and benchmarks
// make files of earlier versions with a lower one).
void UpgradeCatalogue(sqlite3* db, int toVersion = kCatalogueVersion);
