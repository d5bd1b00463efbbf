#pragma once

// Compaction of the closed catalogue: stamp.mdb is compacted into stampnew.mdb,
// the copy is checked, the old file is kept as stampdb.bak (one generation) and
// the copy takes its place.

#include <QString>

#include <functional>

// Asks "Do you wish to compact the Tessarine database?"; true on Yes.
bool AskToCompact();

// Compacts gDbPath; the catalogue must be closed. A failure is reported to the
// collector, leaves no stampnew.mdb behind and leaves stamp.mdb in place (the
// previous file is put back if the swap was half done). True on success.
bool PackCatalogue();

// The rename the swap uses; tests make it fail. An empty function restores the
// real one.
using RenameFunction = std::function<bool(const QString& from, const QString& to, QString* problem)>;
void SetPackRename(RenameFunction rename);
