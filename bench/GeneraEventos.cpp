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
