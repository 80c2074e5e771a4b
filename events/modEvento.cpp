#include "events/modEvento.h"
#include "events/modEventoComun.h"

#include "events/MapaEvento.h"
#include "platform/FechaTexto.h"
#include "platform/SentenciaSqlite.h"
#include "platform/CursorOcupado.h"
#include "shell/Contexto.h"

#include <algorithm>
#include <sqlite3.h>

using namespace AlmacenEventos;

namespace {

// The coded catalog (without "c") of a check list's items.
QString CatalogoDeLista(ListaHoja lista)
{
    switch (lista) {
    case ListaHoja::Derechohabiencia: return QStringLiteral("Derechohabiencia");
    case ListaHoja::TipoViolencia: return QStringLiteral("TipoViolencia");
    case ListaHoja::PacienteEfectos:
    case ListaHoja::AgresorEfectos: return QStringLiteral("Efectos");
    case ListaHoja::TipoAtencion: break;
    }
    return QStringLiteral("TipoAtencion");
}

// Detail tables (without "D_") and the code columns that may be read from them.
bool DetalleConocido(const QString &tabla, const QString &columna)
{
    static const QMap<QString, QStringList> columnas = {
        {QStringLiteral("derechohabiencia"), {QStringLiteral("codderechohabiencia")}},
        {QStringLiteral("tipoviolencia"), {QStringLiteral("codtipoviolencia")}},
        {QStringLiteral("bajoefectos"), {QStringLiteral("codefectos"), QStringLiteral("codafectadoagresor")}},
        {QStringLiteral("tipoatencion"), {QStringLiteral("codtipoatencion")}},
        {QStringLiteral("diagnosticos"), {QStringLiteral("coddiagnostico")}},
    };
    return columnas.value(tabla.toLower()).contains(columna.toLower());
}

const QString Vacia = QStringLiteral("NO ESPECIFICADO");

// The read of a stored value back into sheet texts, by the column's format.
void EscribeColumna(HojaDatos &hoja, const ColumnaEvento &c, const QVariant &v)
{
    const QString t = v.isNull() ? QString() : v.toString();
    switch (c.lectura) {
    case FormatoLectura::TalCual:
        hoja.PonTexto(c.campo, t);
        break;
    case FormatoLectura::Folio:
        hoja.PonTexto(c.campo, v.isNull() ? QString() : FormatoFolio(v.toLongLong()));
        break;
    case FormatoLectura::DosDigitos:
        hoja.PonTexto(c.campo, FormatoDosDigitos(t));
        break;
    case FormatoLectura::Fecha: {
        const QDate d = QDate::fromString(t.left(10), Qt::ISODate);
        hoja.PonFecha(c.campo, d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : t);
        break;
    }
    case FormatoLectura::Hora:
        hoja.PonTexto(c.campo, FormatoDosDigitos(t.mid(0, 2)));
        hoja.PonTexto(c.campo2, FormatoDosDigitos(t.mid(3, 2)));
        break;
    case FormatoLectura::Afiliacion:
        // By position, so that saving an unchanged event gives back what was stored.
        hoja.PonTexto(c.campo, t.left(10));
        hoja.PonTexto(c.campo2, t.mid(10, 2));
        break;
    case FormatoLectura::NoSeLee:
        break;
    }
}

} // namespace

QString TituloHojaRegistro()
{
    return QStringLiteral("Hoja de Registro de Atención por Violencia y/o Lesion");
}

QString MesEstadistico(const QDate &fecha, int ano)
{
    static const char *const meses[] = {"ENERO", "FEBRERO", "MARZO", "ABRIL", "MAYO", "JUNIO", "JULIO",
                                        "AGOSTO", "SEPTIEMBRE", "OCTUBRE", "NOVIEMBRE", "DICIEMBRE"};
    if (!fecha.isValid())
        return Vacia;
    for (int m = 1; m <= 12; ++m) {
        const QDate desde = m == 1 ? QDate(ano - 1, 12, 26) : QDate(ano, m - 1, 26);
        if (fecha >= desde && fecha <= QDate(ano, m, 25))
            return QString::fromLatin1(meses[m - 1]);
    }
    return Vacia;
}

