#include "tools/Recepcion.h"

#include "platform/Empaque.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"
#include "tools/AvisoHerramienta.h"
#include "tools/Bitacora.h"
#include "tools/EnvioPaquete.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

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

// The columns of a table and what the merge copies into each: the received
// value, the text codes (CLUES and the Cod… columns that hold text) trimmed
// and upper-cased as the capture sheet writes them.
std::pair<QString, QString> ColumnasRecibidas(const BaseDatos &bd, const QString &tabla)
{
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name, type FROM pragma_table_info(?, 'main') ORDER BY cid"), {tabla});
    QStringList columnas, valores;
    while (q.next()) {
        const QString nombre = q.value(0).toString();
        const QString c = QLatin1Char('"') + nombre + QLatin1Char('"');
        const bool codigo = q.value(1).toString().startsWith(QLatin1String("TEXT"), Qt::CaseInsensitive)
                            && (nombre.compare(QLatin1String("CLUES"), Qt::CaseInsensitive) == 0
                                || nombre.startsWith(QLatin1String("Cod"), Qt::CaseInsensitive));
        columnas << c;
        valores << (codigo ? QStringLiteral("upper(trim(%1))").arg(c) : c);
    }
    return {columnas.join(QLatin1Char(',')), valores.join(QLatin1Char(','))};
}
} // namespace

Recepcion::Recepcion(Contexto &ctx) : ctx_(ctx)
{
}

void Recepcion::Limpia()
{
    temporal_.reset();
    base_.clear();
    TieneEventos = false;
    Catalogos.clear();
}

bool Recepcion::Abre(const QString &ruta)
{
    Limpia();
    const QString nombre = QFileInfo(ruta).fileName();
    if (!nombre.right(3).toUpper().endsWith(QLatin1String("ZIP"))) {
        ctx_.mensajes.Informa(QStringLiteral("No selecciono un archivo con extensión ZIP (comprimido), verifique por favor....."),
                              TituloHerramientas);
        return false;
    }
    if (!EsNombrePaquete(nombre)) {
        ctx_.mensajes.Informa(NoReconocido, TituloHerramientas);
        return false;
    }
    PaqueteRecibido = nombre;
    RutaPaquete = ruta.trimmed();

    QString titulo;
    QString falla;
    {
        const Progreso trabajo = ctx_.Trabajo(QStringLiteral("Leyendo información............"));
        falla = Desempaca(&titulo);
        ctx_.EscribePanel(QString());
    }
    if (falla.isEmpty())
        return true;
    Limpia();
    ctx_.mensajes.Informa(falla, titulo);
    return false;
}

// Unpacks the package's database into a folder of its own (never over a
// database of Datos) and checks it; the message and its title when it fails.
QString Recepcion::Desempaca(QString *titulo)
{
    *titulo = TituloRecepcion;
    const QString recuperar = QStringLiteral("Error al recuperar el Envío, verifique por favor.....\n\n");
    temporal_ = std::make_unique<QTemporaryDir>(QDir(ctx_.RutaDatos).filePath(QStringLiteral("Recive-XXXXXX")));
    if (!temporal_->isValid())
        return recuperar + QStringLiteral("No se pudo crear una carpeta temporal en %1.").arg(QDir::toNativeSeparators(ctx_.RutaDatos));
    const QString miembro = BaseDelPaquete(PaqueteRecibido);
    const QString base = QDir(temporal_->path()).filePath(miembro);
    QString error;
    if (!ExtraeMiembro(RutaPaquete, miembro, base, CapacidadPaquete(QFileInfo(RutaPaquete).size()), &error))
        return recuperar + error;
    ctx_.mensajes.Informa(QStringLiteral("De click para continuar"), QStringLiteral("Recepción de VELMORAN"));
    const QString motivo = ChecaPaquete(base);
    if (!motivo.isEmpty()) {
        *titulo = TituloHerramientas;
        return NoReconocido + QStringLiteral("\n\n") + motivo;
    }
    base_ = base;
    return {};
}

