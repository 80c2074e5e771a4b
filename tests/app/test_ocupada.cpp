// Another program (a statistician's own SQLite tool, here a child process
// with a plain SQLite connection) holds the working database's write lock:
// every run either goes on as soon as the lock is released or says the
// database is busy within the connection's busy time, once for the whole
// run, and leaves the database as it was.
#include "comun/BloqueoAjeno.h"
#include "comun/EventoValido.h"
#include "queries/CincoEventos.h"
#include "queries/EjecutaGenConsultas.h"
#include "queries/PanelCriterio.h"
#include "queries/frmGenConsultas.h"
#include "reports/FiltrosReporte.h"
#include "reports/GeneradorReportes.h"
#include "tools/Bitacora.h"
#include "tools/Compacta.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/TablaCompleta.h"
#include "tools/TablaDinamica.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>

namespace {

const QString Ocupada = "La Base de Datos está ocupada por otro programa";
// The busy time, and room for the work itself (a few events) on a busy
// machine: a run that waited for minutes goes far beyond it.
constexpr double Espera = BaseDatos::EsperaOcupada / 1000.0;
constexpr double Holgura = 10;
// A lock released while the run waits, and one that outlasts any wait.
constexpr double Breve = 1.5, Largo = 60;

class OtroPrograma : public CincoEventos {
protected:
    // What the run did: true when it did its work.
    struct Corrida {
        bool hecha = false;
        double segundos = 0;
        QString mensajes;   // every box shown, one per line
    };
    Corrida ConBloqueo(double segundos, const std::function<bool()> &haz, const std::function<void()> &prepara)
    {
        if (prepara)
            prepara();
        h.Msj().Limpia();
        BloqueoAjeno otro(p.ctx->ArchivoBD, segundos);
        EXPECT_TRUE(otro.Tomado());
        Corrida c;
        QElapsedTimer t;
        t.start();
        c.hecha = haz();
        c.segundos = double(t.nsecsElapsed()) / 1e9;
        for (const auto &caja : h.Msj().cajas)
            c.mensajes += caja.texto + '\n';
        return c;
    }
    // The working database as the user sees it: its events and detail rows.
    QStringList Datos()
    {
        QStringList filas;
        for (const char *tabla : {"D_EVENTO", "D_Derechohabiencia", "D_TipoViolencia", "D_TipoAtencion", "D_BajoEfectos",
                                  "D_Diagnosticos", "BITACORA"})
            filas << QString(tabla) + ": " + p.Filas(QString("SELECT count(*) FROM ") + tabla).join(',');
        return filas;
    }
    // A run that writes the working database: with a lock that outlasts the
    // busy time it says so within it and writes nothing; with one released
    // while it waits, it goes on at the release and does its work.
    // `prepara` readies each run before the lock is taken.
    void Escribe(const char *nombre, const std::function<bool()> &haz, const std::function<void()> &prepara = {})
    {
        const QStringList antes = Datos();
        const Corrida larga = ConBloqueo(Largo, haz, prepara);
        EXPECT_FALSE(larga.hecha) << nombre;
        EXPECT_TRUE(larga.mensajes.contains(Ocupada)) << nombre << ": " << larga.mensajes.toStdString();
        EXPECT_LT(larga.segundos, Espera + Holgura) << nombre;
        EXPECT_EQ(Datos(), antes) << nombre;
        Sigue(nombre, haz, prepara);
    }
    // A run that only reads the working database: another program's lock does not stop it.
    void Lee(const char *nombre, const std::function<bool()> &haz)
    {
        const Corrida larga = ConBloqueo(Largo, haz, {});
        EXPECT_TRUE(larga.hecha) << nombre << ": " << larga.mensajes.toStdString();
        EXPECT_LT(larga.segundos, Holgura) << nombre;
        Sigue(nombre, haz);
    }
    // A run that writes only work tables the user does not keep: it answers
    // within the busy time, and goes on at the release.
    void Acota(const char *nombre, const std::function<bool()> &haz)
    {
        const Corrida larga = ConBloqueo(Largo, haz, {});
        EXPECT_LT(larga.segundos, Espera + Holgura) << nombre;
        Sigue(nombre, haz);
    }
    void Sigue(const char *nombre, const std::function<bool()> &haz, const std::function<void()> &prepara = {})
    {
        const Corrida breve = ConBloqueo(Breve, haz, prepara);
        EXPECT_TRUE(breve.hecha) << nombre << ": " << breve.mensajes.toStdString();
        EXPECT_FALSE(breve.mensajes.contains(Ocupada)) << nombre;
        EXPECT_LT(breve.segundos, Breve + Holgura) << nombre;
    }
};

} // namespace

