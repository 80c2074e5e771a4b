#include "events/modEvento.h"

#include "events/MapaEvento.h"
#include "platform/FechaTexto.h"
#include "platform/SentenciaSqlite.h"
#include "platform/CursorOcupado.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <algorithm>
#include <sqlite3.h>

namespace {

const QString WhereClave = QStringLiteral(" WHERE CLUES = ? AND Folio = ? AND fechaAtencion = ?");

QVariantList ValoresClave(const ClaveEvento &c)
{
    return {c.clues, c.folio, c.FechaISO()};
}

// The detail tables written from the sheet's lists, in the order of the save.
struct DetalleLista {
    ListaHoja lista;
    const char *tabla;
    const char *columna;
    int afectadoAgresor;   // D_BajoEfectos: 1 patient, 2 aggressor; 0 elsewhere
    bool codigoTexto;
};

const DetalleLista DetallesListas[] = {
    {ListaHoja::Derechohabiencia, "D_Derechohabiencia", "CodDerechohabiencia", 0, true},
    {ListaHoja::TipoViolencia, "D_TipoViolencia", "CodTipoViolencia", 0, false},
    {ListaHoja::PacienteEfectos, "D_BajoEfectos", "CodEfectos", 1, false},
    {ListaHoja::AgresorEfectos, "D_BajoEfectos", "CodEfectos", 2, false},
    {ListaHoja::TipoAtencion, "D_TipoAtencion", "CodTipoAtencion", 0, false},
};

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

std::optional<int> Entero16(const QString &texto)
{
    bool ok = false;
    const short n = texto.trimmed().toShort(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
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

namespace {
QString TextoError(const ErrorBD &e)
{
    return QString::number(e.Numero()) + QStringLiteral(" -- ") + e.Descripcion();
}
} // namespace

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

// ---------------------------------------------------------------------------
// Writing

ClaveEvento modEvento::ClaveParaGrabar() const
{
    const std::vector<ColumnaEvento> &c = ColumnasEvento();
    const QDate hoy = ctx_.reloj.Hoy();
    return {ValorColumna(c[0], hoja_, hoy).toString(), ValorColumna(c[1], hoja_, hoy).toLongLong(),
            QDate::fromString(ValorColumna(c[2], hoja_, hoy).toString(), Qt::ISODate)};
}

std::optional<ClaveEvento> modEvento::ClaveHoja() const
{
    const QDate fecha = FechaDeTexto(hoja_.Fecha(1));
    if (!fecha.isValid())
        return std::nullopt;
    return ClaveEvento{hoja_.Texto(23), ValorEntero(hoja_.Texto(22)), fecha};
}

void modEvento::AseguraTmpGridAfec() const
{
    // In the working database, so that closing and opening the connection
    // again (compaction, backup) keeps the list of a capture in progress.
    Accion(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS main.TMPGRIDAFEC (NUMAFEC INTEGER, AFECCION TEXT(4) COLLATE NOCASE)"));
    const quint64 apertura = ctx_.ConexionBD.Apertura();
    if (apertura == hoja_.AperturaAfecciones)
        return;
    // Another opening may stand on another file, or on what a crash left:
    // the list the sheet shows is the one the user works on.
    const QList<FilaAfeccion> filas = hoja_.Afecciones();
    const bool enTransaccion = !sqlite3_get_autocommit(ctx_.ConexionBD.Manejador());
    if (FilasTmp() != filas) {
        std::optional<Transaccion> t;
        if (!enTransaccion)
            t.emplace(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
        Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
        for (const FilaAfeccion &f : filas)
            Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) VALUES (?, ?)"), {f.numafec, f.afeccion});
        if (t)
            t->Confirma();
    }
    // Inside a caller's transaction a rollback may undo this: checked again next time.
    if (!enTransaccion)
        hoja_.AperturaAfecciones = apertura;
}

void modEvento::EscribeDetalle(const ClaveEvento &clave) const
{
    const QVariantList k = ValoresClave(clave);
    // The diagnoses, renumbered 1..n in list order, closing the gaps of deleted lines.
    AseguraTmpGridAfec();
    Accion(QStringLiteral("UPDATE TMPGRIDAFEC SET NUMAFEC = "
                          "(SELECT count(*) FROM TMPGRIDAFEC t WHERE t.rowid <= TMPGRIDAFEC.rowid)"));
    Accion(QStringLiteral("INSERT INTO D_Diagnosticos (CLUES, Folio, fechaAtencion, CodDiagnostico, Orden) "
                          "SELECT ?, ?, ?, AFECCION, NUMAFEC FROM TMPGRIDAFEC ORDER BY rowid"),
           k);
    for (const DetalleLista &d : DetallesListas) {
        const QString tabla = QString::fromLatin1(d.tabla);
        const QString sql =
            d.afectadoAgresor
                ? QStringLiteral("INSERT INTO %1 (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, %2) VALUES (?, ?, ?, ?, ?)")
                      .arg(tabla, QString::fromLatin1(d.columna))
                : QStringLiteral("INSERT INTO %1 (CLUES, Folio, fechaAtencion, %2) VALUES (?, ?, ?, ?)")
                      .arg(tabla, QString::fromLatin1(d.columna));
        for (const ElementoLista &e : hoja_.Elementos(d.lista)) {
            if (!e.marcado)
                continue;
            QVariantList v = k;
            if (d.afectadoAgresor)
                v << d.afectadoAgresor;
            v << CodigoElemento(e.texto, d.codigoTexto);
            Accion(sql, v);
        }
    }
}

void modEvento::BorraDetalle(const ClaveEvento &clave) const
{
    for (const char *tabla :
         {"D_BajoEfectos", "D_Derechohabiencia", "D_Diagnosticos", "D_TipoAtencion", "D_TipoViolencia"})
        Accion(QStringLiteral("DELETE FROM %1").arg(QString::fromLatin1(tabla)) + WhereClave, ValoresClave(clave));
}

bool modEvento::EscribeEnTransaccion(const std::function<void(const ClaveEvento &)> &escribe,
                                     const QString &tituloError, EnConjunto efecto)
{
    try {
        const ClaveEvento clave = ClaveParaGrabar();
        // Only a set that matched the table before the write can follow it.
        const bool sigue = efecto != EnConjunto::Nada && rsAtencion.AlDia(ctx_.ConexionBD);
        // The day's count follows a new event, captured today, and an edit,
        // which keeps the capture date; a delete has it counted again.
        const bool sigueDia =
            (efecto == EnConjunto::Pone || efecto == EnConjunto::Reemplaza) && CuentaDelDiaAlDia();
        // An edit may move the event from the key it had when editing began.
        const ClaveEvento anterior = efecto == EnConjunto::Reemplaza ? hoja_.MarcaEvento.value_or(clave) : clave;
        Transaccion t(ctx_.ConexionBD);
        escribe(clave);
        t.Confirma();
        if (sigueDia) {
            delDia_->cuenta += efecto == EnConjunto::Pone ? 1 : 0;
            delDia_->sello = ctx_.ConexionBD.Sello(TablaEventos);
        } else {
            delDia_.reset();
        }
        if (sigue) {
            const bool quita = efecto == EnConjunto::Quita || efecto == EnConjunto::Reemplaza;
            const bool pone = efecto == EnConjunto::Pone || efecto == EnConjunto::Reemplaza;
            try {
                rsAtencion.Sigue(ctx_.ConexionBD, quita ? std::optional(anterior) : std::nullopt,
                                 pone ? std::optional(clave) : std::nullopt);
            } catch (const ErrorBD &) {
                // The write stands; the set is read again on its next reload.
            }
        }
        return true;
    } catch (const ErrorBD &e) {
        MuestraError(TextoError(e), tituloError);
        return false;
    }
}

namespace {
// A statement about the event that touched no row means the event is gone.
void ExigeElEvento(int filas, const QString &accion)
{
    if (filas != 1)
        throw ErrorBD(SQLITE_NOTFOUND,
                      QStringLiteral("No se encontró el Evento (CLUES, Folio y Fecha de Atención) que se ") + accion);
}
} // namespace

bool modEvento::AltaEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            const QVariantList valores = ValoresEvento(hoja_, ctx_.reloj.Hoy(), false);
            Accion(QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (?%2)")
                       .arg(ListaColumnasEvento(), QStringLiteral(",?").repeated(int(valores.size()) - 1)),
                   valores);
            EscribeDetalle(clave);
        },
        TituloHojaRegistro() + QStringLiteral(" -- Alta"), EnConjunto::Pone);
}

bool modEvento::ModificaEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            const ClaveEvento guardada = hoja_.MarcaEvento.value_or(clave);
            QStringList columnas;
            QVariantList valores = ValoresEvento(hoja_, ctx_.reloj.Hoy(), true, &columnas);
            // The key columns are written only when the key moves, so that an
            // unchanged event keeps its stored values as they are.
            if (guardada != clave) {
                columnas << QStringLiteral("Clues") << QStringLiteral("Folio") << QStringLiteral("fechaAtencion");
                valores << ValoresClave(clave);
            }
            valores << ValoresClave(guardada);
            // The detail rows go first: they refer to the key being moved.
            BorraDetalle(guardada);
            ExigeElEvento(Accion(QStringLiteral("UPDATE D_EVENTO SET ") + columnas.join(QStringLiteral(" = ?,"))
                                     + QStringLiteral(" = ?") + WhereClave,
                                 valores),
                          QStringLiteral("modifica"));
            EscribeDetalle(clave);
        },
        // An edit may move the event to another key, or out of a filter's set.
        TituloHojaRegistro() + QStringLiteral(" -- Cambios"), EnConjunto::Reemplaza);
}

