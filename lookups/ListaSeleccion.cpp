#include "lookups/ListaSeleccion.h"

#include "platform/BaseDatos.h"
#include "platform/Mensajes.h"
#include "platform/SentenciaSqlite.h"

#include <QHash>
#include <cstring>
#include <sqlite3.h>

void ListaSeleccion::Carga(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
{
    // Straight on SQLite: QtSql has SQLite turn every text into UTF-16 and
    // caches each row, which doubles the read of a large catalog.
    SentenciaSqlite q(bd.Manejador(), sql, valores);
    sqlite3_stmt *st = q.Stmt();
    QStringList columnas;
    for (int c = 0; c < sqlite3_column_count(st); ++c)
        columnas << QString::fromUtf8(sqlite3_column_name(st, c));
    // Codes repeat from row to row (a state code in every locality): one shared
    // copy each, the row before's when it is the same. A code of up to four
    // bytes is looked up by its bytes and length packed in one integer: a
    // locality's own code changes at every row, and hashing it as a byte
    // string cost more than reading it.
    QHash<quint64, QString> comunes;
    const int n = int(columnas.size());
    constexpr quint64 Ninguna = ~quint64(0);
    QVector<quint64> anterior(n, Ninguna);
    QVector<QString> textoAnterior(n);
    QVector<QVariant> celdas;
    int total = 0;
    while (q.Paso()) {
        for (int c = 0; c < n; ++c) {
            if (sqlite3_column_type(st, c) != SQLITE_TEXT) {
                celdas.push_back(q.Valor(c));
                continue;
            }
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
            const int largo = sqlite3_column_bytes(st, c);
            if (largo > 4) {
                celdas.push_back(QString::fromUtf8(t, largo));
                continue;
            }
            quint32 bytes = 0;
            std::memcpy(&bytes, t, size_t(largo));
            const quint64 llave = quint64(bytes) << 8 | quint64(largo);
            if (llave != anterior[c]) {
                auto it = comunes.constFind(llave);
                if (it == comunes.cend())
                    it = comunes.insert(llave, QString::fromUtf8(t, largo));
                anterior[c] = llave;
                textoAnterior[c] = it.value();
            }
            celdas.push_back(textoAnterior[c]);
        }
        ++total;
    }
    PonCeldas(columnas, std::move(celdas), total);
}

void ListaSeleccion::PonFilas(const QStringList &columnas, QVector<QVector<QVariant>> filas)
{
    QVector<QVariant> celdas;
    celdas.reserve(filas.size() * columnas.size());
    for (QVector<QVariant> &f : filas) {
        f.resize(columnas.size());
        for (QVariant &v : f)
            celdas.push_back(std::move(v));
    }
    PonCeldas(columnas, std::move(celdas), int(filas.size()));
}

void ListaSeleccion::PonCeldas(const QStringList &columnas, QVector<QVariant> celdas, int total)
{
    columnas_ = columnas;
    celdas_ = std::move(celdas);
    total_ = columnas_.isEmpty() ? 0 : total;
    plegadas_ = QVector<ColumnaPlegada>(columnas_.size());
    TodasVisibles();
    actual_ = total_ == 0 ? -1 : 0;
}

QVariant ListaSeleccion::Valor(int fila, int columna) const
{
    if (fila < 0 || fila >= visibles_.size() || columna < 0 || columna >= columnas_.size())
        return QVariant();
    return Celda(visibles_[fila], columna);
}

QString ListaSeleccion::Texto(int fila, int columna) const
{
    const QVariant v = Valor(fila, columna);
    return v.isNull() ? QString() : v.toString();
}

void ListaSeleccion::PonActual(int fila)
{
    actual_ = (fila >= 0 && fila < visibles_.size()) ? fila : -1;
}

QString ListaSeleccion::TextoActual(int columna) const
{
    return Texto(actual_, columna);
}

int ListaSeleccion::Marca() const
{
    return actual_ < 0 ? -1 : visibles_[actual_];
}

void ListaSeleccion::IrAMarca(int marca)
{
    const int fila = marca < 0 ? -1 : int(visibles_.indexOf(marca));
    actual_ = fila >= 0 ? fila : (visibles_.isEmpty() ? -1 : 0);
}

bool ListaSeleccion::Primero()
{
    if (visibles_.isEmpty())
        return false;
    actual_ = 0;
    return true;
}

bool ListaSeleccion::Ultimo()
{
    if (visibles_.isEmpty())
        return false;
    actual_ = int(visibles_.size()) - 1;
    return true;
}

bool ListaSeleccion::Anterior()
{
    if (visibles_.isEmpty())
        return true;   // nothing to move to, and nothing to signal
    if (actual_ < 0) {   // past the end: back onto the last row
        actual_ = int(visibles_.size()) - 1;
        return true;
    }
    if (actual_ == 0)
        return false;
    --actual_;
    return true;
}

bool ListaSeleccion::Siguiente()
{
    if (visibles_.isEmpty())
        return true;
    const int ultimo = int(visibles_.size()) - 1;
    if (actual_ < 0 || actual_ == ultimo) {
        actual_ = ultimo;
        return false;
    }
    ++actual_;
    return true;
}

QString ListaSeleccion::Pliega(const QString &texto)
{
    auto cambia = [](char16_t u) { return (u >= 'a' && u <= 'z') || (u >= 0x80 && u != 0x00D1); };
    const qsizetype n = texto.size();
    qsizetype i = 0;
    while (i < n && !cambia(texto.at(i).unicode()))
        ++i;
    if (i == n)
        return texto;
    QString r = texto.left(i);
    r.reserve(n);
    for (; i < n; ++i) {
        QChar c = texto.at(i);
        const char16_t u = c.unicode();
        if (u < 0x80) {
            r.append(u >= 'a' && u <= 'z' ? QChar(u - 32) : c);
            continue;
        }
        if (u == 0x00D1 || u == 0x00F1) {   // Ñ, ñ
            r.append(QChar(0x00D1));
            continue;
        }
        if (c.decompositionTag() == QChar::Canonical)
            c = c.decomposition().at(0);
        r.append(c.toUpper());
    }
    return r;
}

const QString &ListaSeleccion::Plegado(int fila, int columna) const
{
    static const QString vacio;
    ColumnaPlegada &p = plegadas_[columna];
    if (!p.lista) {
        p.lista = true;
        QVector<QString> textos(total_);
        bool propios = false;
        for (int f = 0; f < total_; ++f) {
            const QVariant &v = Celda(f, columna);
            if (v.isNull())
                continue;
            const bool esTexto = v.typeId() == QMetaType::QString;
            const QString original = esTexto ? *static_cast<const QString *>(v.constData()) : v.toString();
            textos[f] = Pliega(original);
            propios = propios || !esTexto || textos[f].constData() != original.constData();
        }
        if (propios)
            p.textos = std::move(textos);
    }
    if (!p.textos.isEmpty())
        return p.textos[fila];
    const QVariant &v = Celda(fila, columna);
    return v.isNull() ? vacio : *static_cast<const QString *>(v.constData());
}

namespace {

bool EsNumero(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong:
    case QMetaType::ULongLong: case QMetaType::Double:
        return true;
    default:
        return false;
    }
}

} // namespace

