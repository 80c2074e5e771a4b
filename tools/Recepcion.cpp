#include "tools/Recepcion.h"

#include "platform/Empaque.h"
#include "platform/NombreSql.h"
#include "platform/SentenciaSqlite.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"
#include "tools/AvisoHerramienta.h"
#include "tools/Bitacora.h"
#include "tools/EnvioPaquete.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <sqlite3.h>
#include <algorithm>
#include <optional>
#include <tuple>

namespace {
const QString TituloRecepcion = QStringLiteral("Recepción VELMORAN");
const QString NoReconocido = QStringLiteral("Archivo no reconocido por esta versión,  verifique por favor.....");
const QString LlaveRecibida = QStringLiteral("(CLUES, Folio, fechaAtencion) IN (SELECT CLUES, Folio, fechaAtencion FROM paquete.D_EVENTO)");

// The merge keeps events and details together by its own statements (every
// local detail row of a received key is deleted, only detail rows of received
// events come in), so foreign keys are not checked row by row meanwhile: that
// would double its time on a large file. The setting can change only outside
// a transaction; it comes back on afterwards, also on failure.
class SinLlavesForaneas {
public:
    explicit SinLlavesForaneas(const BaseDatos &bd) : bd_(bd) { bd_.Ejecuta(QStringLiteral("PRAGMA foreign_keys = OFF")); }
    ~SinLlavesForaneas()
    {
        try {
            bd_.Ejecuta(QStringLiteral("PRAGMA foreign_keys = ON"));
        } catch (const ErrorBD &) {
            // Every connection switches them on again when it opens.
        }
    }

private:
    const BaseDatos &bd_;
};

// While the package is attached the connection trusts no schema: what the
// package's schema computes (a computed column, an index on an expression)
// may call only what SQLite knows to be harmless, never our functions nor an
// extension's. The setting is the connection's own; it comes back afterwards.
class EsquemaSinConfianza {
public:
    explicit EsquemaSinConfianza(const BaseDatos &bd)
        : bd_(bd), antes_(bd.Valor(QStringLiteral("PRAGMA trusted_schema")).toInt())
    {
        bd_.Ejecuta(QStringLiteral("PRAGMA trusted_schema = OFF"));
    }
    ~EsquemaSinConfianza()
    {
        try {
            bd_.Ejecuta(QStringLiteral("PRAGMA trusted_schema = %1").arg(antes_));
        } catch (const ErrorBD &) {
            // A connection opened again starts with SQLite's default.
        }
    }

private:
    const BaseDatos &bd_;
    int antes_;
};

// The package's database attached read-only as "paquete", read without trust.
class PaqueteAdjunto {
public:
    PaqueteAdjunto(const BaseDatos &bd, const QString &base)
        : sinConfianza_(bd), adjunta_(bd, base, QStringLiteral("paquete"), true)
    {
    }

private:
    EsquemaSinConfianza sinConfianza_;
    BaseAdjunta adjunta_;
};

// A table or view of the package and what SQLite says it is: "table",
// "view", "virtual", or "shadow" (the storage of a virtual table).
struct TablaPaquete {
    QString nombre;
    QString clase;
};

// Every table and view of the package, in name order. What each is comes from
// the schema as SQLite parsed it, never from the stored text, which a package
// may write as it likes.
QList<TablaPaquete> TablasDelPaquete(const BaseDatos &bd)
{
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_list WHERE schema = 'paquete' "
                                            "AND name IN (SELECT name FROM paquete.sqlite_master WHERE type IN ('table', 'view')) "
                                            "ORDER BY name COLLATE NOCASE"));
    QList<TablaPaquete> tablas;
    while (q.next())
        tablas.append({q.value(0).toString(), q.value(1).toString()});
    return tablas;
}

// The event table that SQLite takes the package's table for, or an empty
// text: SQLite ignores the case of ASCII letters only.
QString TablaEventoDe(const QString &nombre)
{
    const bool ascii = std::all_of(nombre.cbegin(), nombre.cend(), [](QChar c) { return c.unicode() < 0x80; });
    return ascii && TablasEvento.contains(nombre.toUpper()) ? nombre.toUpper() : QString();
}

// The first column of our table `local` that the package's `tabla` lacks.
QString ColumnaFaltante(const BaseDatos &bd, const QString &tabla, const QString &local)
{
    const QStringList suyas = ColumnasTabla(bd, QStringLiteral("paquete"), tabla);
    for (const QString &c : ColumnasTabla(bd, QStringLiteral("main"), local))
        if (!suyas.contains(c, Qt::CaseInsensitive))
            return c;
    return {};
}

// A name as the user may read it in a message; one that is blank or has
// blanks around it between quotes.
QString Legible(const QString &nombre)
{
    QString t = nombre;
    for (QChar &c : t)
        if (!c.isPrint())
            c = QLatin1Char('?');
    return nombre.isEmpty() || nombre.trimmed() != nombre ? QLatin1Char('"') + t + QLatin1Char('"') : t;
}