bool modEvento::BorraEvento()
{
    return EscribeEnTransaccion(
        [this](const ClaveEvento &clave) {
            BorraDetalle(clave);
            ExigeElEvento(Accion(QStringLiteral("DELETE FROM D_EVENTO") + WhereClave, ValoresClave(clave)),
                          QStringLiteral("borra"));
        },
        TituloHojaRegistro(), EnConjunto::Quita);
}

std::optional<bool> modEvento::ExisteEvento(const ClaveEvento &clave) const
{
    try {
        return Primero(QStringLiteral("SELECT 1 FROM D_EVENTO") + WhereClave, ValoresClave(clave)).isValid();
    } catch (const ErrorBD &) {
        return std::nullopt;
    }
}

std::optional<int> modEvento::CapturadosHoy() const
{
    if (CuentaDelDiaAlDia())
        return delDia_->cuenta;
    delDia_.reset();
    if (!ctx_.ConexionBD.EstaAbierta())
        return std::nullopt;
    try {
        const QDate hoy = ctx_.reloj.Hoy();
        // Sealed before the count: a write in between makes it count again.
        const SelloTabla sello = ctx_.ConexionBD.Sello(TablaEventos);
        const int cuenta =
            Primero(QStringLiteral("SELECT count(*) FROM D_EVENTO WHERE FechaCaptura = ?"), {hoy.toString(Qt::ISODate)})
                .toInt();
        delDia_ = CuentaDelDia{hoy, cuenta, sello};
        return cuenta;
    } catch (const ErrorBD &) {
        return std::nullopt;
    }
}

