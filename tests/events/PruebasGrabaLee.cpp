#include "FixtureEventos.h"

#include "events/MapaEvento.h"

namespace {

const QStringList Detalles = {"D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion",
                              "D_Diagnosticos"};

class GrabaLee : public PruebaAlmacen {
protected:
    // Changes stored rows behind the store's back.
    void Reescribe(const QString &evento, const QString &diagnosticos)
    {
        prog.Ejecuta("PRAGMA foreign_keys = OFF");
        prog.Ejecuta("UPDATE D_EVENTO SET " + evento);
        prog.Ejecuta("UPDATE D_Diagnosticos SET " + diagnosticos);
        prog.Ejecuta("PRAGMA foreign_keys = ON");
    }
    // A trigger that refuses a write into a table stands for any failure mid-save.
    void Rechaza(const char *operacion, const char *tabla)
    {
        prog.Ejecuta(QStringLiteral("CREATE TRIGGER falla BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'falla inducida'); "
                                    "END").arg(QLatin1String(operacion), QLatin1String(tabla)));
    }
    QStringList Diagnosticos() { return prog.Filas(QStringLiteral("SELECT Orden, CodDiagnostico FROM D_Diagnosticos "
                                                                  "ORDER BY Orden")); }
    QStringList Tmp() { return prog.Filas("SELECT NUMAFEC, AFECCION FROM TMPGRIDAFEC ORDER BY rowid"); }
};

TEST_F(GrabaLee, AltaEscribeElEventoYSusDetallesYSeLeeComoSeCapturo)
{
    Graba(EventoValido());
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty());
    EXPECT_EQ(prog.Filas(QStringLiteral("SELECT Clues, Folio, fechaAtencion, Afiliacion, Edad, CodEmbarazada, "
                                        "CodLeeEscribe, HoraOcurrencia, FechaOcurrencia, HorasTraslado, "
                                        "HorasUrgencias, CodCausaExt, FechaCaptura, FechaEdicion FROM D_EVENTO")),
              QStringList{"DFSSA000012|123|2004-06-15|123456789001|30|2|1|22:30|2004-06-14||2|Y040|"
                          "2026-12-06|2026-12-06"});
    EXPECT_EQ(prog.Valor("SELECT typeof(HorasTraslado) || typeof(Edad) || typeof(Materno) FROM D_EVENTO")
                  .toString(),
              "nullintegertext");
    EXPECT_EQ(prog.Filas("SELECT 'D', CodDerechohabiencia FROM D_Derechohabiencia UNION ALL SELECT 'V', CodTipoViolencia "
                         "FROM D_TipoViolencia UNION ALL SELECT CodAfectadoAgresor, CodEfectos FROM D_BajoEfectos "
                         "UNION ALL SELECT 'A', CodTipoAtencion FROM D_TipoAtencion UNION ALL SELECT Orden, "
                         "CodDiagnostico || fechaAtencion FROM D_Diagnosticos ORDER BY 1, 2"),
              (QStringList{"1|5", "1|S0012004-06-15", "2|1", "2|S0082004-06-15", "A|1", "A|2", "D|8", "V|6", "V|8"}));

    // Read back into another sheet: every field as it was captured.
    const DatosEvento d = EventoValido();
    HojaDatos otra;
    modEvento lector(*prog.ctx, otra);
    ASSERT_TRUE(lector.CargaEventos(lector.ConsultaEventos));
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty());
    for (const CampoHoja &c : CamposHoja())
        if (c.indice != 76) {
            EXPECT_EQ(otra.Texto(c.indice), d.textos.value(c.indice)) << "campo " << c.indice;
        }
    EXPECT_EQ(otra.Fecha(0) + otra.Fecha(1) + otra.Etiqueta(1), d.fechaOcurrencia + d.fechaAtencion + "JUNIO");
    for (auto it = d.marcados.cbegin(); it != d.marcados.cend(); ++it)
        EXPECT_EQ(otra.CodigosMarcados(it.key()), it.value()) << int(it.key());
    // No sexual violence ticked: only the care types below 7 are offered.
    EXPECT_EQ(QString::number(otra.Elementos(ListaHoja::TipoAtencion).size()) + otra.Elementos(ListaHoja::Derechohabiencia).first().texto,
              "60   NINGUNA");
    ASSERT_EQ(otra.Afecciones().size(), 2);
    EXPECT_EQ(otra.Afecciones()[1].afeccion + otra.Texto(76), "S008S001");
    EXPECT_FALSE(otra.GridAfeccionesEditado);
}

