// The template database and the tool that builds it.
#include "comun/ProgramaTemporal.h"
#include "lookups/Descripciones.h"
#include "platform/BaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList Detalles = {"D_Derechohabiencia", "D_TipoViolencia", "D_BajoEfectos", "D_TipoAtencion",
                              "D_Diagnosticos"};

class Plantilla : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase("09", "2004"); }
    // A minimal event; the key is what the tests vary.
    void AltaEvento(const QString &clues, int folio, const QString &fecha) const
    {
        p.Ejecuta(QStringLiteral("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                                 "VALUES (?, ?, ?, 'PEREZ', ?)"),
                  {clues, folio, fecha, fecha});
    }
    int Cuenta(const QString &tabla, const QString &donde = {}, const QVariantList &valores = {}) const
    {
        return p.Cuenta(tabla, donde, valores);
    }

    ProgramaTemporal p;
};

} // namespace

TEST_F(Plantilla, EsUnaBaseVelmoranSana)
{
    EXPECT_TRUE(BaseDatos::EsBaseVelmoran(QStringLiteral(VELMORAN_PLANTILLA)));
    EXPECT_EQ(QList<QVariant>({p.Valor("PRAGMA application_id").toInt(), p.Valor("PRAGMA user_version"),
                               p.Valor("PRAGMA integrity_check"), p.Valor("PRAGMA foreign_key_check").isValid()}),
              QList<QVariant>({BaseDatos::IdAplicacion, 1, "ok", false}));
    for (const QString &t : Detalles + QStringList{"D_EVENTO", "BITACORA"})
        EXPECT_EQ(Cuenta(t), 0) << t.toStdString();
}

TEST_F(Plantilla, LaClaveDelEventoNoSeRepiteNiEnMinusculasYLasFechasSonIso)
{
    AltaEvento("DFSSA000012", 123, "2004-03-15");
    AltaEvento("DFSSA000012", 123, "2004-03-16");
    AltaEvento("DFSSA000012", 124, "2004-03-15");
    for (const QString &clues : {QStringLiteral("DFSSA000012"), QStringLiteral("dfssa000012")}) {
        try {
            AltaEvento(clues, 123, "2004-03-15");
            ADD_FAILURE() << "se aceptó un evento repetido con " << clues.toStdString();
        } catch (const ErrorBD &e) {
            EXPECT_TRUE(e.ViolaClave()) << e.Descripcion().toStdString();
        }
    }
    EXPECT_EQ(Cuenta("D_EVENTO"), 3);
    // Dates are kept in ISO form only.
    EXPECT_THROW(AltaEvento("DFSSA000012", 1, "15/03/2004"), ErrorBD);
    EXPECT_THROW(p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, FechaOcurrencia) "
                           "VALUES ('DFSSA000012', 2, '2004-03-15', '14/03/2004')"), ErrorBD);
}

TEST_F(Plantilla, LosDetallesNoSeRepitenYSiguenASuEvento)
{
    const QVariantList clave = {"DFSSA000012", 7, "2004-03-15"};
    AltaEvento("DFSSA000012", 7, "2004-03-15");
    const struct {
        const char *sql;
        QVariantList primero, repetido;
    } casos[] = {
        {"INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, ?)", {"G"}, {"g"}},
        {"INSERT INTO D_TipoViolencia VALUES (?, ?, ?, ?)", {7}, {7}},
        {"INSERT INTO D_TipoAtencion VALUES (?, ?, ?, ?)", {1}, {1}},
        {"INSERT INTO D_BajoEfectos VALUES (?, ?, ?, ?, ?)", {1, 4}, {1, 4}},
        {"INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", {"S010", 1}, {"S020", 1}},  // same Orden
        {"INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", {"T140", 2}, {"t140", 3}},  // same cause
    };
    for (const auto &c : casos) {
        p.Ejecuta(c.sql, clave + c.primero);
        EXPECT_THROW(p.Ejecuta(c.sql, clave + c.repetido), ErrorBD) << c.sql;
    }
    // The same substance for the patient and for the aggressor.
    p.Ejecuta("INSERT INTO D_BajoEfectos VALUES (?, ?, ?, 2, 4)", clave);

    // No detail without its event; deleting the event takes its details along.
    EXPECT_THROW(p.Ejecuta("INSERT INTO D_TipoAtencion VALUES (?, 8, ?, 1)", {clave[0], clave[2]}), ErrorBD);
    p.Ejecuta("DELETE FROM D_EVENTO WHERE Clues = ? AND Folio = ? AND fechaAtencion = ?", clave);
    for (const QString &t : Detalles)
        EXPECT_EQ(Cuenta(t), 0) << t.toStdString();
}

