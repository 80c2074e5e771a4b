// The template database and the tool that builds it.
#include "comun/ProgramaTemporal.h"
#include "lookups/Descripciones.h"
#include "platform/BaseDatos.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// What the schema, the rules, the reports and the pickers take for granted of
// the template: each query gives 1.
const char *const Verdades[] = {
    "SELECT (SELECT count(*) FROM D_EVENTO) + (SELECT count(*) FROM D_Diagnosticos) + (SELECT count(*) FROM BITACORA) = 0",
    // Geography: 32 states and the codes 36 and 99.
    "SELECT count(*) = 34 FROM cEstados WHERE CodEstado BETWEEN '01' AND '32' OR CodEstado IN ('36', '99')",
    "SELECT count(*) = 0 FROM cEstados WHERE length(CodEstado) <> 2",
    "SELECT count(*) = 0 FROM cMunicipios WHERE length(CodMunicipio) <> 3",
    "SELECT count(*) = 0 FROM cLocalidades WHERE length(CodLocalidad) <> 4",
    "SELECT count(*) = 0 FROM CATCLUES WHERE Clues NOT GLOB '[A-Z][A-Z][A-Z][A-Z][A-Z][0-9][0-9][0-9][0-9][0-9][0-9]'",
    // Every code points at a row of its parent catalog; "99" is the report window's own line for units outside
    // the jurisdictions.
    "SELECT count(*) = 0 FROM cJurisdicciones WHERE CodEstado NOT IN (SELECT CodEstado FROM cEstados)",
    "SELECT count(*) = 0 FROM cMunicipios WHERE (CodEstado, CodJurisdiccion) NOT IN (SELECT CodEstado, CodJurisdiccion FROM cJurisdicciones)",
    "SELECT count(*) = 0 FROM cLocalidades WHERE (CodEstado, CodMunicipio) NOT IN (SELECT CodEstado, CodMunicipio FROM cMunicipios)",
    "SELECT count(*) = 0 FROM CATCLUES WHERE (CEDOCVE, CMPOCVE, CLOCCVE) NOT IN (SELECT CodEstado, CodMunicipio, CodLocalidad FROM cLocalidades)",
    "SELECT count(*) = 0 FROM CATCLUES WHERE CJURCVE <> '99' AND (CEDOCVE, CJURCVE) NOT IN (SELECT CodEstado, CodJurisdiccion FROM cJurisdicciones)",
    "SELECT count(*) = 0 FROM CATCLUES WHERE CINSCVE NOT IN (SELECT CINSCVE FROM SECINS) OR CTUNCVE NOT IN (SELECT CTUNCVE FROM SECTUN)",
    "SELECT NOT EXISTS (SELECT 1 FROM cJurisdicciones WHERE CodJurisdiccion = '99') AND EXISTS (SELECT 1 FROM CATCLUES WHERE CJURCVE = '99')",
    // ICD-10: injuries in chapter 19 and external causes in 20, each code under its category and chapter.
    "SELECT count(*) = 0 FROM CATCIE10 WHERE (substr(Causa, 1, 1) IN ('S', 'T') AND Capitulo <> '19') "
    "OR (substr(Causa, 1, 1) IN ('V', 'W', 'X', 'Y') AND Capitulo <> '20')",
    "SELECT count(*) = 0 FROM CATCIE10 WHERE Capitulo NOT IN (SELECT IdCapitulo FROM CAPITULO)",
    "SELECT count(*) = 0 FROM CATCIE10 WHERE length(Causa) = 4 AND substr(Causa, 1, 3) NOT IN (SELECT Causa FROM CATCIE10)",
    // Codes the rules name, and the obstetric ones the diagnosis picker offers: women of fertile age only.
    "SELECT count(*) = 17 FROM CATCIE10 WHERE Causa IN ('Y079', 'W010', 'T140', 'S010', 'T07X', 'O267', 'O429', 'O468', "
    "'O469', 'O710', 'O713', 'O714', 'O715', 'O716', 'O717', 'O718', 'O719')",
    "SELECT count(*) = 0 FROM CATCIE10 WHERE Causa LIKE 'O%' AND (lsex IS NOT '2' OR linf IS NULL OR lsup IS NULL)",
    // Limits, flags and withdrawals in the catalog's own forms.
    "SELECT count(*) = 0 FROM CATCIE10 WHERE linf NOT GLOB '[0-9][0-9][0-9][HDMA]' OR lsup NOT GLOB '[0-9][0-9][0-9][HDMA]'",
    "SELECT count(*) = 0 FROM CATCIE10 WHERE triv <> 'T' OR errad <> 'T' OR NotSemanal <> 'T' OR nin <> 'T' OR no_cbd <> 'T' "
    "OR a <> 'T' OR no_aph <> 'T' OR lsex NOT IN ('1', '2') OR Actualizac <> 'B'",
    // Rules going by an item's position in its list (lists are in code order) or by its text.
    "SELECT CodTipoViolencia = 7 FROM cTipoViolencia ORDER BY CodTipoViolencia LIMIT 1 OFFSET 1",
    "SELECT CodEfectos = 4 FROM cEfectos ORDER BY CodEfectos LIMIT 1 OFFSET 3",
    "SELECT Descripcion = 'DEFUNCION' FROM cDestino WHERE CodDestino = 5",
};