TEST_F(GrabaLee, FormatosDeLecturaDeValoresGuardados)
{
    Graba(EventoValido());
    Reescribe(QStringLiteral("Folio = 7, Afiliacion = '12345', HoraOcurrencia = '07:45', HoraAtencion = '23:05', "
                             "HorasUrgencias = 123, MinutosUrgencias = 0, CodEmbarazada = NULL, HorasTraslado = NULL, "
                             "Edad = 5"),
              "Folio = 7");
    Lee();
    const QMap<int, QString> esperado = {{22, "00000007"}, {33, "12345"}, {34, ""}, {49, "07"},
                                         {50, "45"}, {69, "23"}, {70, "05"}, {72, "123"}, {73, "00"},
                                         {39, ""}, {63, ""}, {36, "5"}};
    for (auto it = esperado.cbegin(); it != esperado.cend(); ++it)
        EXPECT_EQ(hoja.Texto(it.key()), it.value()) << "campo " << it.key();
    EXPECT_EQ(hoja.Afecciones().size(), 2);
}

// Values longer than their fields (stored elsewhere) are read and saved whole.
TEST_F(GrabaLee, GuardarSinCambiosDevuelveLoMismoAunConValoresMasLargosQueSuCampo)
{
    DatosEvento d = EventoValido();
    d.textos[33] = "ABCDEFGHIJ";
    d.textos[34] = "01";
    Graba(d);
    Reescribe("Folio = 123456789, Expediente = 'EXP-0123456789'", "Folio = 123456789");
    const QStringList antes = prog.Filas("SELECT * FROM D_EVENTO");
    Lee();
    EXPECT_EQ(hoja.Texto(22) + hoja.Texto(35), "123456789EXP-0123456789");
    prog.reloj.Fija(QDateTime(QDate(2026, 12, 6), QTime(11, 0)));
    ASSERT_TRUE(almacen->ModificaEvento());
    EXPECT_EQ(prog.Filas("SELECT * FROM D_EVENTO"), antes);
    EXPECT_EQ(prog.Valor("SELECT Afiliacion || Folio || Expediente FROM D_EVENTO").toString(), "ABCDEFGHIJ01123456789EXP-0123456789");
}

TEST_F(GrabaLee, FoliosDeCualquierTamanoSeLeenModificanYBorran)
{
    for (const char *folio : {"2147483648", "9007199254740993"}) {
        Graba(EventoValido());
        prog.Ejecuta("PRAGMA foreign_keys = OFF");
        for (const QString &t : Detalles + QStringList{"D_EVENTO"})
            prog.Ejecuta(QStringLiteral("UPDATE %1 SET Folio = %2").arg(t, folio));
        prog.Ejecuta("PRAGMA foreign_keys = ON");
        Lee();
        EXPECT_EQ(hoja.Texto(22) + QString::number(hoja.Afecciones().size()), folio + QString("2"));
        ASSERT_TRUE(almacen->ModificaEvento()) << folio << prog.mensajes.Ultimo().toStdString();
        EXPECT_EQ(prog.Valor("SELECT Folio FROM D_EVENTO").toString(), folio);
        EXPECT_EQ(prog.Cuenta("D_Diagnosticos", QStringLiteral("Folio = %1").arg(folio)), 2);
        ASSERT_TRUE(almacen->BorraEvento()) << folio;
        EXPECT_EQ(prog.Cuenta("D_EVENTO") + prog.Cuenta("D_Diagnosticos"), 0);
    }
}

