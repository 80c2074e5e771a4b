// Another program on the working database, as a statistician's own SQLite
// tool is: its own process and plain SQLite connection. Takes the write lock
// (BEGIN IMMEDIATE), runs the statement, writes "tomado" on its output, holds
// the lock for the seconds given and commits. As a reader ("lee") it holds a
// read transaction instead; "exclusivo" reads in exclusive locking mode,
// which keeps the log's index in memory and locks only the database.
//
//   velmoran_otro_programa ARCHIVO SEGUNDOS SQL [escribe|lee|exclusivo]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sqlite3.h>
#include <thread>

int main(int argc, char **argv)
{
    if (argc != 4 && argc != 5)
        return 2;
    const char *modo = argc == 5 ? argv[4] : "escribe";
    const bool escribe = std::strcmp(modo, "escribe") == 0, exclusivo = std::strcmp(modo, "exclusivo") == 0;
    sqlite3 *db = nullptr;
    const bool tomado = sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
                        && (!exclusivo || sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK)
                        && sqlite3_exec(db, escribe ? "BEGIN IMMEDIATE" : "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK
                        && sqlite3_exec(db, argv[3], nullptr, nullptr, nullptr) == SQLITE_OK;
    std::printf("%s\n", tomado ? "tomado" : sqlite3_errmsg(db));
    std::fflush(stdout);
    if (!tomado)
        return 1;
    std::this_thread::sleep_for(std::chrono::duration<double>(std::atof(argv[2])));
    const bool confirmado = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return confirmado ? 0 : 1;
}
