#include "FixtureTablas.h"

#include "tools/TablaDinamica.h"

#include <gmock/gmock.h>

namespace {

class PruebaDinamica : public PruebaTablas {
protected:
    QString Base() const { return Ruta("Datos/DinamicaVELMORAN.db"); }
    QString Libro() const { return Ruta("TablaDinamicaVELMORAN.xlsx"); }
};

struct CasoRegla {
    const char *nombre;
    QVariantMap evento;   // D_EVENTO columns of the case's event
    const char *columna;  // the D_EVENTO_DAT column
    const char *esperado;
    const char *clues = "DFQRV000015";
};

TEST_F(PruebaDinamica, CadaReglaDeReescrituraDaSuValor)
{
    p.Ejecuta("INSERT INTO cVez VALUES (0, 'CERO')");
    const CasoRegla casos[] = {
        // place rule: code, hyphen, description; null without a catalog row
        {"lugar_ocurrencia", {{"CodEstado", "09"}, {"CodMunicipio", "003"}, {"CodLocalidad", "0001"}}, "LOC_OCU", "0001-COYOACAN"},
        {"municipio_ocurrencia", {{"CodEstado", "09"}, {"CodMunicipio", "003"}}, "MPO_OCU", "003-COYOACAN"},
        {"estado_ocurrencia", {{"CodEstado", "09"}}, "ENT_OCU", "09-CIUDAD DE MEXICO"},
        {"localidad_inexistente", {{"CodEstado", "09"}, {"CodMunicipio", "003"}, {"CodLocalidad", "9998"}}, "LOC_OCU", "<null>"},
        {"estado_de_atencion", {}, "EDO_ATEN", "09-CIUDAD DE MEXICO"},
        {"unidad_fuera_del_catalogo", {}, "UNIDAD", "<null>", "ZZZZZ999999"},
        // code rule
        {"codigo_descrito", {{"CodSexo", 2}}, "SEXO", "MUJER"},
        {"codigo_inexistente_en_blanco", {{"CodSexo", 7}}, "SEXO", "<null>"},
        {"codigo_nulo_en_blanco", {}, "ESCOLARIDAD", "<null>"},
        {"codigo_vacio_se_busca_como_cero", {}, "VEZ", "CERO"},
        // ICD-10 rule
        {"afeccion_descrita", {{"CodAfecprin", "T07X"}}, "AFECPRIN", "T07X TRAUMATISMOS MULTIPLES, NO ESPECIFICADOS"},
        {"afeccion_inexistente_codigo_y_blanco", {{"CodAfecprin", "Q999"}}, "AFECPRIN", "Q999 "},
        {"afeccion_vacia_un_blanco", {}, "AFECPRIN", " "},
        {"causa_externa_inexistente_nula", {{"CodCausaExt", "Q999"}}, "CAUSAEXT", "<null>"},
        // age groups
        {"edad_cero_cualquier_unidad", {{"CodClaveEdad", 9}, {"Edad", 0}}, "GPO_QUIN", "< A 1"},
        {"horas_99", {{"CodClaveEdad", 0}, {"Edad", 99}}, "GPO_QUIN", "< A 1"},
        {"anos_4", {{"CodClaveEdad", 3}, {"Edad", 4}}, "GPO_QUIN", "01 A 04"},
        {"anos_5", {{"CodClaveEdad", 3}, {"Edad", 5}}, "GPO_QUIN", "05 A 14"},
        {"anos_24", {{"CodClaveEdad", 3}, {"Edad", 24}}, "GPO_QUIN", "15 A 24"},
        {"anos_44", {{"CodClaveEdad", 3}, {"Edad", 44}}, "GPO_QUIN", "25 A 44"},
        {"anos_64", {{"CodClaveEdad", 3}, {"Edad", 64}}, "GPO_QUIN", "45 A 64"},
        {"anos_65", {{"CodClaveEdad", 3}, {"Edad", 65}}, "GPO_QUIN", "65 Y MAS"},
        {"anos_999", {{"CodClaveEdad", 3}, {"Edad", 999}}, "GPO_QUIN", "NE"},
        {"anos_sin_edad", {{"CodClaveEdad", 3}}, "GPO_QUIN", "NE"},
        {"unidad_no_especificada", {{"CodClaveEdad", 9}, {"Edad", 999}}, "GPO_QUIN", " "},
    };
    int folio = 0;
    for (const CasoRegla &c : casos)
        Evento(++folio, "2004-06-15", c.evento, c.clues);

    GeneraTablaDinamica(*p.ctx);
    ASSERT_EQ(p.mensajes.cajas.size(), 1);
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Base()});
    folio = 0;
    for (const CasoRegla &c : casos)
        EXPECT_EQ(p.Valor(QStringLiteral("SELECT ifnull(%1, '<null>') FROM salida.D_EVENTO_DAT WHERE FOLIO = ?").arg(c.columna), {++folio}),
                  QString::fromUtf8(c.esperado)) << c.nombre;
}

TEST_F(PruebaDinamica, CopiaCatalogosYDetallesConDescripcionSinTocarLaBaseDeTrabajo)
{
    Evento(1, "2004-06-15");
    Detalle("D_BajoEfectos", 1, {2, 3});
    Detalle("D_BajoEfectos", 1, {1, 1});
    Detalle("D_Derechohabiencia", 1, {"0"});
    const QStringList tablas = p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master");

    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.Filas("SELECT name FROM sqlite_master UNION ALL SELECT name FROM sqlite_temp_master"), tablas);
    p.Ejecuta("ATTACH DATABASE ? AS salida", {Base()});
    EXPECT_EQ(p.Valor("SELECT count(*) FROM salida.sqlite_master WHERE type = 'table'").toInt(), 35 + 5);
    EXPECT_EQ(p.Valor("SELECT count(*) FROM salida.CatClues").toInt(), p.Cuenta("CATCLUES"));
    EXPECT_EQ(p.Filas("SELECT AFECTADOAGRESOR, EFECTOS FROM salida.D_EFECTOS_DAT UNION ALL SELECT DERECHOHABIENCIA, '' "
                      "FROM salida.D_DERECHOHABIENCIA_DAT ORDER BY 1"),
              QStringList({"AFECTADO (PACIENTE)|ALCOHOL", "AGRESOR|DROGAS ILEGALES", "NINGUNA|"}));
}

TEST_F(PruebaDinamica, UnaFallaSeMuestraYConservaLosArchivosAnteriores)
{
    Evento(1, "2004-06-15");
    EscribeArchivo(Base(), "anterior");
    EscribeArchivo(Libro(), "anterior");
    p.Ejecuta("DROP TABLE cSitio");

    GeneraTablaDinamica(*p.ctx);

    EXPECT_EQ(p.mensajes.Titulos(), QStringList{"Herramientas VELMORAN"});
    EXPECT_THAT(p.mensajes.Ultimo().toStdString(), ::testing::HasSubstr("cSitio"));
    EXPECT_EQ(LeeArchivo(Base()) + LeeArchivo(Libro()), "anterioranterior");
    EXPECT_EQ(QDir(Ruta("Datos")).entryList(QDir::Files | QDir::Hidden), QStringList({"DinamicaVELMORAN.db", "VELMORAN00.db",
                                              "VELMORAN0436.db", "VELMORAN0436.db-shm", "VELMORAN0436.db-wal"}));
    EXPECT_EQ(p.Filas("PRAGMA database_list").size(), 1);
}

} // namespace