// "Ejecutar" of the export generator and of the filter. The export table is
// built once, after the release: the detail readers start only under the
// run's own write lock, so the other program's commit cannot leave them
// behind and send the build round a second time.
TEST_F(OtroPrograma, GeneradorYFiltroSiguenAlLiberarseODicenQueEstaOcupada)
{
    frmGenConsultas g(*p.ctx, dialogo, OrigenConsulta::Hoja);
    g.PonEjecucion([&](frmGenConsultas &v) { EjecutaGenConsultas(*p.ctx, dialogo, v); });
    g.Panel()->cboField->setCurrentIndex(1);
    for (const QString campo : {"E.Folio", "F.Diagnosticos", "V.CodTipoViolencia"}) {
        g.lstOrigen->setCurrentItem(g.lstOrigen->findItems(campo, Qt::MatchExactly).value(0));
        g.Selecciona(0);
    }
    g.Panel()->PonCriterio("E.Folio > 0");
    ASSERT_EQ(g.Seleccion().size(), 3);
    quint64 escritas = 0;
    const auto ejecuta = [&] {
        escritas = p.ctx->ConexionBD.Sello("GENCONSUL").cambios;
        const bool hecha = CierraModal([&] { g.cmdRunQuery->click(); }) == "Muestra Consulta. Registro: 1 de 5";
        escritas = p.ctx->ConexionBD.Sello("GENCONSUL").cambios - escritas;
        return hecha;
    };
    Escribe("generador", ejecuta);
    EXPECT_EQ(escritas, 5u);
    EXPECT_EQ(p.Filas("SELECT Folio || ':' || Diagnostico01 FROM GENCONSUL WHERE Folio = 3"), QStringList{"3:S010"});

    Acota("filtro", [&] { return Filtra("E.Folio > 1") && Folios() == "2,3,4,5"; });
}

// A statistical report builds its work tables apart from the working
// database: another program's lock never stops it.
TEST_F(OtroPrograma, UnReporteNoEsperaAlOtroPrograma)
{
    const QDir fuente(QStringLiteral(VELMORAN_REPORTES));
    QDir(p.Carpeta()).mkpath("Reportes");
    for (const QString &f : fuente.entryList({"*.json"}))
        QFile::copy(fuente.filePath(f), QDir(p.Carpeta()).filePath("Reportes/" + f));
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, FechaOcurrencia) "
              "SELECT Clues, 1, '2004-03-01', '2004-03-01' FROM CATCLUES ORDER BY Clues LIMIT 2");
    FiltrosReporte filtros(p.ctx->ConexionBD);
    GeneradorReportes generador(*p.ctx, filtros);
    int mostrados = 0;
    generador.Muestra = [&](const DocumentoReporte &) { ++mostrados; };
    filtros.InicializaFiltros();
    filtros.EligeReporte(0);
    // One unit of two chosen: the report keeps the units in a work table of its own.
    ASSERT_EQ(filtros.lstUnidades.size(), 2);
    filtros.MarcaTodasUnidades(false);
    filtros.MarcaUnidad(0, true);
    Lee("reporte", [&] {
        const int antes = mostrados;
        generador.Reporte();
        return mostrados == antes + 1 || h.Msj().Ultimo().startsWith("No existe información");
    });
}

// A save of the capture sheet: the event and its detail rows go in whole
// after the release, or not at all, with the message.
TEST_F(OtroPrograma, GuardarLaHojaSigueAlLiberarseODiceQueEstaOcupada)
{
    int folio = 100;
    const auto captura = [&] {
        h.Vida().BotonPulsado(9);   // Cancelar what a failed save left
        h.Vida().BotonPulsado(5);
        DatosEvento d = EventoValido();
        d.textos[22] = QString::number(++folio);
        Captura(h.Reg(), d);
    };
    Escribe("guardar", [&] {
        h.Msj().Responde(false);
        h.Vida().BotonPulsado(8);
        return h.Msj().Ultimo() == "Registro Guardado, ¿Continuar Captura?";
    }, captura);
    EXPECT_EQ(p.Filas("SELECT count(*) FROM D_Diagnosticos WHERE Folio > 100"), QStringList{"2"});
}

