#pragma once

#include "platform/UsoDeArchivo.h"

#include <optional>

struct sqlite3;

// The layer under every SQLite connection of the program: SQLite's own unix
// files, except that the journals beside a path (the -wal and its index, the
// -shm) are refused to a database file that no longer stands at that path
// with the device and inode it had when it was opened. They may belong by
// then to another database put at that path: a read, a write, a commit and a
// checkpoint of the moved file each start by locking or mapping that index,
// or by writing a commit into that log, and each fails there with an I/O
// error, which ErrorBD says as the moved file's text. A moved file's close
// never checkpoints through them either, nor deletes them.
namespace CapaSqlite {
// Makes the layer SQLite's default for every connection opened afterwards
// (in any thread); once per process, before the first one opens.
void Instala();
// The file SQLite opened for the connection's main database, as it stood at
// its path when opened; none when that could not be told.
std::optional<IdentidadArchivo> Identidad(sqlite3 *db);
// Whether the connection's main database has left its path, as the layer
// tells it (a deleted, renamed or replaced file).
bool Movida(sqlite3 *db);
// For a connection whose journals at the path were removed once its file
// left it: it stays away for good, also if its file comes back there (it
// would go on with journals nobody else sees).
void Suelta(sqlite3 *db);
} // namespace CapaSqlite
