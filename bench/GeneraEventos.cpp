#include "GeneraEventos.h"

#include "events/MapaEvento.h"
#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"

#include <QSqlQuery>
#include <cstdio>

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

int IndiceColumna(const char *nombre)
{
    const std::vector<ColumnaEvento> &c = ColumnasEvento();
    for (int i = 0; i < int(c.size()); ++i)
        if (qstrcmp(c[i].columna, nombre) == 0)
            return i;
    return -1;
}

} // namespace

QDate UltimoDiaDelAno(int ano)
{
    return qMin(QDate(ano, 12, 25), QDate::currentDate());
}

bool LeeOpciones(int argc, char **argv, OpcionesBanco &o)
{
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        const bool conValor = i + 1 < argc;
        if (a == QLatin1String("--estado") && conValor)
            o.estado = QString::fromLocal8Bit(argv[++i]).rightJustified(2, QLatin1Char('0'));
        else if (a == QLatin1String("--ano") && conValor)
            o.ano = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
        else if (a == QLatin1String("--conserva") && conValor)
            o.conserva = QString::fromLocal8Bit(argv[++i]);
        else if (i == 1 && !a.startsWith(QLatin1Char('-')))
            o.eventos = qMax(1, a.toInt(&ok));
        else
            ok = false;
    }
    ok = ok && o.ano >= 1900 && o.ano <= 9999 && o.estado.size() == 2;
    if (!ok)
        std::printf("uso: %s [N] [--estado EE] [--ano AAAA] [--conserva CARPETA]\n"
                    "  N eventos generados (100000); estado (36) y año estadístico (2004) de la Base de Datos;\n"
                    "  --conserva deja la Base de Datos en CARPETA/Datos al terminar (nunca reemplaza una existente)\n",
                    argc > 0 ? argv[0] : "velmoran_bench");
    return ok;
}

QStringList UnidadesDelEstado(const BaseDatos &bd, const QString &estado)
{
    QStringList unidades;
    for (const bool delEstado : {true, false}) {
        QSqlQuery q = bd.Ejecuta(delEstado ? QStringLiteral("SELECT Clues FROM CATCLUES WHERE cedocve = ? ORDER BY Clues")
                                           : QStringLiteral("SELECT Clues FROM CATCLUES ORDER BY Clues"),
                                 delEstado ? QVariantList{estado} : QVariantList{});
        while (q.next())
            unidades << q.value(0).toString();
        if (!unidades.isEmpty())
            break;
    }
    if (unidades.isEmpty())
        throw ErrorBD(-1, QStringLiteral("CATCLUES está vacío"));
    return unidades;
}

DatosEvento EventoDelAno(const ProgramaBanco &programa, DatosEvento base)
{
    base.textos[23] = UnidadesDelEstado(programa.ctx.ConexionBD, programa.opciones.estado).first();
    QDate atencion(programa.opciones.ano, 6, 15);
    if (atencion > programa.Hoy())
        atencion = programa.Hoy();
    base.fechaAtencion = atencion.toString(QStringLiteral("dd/MM/yyyy"));
    base.fechaOcurrencia = atencion.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
    return base;
}

int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base, const QString &estado, int ano)
{
    const QDate hoy = UltimoDiaDelAno(ano);
    // The column values of the base event, through the same map the store uses.
    HojaDatos hoja;
    LlenaHoja(hoja, base);
    QVariantList valores = ValoresEvento(hoja, hoy, false);
    const int ocurrencia = IndiceColumna("FechaOcurrencia");
    const int captura = IndiceColumna("FechaCaptura");
    const int edicion = IndiceColumna("FechaEdicion");

    const QStringList unidades = UnidadesDelEstado(bd, estado);
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

    // Care from the second day of the year, so that the day before is in it too.
    const QDate inicio(ano - 1, 12, 27);
    const int dias = qMax(1, int(inicio.daysTo(hoy)) + 1);
    const int porUnidad = (n + int(unidades.size()) - 1) / int(unidades.size());
    for (int i = 0; i < n; ++i) {
        // In key order, so that every index only grows at its end.
        const QString &clues = unidades[i / porUnidad];
        const qlonglong folio = i % porUnidad + 1;
        const QDate dia = inicio.addDays(i % dias);
        const QString fecha = dia.toString(Qt::ISODate);
        valores[0] = clues;
        valores[1] = folio;
        valores[2] = fecha;
        valores[ocurrencia] = dia.addDays(-1).toString(Qt::ISODate);
        valores[captura] = fecha;
        valores[edicion] = fecha;
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