// Every tool of the Herramientas menu that writes.
TEST_F(OtroPrograma, CadaHerramientaSigueAlLiberarseODiceQueEstaOcupada)
{
    Contexto &ctx = *p.ctx;
    const auto compacta = [&] { return CompactaBaseDatos(ctx, nullptr, {}) && h.Msj().cajas.isEmpty(); };
    Escribe("compactar", compacta);
    Escribe("respaldar", [&] {
        const QString zip = p.Carpeta() + "/R.zip";
        QFile::remove(zip);
        return Respaldo(ctx, compacta).Respalda(zip) && QFileInfo::exists(zip);
    });
    const QString paquete = ctx.RutaDatos + "/" + Envio(ctx).PaqueteEnvio;
    const auto envia = [&] {
        QFile::remove(paquete);
        return Envio(ctx).GeneraEnvio(Envio::Seleccion{false, true, {}, {}, {}, {"cSexo"}}, paquete);
    };
    Escribe("enviar", envia);
    ASSERT_TRUE(envia());
    p.Ejecuta("DELETE FROM BITACORA");
    Escribe("recibir", [&] {
        Recepcion r(ctx);
        return r.Abre(paquete) && r.Recibe(false, {"cSexo"});
    });
    Escribe("borrar la bitácora", [&] {
        try {
            BorraBitacora(ctx.ConexionBD);
            return true;
        } catch (const ErrorBD &e) {
            ctx.mensajes.Informa(e.Descripcion(), {});
            return false;
        }
    });
    const auto genera = [&](const std::function<void()> &g, const QString &archivo) {
        const QString ruta = QDir(ctx.CarpetaPrograma).filePath(archivo);
        QFile::remove(ruta);
        g();
        return QFileInfo(ruta).isFile();
    };
    Lee("tabla completa en libro", [&] {
        ctx.TablaEnAccess = false;
        return genera([&] { GeneraTablaCompleta(ctx); }, "TablaCompletaVELMORAN.xlsx");
    });
    Lee("tabla completa en base", [&] {
        ctx.TablaEnAccess = true;
        return genera([&] { GeneraTablaCompleta(ctx); }, "TablaCompletaVELMORAN.db");
    });
    Lee("tabla dinámica", [&] { return genera([&] { GeneraTablaDinamica(ctx); }, "TablaDinamicaVELMORAN.xlsx"); });
}

namespace {
// The diagnoses of a list as "number:code", in its order.
QString Codigos(const QList<FilaAfeccion> &filas)
{
    QStringList c;
    for (const FilaAfeccion &f : filas)
        c << QString::number(f.numafec) + ":" + f.afeccion;
    return c.join(',');
}
} // namespace

// Browsing and filtering only read for the user: under another program's
// lock the filter runs and every move through the sheet shows its event, its
// own diagnoses included, without waiting for the lock at all (the handler
// never sleeps).
TEST_F(OtroPrograma, FiltrarYMoverseLaHojaNoEsperanAlOtroPrograma)
{
    BloqueoAjeno otro(p.ctx->ArchivoBD, Largo);
    ASSERT_TRUE(otro.Tomado());
    VidaRegistro &vida = h.Vida();
    const QString tres = "1:S010,2:S020,4:T140";
    const struct {
        const char *paso;
        std::function<void()> haz;
        int folio;
        QString diagnosticos;
    } pasos[] = {
        {"filtrar", [&] { EXPECT_TRUE(Filtra("E.Folio > 1")); }, 2, ""},
        {"Siguiente", [&] { vida.BotonPulsado(3); }, 3, tres},
        {"AvPág", [&] { vida.Mueve_Registros(Qt::Key_PageDown); }, 5, ""},
        {"Anterior", [&] { vida.BotonPulsado(2); }, 4, ""},
        {"RePág", [&] { vida.Mueve_Registros(Qt::Key_PageUp); }, 2, ""},
        {"filtrar otra vez", [&] { EXPECT_TRUE(Filtra("E.Folio = 3")); }, 3, tres},
        {"Último", [&] { vida.BotonPulsado(4); }, 3, tres},
    };
    for (const auto &paso : pasos) {
        const qint64 antes = EsperaAcotada::TotalEsperado();
        paso.haz();
        EXPECT_EQ(EsperaAcotada::TotalEsperado() - antes, 0) << paso.paso << ": esperó al otro programa";
        ASSERT_TRUE(h.Reg().eventos.rsAtencion.Actual().has_value()) << paso.paso;
        EXPECT_EQ(h.Reg().eventos.rsAtencion.Actual()->folio, paso.folio) << paso.paso;
        EXPECT_EQ(Codigos(h.Hoja().Afecciones()), paso.diagnosticos) << paso.paso;
        EXPECT_EQ(h.Hoja().Texto(76), paso.diagnosticos.section(',', 0, 0).section(':', 1)) << paso.paso;
    }
    EXPECT_FALSE(h.Msj().Ultimo().contains(Ocupada)) << h.Msj().Ultimo().toStdString();
}

