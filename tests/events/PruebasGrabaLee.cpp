#include "FixtureEventos.h"

#include "events/MapaEvento.h"
#include "platform/UsoDeArchivo.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>
#include <functional>
#include <sqlite3.h>

namespace {

const QStringList Detalles = {"D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion", "D_Diagnosticos"};

class GrabaLee : public PruebaAlmacen {
protected:
    // A trigger that refuses a write into a table stands for any failure mid-save.
    void Rechaza(const char *operacion, const char *tabla)
    {
        prog.Ejecuta(QStringLiteral("CREATE TRIGGER falla BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'falla inducida'); END")
                         .arg(QLatin1String(operacion), QLatin1String(tabla)));
    }
    QStringList Diagnosticos() { return prog.Filas("SELECT Orden, CodDiagnostico FROM D_Diagnosticos ORDER BY Orden"); }
    QString Integridad() { return prog.Valor("PRAGMA integrity_check").toString() + QString::number(prog.Cuenta("D_EVENTO")); }
    // The save refused while the open file is not the one at its path.
    static QString Rehusa(const QString &archivo)
    {
        return "El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el programa estaba abierto; "
               "no se guardó nada. Devuelva el archivo a su lugar y vuelva a intentarlo, o cierre el programa: al cerrarlo, "
               "lo que ya estaba guardado se escribe de nuevo en ese lugar o, si otro archivo lo ocupa, en un archivo nuevo "
               "junto a él, y se le dice dónde.....";
    }
};

TEST_F(GrabaLee, AltaSeLeeComoSeCapturo)
{
    DatosEvento d = EventoValido();
    d.marcados[ListaHoja::Derechohabiencia] = {"G"};
    Graba(d);
    // Read back into another sheet: every field as it was captured.
    HojaDatos otra;
    modEvento lector(*prog.ctx, otra);
    ASSERT_TRUE(lector.CargaEventos(lector.ConsultaEventos));
    for (const CampoHoja &c : CamposHoja())
        EXPECT_EQ(otra.Texto(c.indice), c.indice == 76 ? "S001" : d.textos.value(c.indice)) << "campo " << c.indice;
    EXPECT_EQ(otra.Fecha(0) + otra.Fecha(1) + otra.Etiqueta(1), d.fechaOcurrencia + d.fechaAtencion + "JUNIO");
    for (auto it = d.marcados.cbegin(); it != d.marcados.cend(); ++it)
        EXPECT_EQ(otra.CodigosMarcados(it.key()), it.value()) << int(it.key());
    // No sexual violence ticked: only the care types below 7 are offered.
    EXPECT_EQ(otra.Elementos(ListaHoja::TipoAtencion).size(), 6);
    ASSERT_EQ(otra.Afecciones().size(), 2);
    EXPECT_EQ(otra.Afecciones()[1].afeccion, "S008");
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty());
}