bool modEvento::CuentaDelDiaAlDia() const
{
    return delDia_ && delDia_->dia == ctx_.reloj.Hoy() && ctx_.ConexionBD.EstaAbierta()
           && ctx_.ConexionBD.Sello(TablaEventos) == delDia_->sello;
}

void modEvento::AsignaPeriodo(const QDate &fecha)
{
    hoja_.PonEtiqueta(1, MesEstadistico(fecha, ctx_.AnoActual.toInt()));
}

// ---------------------------------------------------------------------------
// ICD-10

Descripcion modEvento::NombreCIE10(const QString &codigo) const
{
    return ::NombreCIE10(ctx_.ConexionBD, ctx_.mensajes, codigo);
}

VeredictoCIE10 modEvento::ConsultaCIE10(const QString &codigo) const
{
    return ::ConsultaCIE10(ctx_.ConexionBD, codigo,
                           {Entero16(hoja_.Texto(38)), Entero16(hoja_.Texto(37)), Entero16(hoja_.Texto(36))});
}

bool modEvento::ValidaDiagnostico(const QString &codigoDado, int campo)
{
    const QString titulo = TituloHojaRegistro();
    const QString codigo = codigoDado.trimmed();
    auto rechaza = [&](const QString &texto, const QString &t) {
        ctx_.mensajes.Muestra(texto, Mensajes::Icono::Informacion, t);
        return false;
    };
    if (codigo.isEmpty()) {
        const QString t = titulo + QStringLiteral(" - 11");
        if (campo == 77)
            return rechaza(QStringLiteral("No ha capturado la Reselección de la Afección Principal, verifique por favor....."), t);
        if (campo == 78)
            return rechaza(QStringLiteral("No ha capturado El Diagnóstico Externa, verifique por favor....."), t);
        return rechaza(QStringLiteral("No ha capturado el Diagnóstico, verifique por favor....."), t);
    }
    if (codigo.size() < 4)
        return rechaza(QStringLiteral("El Diagnostico debe ser de 4 dígitos, verifique por favor....."), titulo);

    // A letter names a chapter; a code beginning with anything else (a digit)
    // is left to the catalog, which says whether it exists.
    const QChar letra = codigo.at(0).toUpper();
    const bool capitulo = letra >= QLatin1Char('A') && letra <= QLatin1Char('Z');
    if (capitulo && campo == 78 && !QStringLiteral("VWXY").contains(letra))
        return rechaza(QStringLiteral("El Diagnóstico debe pertenecer al capítulo XX; verifique por favor....."),
                       titulo);
    if (capitulo && campo != 78 && !QStringLiteral("FOST").contains(letra))
        return rechaza(QStringLiteral("El Diagnóstico debe pertenecer a los capítulos V ó XIX ó a los permitidos "
                                      "de obstetricia; verifique por favor....."),
                       titulo);

    const QString diag = QStringLiteral("El Diagnóstico ") + codigo;
    switch (ConsultaCIE10(codigo)) {
    case VeredictoCIE10::Aceptado:
        break;
    case VeredictoCIE10::Sexo:
        return rechaza(diag + QStringLiteral(" no es valida para el sexo del paciente, verifique por favor....."), titulo);
    case VeredictoCIE10::Edad:
        return rechaza(diag + QStringLiteral(" no es valida para la edad, verifique por favor....."), titulo);
    case VeredictoCIE10::Erradicada:
        if (!ctx_.mensajes.Pregunta(QStringLiteral("Se trata de una Causa erradicada,\n¿Desea continuar?"),
                                    Mensajes::Icono::Pregunta, titulo))
            return false;
        break;
    case VeredictoCIE10::NoAfeccionPrincipal:
        if (campo == 77)
            return rechaza(QStringLiteral("No se acepta El Diagnóstico ") + codigo
                               + QStringLiteral(" como afección principal, verifique por favor....."),
                           titulo);
        break;
    case VeredictoCIE10::NoExiste:
        return rechaza(QLatin1Char(' ') + diag + QStringLiteral(" no existe en la lista detallada, verifique por favor....."),
                       titulo);
    case VeredictoCIE10::Baja:
        return rechaza(QLatin1Char(' ') + diag + QStringLiteral(" es una categoría dada de baja, verifique por favor....."),
                       titulo);
    case VeredictoCIE10::Error:
        return rechaza(QStringLiteral("No se pudo consultar el Catálogo de Diagnósticos CIE-10, verifique por favor....."),
                       titulo);
    }
    if (campo != 78 && letra == QLatin1Char('O') && hoja_.Texto(39).trimmed() != QLatin1String("1"))
        return rechaza(QLatin1Char(' ') + diag
                           + QStringLiteral(" no puede ser registrado si la paciente no esta embarazada, verifique por favor....."),
                       titulo);
    return true;
}

