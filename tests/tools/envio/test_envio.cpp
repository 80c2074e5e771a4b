#include "comun/MuereAlEjecutar.h"
#include "comun/ProgramaTemporal.h"
#include "platform/Empaque.h"
#include "tools/Envio.h"
#include "tools/EnvioPaquete.h"
#include "tools/Recepcion.h"
#include "tools/Respaldo.h"
#include "tools/frmEnvio.h"
#include "tools/frmRecive.h"

#include <QCheckBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

const char *const NoReconocido = "Archivo no reconocido por esta versión,  verifique por favor.....";
const QString Paquete = "ENVIO0436_061226VEL.ZIP";
// The summary of a reception of the four events and one catalog.
const QString ResumenTodo = "Se recibió correctamente la siguiente información....\n***     ***\n\n"
                            "Atenciónes por Violencia y/o Lesión       = 4\nCatálogos     = 1";

// A working database with events of two units of CATCLUES and one outside
// it, each with one row in every detail table, and the packages made of it.
class Paquetes : public ::testing::Test {
public:   // the hostile cases build their packages through it
    void SetUp() override
    {
        p.AbreBase();
        destino.AbreBase();
        A = p.Valor("SELECT min(Clues) FROM CATCLUES").toString();
        B = p.Valor("SELECT min(Clues) FROM CATCLUES WHERE Clues > ?", {A}).toString();
        AltaEvento(p, A, 1, "2004-01-10");
        AltaEvento(p, A, 2, "2004-06-15");
        AltaEvento(p, B, 1, "2004-06-15");
        AltaEvento(p, X, 7, "2004-03-01");
    }

    // One event with one row in each detail table (two diagnoses).
    static void AltaEvento(const ProgramaTemporal &prog, const QString &clues, int folio, const QString &fecha)
    {
        const QVariantList k = {clues, folio, fecha};
        prog.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) VALUES (?, ?, ?, 'PEREZ', ?)",
                     k + QVariantList{fecha});
        for (const char *detalle : {"D_Derechohabiencia VALUES (?, ?, ?, '1')", "D_TipoViolencia VALUES (?, ?, ?, 2)",
                                    "D_BajoEfectos VALUES (?, ?, ?, 1, 3)", "D_TipoAtencion VALUES (?, ?, ?, 4)",
                                    "D_Diagnosticos VALUES (?, ?, ?, 'S001', 1)", "D_Diagnosticos VALUES (?, ?, ?, 'S008', 2)"})
            prog.Ejecuta(QStringLiteral("INSERT INTO ") + detalle, k);
    }

    // Every row of the six event tables and the catalog cSexo where they stand, sorted.
    static QStringList Contenido(const BaseDatos &bd, const QString &esquema = "main")
    {
        QStringList filas;
        for (const QString &tabla : TablasEvento + QStringList{"cSexo"})
            if (bd.Valor(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE name = ? COLLATE NOCASE").arg(esquema), {tabla}).isValid())
                for (const QString &f : ::Filas(bd, QStringLiteral("SELECT * FROM %1.%2").arg(esquema, tabla)))
                    filas << tabla + ": " + f;
        filas.sort();
        return filas;
    }

    // Sends with the window's logic into `dir`; the package's path.
    QString Envia(const Envio::Seleccion &s)
    {
        EXPECT_TRUE(Envio(*p.ctx).GeneraEnvio(s, dir.filePath(Paquete))) << qPrintable(p.mensajes.Ultimo());
        return dir.filePath(Paquete);
    }
    // Every event of the working database and cSexo, sent whole.
    QString EnviaTodo() { return Envia({true, true, {A + "  UNO", B + "  DOS"}, {}, {}, {"cSexo"}}); }
    // A package of the six tables copied as they are, then `cambios` run on it (attached as h).
    QString PaqueteCon(const QStringList &cambios)
    {
        const QString base = dir.filePath("hecho.db");
        QFile::remove(base);
        {
            BaseAdjunta h(p.bd(), base, "h");
            for (const QString &t : TablasEvento)
                p.Ejecuta(QStringLiteral("CREATE TABLE h.%1 AS SELECT * FROM main.%1").arg(t));
            for (const QString &s : cambios)
                p.Ejecuta(s);
        }
        return Empaca(LeeArchivo(base));
    }
    // A package holding `contenido` as its member `miembro`.
    QString Empaca(const QByteArray &contenido, const QString &miembro = "ENV0436.db")
    {
        QString error;
        EXPECT_TRUE(EscribeArchivo(dir.filePath("x"), contenido) && EmpacaArchivo(dir.filePath("x"), miembro, dir.filePath(Paquete), &error))
            << qPrintable(error);
        return dir.filePath(Paquete);
    }
    // Receives what the package offers, as the window ticks it; the last message.
    QString RecibeEnVentana(const QString &zip)
    {
        frmRecive ventana(*destino.ctx);
        ventana.PideArchivo = [&](const QString &) { return zip; };
        ventana.cmdRuta->click();
        ventana.cmdAceptar->click();
        return destino.mensajes.Ultimo();
    }
    // The whole package under another name.
    QString Renombra(const QString &nombre)
    {
        QFile::copy(EnviaTodo(), dir.filePath(nombre));
        return dir.filePath(nombre);
    }

    QTemporaryDir dir;
    ProgramaTemporal p, destino;   // the sender and the receiver
    QString A, B;
    const QString X = "ZZSSA999999";   // a unit absent from CATCLUES
};

TEST_F(Paquetes, ValidaEnvioDiceQueFaltaYDondeVolver)
{
    using F = Envio::Foco;
    const QString b = "__/__/____";
    const struct {
        QString ini, fin;
        bool eventos;
        int unidades, tablas;
        const char *mensaje, *titulo;   // ", verifique por favor....." follows the message
        F foco;
    } casos[] = {
        {"31/02/2004", b, true, 1, 0, "Fecha de Inicio invalida", "Valida Fecha", F::FechaIni},
        {b, "00/13/2004", true, 1, 0, "Fecha de Fin invalida", "Valida Fecha", F::FechaFin},
        {"02/01/2004", "01/01/2004", true, 1, 0, "Fecha Inicial no puede ser mayor a Fecha Final", "VELMORAN2016", F::FechaIni},
        {b, b, true, 0, 1, "Debe seleccionar al menos una Unidad Médica de Eventos", "VELMORAN2016", F::Unidades},
        {b, b, false, 0, 0, "No ha seleccionado información para generar el envío", "VELMORAN2016", F::Tablas},
        {"15/06/2004", "15/06/2004", true, 1, 0, nullptr, nullptr, F::Ninguno},
    };
    for (const auto &c : casos) {
        p.mensajes.Limpia();
        Envio::Seleccion s{c.eventos, true, QStringList(c.unidades, A + "  UNIDAD"), {}, {}, QStringList(c.tablas, "cSexo")};
        EXPECT_EQ(Envio(*p.ctx).ValidaEnvio(c.ini, c.fin, s), c.foco) << c.ini.toStdString();
        EXPECT_EQ(p.mensajes.Ultimo(), c.mensaje ? QString::fromUtf8(c.mensaje) + ", verifique por favor....." : QString());
        EXPECT_EQ(p.mensajes.Titulos(), c.titulo ? QStringList{c.titulo} : QStringList());
    }
}

// The events each unit and period choice sends ("A1": unit A, folio 1), each
// with its seven rows (the event, one in each detail table, two diagnoses).
TEST_F(Paquetes, ElPaqueteLlevaLosEventosElegidosConSusDetalles)
{
    const struct {
        bool todas;
        const char *ini, *fin;
        QStringList esperados;
    } casos[] = {
        {true, "", "", {"A1", "A2", "B1", "X7"}},
        {false, "", "", {"A1", "A2"}},
        {true, "", "01/03/2004", {"A1", "X7"}},
        {true, "15/06/2004", "15/06/2004", {"A2", "B1"}},
    };
    for (const auto &c : casos) {
        Envio::Seleccion s{true, c.todas, QStringList{A + "  UNO", B + "  DOS"}.mid(0, c.todas ? 2 : 1), c.ini, c.fin, {}};
        QString error;
        ASSERT_TRUE(ExtraeMiembro(Envia(s), "ENV0436.db", dir.filePath("r.db"), LimiteExtraccion, &error)) << qPrintable(error);
        BaseAdjunta recibido(p.bd(), dir.filePath("r.db"), "r", true);
        EXPECT_EQ(p.Filas("SELECT iif(Clues = ?, 'A', iif(Clues = ?, 'B', 'X')) || Folio FROM r.D_EVENTO ORDER BY 1", {A, B}), c.esperados);
        EXPECT_EQ(Contenido(p.bd(), "r").size(), 7 * c.esperados.size());
    }
}

// A failed send leaves no file and no row; the package's name is fixed (the
// round trip reads it back), only its folder is chosen.
TEST_F(Paquetes, VentanaUnaFallaNoDejaRastroYElEnvioConNombreFijoQuedaEnLaBitacora)
{
    frmEnvio ventana(*p.ctx);
    EXPECT_EQ(LineasMarcadas(ventana.lstUnidades).size(), 2);   // X is not in CATCLUES
    ventana.chkEventos->click();
    ventana.lstTablas->findItems("cSexo", Qt::MatchExactly)[0]->setCheckState(Qt::Checked);
    const QStringList antes = QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    ventana.PideRuta = [&](const QString &) { return p.Carpeta() + "/no existe/cualquiera.zip"; };
    ventana.cmdRuta->click();
    ventana.cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Ultimo(), "No se pudo generar el Envío.\n\nNo existe la carpeta " + p.Carpeta()
                                       + "/no existe; elija una carpeta que exista para el archivo " + Paquete + ".");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envío VELMORAN");
    EXPECT_EQ(QDir(p.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), antes);

    ventana.PideRuta = [&](const QString &) { return dir.filePath("cualquiera.zip"); };
    ventana.cmdRuta->click();
    ventana.cmdAceptar->click();
    EXPECT_EQ(p.mensajes.Ultimo(), "El Envío se genero con la siguiente información....\n***     ***\n\n"
                                   "Eventos de VELMORAN y/o Violencias  = 0\nCatálogos     = 1");
    EXPECT_EQ(p.mensajes.cajas.last().titulo, "Envíos VELMORAN");
    EXPECT_EQ(p.Filas("SELECT TIPO, NOMBRE, RUTA, UNIDADES, EVENTOS, FECHAINI, FECHAFIN, CATALOGOS FROM BITACORA"),
              QStringList{"2|" + Paquete + "|" + dir.path() + "/|0|0|||1"});
}