modEvento::modEvento(Contexto &ctx, HojaDatos &hoja)
    : ConsultaEventos(TodosLosEventos()), ctx_(ctx), hoja_(hoja)
{
}

ConsultaSQL modEvento::TodosLosEventos()
{
    return {QStringLiteral("Select * from D_Evento"), {}};
}

void modEvento::MuestraError(const QString &numeroDescripcion, const QString &titulo) const
{
    ctx_.mensajes.Muestra(numeroDescripcion, Mensajes::Icono::Informacion, titulo);
}

// Statements go straight to SQLite, kept prepared: reading an event runs some
// twenty of them and QtSql's per-statement cost would double the time.
int modEvento::Accion(const QString &sql, const QVariantList &valores) const
{
    SentenciaSqlite s(ctx_.ConexionBD, sql, valores);
    return s.Ejecuta();
}

QVariant modEvento::Primero(const QString &sql, const QVariantList &valores) const
{
    SentenciaSqlite s(ctx_.ConexionBD, sql, valores);
    return s.Paso() ? s.Valor(0) : QVariant();
}

// ---------------------------------------------------------------------------
// Record set and reading

bool modEvento::CargaEventos(const ConsultaSQL &consulta, const std::optional<ClaveEvento> &clave)
{
    CursorOcupado ocupado;
    try {
        if (rsAtencion.AlDia(ctx_.ConexionBD, consulta))
            rsAtencion.MueveInicio();
        else
            rsAtencion.Abre(ctx_.ConexionBD, consulta);
    } catch (const ErrorBD &e) {
        MuestraError(TextoError(e), TituloHojaRegistro());
        return false;
    }
    if (rsAtencion.Cuenta() == 0)
        return CargaListas();
    if (clave)
        rsAtencion.Busca(*clave);
    return LeeEvento();
}