// A refusal of the package: what is wrong, then what the user can ask of
// whoever made it, which names what to fix.
QString Rechazo(const QString &problema, const QString &pedido)
{
    return problema + QStringLiteral("\n\nPida a quien hizo el Envío ") + pedido;
}

// The event key of the first row a query gives, as the sender would look it up.
QString ClaveLegible(const BaseDatos &bd, const QString &sql)
{
    QSqlQuery q = bd.Ejecuta(sql);
    if (!q.next())
        return {};
    QStringList partes;
    const char *const columnas[] = {"CLUES", "Folio", "fechaAtencion"};
    for (int i = 0; i < 3; ++i)
        partes << QLatin1String(columnas[i]) + QLatin1Char(' ')
                      + (q.value(i).isNull() ? QStringLiteral("vacío") : Legible(q.value(i).toString()));
    return partes.join(QStringLiteral(", "));
}

// Why the package's events cannot be received, or an empty text; `faltan`
// gets the event tables it lacks.
QString ChecaEventos(const BaseDatos &bd, const QList<TablaPaquete> &tablas, QStringList *faltan)
{
    for (const QString &tabla : TablasEvento) {
        const auto t = std::find_if(tablas.cbegin(), tablas.cend(), [&](const TablaPaquete &x) { return TablaEventoDe(x.nombre) == tabla; });
        if (t == tablas.cend()) {
            *faltan << tabla;
            continue;
        }
        if (t->clase != QLatin1String("table"))
            return Rechazo(QStringLiteral("%1 no es una tabla en el paquete.").arg(tabla),
                           QStringLiteral("que genere uno nuevo en el que %1 sea una tabla.").arg(tabla));
        if (const QString c = ColumnaFaltante(bd, tabla, tabla); !c.isEmpty())
            return Rechazo(QStringLiteral("A la tabla %1 del paquete le falta la columna %2.").arg(tabla, c),
                           QStringLiteral("que genere uno nuevo en el que la tabla %1 traiga la columna %2.").arg(tabla, c));
        // Keys: CLUES of 11 characters, a whole Folio, a real ISO date.
        const QString mala =
            ClaveLegible(bd, QStringLiteral("SELECT CLUES, Folio, fechaAtencion FROM paquete.%1 WHERE length(CLUES) IS NOT 11 "
                                            "OR typeof(Folio) <> 'integer' OR date(julianday(fechaAtencion)) IS NOT fechaAtencion LIMIT 1")
                                 .arg(tabla));
        if (!mala.isEmpty())
            return Rechazo(QStringLiteral("La tabla %1 del paquete tiene claves de evento mal formadas, como la de %2: una clave lleva "
                                          "en CLUES 11 caracteres, en Folio un número entero y en fechaAtencion una fecha que existe, "
                                          "escrita año-mes-día.")
                               .arg(tabla, mala),
                           QStringLiteral("que corrija esa clave en su Base de Datos y genere uno nuevo."));
    }
    if (faltan->isEmpty()) {
        const QString repetida = ClaveLegible(bd, QStringLiteral("SELECT CLUES, Folio, fechaAtencion FROM paquete.D_EVENTO "
                                                                 "GROUP BY CLUES COLLATE NOCASE, Folio, fechaAtencion HAVING COUNT(*) > 1 "
                                                                 "LIMIT 1"));
        if (!repetida.isEmpty())
            return Rechazo(QStringLiteral("La tabla D_EVENTO del paquete repite claves de evento, como la de %1.").arg(repetida),
                           QStringLiteral("que genere uno nuevo en el que cada evento venga una sola vez."));
    }
    return {};
}

// The program's own tables that are not catalogs: its log, and the work tables
// that its windows, reports and tools keep (or once kept) in a working
// database. A package may bring them but never replaces them.
const QStringList TablasDeTrabajo = {
    QStringLiteral("TMPGRIDAFEC"),   QStringLiteral("GENCONSUL"),     QStringLiteral("TMPQUERY"),
    QStringLiteral("PASOREPORTE"),   QStringLiteral("FILTROREPORTE"), QStringLiteral("UNIDADESREPORTE"),
    QStringLiteral("REPLISDET"),     QStringLiteral("PASOLISTA"),     QStringLiteral("PASOCATEGORIA"),
    QStringLiteral("PASOEDADES"),    QStringLiteral("TMPCATALOGO"),   QStringLiteral("CLUESPASO"),
    QStringLiteral("TABLACOMPLETA"),
};
const QStringList PrefijosDeTrabajo = {QStringLiteral("REP_"), QStringLiteral("PASO_")};

