#include "events/ConjuntoEventos.h"

#include "events/MapaEvento.h"
#include "events/modEvento.h"
#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"

#include <QHash>
#include <cstring>
#include <sqlite3.h>

namespace {

// yyyy-MM-dd to a Julian day without building a QString per row.
qint32 DiaJuliano(const unsigned char *t, int n)
{
    if (!t || n < 10)
        return 0;
    auto dig = [&](int i) { return int(t[i] - '0'); };
    const int y = dig(0) * 1000 + dig(1) * 100 + dig(2) * 10 + dig(3);
    const int m = dig(5) * 10 + dig(6);
    const int d = dig(8) * 10 + dig(9);
    return qint32(QDate(y, m, d).toJulianDay());
}

// SQLite's NOCASE: ASCII letters folded, everything else byte by byte.
int ComparaNocase(const QByteArray &a, const QByteArray &b)
{
    const int n = int(qMin(a.size(), b.size()));
    for (int i = 0; i < n; ++i) {
        unsigned char x = uchar(a[i]), y = uchar(b[i]);
        if (x >= 'A' && x <= 'Z') x += 32;
        if (y >= 'A' && y <= 'Z') y += 32;
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The statement as the source of an outer query.
QString Fuente(const ConsultaSQL &consulta)
{
    QString fuente = consulta.sql.trimmed();
    while (fuente.endsWith(QLatin1Char(';')))
        fuente = fuente.chopped(1).trimmed();
    return fuente;
}

} // namespace

QString ClaveEvento::FolioTexto() const
{
    return FormatoFolio(folio);
}

bool ClaveEvento::operator==(const ClaveEvento &o) const
{
    return folio == o.folio && fechaAtencion == o.fechaAtencion && clues.compare(o.clues, Qt::CaseInsensitive) == 0;
}

QString ConjuntoEventos::SentenciaLlaves(const ConsultaSQL &consulta)
{
    // The statement's own order does not count: the sheet always browses in
    // key order. The whole table reads it straight from the key index, which
    // holds every key. The events of any other statement have their keys
    // sorted after they are chosen (the unary + keeps the index out of the
    // order, not out of the choice): following the key index there would read
    // the rows of D_EVENTO one by one in key order, a page per row on a table
    // whose rows stand in any order, and without statistics SQLite takes that
    // plan whenever the criteria do not use an index.
    const bool todos = consulta == modEvento::TodosLosEventos();
    return QStringLiteral("SELECT Clues, Folio, fechaAtencion FROM (%1) ORDER BY %2")
        .arg(Fuente(consulta), todos ? QStringLiteral("1, 2, 3") : QStringLiteral("+Clues, +Folio, +fechaAtencion"));
}

void ConjuntoEventos::Abre(const BaseDatos &bd, const ConsultaSQL &consulta)
{
    const SelloTabla sello = bd.Sello(TablaEventos);
    SentenciaSqlite s(bd.Manejador(), SentenciaLlaves(consulta), consulta.valores);

    FilasPorBloques<Fila> filas;
    QVector<QString> clues;
    QVector<QByteArray> cluesUtf8;
    QHash<QByteArray, qint32> indice;
    QByteArray ultima;
    qint32 ultimaId = -1;
    while (s.Paso()) {
        sqlite3_stmt *st = s.Stmt();
        const auto *c = reinterpret_cast<const char *>(sqlite3_column_text(st, 0));
        const int nc = sqlite3_column_bytes(st, 0);
        // Rows come sorted by CLUES, so the unit changes seldom.
        if (ultimaId < 0 || nc != ultima.size() || std::memcmp(c, ultima.constData(), size_t(nc)) != 0) {
            ultima = QByteArray(c ? c : "", nc);
            auto it = indice.constFind(ultima);
            if (it == indice.cend()) {
                ultimaId = qint32(clues.size());
                indice.insert(ultima, ultimaId);
                clues.append(QString::fromUtf8(ultima));
                cluesUtf8.append(ultima);
            } else {
                ultimaId = it.value();
            }
        }
        const Fila f{sqlite3_column_int64(st, 1), ultimaId,
                     DiaJuliano(sqlite3_column_text(st, 2), sqlite3_column_bytes(st, 2))};
        // A statement joined to detail rows may repeat an event: keep one.
        if (!filas.Vacia()) {
            const Fila &p = filas.Ultima();
            if (p.clues == f.clues && p.folio == f.folio && p.dia == f.dia)
                continue;
        }
        filas.Agrega(f);
    }
    filas_ = std::move(filas);
    clues_ = std::move(clues);
    cluesUtf8_ = std::move(cluesUtf8);
    pos_ = filas_.Vacia() ? 0 : 1;
    consulta_ = consulta;
    sello_ = sello;
}

void ConjuntoEventos::Cierra()
{
    filas_.Limpia();
    clues_.clear();
    cluesUtf8_.clear();
    pos_ = 0;
    consulta_ = {};
    sello_.reset();
}

bool ConjuntoEventos::AlDia(const BaseDatos &bd, const ConsultaSQL &consulta) const
{
    return sello_ && consulta == consulta_ && bd.EstaAbierta() && bd.Sello(TablaEventos) == *sello_;
}

bool ConjuntoEventos::Incluye(const BaseDatos &bd, const ClaveEvento &clave) const
{
    QVariantList valores = consulta_.valores;
    valores << clave.clues << clave.folio << clave.FechaISO();
    SentenciaSqlite s(bd,
                      QStringLiteral("SELECT 1 FROM (%1) WHERE Clues = ? AND Folio = ? AND fechaAtencion = ? LIMIT 1")
                          .arg(Fuente(consulta_)),
                      valores);
    return s.Paso();
}

void ConjuntoEventos::Sigue(const BaseDatos &bd, const std::optional<ClaveEvento> &quitada,
                            const std::optional<ClaveEvento> &puesta)
{
    sello_.reset();
    const bool entra = puesta && Incluye(bd, *puesta);
    // An event changed under its own key that stays in the set keeps its row.
    if (quitada && !(entra && *quitada == *puesta)) {
        const int i = Indice(*quitada);
        if (i >= 0) {
            filas_.Quita(i);
            // The current row stays current; when it is the one removed, its
            // follower takes its place.
            if (i < pos_ - 1)
                --pos_;
        }
    }
    if (entra) {
        const auto [i, esta] = Ubica(*puesta);
        if (!esta) {
            const QByteArray utf8 = puesta->clues.toUtf8();
            qint32 id = qint32(cluesUtf8_.indexOf(utf8));
            if (id < 0) {
                id = qint32(clues_.size());
                clues_.append(puesta->clues);
                cluesUtf8_.append(utf8);
            }
            filas_.Inserta(i, Fila{puesta->folio, id, qint32(puesta->fechaAtencion.toJulianDay())});
            if (i < pos_)
                ++pos_;
        }
    }
    sello_ = bd.Sello(TablaEventos);
}

void ConjuntoEventos::MueveInicio()
{
    pos_ = Cuenta() > 0 ? 1 : 0;
}

void ConjuntoEventos::MueveAnterior()
{
    if (pos_ > 0)
        --pos_;
}

void ConjuntoEventos::MueveSiguiente()
{
    if (pos_ <= Cuenta())
        ++pos_;
}

void ConjuntoEventos::MueveFinal()
{
    pos_ = Cuenta() > 0 ? Cuenta() : 1;
}

void ConjuntoEventos::Mueve(int n)
{
    pos_ = qBound(0, pos_ + n, Cuenta() + 1);
}

bool ConjuntoEventos::IrA(int posicion)
{
    if (posicion < 1 || posicion > Cuenta())
        return false;
    pos_ = posicion;
    return true;
}

std::optional<ClaveEvento> ConjuntoEventos::Actual() const
{
    if (!EnFila())
        return std::nullopt;
    const Fila &f = filas_[pos_ - 1];
    return ClaveEvento{clues_[f.clues], f.folio, QDate::fromJulianDay(f.dia)};
}

int ConjuntoEventos::Compara(const Fila &f, int cluesClave, const QByteArray &cluesUtf8, qint64 folio,
                             qint32 dia) const
{
    if (f.clues != cluesClave) {
        const int c = ComparaNocase(cluesUtf8_[f.clues], cluesUtf8);
        if (c != 0)
            return c;
    }
    if (f.folio != folio)
        return f.folio < folio ? -1 : 1;
    if (f.dia != dia)
        return f.dia < dia ? -1 : 1;
    return 0;
}

std::pair<int, bool> ConjuntoEventos::Ubica(const ClaveEvento &clave) const
{
    const QByteArray utf8 = clave.clues.toUtf8();
    const int id = int(cluesUtf8_.indexOf(utf8));
    const qint32 dia = qint32(clave.fechaAtencion.toJulianDay());
    int bajo = 0, alto = Cuenta() - 1;
    while (bajo <= alto) {
        const int medio = (bajo + alto) / 2;
        const int c = Compara(filas_[medio], id, utf8, clave.folio, dia);
        if (c == 0)
            return {medio, true};
        if (c < 0)
            bajo = medio + 1;
        else
            alto = medio - 1;
    }
    return {bajo, false};
}

int ConjuntoEventos::Indice(const ClaveEvento &clave) const
{
    const auto [i, esta] = Ubica(clave);
    if (esta)
        return i;
    // A statement whose CLUES lost its collation sorts them otherwise: look row by row.
    const qint32 dia = qint32(clave.fechaAtencion.toJulianDay());
    return filas_.Encuentra([&](const Fila &f) {
        return f.folio == clave.folio && f.dia == dia && clues_[f.clues].compare(clave.clues, Qt::CaseInsensitive) == 0;
    });
}

bool ConjuntoEventos::Busca(const ClaveEvento &clave)
{
    const int i = Indice(clave);
    if (i < 0)
        return false;
    pos_ = i + 1;
    return true;
}