// ---------------------------------------------------------------------------
// Diagnosis work table

bool modEvento::RefrescaGridAfecciones()
{
    // The event's diagnoses, in the order stored.
    QString sql = QStringLiteral("SELECT Orden, CodDiagnostico FROM D_Diagnosticos WHERE CLUES = ? AND Folio = ?");
    QVariantList v{hoja_.Texto(23), ValorEntero(hoja_.Texto(22))};
    if (!hoja_.FechaEnBlanco(1)) {
        sql += QStringLiteral(" AND fechaAtencion = ?");
        v << FechaSQL(hoja_.Fecha(1));
    }
    sql += QStringLiteral(" ORDER BY Orden");
    const auto muestra = [this](const QList<FilaAfeccion> &filas) {
        hoja_.PonAfecciones(filas);
        hoja_.PonTexto(76, filas.isEmpty() ? QString() : filas.first().afeccion);
    };
    const bool editado = hoja_.GridAfeccionesEditado;
    try {
        // An event read while browsing or filtering never waits for another
        // program's lock: its list is then read straight, below.
        std::optional<SinEspera> sinEspera;
        if (!editado)
            sinEspera.emplace();
        AseguraTmpGridAfec();
        QList<FilaAfeccion> filas = FilasTmp();
        // A table that already holds the stored list (the event just saved
        // from it) is not written again.
        if (!editado) {
            if (QList<FilaAfeccion> guardadas = LeeFilas(sql, v); filas != guardadas) {
                // Rows go in by Orden, so that list order is the stored order.
                Transaccion t(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
                Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
                Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) ") + sql, v);
                t.Confirma();
                filas = std::move(guardadas);
            }
        }
        muestra(filas);
        return true;
    } catch (const ErrorBD &) {
        ctx_.mensajes.Beep();
    }
    // The work table could not be written (another program holds the
    // database's lock): the list still shows the event's own diagnoses, read
    // straight, and the work table is written from it before its next use,
    // so that a save never takes the former event's list.
    if (editado)
        return false;
    try {
        muestra(LeeFilas(sql, v));
        hoja_.AperturaAfecciones = 0;
    } catch (const ErrorBD &) {
    }
    return false;
}