// Why a table of the package, other than a "D_" one, is no catalog by its
// name or by what it is, or an empty text.
QString MotivoNoCatalogo(const TablaPaquete &t, const QList<TablaPaquete> &tablas)
{
    const QString n = Recepcion::NombreCatalogo(t.nombre);
    if (n.startsWith(QLatin1String("SQLITE_")))
        return QStringLiteral("es una tabla interna de SQLite");
    if (n == QLatin1String("BITACORA"))
        return QStringLiteral("es la Bitácora de esta Base de Datos, no un catálogo");
    if (TablasDeTrabajo.contains(n) || std::any_of(PrefijosDeTrabajo.cbegin(), PrefijosDeTrabajo.cend(),
                                                    [&](const QString &p) { return n.startsWith(p); }))
        return QStringLiteral("es una tabla de trabajo del programa, no un catálogo");
    if (t.nombre.trimmed().isEmpty())
        return QStringLiteral("su nombre está en blanco; para recibirla, pida un Envío en el que tenga nombre");
    if (std::any_of(t.nombre.cbegin(), t.nombre.cend(), [](QChar c) { return !c.isPrint(); }))
        return QStringLiteral("su nombre lleva caracteres que no se pueden mostrar; para recibirla, pida un Envío en el que "
                              "su nombre lleve solo letras, números y signos que se vean");
    if (t.clase == QLatin1String("virtual"))
        return QStringLiteral("es una tabla virtual, no una tabla de datos; para recibir lo que guarda, pida un Envío en el que "
                              "sea una tabla de datos");
    if (t.clase == QLatin1String("shadow")) {
        // Named after its virtual table: "<name>_<part>".
        const auto duena = std::find_if(tablas.cbegin(), tablas.cend(), [&](const TablaPaquete &v) {
            return v.clase == QLatin1String("virtual") && t.nombre.startsWith(v.nombre + QLatin1Char('_'), Qt::CaseInsensitive);
        });
        return QStringLiteral("es una tabla interna de %1, no una tabla de datos")
            .arg(duena == tablas.cend() ? QStringLiteral("una tabla virtual") : QStringLiteral("la tabla virtual ") + Legible(duena->nombre));
    }
    return {};
}

// The working database's table that a received catalog replaces (its own
// spelling), or an empty text when it has none: the package's spelling and
// the name it takes here are both looked for, as the engine compares names.
QString TablaLocal(const BaseDatos &bd, const QString &tabla)
{
    return bd.Valor(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table' AND (name = ?1 COLLATE NOCASE "
                                   "OR name = ?2 COLLATE NOCASE)"),
                    {tabla, Recepcion::NombreCatalogo(tabla)})
        .toString();
}

// The first column of our catalog `local` that the package's `tabla` must
// bring and lacks: one that the program's own catalog of that name has (the
// template, attached as "plantilla", declares it), or one that this database
// cannot leave empty. Without the template, every column of ours. A column
// of ours that is neither comes empty from a package that lacks it.
QString ColumnaNecesariaFaltante(const BaseDatos &bd, const QString &tabla, const QString &local, bool conPlantilla)
{
    if (!conPlantilla)
        return ColumnaFaltante(bd, tabla, local);
    return bd.Valor(QStringLiteral("SELECT m.name FROM pragma_table_info(?, 'main') AS m "
                                   "WHERE NOT EXISTS (SELECT 1 FROM pragma_table_xinfo(?, 'paquete') AS p "
                                   "WHERE p.name = m.name COLLATE NOCASE AND p.hidden <> 1) "
                                   "AND (m.\"notnull\" AND m.dflt_value IS NULL OR EXISTS (SELECT 1 FROM "
                                   "pragma_table_info(?, 'plantilla') AS t WHERE t.name = m.name COLLATE NOCASE)) "
                                   "ORDER BY m.cid LIMIT 1"),
                    {local, tabla, local})
        .toString();
}

// Why a catalog of the package cannot go into the working database, or an
// empty text: the name it would take there is an index's or a view's, or it
// lacks a column that our catalog needs.
QString MotivoContraLaBase(const BaseDatos &bd, const QString &tabla, bool conPlantilla)
{
    const QString local = TablaLocal(bd, tabla);
    const QString otroNombre = QStringLiteral("; para recibirlo, pida un Envío en el que ese catálogo lleve otro nombre");
    if (local.isEmpty()) {
        const QString otro = bd.Valor(QStringLiteral("SELECT type FROM main.sqlite_master WHERE type IN ('index', 'view') "
                                                     "AND name = ? COLLATE NOCASE"),
                                      {Recepcion::NombreCatalogo(tabla)})
                                 .toString();
        if (otro == QLatin1String("index"))
            return QStringLiteral("es el nombre de un índice de esta Base de Datos, no de un catálogo") + otroNombre;
        if (otro == QLatin1String("view"))
            return QStringLiteral("es el nombre de una vista de esta Base de Datos, no de un catálogo") + otroNombre;
    } else if (const QString c = ColumnaNecesariaFaltante(bd, tabla, local, conPlantilla); !c.isEmpty()) {
        return QStringLiteral("le falta la columna %1 que tiene el catálogo %2 de esta Base de Datos; para recibirlo, "
                              "pida un Envío en el que %3 traiga la columna %1")
            .arg(Legible(c), local, Legible(tabla));
    }
    return {};
}

// What a package offers: its catalogs, in its spelling, and a line for each
// other table saying why it is not offered.
struct Oferta {
    QStringList catalogos, noOfrecidas;
};