TEST_F(GrabaLee, ModificaReemplazaLosDetallesYRenumeraLosDiagnosticos)
{
    DatosEvento d = EventoValido();
    d.diagnosticos = QStringList{"S001", "S008", "S010"};
    Graba(d);
    Lee();
    prog.reloj.Fija(QDateTime(QDate(2027, 1, 3), QTime(9, 0)));

    hoja.PonTexto(29, "GOMEZ");
    hoja.PonTexto(39, QString());
    hoja.Marca(ListaHoja::PacienteEfectos, 4, false);   // 5 NINGUNO
    hoja.Marca(ListaHoja::PacienteEfectos, 0, true);    // 1 ALCOHOL
    hoja.Marca(ListaHoja::AgresorEfectos, 0, false);
    hoja.Marca(ListaHoja::AgresorEfectos, 0, true);
    hoja.GridAfeccionesEditado = true;
    ASSERT_TRUE(almacen->BorraAfeccion(2));                           // S008: leaves 1 and 3
    ASSERT_TRUE(almacen->AgregaAfeccion(" T741 "));   // gets 4
    ASSERT_TRUE(almacen->ModificaEvento()) << prog.mensajes.Ultimo().toStdString();

    EXPECT_EQ(prog.Filas("SELECT Paterno, CodEmbarazada, FechaCaptura, FechaEdicion FROM D_EVENTO"),
              QStringList{"GOMEZ||2026-12-06|2027-01-03"});
    EXPECT_EQ(prog.Filas("SELECT CodAfectadoAgresor, CodEfectos FROM D_BajoEfectos ORDER BY 1, 2"),
              (QStringList{"1|1", "2|1"}));
    EXPECT_EQ(Diagnosticos() + Tmp(), (QStringList{"1|S001", "2|S010", "3|T741", "1|S001", "2|S010", "3|T741"}));
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 1);
}

TEST_F(GrabaLee, SinMarcasNiDiagnosticosSoloQuedaElEvento)
{
    Graba(EventoValido());
    DatosEvento vacio = Otro("DFSSA000024", 5, "01/03/2004");
    vacio.marcados.clear();
    vacio.diagnosticos.clear();
    Graba(vacio);
    for (const QString &t : Detalles)
        EXPECT_EQ(prog.Cuenta(t, "CLUES = 'DFSSA000024'"), 0) << t.toStdString();
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 2);

    // Read after an event with diagnoses: the list and the entry field empty.
    Lee();
    ASSERT_EQ(hoja.Texto(76), "S001");
    almacen->rsAtencion.MueveSiguiente();
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Texto(23) + hoja.Texto(76), "DFSSA000024");
    EXPECT_TRUE(hoja.Afecciones().isEmpty());
    for (int l = 0; l < 5; ++l)
        EXPECT_TRUE(hoja.CodigosMarcados(ListaHoja(l)).isEmpty()) << l;

    // Unticking everything and emptying the list removes the rows the first event had.
    almacen->rsAtencion.MueveInicio();
    ASSERT_TRUE(almacen->LeeEvento());
    ASSERT_TRUE(almacen->CargaListas());
    hoja.GridAfeccionesEditado = true;
    ASSERT_TRUE(almacen->PonAfeccionesTmp({}));
    ASSERT_TRUE(almacen->ModificaEvento()) << prog.mensajes.Ultimo().toStdString();
    for (const QString &t : Detalles)
        EXPECT_EQ(prog.Cuenta(t, "CLUES = 'DFSSA000012'"), 0) << t.toStdString();
    EXPECT_TRUE(prog.Cuenta("D_EVENTO") == 2 && prog.mensajes.cajas.isEmpty());
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
    ASSERT_EQ(prog.mensajes.cajas.size(), 2);
    EXPECT_TRUE(prog.mensajes.Ultimo().endsWith(" -- Los datos no cumplen las reglas de la Base de Datos (falla inducida)")) << prog.mensajes.Ultimo().toStdString();
    for (const auto &c : prog.mensajes.cajas) {
        EXPECT_TRUE(c.titulo == TituloHoja + " -- Alta" && c.icono == Mensajes::Icono::Informacion);
    }
    for (const QString &t : Detalles + QStringList{"D_EVENTO"})
        EXPECT_EQ(prog.Cuenta(t), 0) << t.toStdString();
    // The work table keeps its numbering: the list is as the user left it.
    EXPECT_EQ(Tmp(), (QStringList{"1|S001", "3|S010"}));
    // Once the cause is gone the same sheet saves.
    prog.Ejecuta("DROP TRIGGER falla");
    EXPECT_TRUE(almacen->AltaEvento());
    EXPECT_EQ(Diagnosticos(), (QStringList{"1|S001", "2|S010"}));
}