class Plantilla : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase("09", "2004"); }
    ProgramaTemporal p;
};

} // namespace

TEST_F(Plantilla, CumpleLoQueElSistemaDaPorSentado)
{
    for (const char *sql : Verdades)
        EXPECT_EQ(p.Valor(QString::fromUtf8(sql)).toInt(), 1) << sql;
    // Pictures and report definitions stand beside the program.
    const QDir programa = QFileInfo(QStringLiteral(VELMORAN_PLANTILLA)).dir().filePath("..");
    EXPECT_TRUE(programa.exists("RECURSOS/TELMORIX800.jpg") && programa.exists("RECURSOS/VELMORAN.png") && programa.exists("Reportes"));
}

TEST_F(Plantilla, CadaCatalogoCodificadoTieneSusRespuestas)
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
        const QString c = caso.section(':', 0, 0);
        for (const QString &cod : caso.section(':', 1).split(','))
            EXPECT_EQ(p.Cuenta("c" + c, QStringLiteral("Cod%1 = ?").arg(c), {cod}), 1) << c.toStdString() << " " << cod.toStdString();
    }
    // Every answer described; option lists read a code back from an item's first two characters.
    for (const QString &c : CatalogosCodificados())
        EXPECT_EQ(p.Cuenta("c" + c, QString("ifnull(Descripcion, '') = '' OR length(Cod%1) > 2 OR typeof(Cod%1) <> ?").arg(c),
                           {c == "Derechohabiencia" ? "text" : "integer"}), 0) << c.toStdString();
}

TEST_F(Plantilla, LasClavesNoSeRepitenNiEnMinusculasYLosDetallesSiguenASuEvento)
{
    const QString k = "'DFSSA000012', 7, '2004-03-15'";
    const QString alta = "INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('DFSSA000012', 7, '%1')";
    // The same unit and folio on another day, one substance for patient and aggressor, two causes: all taken.
    const QStringList tomadas = {alta.arg("2004-03-15"), alta.arg("2004-03-16"), "INSERT INTO D_Derechohabiencia VALUES (%1, 'G')",
                                 "INSERT INTO D_BajoEfectos VALUES (%1, 1, 4)", "INSERT INTO D_BajoEfectos VALUES (%1, 2, 4)",
                                 "INSERT INTO D_Diagnosticos VALUES (%1, 'S010', 1)", "INSERT INTO D_Diagnosticos VALUES (%1, 'T140', 2)"};
    // A key again even in lower case, a date not in ISO form, a detail without its event: all refused.
    const QStringList rehusadas = {"INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion) VALUES ('dfssa000012', 7, '2004-03-15')",
                                   alta.arg("15/03/2004"), "UPDATE D_EVENTO SET FechaOcurrencia = '14/03/2004'",
                                   "INSERT INTO D_Derechohabiencia VALUES (%1, 'g')", "INSERT INTO D_BajoEfectos VALUES (%1, 1, 4)",
                                   "INSERT INTO D_Diagnosticos VALUES (%1, 'S020', 1)", "INSERT INTO D_Diagnosticos VALUES (%1, 't140', 3)",
                                   "INSERT INTO D_TipoAtencion VALUES ('DFSSA000012', 8, '2004-03-15', 1)"};
    for (const QString &s : tomadas)
        p.Ejecuta(QString(s).replace("%1", k));
    for (const QString &s : rehusadas)
        EXPECT_THROW(p.Ejecuta(QString(s).replace("%1", k)), ErrorBD) << s.toStdString();
    p.Ejecuta("DELETE FROM D_EVENTO WHERE fechaAtencion = '2004-03-15'");
    EXPECT_EQ(p.Cuenta("D_Derechohabiencia") + p.Cuenta("D_BajoEfectos") + p.Cuenta("D_Diagnosticos"), 0);
}