// Sorts the package's tables: those of "D_" are its events (taken apart when
// `faltan` is empty), the others its catalogs, unless the program keeps them
// for itself, they hold no data of their own or they cannot go into the
// working database.
Oferta Ofrece(const BaseDatos &bd, const QList<TablaPaquete> &tablas, const QStringList &faltan, bool conPlantilla)
{
    QList<std::pair<QString, QString>> motivos;   // each table with why not, or nothing
    QHash<QString, QStringList> llegarian;        // catalogs by the name they would take here
    for (const TablaPaquete &t : tablas) {
        const bool deEventos = !TablaEventoDe(t.nombre).isEmpty();
        if (t.clase == QLatin1String("view") || (deEventos && faltan.isEmpty()))
            continue;
        QString motivo;
        if (deEventos) {
            motivo = QStringLiteral("los eventos llegan solo con sus seis tablas, y al paquete le faltan %1; para recibirlos, "
                                    "pida un Envío que traiga las seis")
                         .arg(faltan.join(QStringLiteral(", ")));
        } else if (Recepcion::NombreCatalogo(t.nombre).startsWith(QLatin1String("D_"))) {
            motivo = QStringLiteral("empieza con \"D_\" y no es una de las tablas de los eventos");
        } else {
            motivo = MotivoNoCatalogo(t, tablas);
            if (motivo.isEmpty())
                motivo = MotivoContraLaBase(bd, t.nombre, conPlantilla);
        }
        if (motivo.isEmpty())
            llegarian[Recepcion::NombreCatalogo(t.nombre)] << t.nombre;
        motivos.append({t.nombre, motivo});
    }
    // Names that differ only in the case of letters beyond ASCII or in blanks
    // around them are two tables to SQLite but one here, where a catalog
    // takes that name: neither is taken for the other.
    Oferta oferta;
    for (auto &[tabla, motivo] : motivos) {
        QStringList otras = llegarian.value(Recepcion::NombreCatalogo(tabla));
        otras.removeOne(tabla);
        if (motivo.isEmpty() && !otras.isEmpty()) {
            const bool blancos = std::any_of(otras.cbegin(), otras.cend(),
                                             [&](const QString &o) { return o.toUpper() != tabla.toUpper(); });
            std::transform(otras.begin(), otras.end(), otras.begin(), Legible);
            motivo = QStringLiteral("el paquete trae también %1, del mismo nombre sin distinguir mayúsculas de minúsculas%2, "
                                    "y no se sabe cuál recibir; para recibir una, pida un Envío en el que solo una de ellas "
                                    "se llame así")
                         .arg(otras.join(QStringLiteral(", ")),
                              blancos ? QStringLiteral(" ni los blancos al principio o al final") : QString());
        }
        if (motivo.isEmpty())
            oferta.catalogos << tabla;
        else
            oferta.noOfrecidas << QStringLiteral("- ") + Legible(tabla) + QStringLiteral(": ") + motivo + QLatin1Char('.');
    }
    return oferta;
}

// The declaration a received column takes here: the package's type when it
// is words with an optional size, else the type of the same affinity (the
// rules SQLite applies to a declared type); a collation SQLite itself has
// that is not its default.
QString Declaracion(const BaseDatos &bd, const QString &tabla, const QString &columna, const QString &tipo)
{
    static const QRegularExpression simple(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*( [A-Za-z_][A-Za-z0-9_]*)*"
                                                          "( ?\\( *[-+]?[0-9]+( *, *[-+]?[0-9]+)? *\\))?$"));
    QString d = tipo;
    if (!tipo.isEmpty() && !simple.match(tipo).hasMatch()) {
        const QString t = tipo.toUpper();
        const auto tiene = [&](std::initializer_list<const char *> partes) {
            return std::any_of(partes.begin(), partes.end(), [&](const char *p) { return t.contains(QLatin1String(p)); });
        };
        d = tiene({"INT"})                     ? QStringLiteral("INTEGER")
            : tiene({"CHAR", "CLOB", "TEXT"})  ? QStringLiteral("TEXT")
            : tiene({"BLOB"})                  ? QString()
            : tiene({"REAL", "FLOA", "DOUB"})  ? QStringLiteral("REAL")
                                               : QStringLiteral("NUMERIC");
    }
    const char *colacion = nullptr;
    if (sqlite3_table_column_metadata(bd.Manejador(), "paquete", tabla.toUtf8().constData(), columna.toUtf8().constData(),
                                      nullptr, &colacion, nullptr, nullptr, nullptr)
            == SQLITE_OK
        && colacion) {
        const QString c = QString::fromUtf8(colacion).toUpper();
        if (c == QLatin1String("NOCASE") || c == QLatin1String("RTRIM"))
            d += QStringLiteral(" COLLATE ") + c;
    }
    return d;
}