// The send waits for a click with the package packed, before it takes the
// place of the file at the destination; a failed packing does not wait.
TEST_F(Paquetes, ElEnvioEsperaUnClicAntesDeColocarElPaquete)
{
    const QString zip = dir.filePath(Paquete);
    ASSERT_TRUE(EscribeArchivo(zip, "anterior"));
    QStringList alPausar;
    p.mensajes.alMostrar = [&](const MensajesFalsos::Caja &c) {
        if (c.texto == "De click para continuar")
            alPausar << c.titulo + "|" + QString::number(int(c.icono)) + "|" + LeeArchivo(zip);
    };
    EnviaTodo();
    EXPECT_EQ(alPausar, QStringList{"Envío de VELMORAN|" + QString::number(int(Mensajes::Icono::Informacion)) + "|anterior"});
    EXPECT_EQ(p.mensajes.Titulos(), (QStringList{"Envío de VELMORAN", "Envíos VELMORAN"}));
    QString error;
    EXPECT_TRUE(ExtraeMiembro(zip, "ENV0436.db", dir.filePath("r.db"), LimiteExtraccion, &error)) << qPrintable(error);

    p.mensajes.cajas.clear();
    EXPECT_FALSE(Envio(*p.ctx).GeneraEnvio({true, true, {A + "  UNO"}, {}, {}, {}}, dir.filePath("no existe/" + Paquete)));
    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Envío VELMORAN"});
    EXPECT_EQ(alPausar.size(), 1);
}

// The reception waits for a click once the package is unpacked, before it
// reads what the package holds; a package that does not unpack does not wait.
TEST_F(Paquetes, LaRecepcionEsperaUnClicAntesDeLeerElPaquete)
{
    const QString zip = EnviaTodo();
    Recepcion r(*destino.ctx);
    QStringList alPausar;
    destino.mensajes.alMostrar = [&](const MensajesFalsos::Caja &c) {
        if (c.texto != "De click para continuar")
            return;
        const QStringList desempacados = QDir(destino.ctx->RutaDatos).entryList({"Recive-*"}, QDir::Dirs | QDir::Hidden);
        alPausar << c.titulo + "|" + QString::number(int(c.icono)) + "|"
                        + QString::number(r.Catalogos.size() + r.TieneEventos) + "|"
                        + (desempacados.isEmpty() ? QString() : QDir(destino.ctx->RutaDatos + "/" + desempacados[0]).entryList(QDir::Files).join(','));
    };
    ASSERT_TRUE(r.Abre(zip));
    EXPECT_EQ(alPausar, QStringList{"Recepción de VELMORAN|" + QString::number(int(Mensajes::Icono::Informacion)) + "|0|ENV0436.db"});
    EXPECT_TRUE(r.TieneEventos && r.Catalogos == QStringList{"cSexo"});
    EXPECT_EQ(destino.mensajes.Titulos(), QStringList{"Recepción de VELMORAN"});

    ASSERT_TRUE(EscribeArchivo(zip, "no soy un zip"));
    destino.mensajes.cajas.clear();
    EXPECT_FALSE(r.Abre(zip));
    EXPECT_EQ(destino.mensajes.Titulos(), QStringList{"Recepción VELMORAN"});
    EXPECT_EQ(alPausar.size(), 1);
}