// An event read under the lock, then changed and saved while the lock
// stands: the save says the database is busy, as any save that meets the
// lock, not that the diagnosis list could not be read; nothing is written.
TEST_F(OtroPrograma, GuardarUnEventoLeidoBajoElBloqueoDiceQueEstaOcupada)
{
    h.Vida().BotonPulsado(5);
    DatosEvento d = EventoValido();
    d.textos[22] = "100";
    Captura(h.Reg(), d);
    h.Msj().Responde(false);
    h.Vida().BotonPulsado(8);
    ASSERT_EQ(h.Msj().Ultimo(), "Registro Guardado, ¿Continuar Captura?");
    const QStringList antes = Datos();
    BloqueoAjeno otro(p.ctx->ArchivoBD, Largo);
    ASSERT_TRUE(otro.Tomado());
    h.Vida().BotonPulsado(4);   // "Último": the event just saved, after the five of unit A
    ASSERT_EQ(h.Reg().eventos.rsAtencion.Actual()->folio, 100);
    ASSERT_EQ(Codigos(h.Hoja().Afecciones()), "1:S001,2:S008");
    h.Msj().Limpia();
    h.Vida().BotonPulsado(6);
    h.Hoja().PonTexto(29, "CAMBIADO");
    h.Vida().BotonPulsado(8);
    QStringList textos;
    for (const auto &caja : h.Msj().cajas)
        textos << caja.texto;
    ASSERT_EQ(textos.size(), 2) << textos.join('\n').toStdString();
    EXPECT_TRUE(textos[0].contains(Ocupada)) << textos[0].toStdString();
    EXPECT_EQ(textos[1], "No se pudo Guardar el Evento.....");
    EXPECT_TRUE(h.Hoja().EnCambio);
    EXPECT_EQ(Datos(), antes);
}

// A run whose statements meet the other program's lock one after another
// waits for it once: one busy time in all, after which each gives up at
// once with "ocupada"; not that time for each statement.
TEST_F(OtroPrograma, TresSentenciasDeUnaCorridaEsperanUnaSolaVez)
{
    BloqueoAjeno otro(p.ctx->ArchivoBD, Largo);
    ASSERT_TRUE(otro.Tomado());
    const BaseDatos &bd = p.ctx->ConexionBD;
    const std::function<void()> sentencias[] = {
        [&] { Transaccion t(bd); },
        [&] { bd.EjecutaAccion("DELETE FROM BITACORA"); },
        [&] { bd.EjecutaAccion("UPDATE D_EVENTO SET Paterno = Paterno WHERE Folio = 1"); },
    };
    QStringList errores;
    const qint64 antes = EsperaAcotada::TotalEsperado();
    QElapsedTimer reloj;
    reloj.start();
    {
        const EsperaAcotada corrida;
        for (const auto &sentencia : sentencias)
            try {
                sentencia();
            } catch (const ErrorBD &e) {
                errores << e.Descripcion();
            }
    }
    const double esperado = double(EsperaAcotada::TotalEsperado() - antes) / 1e9;
    const double transcurrido = double(reloj.nsecsElapsed()) / 1e9;
    ASSERT_EQ(errores.size(), 3);
    for (const QString &e : errores)
        EXPECT_TRUE(e.startsWith(Ocupada)) << e.toStdString();
    // The allowance once (its last step may oversleep a little), and on the
    // clock less than two of them: one for each statement would be 15 s.
    EXPECT_GE(esperado, Espera);
    EXPECT_LT(esperado, 1.5 * Espera);
    EXPECT_LT(transcurrido, 2 * Espera);
}

// An event read while another program holds the lock (here by the filter)
// shows its own diagnoses, though their work table cannot be written then;
// the work table takes them from the list before its next use, so that a
// save after the release never writes the former event's diagnoses.
TEST_F(OtroPrograma, UnEventoLeidoBajoElBloqueoMuestraSusPropiosDiagnosticos)
{
    {
        BloqueoAjeno otro(p.ctx->ArchivoBD, Largo);
        ASSERT_TRUE(otro.Tomado());
        ASSERT_TRUE(Filtra("E.Folio = 3"));
        EXPECT_EQ(Codigos(h.Hoja().Afecciones()), "1:S010,2:S020,4:T140");
    }
    const auto tabla = h.Reg().eventos.LeeAfecciones();
    ASSERT_TRUE(tabla.has_value());
    EXPECT_EQ(Codigos(*tabla), "1:S010,2:S020,4:T140");
}