// Replaces the working database's catalog by the package's `tabla` whole, or
// makes it under the name it takes here when it has none.
void ReemplazaCatalogo(const BaseDatos &bd, const QString &tabla)
{
    const QString local = TablaLocal(bd, tabla);
    if (local.isEmpty()) {
        // A catalog new here: made with the package's columns.
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE main.%1 AS SELECT * FROM paquete.%2")
                             .arg(CitaNombre(Recepcion::NombreCatalogo(tabla)), CitaNombre(tabla)));
        return;
    }
    // Every received column comes: those this catalog lacks are added after
    // its own, which windows read by position. Ours keep their types,
    // collations, keys and indexes; delete and insert keep them.
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT p.name, p.type, EXISTS (SELECT 1 FROM pragma_table_xinfo(?, 'main') AS m "
                                            "WHERE m.name = p.name COLLATE NOCASE) FROM pragma_table_xinfo(?, 'paquete') AS p "
                                            "WHERE p.hidden <> 1 ORDER BY p.cid"),
                             {local, tabla});
    QStringList recibidas;
    QList<std::pair<QString, QString>> nuevas;
    while (q.next()) {
        recibidas << q.value(0).toString();
        if (!q.value(2).toBool())
            nuevas.append({q.value(0).toString(), q.value(1).toString()});
    }
    q.finish();
    for (const auto &[columna, tipo] : nuevas)
        bd.EjecutaAccion(QStringLiteral("ALTER TABLE main.%1 ADD COLUMN %2 %3")
                             .arg(CitaNombre(local), CitaNombre(columna), Declaracion(bd, tabla, columna, tipo)));
    const QString columnas = ListaNombres(recibidas);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM main.%1").arg(CitaNombre(local)));
    bd.EjecutaAccion(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %2 FROM paquete.%3")
                         .arg(CitaNombre(local), columnas, CitaNombre(tabla)));
}

// The columns of a table and what the merge copies into each: the received
// value, the text codes (CLUES and the Cod… columns that hold text) trimmed
// and upper-cased as the capture sheet writes them.
std::pair<QString, QString> ColumnasRecibidas(const BaseDatos &bd, const QString &tabla)
{
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'main') ORDER BY cid"), {tabla});
    QStringList columnas, valores;
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        const QString c = CitaNombre(nombre);
        const bool codigo = q.value(1).toString().startsWith(QLatin1String("TEXT"), Qt::CaseInsensitive)
                            && (nombre.compare(QLatin1String("CLUES"), Qt::CaseInsensitive) == 0
                                || nombre.startsWith(QLatin1String("Cod"), Qt::CaseInsensitive));
        columnas << c;
        valores << (codigo ? QStringLiteral("upper(trim(%1))").arg(c) : c);
    }
    return {columnas.join(QLatin1Char(',')), valores.join(QLatin1Char(','))};
}

// Every local row of a received key goes, details first; then the received
// events and only the detail rows of received events come in. The events
// and units received.
std::pair<int, int> ReemplazaEventos(const BaseDatos &bd, Progreso &trabajo, const QString &etapa)
{
    for (const QString &tabla : TablasEvento.mid(1) + TablasEvento.mid(0, 1))
        bd.EjecutaAccion(QStringLiteral("DELETE FROM main.%1 WHERE rowid IN (SELECT l.rowid FROM paquete.D_EVENTO AS r "
                                        "CROSS JOIN main.%1 AS l ON l.CLUES = r.CLUES AND l.Folio = r.Folio "
                                        "AND l.fechaAtencion = r.fechaAtencion)")
                             .arg(tabla));
    for (const QString &tabla : TablasEvento) {
        trabajo.Etapa(etapa + QLatin1Char(' ') + tabla);
        const auto [columnas, valores] = ColumnasRecibidas(bd, tabla);
        bd.EjecutaAccion(QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM paquete.%1").arg(tabla, columnas, valores)
                         + (tabla == TablasEvento.first() ? QString() : QStringLiteral(" WHERE ") + LlaveRecibida));
    }
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT CLUES) FROM paquete.D_EVENTO"));
    q.next();
    return {q.value(0).toInt(), q.value(1).toInt()};
}
} // namespace

Recepcion::Recepcion(Contexto &ctx) : ctx_(ctx)
{
}

QString Recepcion::NombreCatalogo(const QString &tabla)
{
    return tabla.trimmed().toUpper();
}

void Recepcion::Limpia()
{
    temporal_.reset();   // removed while still locked
    candado_.Suelta();
    base_.clear();
    TieneEventos = false;
    Catalogos.clear();
    NoOfrecidas.clear();
}

namespace {
const QString CandadoRecepcion = QStringLiteral(".recepcion.lck");
}

void Recepcion::BorraDesempacados(const QString &datos)
{
    // A folder of the reception's name holding only what a reception writes:
    // the package's database (with its temporary names) and the lock.
    static const QRegularExpression carpeta(QStringLiteral("^Recive-[A-Za-z0-9]{6}$"));
    static const QRegularExpression propio(QStringLiteral("^(\\.?ENV.{4}\\.db.*|\\.recepcion\\.lck)$"));
    const QDir d(datos);
    for (const QString &nombre : d.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        if (!carpeta.match(nombre).hasMatch())
            continue;
        QDir abandonada(d.filePath(nombre));
        const QStringList dentro = abandonada.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (!std::all_of(dentro.cbegin(), dentro.cend(), [](const QString &n) { return propio.match(n).hasMatch(); }))
            continue;
        // Made when missing, so that a reception that has just made its folder
        // waits for this removal and then makes another.
        CandadoArchivo candado;
        if (candado.TomaSiEstaLibre(abandonada.filePath(CandadoRecepcion), true))
            abandonada.removeRecursively();
    }
}