TEST_F(Plantilla, CadaCatalogoCodificadoTieneSusRespuestas)
{
    for (const QString &c : CatalogosCodificados()) {
        const QString tabla = "c" + c;
        const QString codigo = "Cod" + c;
        SCOPED_TRACE(tabla.toStdString());
        EXPECT_GE(Cuenta(tabla), 2);
        EXPECT_EQ(Cuenta(tabla, "Descripcion IS NULL OR Descripcion = ''"), 0);
        // Option lists read a code back from an item's first two characters.
        EXPECT_EQ(Cuenta(tabla, QStringLiteral("length(%1) > 2").arg(codigo)), 0);
        const QString tipo = c == QLatin1String("Derechohabiencia") ? "text" : "integer";
        EXPECT_EQ(Cuenta(tabla, QStringLiteral("typeof(%1) <> ?").arg(codigo), {tipo}), 0);
    }
}

TEST_F(Plantilla, EstanLosCodigosQueNombraElSistema)
{
    // Catalog and codes: the rules, reports and key filters of the capture sheet.
    const QStringList casos = QStringLiteral(
        "ClaveEdad:0,1,2,3,9 Sexo:1,2,9 Embarazada:1,2,9 LeeEscribe:1,2,9 Escolaridad:1,2,3,4,5,6,9 "
        "Derechohabiencia:0,8,9,G Festivo:1,2 Discapacidad:1,2,9 Intencionalidad:1,2,3,4,5,11 Vez:1,2,9 Agente:20 "
        "LesionadoVehiculo:1,2,3,9 UsoSeguridad:1,2,3,9 Equipo:1,2,3,4,9 Consecuencia:7,11,19 Prehospitalaria:1,2 "
        "Agresor:1,2,9 Parentesco:1,2,3,4,5,6,7,8,9 Servicio:1,2,3,4,5,9 Referido:1,2,3,4,5,6,7,9 "
        "Destino:1,2,3,4,5,6,7,8,9,10,11 MP:1,2 Responsable:1,2,3,9 TipoViolencia:7,8 TipoAtencion:1,2,3,4,5,6,7 "
        "Efectos:4,5 AfectadoAgresor:1,2").split(' ');
    for (const QString &caso : casos) {
        const QString catalogo = caso.section(':', 0, 0);
        for (const QString &cod : caso.section(':', 1).split(','))
            EXPECT_EQ(Cuenta("c" + catalogo, QStringLiteral("Cod%1 = ?").arg(catalogo), {cod}), 1)
                << catalogo.toStdString() << " " << cod.toStdString();
    }

    // Rules that go by an item's position in its list (lists are in code order).
    const auto enPosicion = [this](const QString &catalogo, int posicion) {
        const QString sql = QStringLiteral("SELECT Cod%1 FROM c%1 ORDER BY Cod%1 LIMIT 1 OFFSET ?").arg(catalogo);
        return p.Valor(sql, {posicion}).toString();
    };
    EXPECT_EQ(enPosicion("TipoViolencia", 1), "7");   // opens every care type
    EXPECT_EQ(enPosicion("Efectos", 3), "4");         // ticked for a group of aggressors

    // The pivot table's age groups compare these texts.
    EXPECT_EQ(p.Filas("SELECT Descripcion FROM cClaveEdad WHERE CodClaveEdad < 9 ORDER BY CodClaveEdad"),
              (QStringList{"HORAS", "DIAS", "MESES", "AÑOS"}));
    EXPECT_EQ(p.Valor("SELECT Descripcion FROM cDestino WHERE CodDestino = 5").toString(), "DEFUNCION");
}