QList<FilaAfeccion> modEvento::LeeFilas(const QString &sql, const QVariantList &valores) const
{
    QList<FilaAfeccion> filas;
    SentenciaSqlite q(ctx_.ConexionBD, sql, valores);
    while (q.Paso())
        filas.append({q.Valor(0).toInt(), q.Texto(1)});
    return filas;
}

QList<FilaAfeccion> modEvento::FilasTmp() const
{
    return LeeFilas(QStringLiteral("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"));
}

std::optional<QList<FilaAfeccion>> modEvento::LeeAfecciones() const
{
    try {
        {
            const SinEspera sinEspera;
            AseguraTmpGridAfec();
        }
        return FilasTmp();
    } catch (const ErrorBD &e) {
        // Another program's lock keeps the work table from taking the
        // sheet's list now: that list is what the table will hold at its
        // next use (a save writes it under its own wait for the lock).
        if (e.Ocupada() && hoja_.AperturaAfecciones != ctx_.ConexionBD.Apertura())
            return hoja_.Afecciones();
        return std::nullopt;
    }
}

bool modEvento::AgregaAfeccion(const QString &codigo)
{
    try {
        AseguraTmpGridAfec();
        Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) "
                              "SELECT CASE WHEN max(NUMAFEC) > 0 THEN max(NUMAFEC) + 1 ELSE 1 END, ? FROM TMPGRIDAFEC"),
               {codigo.trimmed()});
        return true;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::ModificaAfeccion(int numafec, const QString &codigo)
{
    try {
        AseguraTmpGridAfec();
        return Accion(QStringLiteral("UPDATE TMPGRIDAFEC SET AFECCION = ? WHERE NUMAFEC = ?"),
                      {codigo.trimmed(), numafec})
               > 0;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::BorraAfeccion(int numafec)
{
    try {
        AseguraTmpGridAfec();
        return Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC WHERE NUMAFEC = ?"), {numafec}) > 0;
    } catch (const ErrorBD &) {
        return false;
    }
}

bool modEvento::PonAfeccionesTmp(const QStringList &codigos)
{
    try {
        AseguraTmpGridAfec();
        Transaccion t(ctx_.ConexionBD, Transaccion::Alcance::Trabajo);
        Accion(QStringLiteral("DELETE FROM TMPGRIDAFEC"));
        for (int i = 0; i < codigos.size(); ++i)
            Accion(QStringLiteral("INSERT INTO TMPGRIDAFEC (NUMAFEC, AFECCION) VALUES (?, ?)"),
                   {i + 1, codigos[i].trimmed()});
        t.Confirma();
        return true;
    } catch (const ErrorBD &) {
        return false;
    }
}