bool Recepcion::Abre(const QString &ruta)
{
    AvisoHerramienta aviso(ctx_);
    Limpia();
    const QString nombre = QFileInfo(ruta).fileName();
    if (!nombre.right(3).toUpper().endsWith(QLatin1String("ZIP"))) {
        aviso.Informa(QStringLiteral("No selecciono un archivo con extensión ZIP (comprimido), verifique por favor....."),
                      TituloHerramientas);
        return false;
    }
    if (!EsNombrePaquete(nombre)) {
        aviso.Informa(NoReconocido, TituloHerramientas);
        return false;
    }
    PaqueteRecibido = nombre;
    RutaPaquete = ruta.trimmed();

    QString titulo;
    QString falla;
    {
        const Progreso trabajo = ctx_.Trabajo(QStringLiteral("Leyendo información............"));
        BorraDesempacados(ctx_.RutaDatos);
        falla = Desempaca(aviso, &titulo);
        ctx_.EscribePanel(QString());
    }
    if (falla.isEmpty()) {
        if (!NoOfrecidas.isEmpty())
            aviso.Informa(TextoNoOfrecidas() + QStringLiteral("\n\nLo demás del paquete se ofrece en la ventana y puede recibirlo."),
                          TituloRecepcion);
        return true;
    }
    Limpia();
    aviso.Informa(falla, titulo);
    return false;
}

// Unpacks the package's database into a folder of its own (never over a
// database of Datos) and checks it; the message and its title when it fails.
QString Recepcion::Desempaca(AvisoHerramienta &aviso, QString *titulo)
{
    *titulo = TituloRecepcion;
    const QString recuperar = QStringLiteral("Error al recuperar el Envío, verifique por favor.....\n\n");
    // Locked as soon as it stands; another instance's cleanup that took it
    // first removes it, and another is made.
    for (int intento = 0; intento < 3 && !candado_.Tomado(); ++intento) {
        temporal_ = std::make_unique<QTemporaryDir>(QDir(ctx_.RutaDatos).filePath(QStringLiteral("Recive-XXXXXX")));
        if (temporal_->isValid())
            candado_.Toma(QDir(temporal_->path()).filePath(CandadoRecepcion));
    }
    if (!candado_.Tomado())
        return recuperar + QStringLiteral("No se pudo crear una carpeta temporal en %1.").arg(QDir::toNativeSeparators(ctx_.RutaDatos));
    const QString miembro = BaseDelPaquete(PaqueteRecibido);
    const QString base = QDir(temporal_->path()).filePath(miembro);
    QString error;
    if (!ExtraeMiembro(RutaPaquete, miembro, base, CapacidadPaquete(QFileInfo(RutaPaquete).size()), &error))
        return recuperar + error;
    aviso.Informa(QStringLiteral("De click para continuar"), QStringLiteral("Recepción de VELMORAN"));
    const QString motivo = ChecaPaquete(base);
    if (!motivo.isEmpty()) {
        *titulo = TituloHerramientas;
        return NoReconocido + QStringLiteral("\n\n") + motivo;
    }
    base_ = base;
    return {};
}

QString Recepcion::TextoNoOfrecidas() const
{
    // A package made by hand may hold any number of them: the first few are named.
    constexpr int Nombradas = 15;
    QString texto = QStringLiteral("Estas tablas del paquete no se ofrecen para recibir:\n\n")
                    + NoOfrecidas.mid(0, Nombradas).join(QLatin1Char('\n'));
    if (NoOfrecidas.size() > Nombradas)
        texto += QStringLiteral("\n... y %1 tablas más.").arg(NoOfrecidas.size() - Nombradas);
    return texto;
}

namespace {
// A definition of a schema as the user reads it: "la tabla CSEXO".
QString Definicion(const QString &tipo, const QString &nombre)
{
    const QString clase = tipo == QLatin1String("table")   ? QStringLiteral("la tabla ")
                          : tipo == QLatin1String("view")  ? QStringLiteral("la vista ")
                          : tipo == QLatin1String("index") ? QStringLiteral("el índice ")
                                                           : QStringLiteral("el disparador ");
    return clase + Legible(nombre);
}

// The definitions of the package's schema named `nombre` as SQLite compares
// names (ASCII letters in any case), kind and name, in the schema's order.
// Read on a connection of its own that takes the schema as it stands, with
// the clash SQLite will not load, so that both sides of it are found.
QList<std::pair<QString, QString>> DelMismoNombre(const QString &base, const QString &nombre)
{
    QList<std::pair<QString, QString>> definiciones;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(base).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        try {
            SentenciaSqlite(db, QStringLiteral("PRAGMA trusted_schema = OFF")).Paso();
            SentenciaSqlite(db, QStringLiteral("PRAGMA writable_schema = ON")).Paso();
            SentenciaSqlite q(db, QStringLiteral("SELECT type, name FROM sqlite_master WHERE name = ? COLLATE NOCASE ORDER BY rowid"),
                              {nombre});
            while (q.Paso())
                definiciones.append({q.Texto(0), q.Texto(1)});
        } catch (const ErrorBD &) {
            definiciones.clear();
        }
    }
    sqlite3_close(db);
    return definiciones;
}