// The day's count follows the store's own new events and edits without
// counting again; any other write to the events, from this connection or
// another, a delete and a new day have it counted again.
TEST_F(GrabaLee, LaCuentaDelDiaSigueLoQueGrabaLaHojaYCuentaDeNuevoTrasOtraEscritura)
{
    Graba(EventoValido());
    static int conteos;
    conteos = 0;
    sqlite3_trace_v2(
        prog.bd().Manejador(), SQLITE_TRACE_STMT,
        [](unsigned, void *, void *, void *sql) {
            conteos += std::strstr(static_cast<const char *>(sql), "WHERE FechaCaptura = ?") != nullptr;
            return 0;
        },
        nullptr);
    auto otraConexion = [this](const char *sql) {
        sqlite3 *db = nullptr;
        sqlite3_open(prog.ctx->ArchivoBD.toUtf8().constData(), &db);
        sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
        sqlite3_close(db);
    };
    const QDate hoy = prog.reloj.Hoy();
    const struct {
        const char *paso;
        std::function<void()> haz;
        int cuenta;
        int conteos;
    } pasos[] = {
        {"primera vez", [] {}, 1, 1},
        {"otra vez", [] {}, 1, 1},
        {"alta", [&] { Graba(Otro("DFSSA000012", 124, "15/06/2004")); }, 2, 1},
        {"cambio", [&] { Lee(); ASSERT_TRUE(almacen->ModificaEvento()); }, 2, 1},
        {"esta conexión", [&] { prog.Ejecuta("UPDATE D_EVENTO SET FechaCaptura = '2000-01-01' WHERE Folio = 124"); }, 1, 2},
        {"otra conexión", [&] { otraConexion("UPDATE D_EVENTO SET FechaCaptura = '2030-01-02' WHERE Folio = 124"); }, 1, 3},
        {"otro día", [&] { prog.reloj.Fija(QDateTime(QDate(2030, 1, 2), QTime(9, 0))); }, 1, 4},
        {"baja", [&] { Lee(); ASSERT_TRUE(almacen->BorraEvento()); }, 1, 5},
        {"día de antes", [&] { prog.reloj.Fija(QDateTime(hoy, QTime(9, 0))); }, 0, 6},
    };
    for (const auto &p : pasos) {
        p.haz();
        EXPECT_EQ(almacen->CapturadosHoy(), p.cuenta) << p.paso;
        EXPECT_EQ(conteos, p.conteos) << p.paso;
    }
    sqlite3_trace_v2(prog.bd().Manejador(), 0, nullptr, nullptr);
}

TEST_F(GrabaLee, SexualAbreTodosLosTiposDeAtencionAlLeer)
{
    DatosEvento d = EventoValido();
    d.marcados[ListaHoja::TipoViolencia] = {"7"};
    d.marcados[ListaHoja::TipoAtencion] = {"1", "7"};
    ASSERT_TRUE(almacen->CargaListas());
    // The sheet's rules would reload the care types once 7 is ticked.
    LlenaHoja(hoja, d);
    almacen->CargaLista("TipoAtencion", "CodTipoAtencion", ListaHoja::TipoAtencion);
    LlenaHoja(hoja, d);
    ASSERT_TRUE(almacen->AltaEvento());
    HojaDatos otra;
    modEvento lector(*prog.ctx, otra);
    ASSERT_TRUE(lector.CargaEventos(lector.ConsultaEventos));
    EXPECT_EQ(otra.Elementos(ListaHoja::TipoAtencion).size(), 9);
    EXPECT_EQ(otra.CodigosMarcados(ListaHoja::TipoAtencion), (QStringList{"1", "7"}));
    // A catalog that cannot be read leaves its list empty, and nothing is said.
    prog.Ejecuta("DROP TABLE cEfectos");
    EXPECT_FALSE(lector.CargaLista("Efectos", "CodEfectos", ListaHoja::AgresorEfectos) || !otra.Elementos(ListaHoja::AgresorEfectos).isEmpty());
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty() && prog.mensajes.beeps == 0);
}