bool modEvento::LeeEvento()
{
    const std::optional<ClaveEvento> clave = rsAtencion.Actual();
    if (!clave)
        return true;
    try {
        const std::vector<ColumnaEvento> &columnas = ColumnasEvento();
        QVariantList fila;
        {
            SentenciaSqlite q(ctx_.ConexionBD, QStringLiteral("SELECT %1 FROM D_EVENTO").arg(ListaColumnasEvento()) + WhereClave,
                              ValoresClave(*clave));
            if (!q.Paso())
                throw ErrorBD(SQLITE_NOTFOUND,
                              QStringLiteral("El Evento %1, Folio %2 del %3 ya no está en la Base de Datos")
                                  .arg(clave->clues, clave->FolioTexto(),
                                       clave->fechaAtencion.toString(QStringLiteral("dd/MM/yyyy"))));
            for (int i = 0; i < int(columnas.size()); ++i)
                fila << q.Valor(i);
        }
        // Folio is shown before CLUES; every other field in column order, so
        // that a governing field's rules run before its dependents are written.
        EscribeColumna(hoja_, columnas[1], fila[1]);
        EscribeColumna(hoja_, columnas[0], fila[0]);
        for (int i = 2; i < int(columnas.size()); ++i)
            EscribeColumna(hoja_, columnas[i], fila[i]);
    } catch (const ErrorBD &e) {
        MuestraError(TextoError(e), TituloHojaRegistro());
        return false;
    }

    AsignaPeriodo(FechaDeTexto(hoja_.Fecha(1)));

    const QString ninguna;
    CargaLista(QStringLiteral("Derechohabiencia"), QStringLiteral("CodDerechohabiencia"), ListaHoja::Derechohabiencia);
    MarcaLista(QStringLiteral("Derechohabiencia"), QStringLiteral("CodDerechohabiencia"), ninguna,
               ListaHoja::Derechohabiencia, *clave);
    CargaLista(QStringLiteral("TipoViolencia"), QStringLiteral("CodTipoViolencia"), ListaHoja::TipoViolencia);
    MarcaLista(QStringLiteral("TipoViolencia"), QStringLiteral("CodTipoViolencia"), ninguna, ListaHoja::TipoViolencia,
               *clave);
    CargaLista(QStringLiteral("Efectos"), QStringLiteral("CodEfectos"), ListaHoja::PacienteEfectos);
    MarcaLista(QStringLiteral("BajoEfectos"), QStringLiteral("CodEfectos"), QStringLiteral("CodAfectadoAgresor = 1"),
               ListaHoja::PacienteEfectos, *clave);
    CargaLista(QStringLiteral("Efectos"), QStringLiteral("CodEfectos"), ListaHoja::AgresorEfectos);
    MarcaLista(QStringLiteral("BajoEfectos"), QStringLiteral("CodEfectos"), QStringLiteral("CodAfectadoAgresor = 2"),
               ListaHoja::AgresorEfectos, *clave);
    const QList<ElementoLista> &violencia = hoja_.Elementos(ListaHoja::TipoViolencia);
    if (violencia.size() > 1 && violencia[1].marcado)
        CargaLista(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"), ListaHoja::TipoAtencion);
    else
        CargaListaCondicion(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"),
                            QStringLiteral("CodTipoAtencion < 7"), ListaHoja::TipoAtencion);
    MarcaLista(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"), ninguna, ListaHoja::TipoAtencion,
               *clave);

    hoja_.GridAfeccionesEditado = false;
    RefrescaGridAfecciones();
    return true;
}

// ---------------------------------------------------------------------------
// Option lists

bool modEvento::CargaLista(const QString &catalogo, const QString &columna, ListaHoja lista)
{
    return CargaListaCondicion(catalogo, columna, QString(), lista);
}

bool modEvento::CargaListaCondicion(const QString &catalogo, const QString &columna, const QString &condicion,
                                    ListaHoja lista)
{
    // Table and code column of a catalog name, checked against the fixed list
    // once per name: the lists are filled at every event read.
    auto it = catalogos_.constFind(catalogo);
    if (it == catalogos_.cend())
        it = catalogos_.insert(catalogo, {TablaCatalogo(catalogo), ColumnaCodigo(catalogo)});
    const auto &[tabla, col] = it.value();
    QStringList items;
    // A list whose catalog cannot be read is left empty.
    bool ok = !tabla.isEmpty() && columna.compare(col, Qt::CaseInsensitive) == 0;
    if (ok) {
        QString sql = QStringLiteral("SELECT %1 AS Codigo, Descripcion FROM %2").arg(col, tabla);
        if (!condicion.isEmpty())
            sql += QStringLiteral(" WHERE ") + condicion;
        sql += QStringLiteral(" ORDER BY ") + col;
        try {
            SentenciaSqlite q(ctx_.ConexionBD, sql);
            while (q.Paso())
                items << q.Texto(0) + QStringLiteral("   ") + q.Texto(1);
        } catch (const ErrorBD &) {
            items.clear();
            ok = false;
        }
    }
    hoja_.PonElementos(lista, items);
    return ok;
}

bool modEvento::MarcaLista(const QString &tabla, const QString &columna, const QString &condicion, ListaHoja lista,
                           const ClaveEvento &clave)
{
    // The statement of each (table, column, condition), built once.
    const QString llave = tabla + QLatin1Char('|') + columna + QLatin1Char('|') + condicion;
    auto it = sentenciasMarca_.constFind(llave);
    if (it == sentenciasMarca_.cend()) {
        QString sql;
        if (DetalleConocido(tabla, columna)) {
            sql = QStringLiteral("SELECT %1 AS Codigo FROM D_%2").arg(columna, tabla) + WhereClave;
            if (!condicion.isEmpty())
                sql += QStringLiteral(" AND ") + condicion;
            sql += QStringLiteral(" ORDER BY ") + columna;
        }
        it = sentenciasMarca_.insert(llave, sql);
    }
    const QString &sql = it.value();
    if (sql.isEmpty())
        return false;
    QStringList codigos;
    try {
        SentenciaSqlite q(ctx_.ConexionBD, sql, ValoresClave(clave));
        while (q.Paso())
            codigos << q.Texto(0).trimmed();
    } catch (const ErrorBD &) {
        return false;
    }
    AgregaFaltantes(lista, codigos);
    const QList<ElementoLista> &items = hoja_.Elementos(lista);
    for (int i = 0; i < items.size(); ++i) {
        if (codigos.isEmpty()) {
            if (items[i].texto.isEmpty())
                break;
            hoja_.Marca(lista, i, false);
        } else if (codigos.contains(items[i].texto.left(2).trimmed(), Qt::CaseInsensitive)) {
            hoja_.Marca(lista, i, true);
        }
    }
    return true;
}

// A stored code the list does not offer (a care type of 7 or more without
// sexual violence, a code gone from its catalog: data written by another
// program) gets its item after the offered ones, in code order among
// themselves, so that it is shown ticked and a save keeps it unless the user
// unticks it. The offered items keep their places: the sheet's rules find
// some of them by position (the second violence type).
void modEvento::AgregaFaltantes(ListaHoja lista, const QStringList &codigos)
{
    const QString catalogo = CatalogoDeLista(lista);
    const bool texto = CodigoTexto(catalogo);
    QStringList textos;
    QStringList ofrecidos;
    for (const ElementoLista &e : hoja_.Elementos(lista)) {
        textos << e.texto;
        ofrecidos << e.texto.left(2).trimmed().toUpper();
    }
    QStringList faltantes;
    for (const QString &c : codigos) {
        // An item's code is read back from its first two characters.
        if (c.isEmpty() || c.size() > 2 || ofrecidos.contains(c.toUpper()))
            continue;
        const Descripcion d = DescCatalogo(ctx_.ConexionBD, catalogo, c);
        faltantes << c + QStringLiteral("   ") + (d.Encontrada() ? d.texto : CveInexistente());
        ofrecidos << c.toUpper();
    }
    if (faltantes.isEmpty())
        return;
    auto antes = [texto](const QString &a, const QString &b) {
        const QString ca = a.left(2).trimmed(), cb = b.left(2).trimmed();
        bool na = false, nb = false;
        const int ia = ca.toInt(&na), ib = cb.toInt(&nb);
        return !texto && na && nb ? ia < ib : ca.compare(cb, Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(faltantes.begin(), faltantes.end(), antes);
    hoja_.PonElementos(lista, textos + faltantes);
}

bool modEvento::CargaListas()
{
    bool ok = CargaLista(QStringLiteral("Derechohabiencia"), QStringLiteral("CodDerechohabiencia"),
                         ListaHoja::Derechohabiencia);
    ok &= CargaLista(QStringLiteral("TipoViolencia"), QStringLiteral("CodTipoViolencia"), ListaHoja::TipoViolencia);
    ok &= CargaLista(QStringLiteral("Efectos"), QStringLiteral("CodEfectos"), ListaHoja::PacienteEfectos);
    ok &= CargaLista(QStringLiteral("Efectos"), QStringLiteral("CodEfectos"), ListaHoja::AgresorEfectos);
    ok &= CargaListaCondicion(QStringLiteral("TipoAtencion"), QStringLiteral("CodTipoAtencion"),
                              QStringLiteral("CodTipoAtencion < 7"), ListaHoja::TipoAtencion);
    return ok;
}

void modEvento::AsignaPeriodo(const QDate &fecha)
{
    hoja_.PonEtiqueta(1, MesEstadistico(fecha, ctx_.AnoActual.toInt()));
}
