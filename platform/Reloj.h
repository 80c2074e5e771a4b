#pragma once

#include <QDateTime>

// The program's clock; tests hand in a fixed one.
class Reloj {
public:
    virtual ~Reloj() = default;
    virtual QDateTime Ahora() const { return QDateTime::currentDateTime(); }
    QDate Hoy() const { return Ahora().date(); }
};

class RelojFijo : public Reloj {
public:
    explicit RelojFijo(const QDateTime &momento) : momento_(momento) {}
    QDateTime Ahora() const override { return momento_; }
    void Fija(const QDateTime &momento) { momento_ = momento; }

private:
    QDateTime momento_;
};