// Rows written by another program that the lists do not offer (care type 8
// without sexual violence, violence types gone from their catalog) are shown
// ticked after the offered items, in number order among themselves, when the
// event is read; a save without changes keeps them; what the user unticks goes.
TEST_F(GrabaLee, FilasGuardadasQueLaListaNoOfreceSeMuestranMarcadasYSeConservan)
{
    const QString tipos = "SELECT 'A', CodTipoAtencion FROM D_TipoAtencion UNION ALL "
                          "SELECT 'V', CodTipoViolencia FROM D_TipoViolencia ORDER BY 1, 2";
    const QStringList atencionOfrecida = {"1   MEDICA*", "2   PSICOLOGICA*", "3   QUIRURGICA", "4   PSIQUIATRICA",
                                          "5   CONSEJERIA", "6   OTRA ATENCION"};
    const QStringList violenciaOfrecida = {"6   FISICA*", "7   SEXUAL", "8   PSICOLOGICA*", "9   ECONOMICA O PATRIMONIAL",
                                           "10   ABANDONO Y/O NEGLIGENCIA"};
    const struct {
        const char *caso;
        QList<std::pair<QString, int>> guardadas;   // 'A' care type or 'V' violence type, its code
        QStringList atencion, violencia;            // the lists read, "*" ticked
    } casos[] = {
        {"atención 8 y violencia 99", {{"A", 8}, {"V", 99}},
         atencionOfrecida + QStringList{"8   PROFILAXIS VIH*"}, violenciaOfrecida + QStringList{"99   CVE INEXISTENTE*"}},
        // Stored 11 first; 5 comes first all the same, as a number, not as text.
        {"violencias 11 y 5", {{"V", 11}, {"V", 5}},
         atencionOfrecida, violenciaOfrecida + QStringList{"5   CVE INEXISTENTE*", "11   CVE INEXISTENTE*"}},
    };
    const auto lista = [this](ListaHoja l) {
        QStringList textos;
        for (const ElementoLista &e : hoja.Elementos(l))
            textos << e.texto + (e.marcado ? "*" : "");
        return textos;
    };
    Graba(EventoValido());
    const QStringList propias = prog.Filas(tipos);
    ASSERT_EQ(propias, QStringList({"A|1", "A|2", "V|6", "V|8"}));
    for (const auto &c : casos) {
        for (const auto &[tipo, codigo] : c.guardadas)
            prog.Ejecuta(tipo == "A" ? "INSERT INTO D_TipoAtencion SELECT CLUES, Folio, fechaAtencion, ? FROM D_EVENTO"
                                     : "INSERT INTO D_TipoViolencia SELECT CLUES, Folio, fechaAtencion, ? FROM D_EVENTO",
                         {codigo});
        const QStringList antes = prog.Filas(tipos);
        Lee();
        EXPECT_EQ(lista(ListaHoja::TipoAtencion), c.atencion) << c.caso;
        EXPECT_EQ(lista(ListaHoja::TipoViolencia), c.violencia) << c.caso;
        ASSERT_TRUE(almacen->ModificaEvento()) << c.caso << ": " << prog.mensajes.Ultimo().toStdString();
        EXPECT_EQ(prog.Filas(tipos), antes) << c.caso;
        // Unticked by the user, the stored codes go with the save.
        for (ListaHoja l : {ListaHoja::TipoAtencion, ListaHoja::TipoViolencia}) {
            const QList<ElementoLista> &elementos = hoja.Elementos(l);
            const int ofrecidos = int((l == ListaHoja::TipoAtencion ? atencionOfrecida : violenciaOfrecida).size());
            for (int i = ofrecidos; i < elementos.size(); ++i)
                hoja.Marca(l, i, false);
        }
        ASSERT_TRUE(almacen->ModificaEvento()) << c.caso;
        EXPECT_EQ(prog.Filas(tipos), propias) << c.caso;
    }
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty());
}

// A stored code that sorts before the offered ones goes after them: the second
// violence type stays "7", and with it ticked every care type is offered.
TEST_F(GrabaLee, UnCodigoGuardadoQueNoSeOfreceNoMueveLosDemasDeSuLugar)
{
    Graba(EventoValido());
    prog.Ejecuta("INSERT INTO D_TipoViolencia (CLUES, Folio, fechaAtencion, CodTipoViolencia) "
                 "SELECT CLUES, Folio, fechaAtencion, c FROM D_EVENTO, (SELECT 1 AS c UNION SELECT 7)");
    Lee();
    const QList<ElementoLista> &violencia = hoja.Elementos(ListaHoja::TipoViolencia);
    ASSERT_GT(violencia.size(), 2);
    EXPECT_TRUE(violencia[1].texto.startsWith("7   ")) << violencia[1].texto.toStdString();
    EXPECT_EQ(violencia.last().texto, "1   CVE INEXISTENTE");
    EXPECT_EQ(hoja.CodigosMarcados(ListaHoja::TipoViolencia), (QStringList{"6", "7", "8", "1"}));
    EXPECT_TRUE(hoja.Elementos(ListaHoja::TipoAtencion).size() > 6);   // the care types of 7 and more too
}