// Why the unpacked file is no package of ours, or an empty text; fills what it offers.
QString Recepcion::ChecaPaquete(const QString &base)
{
    if (!BaseDatos::EsArchivoSqlite(base))
        return QStringLiteral("El archivo %1 no es una Base de Datos.").arg(QFileInfo(base).fileName());
    const BaseDatos &bd = ctx_.ConexionBD;
    try {
        BaseAdjunta paquete(bd, base, QStringLiteral("paquete"), true);
        if (bd.Valor(QStringLiteral("PRAGMA paquete.quick_check")).toString() != QLatin1String("ok"))
            return QStringLiteral("La Base de Datos del paquete está dañada.");
        const auto tipo = [&](const QString &tabla) {
            return bd.Valor(QStringLiteral("SELECT type FROM paquete.sqlite_master WHERE name = ? COLLATE NOCASE "
                                           "AND type IN ('table', 'view')"),
                            {tabla})
                .toString();
        };
        const auto faltante = [&](const QString &tabla) {
            const QStringList suyas = ColumnasTabla(bd, QStringLiteral("paquete"), tabla);
            for (const QString &c : ColumnasTabla(bd, QStringLiteral("main"), tabla))
                if (!suyas.contains(c, Qt::CaseInsensitive))
                    return QStringLiteral("A la tabla %1 del paquete le falta la columna %2.").arg(tabla, c);
            return QString();
        };
        int tablasEvento = 0;
        for (const QString &tabla : TablasEvento) {
            const QString t = tipo(tabla);
            if (t == QLatin1String("view"))
                return QStringLiteral("%1 no es una tabla en el paquete.").arg(tabla);
            if (t.isEmpty())
                continue;
            ++tablasEvento;
            if (const QString f = faltante(tabla); !f.isEmpty())
                return f;
            // Keys: CLUES of 11 characters, a whole Folio, a real ISO date.
            if (bd.Valor(QStringLiteral("SELECT COUNT(*) FROM paquete.%1 WHERE length(CLUES) IS NOT 11 "
                                        "OR typeof(Folio) <> 'integer' OR date(julianday(fechaAtencion)) IS NOT fechaAtencion")
                             .arg(tabla))
                    .toInt()
                > 0)
                return QStringLiteral("La tabla %1 del paquete tiene claves de evento mal formadas.").arg(tabla);
        }
        if (tablasEvento == TablasEvento.size()
            && bd.Valor(QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 FROM paquete.D_EVENTO "
                                       "GROUP BY CLUES COLLATE NOCASE, Folio, fechaAtencion HAVING COUNT(*) > 1)"))
                       .toInt()
                   > 0)
            return QStringLiteral("La tabla D_EVENTO del paquete repite claves de evento.");
        QStringList catalogos;
        for (const QString &tabla : TablasCatalogo(bd)) {
            if (tipo(tabla) != QLatin1String("table"))
                continue;
            if (const QString f = faltante(tabla); !f.isEmpty())
                return f;
            catalogos << tabla;
        }
        if (tablasEvento < TablasEvento.size() && catalogos.isEmpty())
            return QStringLiteral("El paquete no trae eventos ni catálogos.");
        TieneEventos = tablasEvento == TablasEvento.size();
        Catalogos = catalogos;
        return {};
    } catch (const ErrorBD &e) {
        return e.Descripcion();
    }
}

bool Recepcion::Recibe(bool eventos, const QStringList &tablas)
{
    if (base_.isEmpty()) {
        ctx_.mensajes.Informa(QStringLiteral("Error al recuperar el Envío, verifique por favor....."), TituloRecepcion);
        return false;
    }
    eventos = eventos && TieneEventos;
    if (!eventos && tablas.isEmpty()) {
        ctx_.mensajes.Informa(QStringLiteral("No ha seleccionado información, verifique por favor....."),
                              TituloAplicacion());
        return false;
    }
    const BaseDatos &bd = ctx_.ConexionBD;
    const QString etapa = QStringLiteral("Recibiendo información de Eventos............");
    Progreso trabajo = ctx_.Trabajo(etapa);
    int recibidos = 0, unidades = 0;
    try {
        BaseAdjunta paquete(bd, base_, QStringLiteral("paquete"), true);
        SinLlavesForaneas sinLlaves(bd);
        Transaccion t(bd);
        for (const QString &tabla : tablas) {
            if (!Catalogos.contains(tabla))
                throw ErrorBD(1, QStringLiteral("El paquete no trae el catálogo %1").arg(tabla));
            trabajo.Etapa(etapa + QLatin1Char(' ') + tabla);
            // Delete and insert keep the table's keys, collation and indexes.
            const QString columnas = ListaNombres(ColumnasTabla(bd, QStringLiteral("main"), tabla));
            bd.EjecutaAccion(QStringLiteral("DELETE FROM main.\"%1\"").arg(tabla));
            bd.EjecutaAccion(QStringLiteral("INSERT INTO main.\"%1\" (%2) SELECT %2 FROM paquete.\"%1\"").arg(tabla, columnas));
        }
        if (eventos) {
            // Every local row of a received key goes, details first; then the
            // received event and only the detail rows of received events come in.
            trabajo.Etapa(etapa);
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
            recibidos = q.value(0).toInt();
            unidades = q.value(1).toInt();
            q.finish();
        }
        RegistraBitacora(bd, {TipoBitacora::Recepcion, RutaPaquete, recibidos, unidades, QString(), QString(), int(tablas.size())},
                         ctx_.reloj.Ahora());
        t.Confirma();
        // A package can multiply the events: the planner's statistics follow.
        bd.Optimiza(eventos ? TablasEvento : QStringList());
    } catch (const ErrorBD &e) {
        trabajo.Termina();
        ctx_.EscribePanel(QString());
        ctx_.mensajes.Informa(QStringLiteral("No se pudo recibir el Envío; la Base de Datos quedó como estaba.\n\n")
                                  + QString::number(e.Numero()) + QStringLiteral(" - ") + e.Descripcion(),
                              TituloRecepcion);
        return false;
    }
    Limpia();
    trabajo.Termina();
    ctx_.mensajes.Informa(QStringLiteral("Se recibió correctamente la siguiente información....\n***     ***\n\n"
                                         "Atenciónes por Violencia y/o Lesión       = %1\nCatálogos     = %2")
                              .arg(QLocale(QLocale::Spanish, QLocale::Mexico).toString(recibidos))
                              .arg(tablas.size()),
                          TituloRecepcion);
    ctx_.EscribePanel(QStringLiteral("Listo....."));
    return true;
}