bool ListaSeleccion::Cumple(int fila, const Condicion &c, const QString &aguja,
                            const std::optional<double> &numero) const
{
    const QString &texto = Plegado(fila, c.columna);
    switch (c.modo) {
    case Coincide::Empieza:
        return texto.startsWith(aguja);
    case Coincide::Contiene:
        return texto.contains(aguja);
    case Coincide::Igual: {
        // A number typed against a numeric code compares as a number ("01" is 1).
        const QVariant &v = Celda(fila, c.columna);
        if (numero && EsNumero(v))
            return v.toDouble() == *numero;
        return texto == aguja;
    }
    }
    return false;
}

int ListaSeleccion::Filtra(const QList<Condicion> &condiciones)
{
    // What each condition compares with, worked out once rather than per row.
    QList<Condicion> validas;
    QStringList agujas;
    QVector<std::optional<double>> numeros;
    for (const Condicion &c : condiciones) {
        if (c.columna < 0 || c.columna >= columnas_.size())
            continue;
        validas << c;
        agujas << Pliega(c.texto);
        bool ok = false;
        const double n = c.texto.trimmed().toDouble(&ok);
        numeros << (ok ? std::optional<double>(n) : std::nullopt);
    }
    visibles_.clear();
    for (int f = 0; f < total_; ++f) {
        bool pasa = true;
        for (int i = 0; pasa && i < validas.size(); ++i)
            pasa = Cumple(f, validas[i], agujas[i], numeros[i]);
        if (pasa)
            visibles_.push_back(f);
    }
    filtrada_ = true;
    actual_ = visibles_.isEmpty() ? -1 : 0;
    return int(visibles_.size());
}