// Why the package's database could not be read. A schema that SQLite will
// not load is named in Spanish with what to fix: two definitions of one name
// (SQLite ignores the case of ASCII letters in names), a definition that
// calls a function beyond SQLite's own, which a package's schema may not,
// or one it cannot read.
QString MotivoIlegible(const ErrorBD &e, const QString &base)
{
    // SQLite's own words; the attach gives them inside its own text, as
    // "No se pudo abrir la Base de Datos <file> (<words>)."
    QString motor = e.TextoMotor();
    const QLatin1String inicio("malformed database schema (");
    if (const qsizetype i = e.Descripcion().indexOf(inicio); motor.isEmpty() && i >= 0) {
        motor = e.Descripcion().mid(i);
        if (motor.endsWith(QLatin1String(").")))
            motor.chop(2);
    }
    static const QRegularExpression esquema(QStringLiteral("^malformed database schema \\((.*?)\\)(?: - (.*))?$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = esquema.match(motor);
    if ((e.Numero() & 0xff) != SQLITE_CORRUPT || !m.hasMatch())
        return e.Descripcion();
    const QString objeto = m.captured(1), detalle = m.captured(2);
    static const QRegularExpression repetido(QStringLiteral("^(?:(?:table|view|index|trigger) .* already exists"
                                                            "|there is already an? (?:table|index) named .*)$"),
                                             QRegularExpression::DotMatchesEverythingOption);
    if (repetido.match(detalle).hasMatch()) {
        const QList<std::pair<QString, QString>> d = DelMismoNombre(base, objeto);
        if (d.size() < 2)
            return Rechazo(QStringLiteral("La Base de Datos del paquete no se puede leer: tiene dos definiciones con el nombre %1.")
                               .arg(Legible(objeto)),
                           QStringLiteral("que genere uno nuevo en el que ese nombre no se repita."));
        const bool tablas = d[0].first == QLatin1String("table") && d[1].first == QLatin1String("table");
        const QString mayusculas = d[0].second == d[1].second
                                       ? QString()
                                       : QStringLiteral(" (SQLite no distingue mayúsculas de minúsculas en los nombres)");
        if (tablas)
            return Rechazo(QStringLiteral("La Base de Datos del paquete no se puede leer: tiene dos tablas con un mismo nombre, %1 y %2%3.")
                               .arg(Legible(d[0].second), Legible(d[1].second), mayusculas),
                           QStringLiteral("que genere uno nuevo en el que solo una de las dos tablas se llame así."));
        return Rechazo(QStringLiteral("La Base de Datos del paquete no se puede leer: tiene %1 y %2 con un mismo nombre%3.")
                           .arg(Definicion(d[0].first, d[0].second), Definicion(d[1].first, d[1].second), mayusculas),
                       QStringLiteral("que genere uno nuevo en el que ese nombre no se repita."));
    }
    static const QRegularExpression funcion(QStringLiteral("^(?:unsafe use of (.+)\\(\\)|no such function: (.+))$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    if (const QRegularExpressionMatch f = funcion.match(detalle); f.hasMatch()) {
        const QString nombre = Legible(f.captured(1).isEmpty() ? f.captured(2) : f.captured(1));
        return Rechazo(QStringLiteral("La Base de Datos del paquete tiene en su esquema una definición que el programa no acepta: "
                                      "la de %1, que llama a la función %2, que no es de SQLite.")
                           .arg(Legible(objeto), nombre),
                       QStringLiteral("que genere uno nuevo en el que la definición de %1 no llame a %2.").arg(Legible(objeto), nombre));
    }
    return Rechazo(QStringLiteral("La Base de Datos del paquete tiene en su esquema una definición que no se puede leer: la de %1.")
                       .arg(Legible(objeto)),
                   QStringLiteral("que genere uno nuevo con una definición de %1 que SQLite pueda leer.").arg(Legible(objeto)));
}
} // namespace

// Why the unpacked file is no package of ours, or an empty text; fills what it offers.
QString Recepcion::ChecaPaquete(const QString &base)
{
    const QString otraVez = QStringLiteral("que lo genere de nuevo y se lo mande otra vez.");
    if (!BaseDatos::EsArchivoSqlite(base))
        return Rechazo(QStringLiteral("El archivo %1 no es una Base de Datos.").arg(QFileInfo(base).fileName()), otraVez);
    const BaseDatos &bd = ctx_.ConexionBD;
    try {
        PaqueteAdjunto paquete(bd, base);
        if (bd.Valor(QStringLiteral("PRAGMA paquete.quick_check")).toString() != QLatin1String("ok"))
            return Rechazo(QStringLiteral("La Base de Datos del paquete está dañada."), otraVez);
        const QList<TablaPaquete> tablas = TablasDelPaquete(bd);
        QStringList faltan;
        if (const QString motivo = ChecaEventos(bd, tablas, &faltan); !motivo.isEmpty())
            return motivo;
        TieneEventos = faltan.isEmpty();
        // The program's own catalogs, to know which of our columns a
        // received catalog must bring; without them, every one.
        std::optional<BaseAdjunta> plantilla;
        if (const QString archivo = ctx_.ArchivoPlantilla();
            QFileInfo(archivo).isFile() && QFileInfo(archivo) != QFileInfo(bd.Archivo())) {
            try {
                plantilla.emplace(bd, archivo, QStringLiteral("plantilla"), true);
            } catch (const ErrorBD &) {
                plantilla.reset();
            }
        }
        const Oferta oferta = Ofrece(bd, tablas, faltan, plantilla.has_value());
        Catalogos = oferta.catalogos;
        NoOfrecidas = oferta.noOfrecidas;
        if (!TieneEventos && Catalogos.isEmpty())
            return Rechazo(QStringLiteral("El paquete no trae eventos ni catálogos.")
                               + (NoOfrecidas.isEmpty() ? QString() : QStringLiteral("\n\n") + TextoNoOfrecidas()),
                           QStringLiteral("que genere uno nuevo con las atenciones o los catálogos que usted necesita."));
        return {};
    } catch (const ErrorBD &e) {
        return MotivoIlegible(e, base);
    }
}

bool Recepcion::Recibe(bool eventos, const QStringList &tablas)
{
    AvisoHerramienta aviso(ctx_);
    eventos = eventos && TieneEventos;
    if (!HayQueRecibir(aviso, eventos, tablas))
        return false;
    const BaseDatos &bd = ctx_.ConexionBD;
    const QString etapa = QStringLiteral("Recibiendo información de Eventos............");
    Progreso trabajo = ctx_.Trabajo(etapa);
    int recibidos = 0, unidades = 0;
    try {
        PaqueteAdjunto paquete(bd, base_);
        SinLlavesForaneas sinLlaves(bd);
        Transaccion t(bd);
        for (const QString &tabla : tablas) {
            if (!Catalogos.contains(tabla))
                throw ErrorBD(1, QStringLiteral("El paquete no trae el catálogo %1").arg(Legible(tabla)));
            trabajo.Etapa(etapa + QLatin1Char(' ') + Legible(tabla).toUpper());
            ReemplazaCatalogo(bd, tabla);
        }
        if (eventos) {
            trabajo.Etapa(etapa);
            std::tie(recibidos, unidades) = ReemplazaEventos(bd, trabajo, etapa);
        }
        RegistraBitacora(bd, {TipoBitacora::Recepcion, RutaPaquete, recibidos, unidades, QString(), QString(), int(tablas.size())},
                         ctx_.reloj.Ahora());
        t.Confirma();
        // A package can multiply the events: the planner's statistics follow.
        bd.Optimiza(eventos ? TablasEvento : QStringList());
    } catch (const ErrorBD &e) {
        // A file that left its path refuses the commit. It is written back
        // before anything is said: the message says what happened, not what
        // to do about it.
        const bool movida = e.Numero() == SQLITE_CANTOPEN && !bd.SigueEnSuRuta();
        trabajo.Termina();
        ctx_.EscribePanel(QString());
        aviso.Informa(QStringLiteral("No se pudo recibir el Envío; la Base de Datos quedó como estaba.\n\n")
                          + (movida ? QStringLiteral("El archivo de la Base de Datos %1 fue movido o borrado mientras se "
                                                     "recibía el Envío, y no se recibió nada en él.")
                                          .arg(QDir::toNativeSeparators(bd.Archivo()))
                                    : QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion()),
                      TituloRecepcion);
        return false;
    }
    Limpia();
    trabajo.Termina();
    MuestraResumen(aviso, recibidos, int(tablas.size()));
    return true;
}

// Whether a package was read and something of it chosen; says why not.
bool Recepcion::HayQueRecibir(AvisoHerramienta &aviso, bool eventos, const QStringList &tablas) const
{
    if (base_.isEmpty()) {
        aviso.Informa(QStringLiteral("Error al recuperar el Envío, verifique por favor....."), TituloRecepcion);
        return false;
    }
    if (!eventos && tablas.isEmpty()) {
        aviso.Informa(QStringLiteral("No ha seleccionado información, verifique por favor....."), TituloAplicacion());
        return false;
    }
    return true;
}

void Recepcion::MuestraResumen(AvisoHerramienta &aviso, int recibidos, int catalogos)
{
    aviso.Informa(QStringLiteral("Se recibió correctamente la siguiente información....\n***     ***\n\n"
                                 "Atenciónes por Violencia y/o Lesión       = %1\nCatálogos     = %2")
                      .arg(QLocale(QLocale::Spanish, QLocale::Mexico).toString(recibidos))
                      .arg(catalogos),
                  TituloRecepcion);
    ctx_.EscribePanel(QStringLiteral("Listo....."));
}