TEST_F(Plantilla, LaGeografiaYLasUnidadesConcuerdan)
{
    EXPECT_EQ(Cuenta("cEstados", "CodEstado BETWEEN '01' AND '32'"), 32);
    for (const char *e : {"36", "99"})
        EXPECT_EQ(Cuenta("cEstados", "CodEstado = ?", {e}), 1) << e;
    EXPECT_EQ(Cuenta("cEstados", "length(CodEstado) <> 2"), 0);

    // Two states with enough municipalities and localities to filter on.
    for (const char *e : {"09", "15"}) {
        EXPECT_GE(Cuenta("cMunicipios", "CodEstado = ?", {e}), 10);
        EXPECT_GE(Cuenta("cLocalidades", "CodEstado = ?", {e}), 20);
        EXPECT_GE(Cuenta("CATCLUES", "CEDOCVE = ?", {e}), 10);
    }
    EXPECT_EQ(Cuenta("cMunicipios", "length(CodMunicipio) <> 3") + Cuenta("cLocalidades", "length(CodLocalidad) <> 4"), 0);

    // Every code points at a row of its parent catalog.
    const QList<QPair<const char *, const char *>> huerfanos = {
        {"cJurisdicciones j", "NOT EXISTS (SELECT 1 FROM cEstados e WHERE e.CodEstado = j.CodEstado)"},
        {"cMunicipios m", "NOT EXISTS (SELECT 1 FROM cJurisdicciones j "
                          "WHERE j.CodEstado = m.CodEstado AND j.CodJurisdiccion = m.CodJurisdiccion)"},
        {"cLocalidades l", "NOT EXISTS (SELECT 1 FROM cMunicipios m "
                           "WHERE m.CodEstado = l.CodEstado AND m.CodMunicipio = l.CodMunicipio)"},
        {"CATCLUES c", "NOT EXISTS (SELECT 1 FROM cLocalidades l "
                       "WHERE l.CodEstado = c.CEDOCVE AND l.CodMunicipio = c.CMPOCVE AND l.CodLocalidad = c.CLOCCVE)"},
        {"CATCLUES c", "c.CJURCVE <> '99' AND NOT EXISTS (SELECT 1 FROM cJurisdicciones j "
                       "WHERE j.CodEstado = c.CEDOCVE AND j.CodJurisdiccion = c.CJURCVE)"},
        {"CATCLUES c", "NOT EXISTS (SELECT 1 FROM SECINS s WHERE s.CINSCVE = c.CINSCVE) "
                       "OR NOT EXISTS (SELECT 1 FROM SECTUN t WHERE t.CTUNCVE = c.CTUNCVE)"},
    };
    for (const auto &h : huerfanos)
        EXPECT_EQ(Cuenta(h.first, h.second), 0) << h.second;

    // "99" is the report window's own line for units outside the jurisdictions.
    EXPECT_TRUE(Cuenta("cJurisdicciones", "CodJurisdiccion = '99'") == 0 && Cuenta("CATCLUES", "CJURCVE = '99'") > 0);

    const QRegularExpression forma(QStringLiteral("^[A-Z]{5}[0-9]{6}$"));
    for (const QString &clues : p.Filas("SELECT Clues FROM CATCLUES"))
        EXPECT_TRUE(forma.match(clues).hasMatch()) << clues.toStdString();
}