TEST_F(GrabaLee, BaseMovidaOBorradaNoAceptaGrabarYConservaLaCaptura)
{
    Graba(EventoValido());
    const QString archivo = prog.ctx->ArchivoBD, movido = archivo + ".movido";
    const QString refusal = "14 -- El archivo de la Base de Datos " + archivo
                            + " fue movido o borrado mientras el programa estaba abierto; no se guardó nada. Devuelva "
                              "el archivo a su lugar y vuelva a intentarlo, o cierre el programa.....";
    ASSERT_TRUE(QFile::rename(archivo, movido));
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 2, "15/06/2004")));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo() + hoja.Texto(22), refusal + "2");
    // Back in its place, the same capture saves.
    ASSERT_TRUE(QFile::rename(movido, archivo));
    ASSERT_TRUE(almacen->AltaEvento()) << prog.mensajes.Ultimo().toStdString();
    EXPECT_EQ(prog.Cuenta("D_EVENTO"), 2);
    ASSERT_TRUE(QFile::remove(archivo));
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 3, "15/06/2004")));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), refusal);
    // Closing puts what was confirmed back at the path.
    prog.bd().Cierra();
    prog.bd().Abre(archivo);
    EXPECT_EQ(prog.Valor("PRAGMA integrity_check").toString() + QString::number(prog.Cuenta("D_EVENTO")), "ok2");
}

TEST_F(GrabaLee, BaseRenombradaRecibeAlCerrarLoConfirmado)
{
    Graba(EventoValido());
    const QString movido = prog.ctx->ArchivoBD + ".movido";
    ASSERT_TRUE(QFile::rename(prog.ctx->ArchivoBD, movido));
    prog.bd().Cierra();
    prog.bd().Abre(movido);
    EXPECT_EQ(prog.Valor("PRAGMA integrity_check").toString() + QString::number(prog.Cuenta("D_EVENTO")), "ok1");
}

TEST_F(GrabaLee, DiscoLlenoLoDiceConLoQueNecesitaOtroIntento)
{
    prog.bd().Cierra();
    DiscoPequeno disco(prog.Carpeta() + "/Datos");
    if (!disco.Montado())
        GTEST_SKIP() << "no se pudo montar un disco pequeño";
    prog.AbreBase();
    Graba(EventoValido());
    disco.Llena();
    ASSERT_TRUE(LlenaEvento(*almacen, Otro(EventoValido().textos[23], 2, "15/06/2004")));
    EXPECT_FALSE(almacen->AltaEvento());
    EXPECT_EQ(prog.mensajes.Ultimo(), "13 -- No hay espacio suficiente en el disco (database or disk is full). No se "
                                      "guardó nada en " + prog.ctx->ArchivoBD + ". Libere al menos 8 MB en ese disco "
                                      "(la Base de Datos los necesita para su diario -wal y para pasarlo al archivo) "
                                      "y vuelva a intentarlo.");
    disco.Libera();
    ASSERT_TRUE(almacen->AltaEvento()) << prog.mensajes.Ultimo().toStdString();
    EXPECT_EQ(prog.Valor("PRAGMA integrity_check").toString() + QString::number(prog.Cuenta("D_EVENTO")), "ok2");
}

