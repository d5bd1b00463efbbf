#pragma once

// Compaction of the closed catalogue: stamp.mdb is compacted into stampnew.mdb,
// the copy is checked, the old file is kept as stampdb.bak (one generation) and
// the copy takes its place, with the catalogue's permissions. stamp.mdb is there
// at every instant: the old file gets a spare second name (stampold.mdb) before
// the copy replaces it in one rename, and takes the name stampdb.bak only after,
// so a crash or a kill at any moment leaves the collector a whole catalogue to
// start on, and never a stampdb.bak that is stamp.mdb itself.

#include <QString>

#include <functional>

// Asks "Do you wish to compact the Tessarine database?"; true on Yes.
bool AskToCompact();

// Compacts gDbPath; the catalogue must be closed. The compaction shows its
// progress and can be cancelled, which changes nothing and shows no message. A
// failure is reported to the collector, leaves no stampnew.mdb behind and leaves
// stamp.mdb in place (the previous file is put back if the swap was half done).
// True on success.
bool PackCatalogue();

// The file operations of the swap; tests make them fail or watch them. An empty
// function restores the real one.
using RenameFunction = std::function<bool(const QString& from, const QString& to, QString* problem)>;
// The rename that puts the compacted copy in place of stamp.mdb.
void SetPackRename(RenameFunction rename);
// The hard link that gives the old file its spare name; where it fails (a file
// system without hard links) the old file is copied instead.
void SetPackLink(RenameFunction link);
