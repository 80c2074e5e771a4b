#pragma once

#include <QtGlobal>

// One run of the user's (a button's work under the hourglass, a save): while
// one lives, the waits of all its statements for another program's lock on
// the database add up, and once they reach BaseDatos::EsperaOcupada (5 s) every
// further wait gives up at once. The run thus goes on as soon as the lock is
// released, or fails within that time in all, however many statements meet
// the lock. Outside a run each statement waits up to that time. Runs nest:
// the outermost one holds the time. (Nothing is painted meanwhile: SQLite
// allows no other statement of the connection inside its wait.)
class EsperaAcotada {
public:
    EsperaAcotada();
    ~EsperaAcotada();
    EsperaAcotada(const EsperaAcotada &) = delete;
    EsperaAcotada &operator=(const EsperaAcotada &) = delete;

    // Nanoseconds the program's connections have waited for another
    // program's lock since the program started.
    static qint64 TotalEsperado();
};

// Work that has another way when another program holds the lock (a work table
// only this connection reads, whose rows can be read straight instead): while
// one lives, a statement that meets that lock gives up at once, spending
// nothing of the run's time. Browsing and filtering never wait for it.
class SinEspera {
public:
    SinEspera();
    ~SinEspera();
    SinEspera(const SinEspera &) = delete;
    SinEspera &operator=(const SinEspera &) = delete;
};
