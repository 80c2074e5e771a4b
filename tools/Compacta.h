#pragma once

#include <functional>

class Contexto;
class mdiPrincipal;

// Compacts the working database in place. Every child window is closed first
// and the shared connection closed and opened again, so that no statement is
// left open; SQLite's VACUUM then rewrites the file through its own journal,
// so a failure (or a killed process) leaves the file as it was. Failures are
// shown under "Herramientas VELMORAN - Compactar BD", once a file that left
// its path is back there (AvisoHerramienta). When the database cannot
// be opened again `paramInicio` runs (the start-parameter window).
// True when the working database is open again, compacted or not.
bool CompactaBaseDatos(Contexto &ctx, mdiPrincipal *principal, const std::function<void()> &paramInicio);
