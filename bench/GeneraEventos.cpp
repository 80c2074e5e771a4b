#include "GeneraEventos.h"

#include "events/MapaEvento.h"
#include "events/SentenciaSqlite.h"
#include "platform/BaseDatos.h"

#include <QSqlQuery>

namespace {

// One detail table's insert for an event and the codes it runs with.
struct Detalle {
    QString sql;
    QVariantList codigos;
};

QVariantList Codigos(const QStringList &textos, bool esTexto)
{
    QVariantList v;
    for (const QString &t : textos)
        v << CodigoElemento(t, esTexto);
    return v;
}

} // namespace

int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base)
{
    // The column values of the base event, through the same map the store uses.
    HojaDatos hoja;
    LlenaHoja(hoja, base);
    QVariantList valores = ValoresEvento(hoja, QDate(2004, 12, 26), false);

    QStringList unidades;
    {
        QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT Clues FROM CATCLUES ORDER BY Clues"));
        while (q.next())
            unidades << q.value(0).toString();
    }
    if (unidades.isEmpty())
        throw ErrorBD(-1, QStringLiteral("CATCLUES está vacío"));

    const QString clave = QStringLiteral("?, ?, ?, ");
    const Detalle detalles[] = {
        {QStringLiteral("INSERT INTO D_Derechohabiencia VALUES (%1?)").arg(clave),
         Codigos(base.marcados.value(ListaHoja::Derechohabiencia), true)},
        {QStringLiteral("INSERT INTO D_TipoViolencia VALUES (%1?)").arg(clave),
         Codigos(base.marcados.value(ListaHoja::TipoViolencia), false)},
        {QStringLiteral("INSERT INTO D_BajoEfectos VALUES (%1 1, ?)").arg(clave),
         Codigos(base.marcados.value(ListaHoja::PacienteEfectos), false)},
        {QStringLiteral("INSERT INTO D_BajoEfectos VALUES (%1 2, ?)").arg(clave),
         Codigos(base.marcados.value(ListaHoja::AgresorEfectos), false)},
        {QStringLiteral("INSERT INTO D_TipoAtencion VALUES (%1?)").arg(clave),
         Codigos(base.marcados.value(ListaHoja::TipoAtencion), false)},
    };

    sqlite3 *db = bd.Manejador();
    Transaccion t(bd);
    SentenciaSqlite evento(db, QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (?%2)")
                                   .arg(ListaColumnasEvento(), QStringLiteral(",?").repeated(int(valores.size()) - 1)));
    SentenciaSqlite diagnostico(db, QStringLiteral("INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)"));
    std::vector<std::unique_ptr<SentenciaSqlite>> sentencias;
    for (const Detalle &d : detalles)
        sentencias.push_back(std::make_unique<SentenciaSqlite>(db, d.sql));

    const QDate inicio(2003, 12, 26);
    const int porUnidad = (n + int(unidades.size()) - 1) / int(unidades.size());
    for (int i = 0; i < n; ++i) {
        // In key order, so that every index only grows at its end.
        const QString &clues = unidades[i / porUnidad];
        const qlonglong folio = i % porUnidad + 1;
        const QString fecha = inicio.addDays(i % 365).toString(Qt::ISODate);
        valores[0] = clues;
        valores[1] = folio;
        valores[2] = fecha;
        evento.Asocia(valores);
        evento.Ejecuta();
        for (int k = 0; k < base.diagnosticos.size(); ++k) {
            diagnostico.Asocia({clues, folio, fecha, base.diagnosticos[k], k + 1});
            diagnostico.Ejecuta();
        }
        for (size_t s = 0; s < sentencias.size(); ++s)
            for (const QVariant &codigo : detalles[s].codigos) {
                sentencias[s]->Asocia({clues, folio, fecha, codigo});
                sentencias[s]->Ejecuta();
            }
    }
    t.Confirma();
    return n;
}

void GeneraUnidades(const BaseDatos &bd, int n)
{
    const char *tipos = "CHUM";
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM CATCLUES"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO CATCLUES (Clues, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CTUNCVE) "
                             "VALUES (?, ?, '09', ?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        q.addBindValue(QStringLiteral("DFSSA%1").arg(i, 6, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("CENTRO DE SALUD %1 DE LA PEÑA NÚMERO %2").arg(i % 97).arg(i));
        q.addBindValue(QStringLiteral("%1").arg(i % 9 + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 400, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 3000, 4, 10, QLatin1Char('0')));
        q.addBindValue(QString(QLatin1Char(tipos[i % 4])));
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
}

void GeneraLocalidades(const BaseDatos &bd, int n)
{
    static const char *nombres[] = {"SAN JUAN", "SANTA MARÍA", "LA PEÑA", "EL ROSARIO", "BUENAVISTA", "GUADALUPE",
                                    "LOS REYES", "SAN MIGUEL", "EL ÑANDÚ", "TRES MARÍAS"};
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM cLocalidades"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO cLocalidades (CodEstado, CodMunicipio, CodLocalidad, Descripcion) "
                             "VALUES (?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        q.addBindValue(QStringLiteral("%1").arg(i % 32 + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i / 32 % 500 + 1, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i / 16000 + 1, 4, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1 %2 DE ABAJO").arg(QString::fromUtf8(nombres[i % 10])).arg(i / 10));
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
}
