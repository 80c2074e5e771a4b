#pragma once

#include <csignal>
#include <cstring>
#include <sqlite3.h>

// For the child process of a death test: it is killed, as a power cut or
// kill -9 would end it, when a statement containing `texto` begins on that
// connection. `texto` must outlive the connection's statements.
inline void MuereAlEjecutar(sqlite3 *conexion, const char *texto)
{
    sqlite3_trace_v2(
        conexion, SQLITE_TRACE_STMT,
        [](unsigned, void *buscado, void *, void *sql) {
            if (std::strstr(static_cast<const char *>(sql), static_cast<const char *>(buscado)))
                std::raise(SIGKILL);
            return 0;
        },
        const_cast<char *>(texto));
}