void ListaSeleccion::QuitaFiltro()
{
    TodasVisibles();
    actual_ = visibles_.isEmpty() ? -1 : 0;
}

void ListaSeleccion::TodasVisibles()
{
    visibles_.resize(total_);
    for (int f = 0; f < total_; ++f)
        visibles_[f] = f;
    filtrada_ = false;
}

bool ListaSeleccion::BuscaPrefijo(int columna, const QString &prefijo)
{
    actual_ = -1;
    if (columna < 0 || columna >= columnas_.size())
        return false;
    const QString aguja = Pliega(prefijo);
    for (int i = 0; i < visibles_.size(); ++i) {
        if (Plegado(visibles_[i], columna).startsWith(aguja)) {
            actual_ = i;
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------

BusquedaSeleccion::BusquedaSeleccion(ListaSeleccion &lista, QVector<CajaBusqueda> cajas, ReglasBusqueda reglas)
    : lista_(lista), cajas_(std::move(cajas)), reglas_(std::move(reglas))
{
}

const CajaBusqueda *BusquedaSeleccion::Caja(int indice) const
{
    for (const CajaBusqueda &c : cajas_)
        if (c.indice == indice)
            return &c;
    return nullptr;
}

BusquedaSeleccion::Resultado BusquedaSeleccion::Cambia(int indice, const QString &texto)
{
    textos_[indice] = texto;
    if (texto.trimmed().isEmpty()) {
        if (!reglas_.vaciaRestablece)
            return Resultado::Nada;
        if (reglas_.trasVaciar == ReglasBusqueda::TrasVaciar::Primera)
            marca_ = -1;
        else if (reglas_.trasVaciar == ReglasBusqueda::TrasVaciar::Actual)
            marca_ = lista_.Marca();
        Restablece();
        return Resultado::Restablecida;
    }
    marca_ = lista_.Marca();
    QList<ListaSeleccion::Condicion> condiciones;
    for (const CajaBusqueda &c : cajas_) {
        const QString t = textos_.value(c.indice).trimmed();
        if (c.columna >= 0 && !t.isEmpty())
            condiciones.push_back({c.columna, c.modo, t});
    }
    if (condiciones.isEmpty())
        return Resultado::Nada;
    if (lista_.Filtra(condiciones) > 0)
        return Resultado::Filtrada;
    Restablece();
    return Resultado::SinCoincidencia;
}

void BusquedaSeleccion::Restablece()
{
    for (const CajaBusqueda &c : cajas_)
        if (c.indice != reglas_.conserva)
            textos_[c.indice].clear();
    lista_.QuitaFiltro();
    lista_.IrAMarca(marca_);
}

bool AceptaTecla(const CajaBusqueda &caja, QChar &c)
{
    if (c == QChar(8))
        return true;
    if (c.unicode() < 0x20)   // control keys (Ctrl+V and the like) are refused
        return false;
    const QChar mayuscula = c.toUpper();
    if (caja.rechazadas.contains(mayuscula))
        return false;
    if (!caja.teclas.isEmpty() && !caja.teclas.contains(mayuscula))
        return false;
    c = mayuscula;
    return true;
}

bool BusquedaSeleccion::AceptaCaracter(int indice, QChar &c) const
{
    const CajaBusqueda *caja = Caja(indice);
    return caja && AceptaTecla(*caja, c);
}

QString BusquedaSeleccion::AceptaTexto(int indice, const QString &texto, bool *rechazo) const
{
    QString aceptado;
    bool alguno = false;
    for (QChar c : texto) {
        if (c != QChar(8) && AceptaCaracter(indice, c))
            aceptado += c;
        else
            alguno = true;
    }
    if (rechazo)
        *rechazo = alguno;
    return aceptado;
}

void MuestraFallaLectura(Mensajes &mensajes, const QString &motivo, const QString &titulo)
{
    mensajes.Muestra(QStringLiteral("No se pudo leer el Catálogo, verifique por favor.....\n") + motivo,
                     Mensajes::Icono::Critico, titulo);
}