TEST_F(GrabaLee, FallaEnModificaOEventoDesaparecidoDejanElEventoComoEstaba)
{
    Graba(EventoValido());
    auto guardado = [this] {
        return prog.Filas("SELECT * FROM D_EVENTO") +
               prog.Filas("SELECT * FROM D_Diagnosticos ORDER BY Orden") +
               prog.Filas("SELECT * FROM D_TipoAtencion ORDER BY 4");
    };
    const QStringList antes = guardado();
    Lee();
    hoja.PonTexto(29, "GOMEZ");
    Rechaza("INSERT", "D_BajoEfectos");
    EXPECT_FALSE(almacen->ModificaEvento());
    EXPECT_EQ(prog.mensajes.cajas.size(), 1);
    EXPECT_EQ(guardado() << QString::number(prog.Cuenta("D_BajoEfectos")), antes + QStringList{"2"});
    // An event that is no longer there under the sheet's key.
    prog.Ejecuta("DROP TRIGGER falla");
    hoja.PonTexto(22, "00000999");
    EXPECT_FALSE(almacen->ModificaEvento());
    EXPECT_EQ(prog.mensajes.cajas.last().titulo, TituloHoja + " -- Cambios");
    EXPECT_TRUE(prog.mensajes.Ultimo().contains(" -- No se encontró el Evento"));
    EXPECT_EQ(guardado(), antes);
}

TEST_F(GrabaLee, BajasBorraDetallesYEventoJuntosOFallaEntero)
{
    Graba(EventoValido());
    Graba(Otro("DFSSA000024", 5, "01/03/2004"));
    Lee();
    ASSERT_EQ(hoja.Texto(23), "DFSSA000012");

    Rechaza("DELETE", "D_EVENTO");
    EXPECT_FALSE(almacen->BorraEvento());
    EXPECT_EQ(prog.mensajes.cajas.last().titulo, TituloHoja);
    EXPECT_EQ(prog.Cuenta("D_EVENTO") * 10 + prog.Cuenta("D_Diagnosticos"), 24);

    prog.Ejecuta("DROP TRIGGER falla");
    EXPECT_TRUE(almacen->BorraEvento());
    EXPECT_EQ(prog.Filas("SELECT Clues FROM D_EVENTO"), QStringList{"DFSSA000024"});
    for (const QString &t : Detalles)
        EXPECT_EQ(prog.Cuenta(t, "CLUES <> 'DFSSA000024'"), 0) << t.toStdString();
}

TEST_F(GrabaLee, ListasSeLlenanYMarcanPorSuTablaDeDetalle)
{
    DatosEvento d = EventoValido();
    d.marcados = {{ListaHoja::Derechohabiencia, {"G"}}, {ListaHoja::TipoViolencia, {"7"}}, {ListaHoja::PacienteEfectos, {"1"}},
                  {ListaHoja::AgresorEfectos, {"1", "3"}}, {ListaHoja::TipoAtencion, {"1", "7"}}};
    ASSERT_TRUE(almacen->CargaListas());
    // Sexual violence opens every care type; the sheet's rules would reload the list.
    LlenaHoja(hoja, d);
    almacen->CargaLista("TipoAtencion", "CodTipoAtencion", ListaHoja::TipoAtencion);
    LlenaHoja(hoja, d);
    ASSERT_TRUE(almacen->PonAfeccionesTmp(d.diagnosticos));
    ASSERT_TRUE(almacen->AltaEvento());
    EXPECT_EQ(prog.Valor("SELECT CodDerechohabiencia FROM D_Derechohabiencia").toString(), "G");

    HojaDatos otra;
    modEvento lector(*prog.ctx, otra);
    ASSERT_TRUE(lector.CargaEventos(lector.ConsultaEventos));
    EXPECT_EQ(otra.Elementos(ListaHoja::TipoAtencion).size(), 9);
    for (auto it = d.marcados.cbegin(); it != d.marcados.cend(); ++it)
        EXPECT_EQ(otra.CodigosMarcados(it.key()), it.value()) << int(it.key());

    // A stored code the list does not offer ticks nothing; no rows untick all.
    const ClaveEvento clave = *lector.rsAtencion.Actual();
    prog.Ejecuta("DELETE FROM D_TipoAtencion");
    EXPECT_TRUE(lector.MarcaLista("TipoAtencion", "CodTipoAtencion", QString(), ListaHoja::TipoAtencion, clave)
                && otra.CodigosMarcados(ListaHoja::TipoAtencion).isEmpty());
    EXPECT_FALSE(lector.MarcaLista("EVENTO", "Clues", QString(), ListaHoja::TipoAtencion, clave));
    EXPECT_FALSE(lector.CargaLista("Estados", "CodEstado", ListaHoja::TipoAtencion));
    EXPECT_TRUE(otra.Elementos(ListaHoja::TipoAtencion).isEmpty());

    // An empty catalog empties its list; a catalog or detail table that cannot
    // be read leaves the list empty or untouched, and nothing is said.
    prog.Ejecuta("DELETE FROM cEfectos");
    EXPECT_TRUE(lector.CargaLista("Efectos", "CodEfectos", ListaHoja::PacienteEfectos)
                && otra.Elementos(ListaHoja::PacienteEfectos).isEmpty());
    prog.Ejecuta("DROP TABLE cEfectos");
    EXPECT_FALSE(lector.CargaLista("Efectos", "CodEfectos", ListaHoja::AgresorEfectos)
                 || !otra.Elementos(ListaHoja::AgresorEfectos).isEmpty());
    prog.Ejecuta("DROP TABLE D_TipoViolencia");
    EXPECT_FALSE(lector.MarcaLista("TipoViolencia", "CodTipoViolencia", QString(), ListaHoja::TipoViolencia, clave));
    EXPECT_EQ(otra.CodigosMarcados(ListaHoja::TipoViolencia), QStringList{"7"});
    EXPECT_TRUE(prog.mensajes.cajas.isEmpty() && prog.mensajes.beeps == 0);
}