// Values longer than their fields (stored elsewhere) and folios past 2^53 are
// read with the sheet's formats and saved back unchanged.
TEST_F(GrabaLee, LoGuardadoSeLeeConSuFormatoYSeGuardaIgualAunConFoliosGrandes)
{
    Graba(EventoValido());
    const QString folio = "9007199254740993";
    prog.Ejecuta("PRAGMA foreign_keys = OFF");
    for (const QString &t : Detalles)
        prog.Ejecuta(QStringLiteral("UPDATE %1 SET Folio = %2").arg(t, folio));
    prog.Ejecuta("UPDATE D_EVENTO SET Folio = " + folio + ", Expediente = 'EXP-0123456789', Afiliacion = '12345', "
                 "HoraOcurrencia = '07:45', HorasUrgencias = 123, MinutosUrgencias = 0, CodEmbarazada = NULL, Edad = 5, "
                 "HorasTraslado = 3, MinutosTraslado = NULL");
    prog.Ejecuta("PRAGMA foreign_keys = ON");
    const QStringList antes = prog.Filas("SELECT * FROM D_EVENTO");
    Lee();
    const QMap<int, QString> esperado = {{22, folio}, {35, "EXP-0123456789"}, {33, "12345"}, {34, ""}, {49, "07"},
                                         {50, "45"}, {72, "123"}, {73, "00"}, {39, ""}, {36, "5"}, {63, "03"}, {64, ""}};
    for (auto it = esperado.cbegin(); it != esperado.cend(); ++it)
        EXPECT_EQ(hoja.Texto(it.key()), it.value()) << "campo " << it.key();
    ASSERT_TRUE(almacen->ModificaEvento()) << prog.mensajes.Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT * FROM D_EVENTO"), antes);
    EXPECT_EQ(prog.Cuenta("D_Diagnosticos", "Folio = " + folio), 2);
    ASSERT_TRUE(almacen->BorraEvento());
    EXPECT_EQ(prog.Cuenta("D_EVENTO") + prog.Cuenta("D_Diagnosticos"), 0);
}

TEST_F(GrabaLee, ModificaFechaLaEdicionYConservaLaCaptura)
{
    Graba(EventoValido());
    Lee();
    prog.reloj.Fija(QDateTime(QDate(2027, 1, 3), QTime(9, 0)));
    ASSERT_TRUE(almacen->ModificaEvento()) << prog.mensajes.Ultimo().toStdString();
    EXPECT_EQ(prog.Filas("SELECT FechaCaptura, FechaEdicion FROM D_EVENTO"), QStringList{"2026-12-06|2027-01-03"});
}

// Reading an event discards edits of the diagnosis list, and an event
// without ticks or diagnoses empties the lists.
TEST_F(GrabaLee, LecturaReconstruyeRejillaYListas)
{
    Graba(EventoValido());
    DatosEvento vacio = Otro("DFSSA000024", 5, "01/03/2004");
    vacio.marcados.clear();
    vacio.diagnosticos.clear();
    Graba(vacio);
    EXPECT_EQ(prog.Cuenta("D_Diagnosticos") + prog.Cuenta("D_TipoAtencion"), 4);
    Lee();
    hoja.GridAfeccionesEditado = true;
    ASSERT_TRUE(almacen->BorraAfeccion(1));
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Afecciones().size(), 2);
    almacen->rsAtencion.MueveSiguiente();
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Texto(23) + hoja.Texto(76), "DFSSA000024");
    EXPECT_TRUE(hoja.Afecciones().isEmpty());
    for (int l = 0; l < 5; ++l)
        EXPECT_TRUE(hoja.CodigosMarcados(ListaHoja(l)).isEmpty()) << l;
}

// The event just saved, read back, finds its diagnoses already in the work
// table, which is then not written; a table that differs takes them again.
TEST_F(GrabaLee, LaListaDeTrabajoQueYaTieneLoGuardadoNoSeReescribe)
{
    Graba(EventoValido());
    sqlite3 *h = prog.bd().Manejador();
    const int antes = sqlite3_total_changes(h);
    Lee();
    EXPECT_EQ(sqlite3_total_changes(h), antes);
    EXPECT_EQ(prog.Filas("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"), (QStringList{"1|S001", "2|S008"}));

    prog.Ejecuta("UPDATE TMPGRIDAFEC SET AFECCION = 'T009' WHERE NUMAFEC = 2");
    const int cambiada = sqlite3_total_changes(h);
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_GT(sqlite3_total_changes(h), cambiada);
    EXPECT_EQ(prog.Filas("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"), (QStringList{"1|S001", "2|S008"}));
    EXPECT_EQ(hoja.Afecciones().size(), 2);
    EXPECT_EQ(hoja.Texto(76), "S001");
}

