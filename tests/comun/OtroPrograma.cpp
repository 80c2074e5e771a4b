// Another program on a database, as a statistician's own SQLite tool is: its
// own process and plain SQLite connection. Takes the write lock (BEGIN
// IMMEDIATE), runs the statement, writes "tomado" on its output, holds the
// lock for the seconds given and commits. As a reader ("lee") it holds a read
// transaction instead; "exclusivo" reads in exclusive locking mode, which
// keeps the log's index in memory and locks only the database. "confirma"
// puts the database in WAL mode and commits the statement at once, waiting
// for another's lock (it writes "ocupada" the first time it meets one), then
// writes "tomado" and keeps the database open; "confirma-exclusivo" does so
// in exclusive locking mode. A line or the end of its input ends the seconds
// early.
//
//   velmoran_otro_programa ARCHIVO SEGUNDOS SQL [escribe|lee|exclusivo|confirma|confirma-exclusivo]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

namespace {

// Waits the seconds given, or until a line or the end of the input.
void Espera(double segundos)
{
    const auto fin = std::chrono::steady_clock::now() + std::chrono::duration<double>(segundos);
    for (;;) {
        const auto queda = std::chrono::duration_cast<std::chrono::milliseconds>(fin - std::chrono::steady_clock::now());
        if (queda.count() <= 0)
            return;
        pollfd entrada{0, POLLIN, 0};
        if (::poll(&entrada, 1, int(queda.count())) > 0) {
            char c;
            if (::read(0, &c, 1) <= 0 || c == '\n')
                return;
        }
    }
}

int Ocupada(void *dicho, int)
{
    if (!*static_cast<bool *>(dicho)) {
        *static_cast<bool *>(dicho) = true;
        std::printf("ocupada\n");
        std::fflush(stdout);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 4 && argc != 5)
        return 2;
    const char *modo = argc == 5 ? argv[4] : "escribe";
    const bool escribe = std::strcmp(modo, "escribe") == 0;
    const bool confirma = std::strncmp(modo, "confirma", 8) == 0;
    const bool exclusivo = std::strcmp(modo, "exclusivo") == 0 || std::strcmp(modo, "confirma-exclusivo") == 0;
    sqlite3 *db = nullptr;
    bool dicho = false;
    bool tomado = sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
    if (tomado && confirma)
        sqlite3_busy_handler(db, &Ocupada, &dicho);
    tomado = tomado && (!exclusivo || sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
             && (!confirma || sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK)
             && sqlite3_exec(db, escribe || confirma ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
             && sqlite3_exec(db, argv[3], nullptr, nullptr, nullptr) == SQLITE_OK
             && (!confirma || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK);
    std::printf("%s\n", tomado ? "tomado" : sqlite3_errmsg(db));
    std::fflush(stdout);
    if (!tomado)
        return 1;
    Espera(std::atof(argv[2]));
    const bool confirmado = confirma || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    return sqlite3_close(db) == SQLITE_OK && confirmado ? 0 : 1;
}