TEST_F(Plantilla, LaListaCie10CubreLesionesYCausasExternas)
{
    // Chapters as the pickers select them: four-character codes of '19' and '20'.
    for (const char *capitulo : {"19", "20"})
        EXPECT_GT(Cuenta("CATCIE10", "length(Causa) = 4 AND Capitulo = ?", {capitulo}), 1000) << capitulo;
    EXPECT_GT(Cuenta("CATCIE10", "length(Causa) = 4 AND Capitulo = '05'"), 0);
    EXPECT_EQ(Cuenta("CATCIE10", "(substr(Causa, 1, 1) IN ('S', 'T') AND Capitulo <> '19') OR "
                                 "(substr(Causa, 1, 1) IN ('V', 'W', 'X', 'Y') AND Capitulo <> '20')"), 0);
    EXPECT_EQ(Cuenta("CATCIE10 c", "NOT EXISTS (SELECT 1 FROM CAPITULO p WHERE p.IdCapitulo = c.Capitulo)"), 0);

    // Every subcategory has its category, which the reports roll up to.
    EXPECT_EQ(Cuenta("CATCIE10 s", "length(s.Causa) = 4 AND NOT EXISTS "
                                   "(SELECT 1 FROM CATCIE10 c WHERE c.Causa = substr(s.Causa, 1, 3))"),
              0);

    // Codes the rules and their examples name, and the obstetric codes the
    // diagnosis picker offers: all present, women of fertile age only.
    for (const char *c : {"Y079", "W010", "T140", "S010", "T07X", "O267", "O429", "O468", "O469", "O710", "O713",
                          "O714", "O715", "O716", "O717", "O718", "O719"})
        EXPECT_EQ(Cuenta("CATCIE10", "Causa = ?", {c}), 1) << c;
    for (const char *g : {"O04", "O05", "O06", "O07", "O20", "O68"})
        EXPECT_GE(Cuenta("CATCIE10", "length(Causa) = 4 AND substr(Causa, 1, 3) = ?", {g}), 3) << g;
    EXPECT_EQ(Cuenta("CATCIE10", "Causa LIKE 'O%' AND (lsex IS NOT '2' OR linf IS NULL OR lsup IS NULL)"), 0);

    // Limits, flags and withdrawals in the catalog's own forms.
    const QRegularExpression limite(QStringLiteral("^[0-9]{3}[HDMA]$"));
    for (const QString &l : p.Filas("SELECT linf FROM CATCIE10 WHERE linf IS NOT NULL UNION "
                                    "SELECT lsup FROM CATCIE10 WHERE lsup IS NOT NULL"))
        EXPECT_TRUE(limite.match(l).hasMatch()) << l.toStdString();
    for (const char *bandera : {"triv", "errad", "NotSemanal", "nin", "no_cbd", "a", "no_aph"})
        EXPECT_EQ(Cuenta("CATCIE10", QStringLiteral("%1 IS NOT NULL AND %1 <> 'T'").arg(bandera)), 0) << bandera;
    EXPECT_EQ(Cuenta("CATCIE10", "(lsex IS NOT NULL AND lsex NOT IN ('1', '2')) OR (Actualizac IS NOT NULL AND Actualizac <> 'B')"), 0);
    EXPECT_GE(Cuenta("CATCIE10", "Actualizac = 'B' AND length(Causa) = 4"), 2);
    EXPECT_GE(Cuenta("CATCIE10", "errad = 'T' AND length(Causa) = 4"), 1);
    EXPECT_GE(Cuenta("CATCIE10", "no_aph = 'T' AND Capitulo = '19'"), 10);
    EXPECT_EQ(p.Filas("SELECT lsex FROM CATCIE10 WHERE Causa IN ('S312', 'S314') ORDER BY Causa"),
              (QStringList{"1", "2"}));
}

TEST(PlantillaCarpetas, PinturasYReportesJuntoAlPrograma)
{
    const QDir programa = QFileInfo(QStringLiteral(VELMORAN_PLANTILLA)).dir().filePath("..");
    EXPECT_TRUE(programa.exists("Reportes"));
    const QList<QPair<QString, QSize>> fondos = {{"RECURSOS/TELMORIX1024.jpg", {1024, 768}},
                                                 {"RECURSOS/TELMORIX800.jpg", {800, 600}},
                                                 {"RECURSOS/VELMORAN.png", {256, 256}}};
    for (const auto &f : fondos) {
        const QImage imagen(programa.filePath(f.first));
        EXPECT_EQ(imagen.size(), f.second) << f.first.toStdString();
    }
}