// A blank number, then a write refused midway: nothing stays written.
TEST_F(GrabaLee, FallaEnAltaNoDejaNadaEscrito)
{
    Rechaza("INSERT", "D_TipoAtencion");
    DatosEvento d = EventoValido();
    d.textos[38] = QString();
    d.diagnosticos = QStringList{"S001", "S008", "S010"};
    ASSERT_TRUE(LlenaEvento(*almacen, d));
    ASSERT_TRUE(almacen->BorraAfeccion(2));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), "20 -- El campo 38 (CodSexo) debe contener un número; contiene \"\"");
    hoja.PonTexto(38, "2");
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_TRUE(prog.mensajes.Ultimo().endsWith(" -- Los datos no cumplen las reglas de la Base de Datos (falla inducida)"));
    for (const auto &c : prog.mensajes.cajas)
        EXPECT_TRUE(c.titulo == TituloHoja + " -- Alta" && c.icono == Mensajes::Icono::Informacion);
    for (const QString &t : Detalles + QStringList{"D_EVENTO"})
        EXPECT_EQ(prog.Cuenta(t), 0) << t.toStdString();
    // Once the cause is gone the same sheet saves, the list renumbered.
    prog.Ejecuta("DROP TRIGGER falla");
    EXPECT_TRUE(almacen->AltaEvento());
    EXPECT_EQ(Diagnosticos(), (QStringList{"1|S001", "2|S010"}));
}

// A change or a delete refused midway, or about an event no longer there, leaves the events as they were.
TEST_F(GrabaLee, FallaEnModificaOBajasDejaLosEventosComoEstaban)
{
    Graba(EventoValido());
    Graba(Otro("DFSSA000024", 5, "01/03/2004"));
    auto guardado = [this] { return prog.Filas("SELECT * FROM D_EVENTO") + prog.Filas("SELECT * FROM D_Diagnosticos ORDER BY 1, Orden")
                                    + prog.Filas("SELECT * FROM D_BajoEfectos ORDER BY 1, 4"); };
    const QStringList antes = guardado();
    Lee();
    hoja.PonTexto(29, "GOMEZ");
    Rechaza("INSERT", "D_BajoEfectos");
    EXPECT_FALSE(almacen->ModificaEvento());
    prog.Ejecuta("DROP TRIGGER falla");
    Rechaza("DELETE", "D_EVENTO");
    EXPECT_FALSE(almacen->BorraEvento());
    EXPECT_EQ(prog.mensajes.cajas.last().titulo, TituloHoja);
    prog.Ejecuta("DROP TRIGGER falla");
    hoja.PonTexto(22, "00000999");
    EXPECT_FALSE(almacen->ModificaEvento());
    EXPECT_EQ(prog.mensajes.cajas.size(), 3);
    EXPECT_EQ(prog.mensajes.cajas.last().titulo, TituloHoja + " -- Cambios");
    EXPECT_TRUE(prog.mensajes.Ultimo().contains(" -- No se encontró el Evento"));
    EXPECT_EQ(guardado(), antes);
    hoja.PonTexto(22, "00000123");
    EXPECT_TRUE(almacen->BorraEvento());
    for (const QString &t : Detalles + QStringList{"D_EVENTO"})
        EXPECT_EQ(prog.Cuenta(t, "CLUES <> 'DFSSA000024'"), 0) << t.toStdString();
}

