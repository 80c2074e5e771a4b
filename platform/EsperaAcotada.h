#pragma once

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
};