// ---------------------------------------------------------------------------
// The tool itself, run on small catalog folders.
// ---------------------------------------------------------------------------
namespace {

struct Corrida {
    int codigo = -1;
    QString error;
};

class GeneraPlantilla : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(fuente.filePath("catalogos")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORAN_DATOS_FUENTE "/schema.sql"), fuente.filePath("schema.sql")));
    }

    void Catalogo(const QString &archivo, const QByteArray &contenido)
    {
        ASSERT_TRUE(EscribeArchivo(fuente.filePath("catalogos/" + archivo), contenido));
    }

    Corrida Genera()
    {
        QProcess proceso;
        proceso.start(QStringLiteral(GENERAPLANTILLA), {fuente.path(), programa.path()});
        EXPECT_TRUE(proceso.waitForFinished(120000));
        return {proceso.exitCode(), QString::fromUtf8(proceso.readAllStandardError())};
    }

    QString Plantilla() const { return programa.filePath("Datos/VELMORAN00.db"); }

    QTemporaryDir dirFuente, dirPrograma;
    QDir fuente{dirFuente.path()}, programa{dirPrograma.path()};
};

} // namespace

TEST_F(GeneraPlantilla, CargaLosCamposComoLosEscribeElCsv)
{
    Catalogo("cSexo.csv", "\xEF\xBB\xBF" "CodSexo,Descripcion\r\n1,HOMBRE\r\n2,\"MUJER, \"\"ADULTA\"\"\nO NIÑA\"\r\n9,\r\n");
    Catalogo("cEstados.csv", "Descripcion,CodEstado\n\"MEXICO\",15\n");
    const Corrida r = Genera();
    ASSERT_EQ(r.codigo, 0) << r.error.toStdString();

    BaseDatos bd("prueba_generada");
    bd.Abre(Plantilla());
    EXPECT_EQ(Filas(bd, "SELECT coalesce(Descripcion, '<nulo>') FROM cSexo ORDER BY CodSexo"),
              (QStringList{"HOMBRE", QString::fromUtf8("MUJER, \"ADULTA\"\nO NIÑA"), "<nulo>"}));
    // Columns are matched by name; codes keep their zeros where the column is text.
    EXPECT_EQ(bd.Valor("SELECT (SELECT CodEstado FROM cEstados WHERE Descripcion = 'MEXICO') || "
                       "(SELECT typeof(CodSexo) FROM cSexo LIMIT 1)").toString(), "15integer");
    EXPECT_EQ(bd.Valor("PRAGMA application_id").toInt(), BaseDatos::IdAplicacion);
    EXPECT_TRUE(programa.exists("RECURSOS/TELMORIX800.jpg") && programa.exists("Reportes"));
}

TEST_F(GeneraPlantilla, UnCatalogoMalFormadoDetieneLaConstruccion)
{
    struct Caso {
        const char *archivo;
        QByteArray contenido;
        const char *mensaje;
    };
    const QList<Caso> casos = {
        {"cSexo.csv", "CodSexo,Descripcion,Color\n1,HOMBRE,AZUL\n", "no tiene la columna \"Color\""},
        {"cSexo.csv", "CodSexo,Descripcion\n1,HOMBRE\n2\n", "cSexo.csv:3: 1 campos, se esperaban 2"},
        {"cSexo.csv", "CodSexo,Descripcion\n1,HOMBRE\n1,OTRO\n", "cSexo.csv:3: "},
        {"cSexo.csv", "CodSexo,Descripcion\n1,\"HOMBRE\n", "falta la comilla de cierre"},
        {"cColores.csv", "CodColor,Descripcion\n1,AZUL\n", "no hay en el esquema una tabla con ese nombre"},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.mensaje);
        QDir(fuente.filePath("catalogos")).removeRecursively();
        QDir().mkpath(fuente.filePath("catalogos"));
        Catalogo("cEstados.csv", "CodEstado,Descripcion\n09,CIUDAD DE MEXICO\n");
        Catalogo(QString::fromLatin1(c.archivo), c.contenido);
        // A template from an earlier run must not survive a failed one.
        QDir().mkpath(programa.filePath("Datos"));
        ASSERT_TRUE(EscribeArchivo(Plantilla(), {}));

        const Corrida r = Genera();
        EXPECT_TRUE(r.codigo != 0 && r.error.contains(QString::fromUtf8(c.mensaje))) << r.error.toStdString();
        EXPECT_FALSE(QFile::exists(Plantilla()) || QFile::exists(Plantilla() + ".tmp"));
    }
}