// ---------------------------------------------------------------------------
// The tool itself, run on small catalog folders.
// ---------------------------------------------------------------------------
namespace {

class GeneraPlantilla : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(fuente.filePath("catalogos")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORAN_DATOS_FUENTE "/schema.sql"), fuente.filePath("schema.sql")));
    }
    bool Catalogo(const QString &archivo, const QByteArray &contenido) { return EscribeArchivo(fuente.filePath("catalogos/" + archivo), contenido); }
    // The tool's error output; empty when it ended well.
    QString Genera()
    {
        QProcess proceso;
        proceso.start(QStringLiteral(GENERAPLANTILLA), {fuente.path(), programa.path()});
        EXPECT_TRUE(proceso.waitForFinished(120000));
        return proceso.exitCode() == 0 ? QString() : QString::number(proceso.exitCode()) + ": " + proceso.readAllStandardError();
    }
    QString Plantilla() const { return programa.filePath("Datos/VELMORAN00.db"); }

    QTemporaryDir dirFuente, dirPrograma;
    QDir fuente{dirFuente.path()}, programa{dirPrograma.path()};
};

} // namespace

// A catalog saved on another system (byte-order mark, CRLF line ends, a quoted
// line break) loads exactly as one written plainly: no carriage return is left
// in the last column.
TEST_F(GeneraPlantilla, CargaLosCamposComoLosEscribeElCsv)
{
    const QByteArray plano = "CodSexo,Descripcion\n1,HOMBRE\n2,\"MUJER, \"\"ADULTA\"\"\nO NIÑA\"\n9,\n";
    const QByteArray otroSistema = "\xEF\xBB\xBF" "CodSexo,Descripcion\r\n1,HOMBRE\r\n2,\"MUJER, \"\"ADULTA\"\"\nO NIÑA\"\r\n9,\r\n";
    for (const QByteArray &csv : {plano, otroSistema}) {
        SCOPED_TRACE(csv.contains('\r') ? "CRLF" : "LF");
        ASSERT_TRUE(Catalogo("cSexo.csv", csv));
        ASSERT_TRUE(Catalogo("cEstados.csv", "Descripcion,CodEstado\n\"MEXICO\",15\n"));
        ASSERT_EQ(Genera(), QString());
        BaseDatos bd("prueba_generada");
        bd.Abre(Plantilla());
        EXPECT_EQ(Filas(bd, "SELECT CodSexo, typeof(CodSexo), coalesce(Descripcion, '<nulo>') FROM cSexo ORDER BY CodSexo"),
                  QStringList({"1|integer|HOMBRE", QString::fromUtf8("2|integer|MUJER, \"ADULTA\"\nO NIÑA"), "9|integer|<nulo>"}));
        // Columns are matched by name, whatever their order in the file.
        EXPECT_EQ(Filas(bd, "SELECT CodEstado, Descripcion FROM cEstados"), QStringList{"15|MEXICO"});
        EXPECT_EQ(bd.Valor("PRAGMA application_id").toInt(), BaseDatos::IdAplicacion);
        bd.Cierra();
    }
}

TEST_F(GeneraPlantilla, UnCatalogoMalFormadoDetieneLaConstruccion)
{
    const char *const casos[][3] = {
        {"cSexo.csv", "CodSexo,Descripcion,Color\n1,HOMBRE,AZUL\n", "no tiene la columna \"Color\""},
        {"cSexo.csv", "CodSexo,Descripcion\n1,HOMBRE\n2\n", "cSexo.csv:3: 1 campos, se esperaban 2"},
        {"cSexo.csv", "CodSexo,Descripcion\n1,HOMBRE\n1,OTRO\n", "cSexo.csv:3: "},
        {"cSexo.csv", "CodSexo,Descripcion\n1,\"HOMBRE\n", "falta la comilla de cierre"},
        {"cColores.csv", "CodColor,Descripcion\n1,AZUL\n", "no hay en el esquema una tabla con ese nombre"},
    };
    for (const auto &c : casos) {
        QDir(fuente.filePath("catalogos")).removeRecursively();
        QDir().mkpath(fuente.filePath("catalogos"));
        ASSERT_TRUE(Catalogo(c[0], c[1]));
        // A template from an earlier run must not survive a failed one.
        QDir().mkpath(programa.filePath("Datos"));
        ASSERT_TRUE(EscribeArchivo(Plantilla(), {}));
        EXPECT_TRUE(Genera().contains(QString::fromUtf8(c[2]))) << c[2];
        EXPECT_FALSE(QFile::exists(Plantilla()) || QFile::exists(Plantilla() + ".tmp")) << c[2];
    }
}