TEST_F(GrabaLee, RejillaDeAfeccionesSeReconstruyePorOrden)
{
    Graba(EventoValido());
    // Stored out of order on disk: the list still follows Orden.
    prog.Ejecuta("DELETE FROM D_Diagnosticos");
    for (const auto &f : {std::pair{3, "T741"}, std::pair{1, "S001"}, std::pair{2, "S010"}})
        prog.Ejecuta("INSERT INTO D_Diagnosticos VALUES ('DFSSA000012', 123, '2004-06-15', ?, ?)",
                     {QString::fromLatin1(f.second), f.first});
    Lee();
    QStringList codigos;
    for (const FilaAfeccion &f : hoja.Afecciones())
        codigos << f.afeccion;
    EXPECT_EQ(codigos, (QStringList{"S001", "S010", "T741"}));

    // An edited list survives a refresh; reading the event again discards the edits.
    hoja.GridAfeccionesEditado = true;
    ASSERT_TRUE(almacen->BorraAfeccion(1));
    ASSERT_TRUE(almacen->BorraAfeccion(2));
    ASSERT_TRUE(almacen->AgregaAfeccion("S020"));
    ASSERT_TRUE(almacen->RefrescaGridAfecciones());
    ASSERT_EQ(hoja.Afecciones().size(), 2);
    EXPECT_EQ(QString::number(hoja.Afecciones()[1].numafec) + hoja.Texto(76), "4T741");
    ASSERT_TRUE(almacen->LeeEvento());
    EXPECT_EQ(hoja.Afecciones().size(), 3);

    // A cleared sheet has an empty list and an empty entry field.
    hoja.Limpia();
    ASSERT_TRUE(almacen->RefrescaGridAfecciones());
    EXPECT_TRUE(hoja.Afecciones().isEmpty() && hoja.Texto(76).isEmpty());
}

TEST_F(GrabaLee, ExisteYCapturadosHoy)
{
    Graba(EventoValido());
    const ClaveEvento clave{"dfssa000012", 123, QDate(2004, 6, 15)};
    EXPECT_EQ(almacen->ExisteEvento(clave), std::optional<bool>(true));
    EXPECT_EQ(almacen->ExisteEvento({clave.clues, 124, clave.fechaAtencion}), std::optional<bool>(false));
    EXPECT_EQ(almacen->CapturadosHoy(), std::optional<int>(1));
    prog.reloj.Fija(QDateTime(QDate(2026, 12, 7), QTime(8, 0)));
    EXPECT_EQ(almacen->CapturadosHoy(), std::optional<int>(0));
    prog.bd().Cierra();
    EXPECT_TRUE(!almacen->ExisteEvento(clave) && !almacen->CapturadosHoy());
}

} // namespace