TEST_F(GrabaLee, BaseMovidaOBorradaNoAceptaGrabarYAlCerrarGuardaLoConfirmado)
{
    Graba(EventoValido());
    const QString archivo = prog.ctx->ArchivoBD, movido = archivo + ".movido";
    const QString rehusa = "14 -- " + Rehusa(archivo);
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 2, "15/06/2004")));
    // Moved away the save is refused; back in place the same capture saves.
    ASSERT_TRUE(QFile::rename(archivo, movido));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), rehusa);
    ASSERT_TRUE(QFile::rename(movido, archivo));
    ASSERT_TRUE(almacen->AltaEvento());
    // Typed while in place: the sheet's list of diagnoses lives in the file.
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 3, "15/06/2004")));
    ASSERT_TRUE(QFile::remove(archivo));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), rehusa);
    // Closing puts what was confirmed back at the path, and says so.
    prog.bd().Cierra();
    EXPECT_EQ(prog.mensajes.Ultimo(), "El archivo de la Base de Datos " + archivo + " fue movido o borrado mientras el "
                                      "programa estaba abierto. Lo que estaba guardado se escribió de nuevo en " + archivo + ".");
    prog.bd().Abre(archivo);
    EXPECT_EQ(Integridad(), "ok2");
    // Renamed, the file itself gets it.
    ASSERT_TRUE(almacen->AltaEvento());
    ASSERT_TRUE(QFile::rename(archivo, movido));
    prog.bd().Cierra();
    prog.bd().Abre(movido);
    EXPECT_EQ(Integridad(), "ok3");
}