TEST_F(Paquetes, EnvioYRecepcionDevuelvenLosMismosDatosYDosVecesNoCambiaNada)
{
    p.Ejecuta("UPDATE cSexo SET Descripcion = Descripcion || ' R'");   // the catalog is replaced
    const QString zip = EnviaTodo();
    for (int vez = 1; vez <= 2; ++vez) {
        EXPECT_EQ(RecibeEnVentana(zip), ResumenTodo);
        EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    }
    EXPECT_EQ(destino.Filas("SELECT TIPO, NOMBRE, RUTA, UNIDADES, EVENTOS, FECHAINI, FECHAFIN, CATALOGOS FROM BITACORA"),
              QStringList(2, "3|" + Paquete + "|" + dir.path() + "/|3|4|||1"));
    // The unpacked database went with the window; the catalog keeps its own key and collation.
    EXPECT_EQ(QDir(destino.ctx->RutaDatos).entryList({"Recive*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    EXPECT_TRUE(destino.Valor("SELECT sql FROM sqlite_master WHERE name = 'cSexo'").toString().contains("PRIMARY KEY"));
}

TEST_F(Paquetes, ElEventoRecibidoReemplazaAlLocalConTodosSusDetalles)
{
    // Locally the event A|2 has more detail rows than the package brings, and one other event.
    AltaEvento(destino, A, 2, "2004-06-15");
    destino.Ejecuta("INSERT INTO D_TipoViolencia VALUES (?, 2, '2004-06-15', 5)", {A});
    AltaEvento(destino, A, 9, "2004-09-09");
    const QString zip = PaqueteCon({
        "DELETE FROM h.D_EVENTO WHERE Folio <> 2 OR CLUES <> '" + A + "'",
        "UPDATE h.D_EVENTO SET Paterno = 'RECIBIDO'",
        "DELETE FROM h.D_TipoViolencia",   // fewer details
        "INSERT INTO h.D_TipoAtencion VALUES ('" + X + "', 99, '2004-01-01', 1)",   // an orphan
    });
    Recepcion r(*destino.ctx);
    ASSERT_TRUE(r.Abre(zip)) << qPrintable(destino.mensajes.Ultimo());
    ASSERT_TRUE(r.Recibe(true, {}));
    EXPECT_EQ(destino.Filas("SELECT CLUES || '|' || Folio || '|' || Paterno FROM D_EVENTO ORDER BY Folio"),
              (QStringList{A + "|2|RECIBIDO", A + "|9|PEREZ"}));
    EXPECT_EQ(destino.Cuenta("D_TipoViolencia", "Folio = 2"), 0);
    EXPECT_EQ(destino.Cuenta("D_Diagnosticos", "Folio = 9"), 2);
    EXPECT_EQ(destino.Valor("PRAGMA foreign_key_check").isValid(), false);
    EXPECT_EQ(destino.Valor("PRAGMA foreign_keys").toInt(), 1);
}

// After a reception the planner has statistics of the event tables it merged into.
TEST_F(Paquetes, LaRecepcionDejaEstadisticasDeLasTablasDeEventos)
{
    const QString zip = PaqueteCon({});
    Recepcion r(*destino.ctx);
    ASSERT_TRUE(r.Abre(zip)) << qPrintable(destino.mensajes.Ultimo());
    ASSERT_FALSE(destino.Valor("SELECT 1 FROM sqlite_master WHERE name = 'sqlite_stat1'").isValid());
    ASSERT_TRUE(r.Recibe(true, {}));
    EXPECT_GT(destino.Valor("SELECT count(*) FROM sqlite_stat1 WHERE tbl = 'D_EVENTO'").toInt(), 0);
}

// A package made by `paquete`, or else the six tables with `cambios`.
struct CasoHostil {
    const char *nombre;
    std::function<QString(Paquetes &)> paquete;
    QStringList cambios;
    const char *motivo, *titulo = "Herramientas VELMORAN";
};

class PaqueteHostil : public Paquetes, public ::testing::WithParamInterface<CasoHostil> {};

const CasoHostil CasosHostiles[] = {
    {"EtiquetaEnMinusculas", [](Paquetes &t) { return t.Renombra("ENVIO0436_061226vel.ZIP"); }, {}, NoReconocido},
    {"UnoMenos", [](Paquetes &t) { return t.Renombra("ENVIO0436_06126VEL.ZIP"); }, {}, NoReconocido},
    {"UnoMas", [](Paquetes &t) { return t.Renombra("ENVIO0436_0612266VEL.ZIP"); }, {}, NoReconocido},
    {"NoTerminaEnZip", [](Paquetes &t) { return t.Renombra("ENVIO0436_061226VEL.RAR"); }, {},
     "No selecciono un archivo con extensión ZIP (comprimido), verifique por favor....."},
    {"MiembroConElNombreDeLaBase", [](Paquetes &t) { return t.Empaca(LeeArchivo(t.p.ctx->ArchivoPlantilla()), "VELMORAN0436.db"); }, {},
     "no contiene el archivo ENV0436.db", "Recepción VELMORAN"},
    {"NoEsSqlite", [](Paquetes &t) { return t.Empaca("no soy una base"); }, {},
     "El archivo ENV0436.db no es una Base de Datos.\n\nPida a quien hizo el Envío que lo genere de nuevo y se lo mande otra vez."},
    {"Danado", [](Paquetes &t) { return t.Empaca(LeeArchivo(t.p.ctx->ArchivoPlantilla()).replace(4096, 8192, QByteArray(8192, 'x'))); }, {},
     "La Base de Datos del paquete está dañada.\n\nPida a quien hizo el Envío que lo genere de nuevo y se lo mande otra vez."},
    {"NoEsZip", [](Paquetes &t) { return EscribeArchivo(t.dir.filePath(Paquete), "no soy un zip") ? t.dir.filePath(Paquete) : QString(); }, {},
     "no es un archivo comprimido .zip o llegó incompleto.", "Recepción VELMORAN"},
    {"MiembroMayorDeLoQueCabe", [](Paquetes &t) { return t.Empaca(QByteArray(1 << 21, '\0')); }, {},
     "dice medir 2097152 bytes, más de los ", "Recepción VELMORAN"},
    {"VistaEnLugarDeTabla", {}, {"ALTER TABLE h.D_TipoAtencion RENAME TO O", "CREATE VIEW h.D_TipoAtencion AS SELECT * FROM O"},
     "D_TIPOATENCION no es una tabla en el paquete.\n\nPida a quien hizo el Envío que genere uno nuevo en el que D_TIPOATENCION "
     "sea una tabla."},
    {"FaltaUnaColumna", {}, {"ALTER TABLE h.D_EVENTO DROP COLUMN Paterno"},
     "A la tabla D_EVENTO del paquete le falta la columna Paterno.\n\nPida a quien hizo el Envío que genere uno nuevo en el que la "
     "tabla D_EVENTO traiga la columna Paterno."},
    {"FechaInexistente", {}, {"UPDATE h.D_EVENTO SET fechaAtencion = '2004-02-30' WHERE Folio = 7"},
     "La tabla D_EVENTO del paquete tiene claves de evento mal formadas, como la de CLUES ZZSSA999999, Folio 7, fechaAtencion "
     "2004-02-30: una clave lleva en CLUES 11 caracteres, en Folio un número entero y en fechaAtencion una fecha que existe, "
     "escrita año-mes-día.\n\nPida a quien hizo el Envío que corrija esa clave en su Base de Datos y genere uno nuevo."},
    {"FolioNoEntero", {}, {"UPDATE h.D_Diagnosticos SET Folio = '1x'"}, 
     "La tabla D_DIAGNOSTICOS del paquete tiene claves de evento mal formadas, como la de CLUES DFQRV000015, Folio 1x, "
     "fechaAtencion 2004-01-10: una clave lleva en CLUES 11 caracteres, en Folio un número entero y en fechaAtencion una "
     "fecha que existe, escrita año-mes-día.\n\nPida a quien hizo el Envío que corrija esa clave en su Base de Datos y genere uno nuevo."},
    {"ClavesRepetidas", {}, {"INSERT INTO h.D_EVENTO SELECT * FROM h.D_EVENTO WHERE Folio = 7"},
     "La tabla D_EVENTO del paquete repite claves de evento, como la de CLUES ZZSSA999999, Folio 7, fechaAtencion 2004-03-01."
     "\n\nPida a quien hizo el Envío que genere uno nuevo en el que cada evento venga una sola vez."},
    // Read as a table it would run the extension's code on the sender's data.
    {"TablaDeEventosVirtual", {},
     {"DROP TABLE h.D_TipoAtencion", "CREATE VIRTUAL TABLE h.D_TipoAtencion USING fts5(CLUES, Folio, fechaAtencion, CodTipoAtencion)",
      "INSERT INTO h.D_TipoAtencion SELECT * FROM main.D_TipoAtencion"},
     "D_TIPOATENCION no es una tabla en el paquete.\n\nPida a quien hizo el Envío que genere uno nuevo en el que D_TIPOATENCION "
     "sea una tabla."},
    // The package's schema is not trusted: what it computes may call only
    // what SQLite knows to be harmless, never our functions nor an extension's.
    {"ColumnaCalculadaPorUnaFuncion", {}, {"CREATE TABLE h.cCalc (x TEXT, y AS (VAL(x)))", "INSERT INTO h.cCalc (x) VALUES ('12')"},
     "la de cCalc, que llama a la función VAL, que no es de SQLite.\n\nPida a quien hizo el Envío que genere uno nuevo en el que "
     "la definición de cCalc no llame a VAL."},
    {"SoloTablasDelPrograma", {},
     {"DROP TABLE h.D_EVENTO", "DROP TABLE h.D_BajoEfectos", "DROP TABLE h.D_Derechohabiencia", "DROP TABLE h.D_TipoAtencion",
      "DROP TABLE h.D_TipoViolencia", "CREATE TABLE h.BITACORA AS SELECT * FROM main.BITACORA"},
     "El paquete no trae eventos ni catálogos.\n\nEstas tablas del paquete no se ofrecen para recibir:\n\n"
     "- BITACORA: es la Bitácora de esta Base de Datos, no un catálogo.\n"
     "- D_DIAGNOSTICOS: los eventos llegan solo con sus seis tablas, y al paquete le faltan D_EVENTO, D_BAJOEFECTOS, "
     "D_DERECHOHABIENCIA, D_TIPOATENCION, D_TIPOVIOLENCIA; para recibirlos, pida un Envío que traiga las seis."
     "\n\nPida a quien hizo el Envío que genere uno nuevo con las atenciones o los catálogos que usted necesita."},
};

TEST_P(PaqueteHostil, SeRechazaSinTocarLaBaseNiDejarArchivos)
{
    const QString zip = GetParam().paquete ? GetParam().paquete(*this) : PaqueteCon(GetParam().cambios);
    const QStringList antes = Contenido(destino.bd());
    Recepcion r(*destino.ctx);
    EXPECT_FALSE(r.Abre(zip));
    EXPECT_TRUE(destino.mensajes.Ultimo().contains(QString::fromUtf8(GetParam().motivo))) << qPrintable(destino.mensajes.Ultimo());
    EXPECT_EQ(destino.mensajes.cajas.last().titulo, QString::fromUtf8(GetParam().titulo));
    EXPECT_FALSE(r.Recibe(true, {}));
    EXPECT_EQ(Contenido(destino.bd()), antes);
    EXPECT_EQ(QDir(destino.ctx->RutaDatos).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
}

INSTANTIATE_TEST_SUITE_P(Recepcion, PaqueteHostil, ::testing::ValuesIn(CasosHostiles),
                         [](const auto &i) { return std::string(i.param.nombre); });

TEST_F(Paquetes, BaseQueNoSeAbreSeNombraPorSuRutaSinUri)
{
    EXPECT_THROW(try { BaseAdjunta h(destino.bd(), dir.path(), "h", true); } catch (const ErrorBD &e) {
        EXPECT_EQ(e.Descripcion(), "No se pudo abrir la Base de Datos " + dir.path() + " (unable to open database: " + dir.path() + ").");
        throw;
    }, ErrorBD);
}

// Columns in another order are matched by name; codes in lower case or with
// blanks are stored as the sheet writes them.
TEST_F(Paquetes, ColumnasEnOtroOrdenYCodigosEnMinusculasOConBlancosDanLosMismosDatos)
{
    QStringList columnas = ColumnasTabla(p.bd(), "main", "D_EVENTO"), codigos;
    std::reverse(columnas.begin(), columnas.end());
    for (const QString &t : TablasEvento)
        codigos << "UPDATE h." + t + " SET CLUES = lower(CLUES)";
    codigos << "UPDATE h.D_Diagnosticos SET CodDiagnostico = iif(Orden = 1, ' ' || lower(CodDiagnostico), CodDiagnostico || ' ')"
            << "UPDATE h.D_EVENTO SET CodAfecprin = ' ' || lower(CodAfecprin) || ' ', CodMunicipio = lower(CodMunicipio)";
    const QStringList orden = {"DROP TABLE h.D_EVENTO", "CREATE TABLE h.D_EVENTO AS SELECT " + ListaNombres(columnas) + " FROM main.D_EVENTO"};
    for (const QStringList &cambios : {orden, codigos}) {
        Recepcion r(*destino.ctx);
        ASSERT_TRUE(r.Abre(PaqueteCon(cambios))) << qPrintable(destino.mensajes.Ultimo());
        ASSERT_TRUE(r.Recibe(true, {}));
        EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    }
}

// The merge killed at a statement, in a child process: the database is as before.
TEST_F(Paquetes, MuertoAMitadDeLaReunionLaBaseQuedaComoEstaba)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const QString zip = EnviaTodo();
    AltaEvento(destino, A, 2, "2004-06-15");
    for (const char *punto : {"DELETE FROM main.D_EVENTO", "INSERT INTO main.D_DIAGNOSTICOS", "COMMIT"}) {
        Recepcion r(*destino.ctx);
        ASSERT_TRUE(r.Abre(zip));
        const QStringList antes = Contenido(destino.bd());
        destino.bd().Cierra();
        EXPECT_EXIT(
            {
                destino.bd().Abre(destino.ctx->ArchivoBD);
                MuereAlEjecutar(destino.bd().Manejador(), punto);
                r.Recibe(true, {"cSexo"});
                std::exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "")
            << punto;
        destino.bd().Abre(destino.ctx->ArchivoBD);
        EXPECT_EQ(destino.Valor("PRAGMA integrity_check").toString(), "ok");
        EXPECT_EQ(Contenido(destino.bd()), antes) << punto;
        EXPECT_EQ(destino.Cuenta("BITACORA"), 0);
    }
}

// Every table of the package whose name does not begin with "D_" is offered,
// also a catalog this database lacks, which comes in under its upper-cased
// name, whatever characters that name holds; the program's own log and work
// tables, SQLite's, other "D_" tables and a catalog short of our columns are
// not offered, and the user is told which and why.
TEST_F(Paquetes, SeOfreceTodaTablaQueNoEmpiezaConDYSeDiceCualesNoYPorQue)
{
    const QString raro = "c\"Raro]; DROP TABLE D_EVENTO;--";
    const QString zip = PaqueteCon({
        "CREATE TABLE h.cNuevo (Cod INTEGER PRIMARY KEY, Descripcion TEXT)",
        "INSERT INTO h.cNuevo VALUES (1, 'UNO'), (2, 'DOS')",
        "CREATE TABLE h.SECINS AS SELECT CINSCVE, Descripcion || ' R' AS Descripcion FROM main.SECINS",
        "CREATE TABLE h.\"c\"\"Raro]; DROP TABLE D_EVENTO;--\" (\"x\"\"y\" TEXT)",
        "INSERT INTO h.\"c\"\"Raro]; DROP TABLE D_EVENTO;--\" VALUES ('z')",
        "CREATE TABLE h.BITACORA AS SELECT * FROM main.BITACORA",
        "CREATE TABLE h.TMPGRIDAFEC (NUMAFEC INTEGER, AFECCION TEXT)",
        "CREATE TABLE h.REP_Agresor (x)",
        "CREATE TABLE h.D_Otra (x)",
        "CREATE TABLE h.cSexo AS SELECT Descripcion FROM main.cSexo",
        "ANALYZE h",
    });
    destino.Ejecuta("INSERT INTO BITACORA (TIPO, NOMBRE) VALUES (1, 'propia')");
    // Shared with the hook, which the fixture's teardown may still call.
    const auto alMostrar = std::make_shared<QStringList>();
    destino.mensajes.alMostrar = [alMostrar](const MensajesFalsos::Caja &c) { *alMostrar << c.titulo; };
    frmRecive ventana(*destino.ctx);
    ventana.PideArchivo = [&](const QString &) { return zip; };
    ventana.cmdRuta->click();
    EXPECT_EQ(*alMostrar, (QStringList{"Recepción de VELMORAN", "Recepción VELMORAN"}));
    EXPECT_EQ(destino.mensajes.Ultimo(), "Estas tablas del paquete no se ofrecen para recibir:\n\n"
                                         "- BITACORA: es la Bitácora de esta Base de Datos, no un catálogo.\n"
                                         "- cSexo: le falta la columna CodSexo que tiene el catálogo cSexo de esta Base de Datos; "
                                         "para recibirlo, pida un Envío en el que cSexo traiga la columna CodSexo.\n"
                                         "- D_Otra: empieza con \"D_\" y no es una de las tablas de los eventos.\n"
                                         "- REP_Agresor: es una tabla de trabajo del programa, no un catálogo.\n"
                                         "- sqlite_stat1: es una tabla interna de SQLite.\n"
                                         "- TMPGRIDAFEC: es una tabla de trabajo del programa, no un catálogo.\n\n"
                                         "Lo demás del paquete se ofrece en la ventana y puede recibirlo.");
    QStringList lineas;
    for (int i = 0; i < ventana.lstTablas->count(); ++i)
        lineas << ventana.lstTablas->item(i)->text();
    EXPECT_EQ(lineas, (QStringList{raro.toUpper(), "CNUEVO", "SECINS"}));
    EXPECT_TRUE(ventana.chkEventos->isChecked());

    ventana.cmdAceptar->click();
    EXPECT_EQ(destino.mensajes.Ultimo(), "Se recibió correctamente la siguiente información....\n***     ***\n\n"
                                         "Atenciónes por Violencia y/o Lesión       = 4\nCatálogos     = 3");
    EXPECT_EQ(destino.Filas("SELECT name FROM sqlite_master WHERE name IN ('CNUEVO', ?) ORDER BY 1", {raro.toUpper()}),
              (QStringList{raro.toUpper(), "CNUEVO"}));
    EXPECT_EQ(destino.Filas("SELECT * FROM CNUEVO ORDER BY 1") + destino.Filas("SELECT * FROM \"C\"\"RARO]; DROP TABLE D_EVENTO;--\""),
              (QStringList{"1|UNO", "2|DOS", "z"}));
    EXPECT_EQ(destino.Filas("SELECT Descripcion FROM SECINS ORDER BY 1"), p.Filas("SELECT Descripcion || ' R' FROM SECINS ORDER BY 1"));
    EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    EXPECT_EQ(destino.Filas("SELECT NOMBRE FROM BITACORA WHERE TIPO = 1"), QStringList{"propia"});
    EXPECT_FALSE(ExisteTabla(destino.bd(), "D_Otra") || ExisteTabla(destino.bd(), "REP_Agresor"));

    // The new catalog goes out again in a send of its own.
    Envio::Seleccion s{false, true, {}, {}, {}, {raro.toUpper()}};
    ASSERT_TRUE(QDir(dir.path()).mkdir("otra"));
    ASSERT_TRUE(Envio(*destino.ctx).GeneraEnvio(s, dir.filePath("otra/" + Paquete))) << qPrintable(destino.mensajes.Ultimo());
    Recepcion r(*p.ctx);
    ASSERT_TRUE(r.Abre(dir.filePath("otra/" + Paquete))) << qPrintable(p.mensajes.Ultimo());
    EXPECT_EQ(r.Catalogos, QStringList{raro.toUpper()});
}

// A package of the six tables and the new catalog cNuevo, plus tables made by
// hand (`paquete`, attached as h) for a working database changed by `local`.
struct TablasAjenas {
    const char *nombre;
    QStringList local, paquete;
    QStringList ofrecidos;      // besides cNuevo, as the package spells them
    const char *noOfrecidas;    // the box's lines after its heading; none: no box
};

class TablaAjena : public Paquetes, public ::testing::WithParamInterface<TablasAjenas> {};

const QStringList Fts5 = {"CREATE VIRTUAL TABLE h.cVirt USING fts5(a, b)", "INSERT INTO h.cVirt VALUES ('uno', 'dos')"};
const char *const LineasFts5 = "- cVirt: es una tabla virtual, no una tabla de datos; para recibir lo que guarda, pida un Envío "
                               "en el que sea una tabla de datos.\n"
                               "- cVirt_config: es una tabla interna de la tabla virtual cVirt, no una tabla de datos.\n"
                               "- cVirt_content: es una tabla interna de la tabla virtual cVirt, no una tabla de datos.\n"
                               "- cVirt_data: es una tabla interna de la tabla virtual cVirt, no una tabla de datos.\n"
                               "- cVirt_docsize: es una tabla interna de la tabla virtual cVirt, no una tabla de datos.\n"
                               "- cVirt_idx: es una tabla interna de la tabla virtual cVirt, no una tabla de datos.";

const TablasAjenas CasosTablasAjenas[] = {
    {"TablaVirtualYSusTablasInternas", {}, Fts5, {}, LineasFts5},
    {"TablaVirtualConDosBlancos", {},
     Fts5 + QStringList{"PRAGMA writable_schema = ON",
                        "UPDATE h.sqlite_master SET sql = replace(sql, 'CREATE VIRTUAL', 'CREATE  VIRTUAL') WHERE name = 'cVirt'",
                        "PRAGMA writable_schema = OFF"},
     {}, LineasFts5},
    {"NombreVacioOEnBlanco", {}, {"CREATE TABLE h.\"\" (x)", "INSERT INTO h.\"\" VALUES (1)", "CREATE TABLE h.\" \" (x)"}, {},
     "- \"\": su nombre está en blanco; para recibirla, pida un Envío en el que tenga nombre.\n"
     "- \" \": su nombre está en blanco; para recibirla, pida un Envío en el que tenga nombre."},
    {"NombreDeUnIndice", {}, {"CREATE TABLE h.IX_CATCLUES_Estado (x)", "CREATE TABLE h.ix_catcie10_capitulo (x)"}, {},
     "- ix_catcie10_capitulo: es el nombre de un índice de esta Base de Datos, no de un catálogo; para recibirlo, pida un Envío "
     "en el que ese catálogo lleve otro nombre.\n"
     "- IX_CATCLUES_Estado: es el nombre de un índice de esta Base de Datos, no de un catálogo; para recibirlo, pida un Envío "
     "en el que ese catálogo lleve otro nombre."},
    {"NombreDeUnaVista", {"CREATE VIEW main.CVISTA AS SELECT 1 AS x"}, {"CREATE TABLE h.cVista (x)"}, {},
     "- cVista: es el nombre de una vista de esta Base de Datos, no de un catálogo; para recibirlo, pida un Envío en el que ese "
     "catálogo lleve otro nombre."},
    // A trigger's name is no table's: SQLite keeps the two apart.
    {"NombreDeUnDisparadorSeRecibe", {"CREATE TRIGGER main.CAVISO AFTER INSERT ON BITACORA BEGIN SELECT 1; END"},
     {"CREATE TABLE h.cAviso (x)", "INSERT INTO h.cAviso VALUES ('a')"}, {"cAviso"}, ""},
    // Blanks around a name are SQLite's but nobody sees them in a list.
    {"NombresIgualesSinLosBlancosDeLosExtremos", {},
     {"CREATE TABLE h.cAgente AS SELECT * FROM main.cAgente", "CREATE TABLE h.\"cAgente \" AS SELECT * FROM main.cAgente",
      "CREATE TABLE h.\" CVEZ\" AS SELECT * FROM main.cVez", "CREATE TABLE h.cvez AS SELECT * FROM main.cVez"},
     {},
     "- \" CVEZ\": el paquete trae también cvez, del mismo nombre sin distinguir mayúsculas de minúsculas ni los blancos "
     "al principio o al final, y no se sabe cuál recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así.\n"
     "- cAgente: el paquete trae también \"cAgente \", del mismo nombre sin distinguir mayúsculas de minúsculas ni los "
     "blancos al principio o al final, y no se sabe cuál recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así.\n"
     "- \"cAgente \": el paquete trae también cAgente, del mismo nombre sin distinguir mayúsculas de minúsculas ni los "
     "blancos al principio o al final, y no se sabe cuál recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así.\n"
     "- cvez: el paquete trae también \" CVEZ\", del mismo nombre sin distinguir mayúsculas de minúsculas ni los blancos "
     "al principio o al final, y no se sabe cuál recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así."},
    {"MayusculasMasAllaDeAscii", {},
     {"CREATE TABLE h.\"cñandú\" (x)", "INSERT INTO h.\"cñandú\" VALUES (1)", "CREATE TABLE h.\"cÑANDÚ\" (x)",
      "INSERT INTO h.\"cÑANDÚ\" VALUES (2)", "CREATE TABLE h.\"cÁrbol\" (x)"},
     {"cÁrbol"},
     "- cÑANDÚ: el paquete trae también cñandú, del mismo nombre sin distinguir mayúsculas de minúsculas, y no se sabe cuál "
     "recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así.\n"
     "- cñandú: el paquete trae también cÑANDÚ, del mismo nombre sin distinguir mayúsculas de minúsculas, y no se sabe cuál "
     "recibir; para recibir una, pida un Envío en el que solo una de ellas se llame así."},
    {"DMinusculaNoEsCatalogo", {}, {"CREATE TABLE h.d_otra (x)", "INSERT INTO h.d_otra VALUES (1)"}, {},
     "- d_otra: empieza con \"D_\" y no es una de las tablas de los eventos."},
    // A view is never offered nor named, whatever it calls.
    {"VistaQueLlamaUnaFuncion", {}, {"CREATE VIEW h.cVal AS SELECT VAL('1') AS v"}, {}, ""},
};

// What the check offers and says, and what two receptions of everything
// offered leave: the working database as it was, plus the package's events
// and catalogs, and nothing else.
TEST_P(TablaAjena, SeNombraPorQueNoSeOfreceYLoOfrecidoSeRecibe)
{
    const TablasAjenas &caso = GetParam();
    const QString zip = PaqueteCon(QStringList{"CREATE TABLE h.cNuevo (Cod INTEGER PRIMARY KEY, Descripcion TEXT)",
                                               "INSERT INTO h.cNuevo VALUES (1, 'UNO')"}
                                   + caso.paquete);
    for (const QString &s : caso.local)
        destino.Ejecuta(s);
    AltaEvento(destino, B, 9, "2004-07-01");   // a local event no package touches
    const QString objetos = "SELECT type || ' ' || name FROM sqlite_master WHERE name NOT LIKE 'sqlite%' ORDER BY 1";
    QStringList esperados = Contenido(destino.bd()), objetosEsperados = destino.Filas(objetos);
    for (const QString &f : Contenido(p.bd()))
        if (!f.startsWith("cSexo: "))
            esperados << f;
    esperados.sort();
    QStringList ofrecidos = QStringList{"cNuevo"} + caso.ofrecidos;
    ofrecidos.sort(Qt::CaseInsensitive);
    for (const QString &t : ofrecidos)
        objetosEsperados << "table " + t.toUpper();
    objetosEsperados.sort();
    for (int vez = 1; vez <= 2; ++vez) {
        Recepcion r(*destino.ctx);
        const qsizetype cajas = destino.mensajes.cajas.size();
        ASSERT_TRUE(r.Abre(zip)) << qPrintable(destino.mensajes.Ultimo());
        EXPECT_EQ(r.Catalogos, ofrecidos);
        if (*caso.noOfrecidas)
            EXPECT_EQ(destino.mensajes.Ultimo(),
                      "Estas tablas del paquete no se ofrecen para recibir:\n\n" + QString::fromUtf8(caso.noOfrecidas)
                          + "\n\nLo demás del paquete se ofrece en la ventana y puede recibirlo.");
        else
            EXPECT_EQ(destino.mensajes.cajas.size(), cajas + 1);   // "De click para continuar" only
        EXPECT_TRUE(r.Recibe(true, r.Catalogos)) << qPrintable(destino.mensajes.Ultimo());
        EXPECT_EQ(destino.Valor("PRAGMA trusted_schema").toInt(), 1);   // the package's distrust goes with it
        EXPECT_EQ(Contenido(destino.bd()), esperados) << vez;
        EXPECT_EQ(destino.Filas(objetos), objetosEsperados) << vez;
        EXPECT_EQ(destino.Filas("SELECT * FROM CNUEVO"), QStringList{"1|UNO"});
        EXPECT_EQ(destino.Cuenta("BITACORA"), vez);
    }
}

INSTANTIATE_TEST_SUITE_P(Recepcion, TablaAjena, ::testing::ValuesIn(CasosTablasAjenas),
                         [](const auto &i) { return std::string(i.param.nombre); });

// A package whose schema computes with one of the program's functions (a
// computed column, an index on an expression) is refused whole, said in
// Spanish and naming the definition.
TEST_F(Paquetes, UnEsquemaQueLlamaUnaFuncionDelProgramaSeRechazaEnEspanol)
{
    const struct {
        QStringList cambios;
        QString definicion;
    } casos[] = {
        {{"CREATE TABLE h.cCalc (x TEXT, y AS (UCASE(x)))", "INSERT INTO h.cCalc (x) VALUES ('a')"}, "cCalc"},
        {{"CREATE TABLE h.cTexto (x TEXT)", "CREATE INDEX h.ixTexto ON cTexto (UCASE(x))"}, "ixTexto"},
    };
    for (const auto &c : casos) {
        destino.mensajes.Limpia();
        Recepcion r(*destino.ctx);
        EXPECT_FALSE(r.Abre(PaqueteCon(c.cambios)));
        EXPECT_EQ(destino.mensajes.Ultimo(), QString::fromUtf8(NoReconocido) + "\n\nLa Base de Datos del paquete tiene en su "
                                             "esquema una definición que el programa no acepta: la de " + c.definicion
                                             + ", que llama a la función UCASE, que no es de SQLite.\n\nPida a quien hizo el Envío "
                                             "que genere uno nuevo en el que la definición de " + c.definicion + " no llame a UCASE.");
        EXPECT_EQ(destino.mensajes.Titulos(), QStringList({"Recepción de VELMORAN", "Herramientas VELMORAN"}));
    }
}

// Two definitions of one name that SQLite will not load, as it ignores the
// case of ASCII letters in names: refused naming both and what to ask for;
// a definition SQLite cannot read is named as such, not as a call.
TEST_F(Paquetes, DosDefinicionesDeUnNombreSeRechazanNombrandoAmbas)
{
    const auto renombra = [](const QString &de, const QString &a) {
        return QStringList{"PRAGMA writable_schema = ON",
                           "UPDATE h.sqlite_master SET name = '" + a + "', tbl_name = iif(type = 'table', '" + a
                               + "', tbl_name), sql = replace(sql, '" + de + "', '" + a + "') WHERE name = '" + de + "'",
                           "PRAGMA writable_schema = OFF"};
    };
    const QString pedido = "\n\nPida a quien hizo el Envío que genere uno nuevo en el que ";
    const struct {
        QStringList cambios;
        QString motivo;
    } casos[] = {
        {QStringList{"CREATE TABLE h.CSEXO AS SELECT * FROM main.cSexo", "CREATE TABLE h.xsexo AS SELECT * FROM main.cSexo"}
             + renombra("xsexo", "csexo"),
         "no se puede leer: tiene dos tablas con un mismo nombre, CSEXO y csexo (SQLite no distingue mayúsculas de minúsculas "
         "en los nombres)." + pedido + "solo una de las dos tablas se llame así."},
        {QStringList{"CREATE TABLE h.cDoble (x)", "CREATE TABLE h.cOtra (x)"} + renombra("cOtra", "cDoble"),
         "no se puede leer: tiene dos tablas con un mismo nombre, cDoble y cDoble." + pedido + "solo una de las dos tablas se llame así."},
        {QStringList{"CREATE TABLE h.cUna (x)", "CREATE INDEX h.ixUna ON cUna (x)", "CREATE TABLE h.cZeta (x)"} + renombra("ixUna", "CZETA"),
         "no se puede leer: tiene el índice CZETA y la tabla cZeta con un mismo nombre (SQLite no distingue mayúsculas de "
         "minúsculas en los nombres)." + pedido + "ese nombre no se repita."},
        {{"CREATE TABLE h.cMal (x)", "PRAGMA writable_schema = ON",
          "UPDATE h.sqlite_master SET sql = 'CREATE TABLE cMal (x' WHERE name = 'cMal'", "PRAGMA writable_schema = OFF"},
         "tiene en su esquema una definición que no se puede leer: la de cMal.\n\nPida a quien hizo el Envío que genere uno nuevo "
         "con una definición de cMal que SQLite pueda leer."},
    };
    for (const auto &c : casos) {
        destino.mensajes.Limpia();
        Recepcion r(*destino.ctx);
        EXPECT_FALSE(r.Abre(PaqueteCon(c.cambios)));
        EXPECT_EQ(destino.mensajes.Ultimo(), QString::fromUtf8(NoReconocido) + "\n\nLa Base de Datos del paquete " + c.motivo);
        EXPECT_EQ(destino.mensajes.Titulos(), QStringList({"Recepción de VELMORAN", "Herramientas VELMORAN"}));
    }
}

// A received catalog comes whole: a column this one lacks is kept after
// ours (windows read them by position), ours keep their declarations; a later
// package without that column leaves it empty, and one without a column the
// program reads is not offered, saying what to ask for.
TEST_F(Paquetes, UnCatalogoRecibidoConservaTodasSusColumnas)
{
    p.Ejecuta("CREATE TABLE cSexoNuevo (CodSexo TEXT NOT NULL PRIMARY KEY, Abrev TEXT(1) COLLATE NOCASE, Descripcion TEXT(50))");
    p.Ejecuta("INSERT INTO cSexoNuevo SELECT CodSexo, lower(substr(Descripcion, 1, 1)), Descripcion FROM cSexo");
    p.Ejecuta("DROP TABLE cSexo");
    p.Ejecuta("ALTER TABLE cSexoNuevo RENAME TO cSexo");
    EXPECT_EQ(RecibeEnVentana(EnviaTodo()), ResumenTodo);
    EXPECT_EQ(ColumnasTabla(destino.bd(), "main", "cSexo"), (QStringList{"CodSexo", "Descripcion", "Abrev"}));
    EXPECT_EQ(destino.Filas("SELECT typeof(CodSexo), Descripcion FROM cSexo WHERE Abrev = 'M' AND CodSexo = '2'"),
              QStringList{"integer|MUJER"});

    const QString sinAbrev = "CREATE TABLE h.cSexo AS SELECT CodSexo, Descripcion || ' R' AS Descripcion FROM main.cSexo";
    Recepcion r(*destino.ctx);
    ASSERT_TRUE(r.Abre(PaqueteCon({sinAbrev}))) << qPrintable(destino.mensajes.Ultimo());
    ASSERT_TRUE(r.Recibe(false, r.Catalogos));
    EXPECT_EQ(destino.Filas("SELECT CodSexo, Descripcion, Abrev FROM cSexo ORDER BY 1"),
              (QStringList{"1|HOMBRE R|", "2|MUJER R|", "9|NO ESPECIFICADO R|"}));

    Recepcion sinDescripcion(*destino.ctx);
    ASSERT_TRUE(sinDescripcion.Abre(PaqueteCon({"CREATE TABLE h.cSexo AS SELECT CodSexo, Abrev FROM main.cSexo"})));
    EXPECT_EQ(sinDescripcion.Catalogos, QStringList());
    EXPECT_EQ(destino.mensajes.Ultimo(), "Estas tablas del paquete no se ofrecen para recibir:\n\n"
                                         "- cSexo: le falta la columna Descripcion que tiene el catálogo cSexo de esta Base de Datos; "
                                         "para recibirlo, pida un Envío en el que cSexo traiga la columna Descripcion.\n\n"
                                         "Lo demás del paquete se ofrece en la ventana y puede recibirlo.");
}

// A catalog whose name has blanks around it is the catalog of its name
// without them: shown so, it replaces that one, and no table with blanks in
// its name is made.
TEST_F(Paquetes, UnCatalogoConBlancosAlrededorReemplazaAlDeSuNombre)
{
    const QString zip = PaqueteCon({"CREATE TABLE h.\" cSexo \" AS SELECT * FROM main.cSexo",
                                    "UPDATE h.\" cSexo \" SET Descripcion = Descripcion || ' R'"});
    frmRecive ventana(*destino.ctx);
    ventana.PideArchivo = [&](const QString &) { return zip; };
    ventana.cmdRuta->click();
    ASSERT_EQ(ventana.lstTablas->count(), 1);
    EXPECT_EQ(ventana.lstTablas->item(0)->text(), "CSEXO");
    ventana.cmdAceptar->click();
    EXPECT_EQ(destino.Filas("SELECT Descripcion FROM cSexo ORDER BY 1"), p.Filas("SELECT Descripcion || ' R' FROM cSexo ORDER BY 1"));
    EXPECT_EQ(destino.Filas("SELECT name FROM sqlite_master WHERE name LIKE '%sexo%' AND type = 'table'"), QStringList{"cSexo"});
}

// The send's package database is gone from Datos before its summary shows.
TEST_F(Paquetes, ElEnvioBorraSuBaseTemporalAntesDelResumen)
{
    const auto alResumir = std::make_shared<QStringList>();
    p.mensajes.alMostrar = [alResumir, datos = p.ctx->RutaDatos](const MensajesFalsos::Caja &c) {
        if (c.titulo == "Envíos VELMORAN")
            *alResumir = QDir(datos).entryList(QDir::Files | QDir::Hidden);
    };
    EnviaTodo();
    EXPECT_EQ(*alResumir, (QStringList{"VELMORAN00.db", "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
}

// A reception killed in its merge leaves its unpacking folder; the next
// reception and the next backup remove such folders, but never the one a
// living reception holds.
TEST_F(Paquetes, LaCarpetaDeUnaRecepcionMuertaLaBorraLaSiguienteORespaldoNoLaDeUnaViva)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    const QString zip = EnviaTodo();
    const auto carpetas = [&] { return QDir(destino.ctx->RutaDatos).entryList({"Recive-*"}, QDir::Dirs | QDir::Hidden); };
    const auto muere = [&] {
        const QStringList antes = carpetas();
        destino.bd().Cierra();
        EXPECT_EXIT(
            {
                destino.bd().Abre(destino.ctx->ArchivoBD);
                MuereAlEjecutar(destino.bd().Manejador(), "INSERT INTO main.D_DIAGNOSTICOS");
                Recepcion r(*destino.ctx);
                if (r.Abre(zip))
                    r.Recibe(true, {});
                std::exit(0);
            },
            ::testing::KilledBySignal(SIGKILL), "");
        destino.bd().Abre(destino.ctx->ArchivoBD);
        // A forked child draws the parent's next random name: the folder left
        // gets a name of its own.
        QStringList dejada = carpetas();
        for (const QString &c : antes)
            dejada.removeOne(c);
        ASSERT_EQ(dejada.size(), 1);
        QDir(destino.ctx->RutaDatos).rename(dejada[0], "Recive-MUERT" + QString::number(carpetas().size()));
    };
    muere();
    ASSERT_EQ(carpetas(), QStringList{"Recive-MUERT1"});
    EXPECT_TRUE(QFileInfo::exists(destino.ctx->RutaDatos + "/Recive-MUERT1/ENV0436.db"));

    Recepcion viva(*destino.ctx);
    ASSERT_TRUE(viva.Abre(zip));
    const QStringList suya = carpetas();
    ASSERT_EQ(suya.size(), 1);
    EXPECT_NE(suya, QStringList{"Recive-MUERT1"});

    muere();
    ASSERT_EQ(carpetas().size(), 2);
    ASSERT_TRUE(Respaldo(*destino.ctx, {}).Respalda(dir.filePath("VELMORAN0436_061226.ZIP"))) << qPrintable(destino.mensajes.Ultimo());
    EXPECT_EQ(carpetas(), suya);
    ASSERT_TRUE(viva.Recibe(true, {"cSexo"}));
    EXPECT_EQ(Contenido(destino.bd()), Contenido(p.bd()));
    EXPECT_EQ(carpetas(), QStringList());
}

} // namespace