// SQLite leaves the -wal and -shm of a file moved while open at the old path,
// beside whatever then stands there: closing removes them, whether what was
// confirmed is written back at the path or, another file standing there,
// beside it; another connection of the moved file reads nothing through them
// any more, and leaves them too.
TEST_F(GrabaLee, BaseMovidaNoDejaSusDiariosEnLaRutaAnterior)
{
    const QString archivo = prog.ctx->ArchivoBD, movido = archivo + ".movido";
    const struct {
        const char *caso;
        bool otroEnSuRuta, otraConexion;
    } casos[] = {{"movida", false, false}, {"reemplazada", true, false}, {"movida, con otra conexión", false, true}};
    int folio = 0;
    for (const auto &c : casos) {
        Graba(Otro(EventoValido().textos[23], ++folio, "15/06/2004"));
        ASSERT_TRUE(QFileInfo::exists(archivo + "-wal") && QFileInfo::exists(archivo + "-shm")) << c.caso;
        // Another connection of the file by its old path shares its log.
        sqlite3 *otra = nullptr;
        if (c.otraConexion) {
            ASSERT_EQ(sqlite3_open(archivo.toUtf8().constData(), &otra), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(otra, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        ASSERT_TRUE(QFile::rename(archivo, movido)) << c.caso;
        if (c.otroEnSuRuta) {
            ASSERT_TRUE(EscribeArchivo(archivo, "de otro")) << c.caso;
        }
        prog.bd().Cierra();
        EXPECT_EQ(QDir(prog.ctx->RutaDatos).entryList({"*-wal", "*-shm"}, QDir::Files | QDir::Hidden), QStringList())
            << c.caso;
        if (c.otraConexion) {
            EXPECT_EQ(sqlite3_exec(otra, "SELECT count(*) FROM D_EVENTO", nullptr, nullptr, nullptr), SQLITE_IOERR);
        }
        sqlite3_close(otra);
        // The moved file holds everything; the one put at the path is untouched.
        prog.bd().Abre(movido);
        EXPECT_EQ(Integridad(), "ok" + QString::number(folio)) << c.caso;
        if (c.otroEnSuRuta) {
            EXPECT_EQ(LeeArchivo(archivo), "de otro");
        }
        prog.bd().Cierra();
        for (const QString &resto : {archivo, archivo + "-wal", archivo + "-shm"})
            QFile::remove(resto);
        ASSERT_TRUE(QFile::rename(movido, archivo)) << c.caso;
        prog.bd().Abre(archivo);
    }
}

// The diagnosis list of a capture in progress lives in the working database:
// closing and opening the connection keeps it, and rows that another opening
// finds there (left by a crash or by an older copy) give way to the sheet's list.
TEST_F(GrabaLee, LaListaDeLaHojaSobreviveAlCerrarYAbrirLaConexion)
{
    ASSERT_TRUE(LlenaEvento(*almacen, EventoValido()));
    const auto reabre = [this] {
        prog.bd().Cierra();
        prog.bd().Abre(prog.ctx->ArchivoBD);
    };
    reabre();
    ASSERT_TRUE(ExisteTabla(prog.bd(), "TMPGRIDAFEC"));
    EXPECT_EQ(prog.Filas("SELECT NUMAFEC, AFECCION FROM main.TMPGRIDAFEC"), (QStringList{"1|S001", "2|S008"}));
    prog.Ejecuta("UPDATE TMPGRIDAFEC SET AFECCION = 'T009' WHERE NUMAFEC = 2");
    reabre();
    ASSERT_TRUE(almacen->AltaEvento());
    EXPECT_EQ(Diagnosticos(), (QStringList{"1|S001", "2|S008"}));
}

// An older copy put at the database's path while the program runs: saving is
// refused, and closing writes everything confirmed into a new file beside it,
// under a name nothing stands at, leaving the copy as it was.
TEST_F(GrabaLee, BaseRepuestaDeUnaCopiaAnteriorAlCerrarGuardaLoConfirmadoEnUnArchivoNuevo)
{
    const QString clues = EventoValido().textos[23], archivo = prog.ctx->ArchivoBD, copia = prog.Carpeta() + "/copia.db";
    const QString datos = prog.ctx->RutaDatos + "/";
    Graba(EventoValido());
    prog.Ejecuta("VACUUM INTO ?", {copia});
    Graba(Otro(clues, 2, "15/06/2004"));
    Lee();
    hoja.PonTexto(29, "EDITADO");
    ASSERT_TRUE(almacen->ModificaEvento());
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(clues, 3, "15/06/2004")));
    ASSERT_TRUE(QFile::remove(archivo) && QFile::copy(copia, archivo));
    const QByteArray puesta = LeeArchivo(archivo);
    ASSERT_TRUE(EscribeArchivo(datos + "VELMORAN0436-recuperada.db", "de otro"));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), "14 -- " + Rehusa(archivo));

    prog.bd().Cierra();
    const QString nuevo = datos + "VELMORAN0436-recuperada-2.db";
    EXPECT_EQ(prog.mensajes.Ultimo(), "El archivo de la Base de Datos " + archivo + " fue reemplazado por otro mientras el "
                                      "programa estaba abierto. Lo que estaba guardado se escribió en el archivo nuevo " + nuevo
                                      + "; el archivo que ocupa ahora " + archivo + " no se modificó.");
    EXPECT_EQ(prog.mensajes.cajas.last().titulo, "VELMORAN");
    EXPECT_TRUE(LeeArchivo(archivo) == puesta && LeeArchivo(datos + "VELMORAN0436-recuperada.db") == "de otro");
    prog.bd().Abre(nuevo);
    EXPECT_EQ(Integridad() + prog.Filas("SELECT Folio, Paterno FROM D_EVENTO ORDER BY Folio").join(' '),
              "ok2" "2|EDITADO 123|PEREZ");
    EXPECT_EQ(Diagnosticos(), (QStringList{"1|S001", "1|S001", "2|S008", "2|S008"}));
}

TEST_F(GrabaLee, DiscoLlenoLoDiceConLoQueNecesitaOtroIntento)
{
    prog.bd().Cierra();
    DiscoPequeno disco(prog.Carpeta() + "/Datos");
    if (!disco.Montado())
        GTEST_SKIP() << "no se pudo montar un disco pequeño";
    prog.AbreBase();
    Graba(EventoValido());
    // The diagnosis list lives in the database too: typed before the disk fills.
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 2, "15/06/2004")));
    disco.Llena();
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), "13 -- No hay espacio suficiente en el disco (database or disk is full). No se guardó nada en "
                                          + prog.ctx->ArchivoBD + ". Libere al menos 8 MB en ese disco (la Base de Datos los "
                                          "necesita para su diario -wal y para pasarlo al archivo) y vuelva a intentarlo.");
    disco.Libera();
    ASSERT_TRUE(almacen->AltaEvento()) << prog.mensajes.Ultimo().toStdString();
    EXPECT_EQ(Integridad(), "ok2");
}

} // namespace
