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
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Readable failures for Qt texts.

namespace {

QStringList Columnas(const BaseDatos &bd, const QString &tabla)
{
    QStringList nombres;
    QSqlQuery q = bd.Ejecuta(QStringLiteral("SELECT name FROM pragma_table_info(?)"), {tabla});
    while (q.next())
        nombres << q.value(0).toString();
    return nombres;
}

QStringList Lista(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {})
{
    QStringList salida;
    QSqlQuery q = bd.Ejecuta(sql, valores);
    while (q.next())
        salida << q.value(0).toString();
    return salida;
}

int Cuenta(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {})
{
    return bd.Valor(sql, valores).toInt();
}


class Plantilla : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase(QStringLiteral("09"), QStringLiteral("2004")); }
    const BaseDatos &bd() const { return p.ctx->ConexionBD; }

    // A minimal event; the key is what the tests vary.
    void AltaEvento(const QString &clues, int folio, const QString &fecha) const
    {
        bd().EjecutaAccion(QStringLiteral("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno, FechaCaptura) "
                                          "VALUES (?, ?, ?, 'PEREZ', ?)"),
                           {clues, folio, fecha, fecha});
    }

    ProgramaTemporal p;
};

} // namespace

TEST_F(Plantilla, EsUnaBaseVelmoranSana)
{
    EXPECT_TRUE(BaseDatos::EsBaseVelmoran(QStringLiteral(VELMORAN_PLANTILLA)));
    EXPECT_EQ(bd().Valor(QStringLiteral("PRAGMA application_id")).toInt(), BaseDatos::IdAplicacion);
    EXPECT_EQ(bd().Valor(QStringLiteral("PRAGMA user_version")).toInt(), 1);
    EXPECT_EQ(bd().Valor(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    EXPECT_FALSE(bd().Valor(QStringLiteral("PRAGMA foreign_key_check")).isValid());
    for (const QString &t : {QStringLiteral("D_EVENTO"), QStringLiteral("D_Derechohabiencia"),
                             QStringLiteral("D_TipoViolencia"), QStringLiteral("D_BajoEfectos"),
                             QStringLiteral("D_TipoAtencion"), QStringLiteral("D_Diagnosticos"),
                             QStringLiteral("BITACORA")})
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM ") + t), 0) << t.toStdString();
}

TEST_F(Plantilla, CadaTablaTieneSusColumnasEnOrden)
{
    const QStringList evento = {
        "Clues", "Folio", "fechaAtencion", "Paterno", "Materno", "Nombre", "CURP", "Afiliacion",
        "Expediente", "CodClaveEdad", "Edad", "CodSexo", "CodEmbarazada", "CodLeeEscribe",
        "CodEscolaridad", "Calle", "EntreCalleUno", "EntreCalleDos", "Colonia", "CodEstado",
        "CodMunicipio", "CodLocalidad", "FechaOcurrencia", "HoraOcurrencia", "CodFestivo",
        "CodDiscapacidad", "CodIntencionalidad", "CodVez", "CodSitio", "CodAgente",
        "CodLesionadoVehiculo", "CodUsoSeguridad", "CodEquipo", "CodArea", "CodConsecuencia",
        "CodPrehospitalaria", "HorasTraslado", "MinutosTraslado", "CodAgresor", "EdadAgresor",
        "CodSexoAgresor", "CodParentescoAgresor", "HoraAtencion", "CodServicio", "HorasUrgencias",
        "MinutosUrgencias", "CodReferido", "CodDestino", "CodAfecprin", "CodCausaExt", "CodMP",
        "CodResponsable", "NombreResponsable", "FechaCaptura", "FechaEdicion"};
    ASSERT_EQ(evento.size(), 55);

    const QStringList clave = {"CLUES", "Folio", "fechaAtencion"};
    QMap<QString, QStringList> esperado = {
        {"D_EVENTO", evento},
        {"D_Derechohabiencia", clave + QStringList{"CodDerechohabiencia"}},
        {"D_TipoViolencia", clave + QStringList{"CodTipoViolencia"}},
        {"D_BajoEfectos", clave + QStringList{"CodAfectadoAgresor", "CodEfectos"}},
        {"D_TipoAtencion", clave + QStringList{"CodTipoAtencion"}},
        {"D_Diagnosticos", clave + QStringList{"CodDiagnostico", "Orden"}},
        {"cEstados", {"CodEstado", "Descripcion"}},
        {"cJurisdicciones", {"CodEstado", "CodJurisdiccion", "Descripcion"}},
        {"cMunicipios", {"CodEstado", "CodMunicipio", "Descripcion", "CodJurisdiccion"}},
        {"cLocalidades", {"CodEstado", "CodMunicipio", "CodLocalidad", "Descripcion"}},
        {"CATCLUES", {"Clues", "DescUnidad", "CEDOCVE", "CJURCVE", "CMPOCVE", "CLOCCVE", "CVERCVE",
                      "CINSCVE", "CTUNCVE", "CCOMCVE", "DomUnidad", "CP", "Corta_estancia"}},
        {"CATCIE10", {"Causa", "nombre", "Capitulo", "lsex", "linf", "lsup", "triv", "errad",
                      "NotSemanal", "nin", "no_cbd", "a", "no_aph", "Actualizac", "LM_MORTA", "PRINMORTA"}},
        {"CAPITULO", {"IdCapitulo", "DESCRIP"}},
        {"SECINS", {"CINSCVE", "Descripcion"}},
        {"SECTUN", {"CTUNCVE", "Descripcion"}},
        {"BITACORA", {"TIPO", "NOMBRE", "RUTA", "FECHA", "UNIDADES", "EVENTOS", "FECHAINI",
                      "FECHAFIN", "CATALOGOS"}},
    };
    for (const QString &c : CatalogosCodificados())
        esperado.insert(QStringLiteral("c") + c, {QStringLiteral("Cod") + c, QStringLiteral("Descripcion")});

    for (auto it = esperado.cbegin(); it != esperado.cend(); ++it)
        EXPECT_EQ(Columnas(bd(), it.key()), it.value()) << it.key().toStdString();

    // Nothing else: the program relies on this list and creates only work tables.
    QStringList tablas = Lista(bd(), QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
    QStringList nombres = esperado.keys();
    tablas.sort(Qt::CaseInsensitive);
    nombres.sort(Qt::CaseInsensitive);
    EXPECT_EQ(tablas, nombres);
}

TEST_F(Plantilla, LaClaveDelEventoNoSeRepite)
{
    AltaEvento(QStringLiteral("DFSSA000012"), 123, QStringLiteral("2004-03-15"));
    AltaEvento(QStringLiteral("DFSSA000012"), 123, QStringLiteral("2004-03-16"));
    AltaEvento(QStringLiteral("DFSSA000012"), 124, QStringLiteral("2004-03-15"));

    for (const QString &clues : {QStringLiteral("DFSSA000012"), QStringLiteral("dfssa000012")}) {
        try {
            AltaEvento(clues, 123, QStringLiteral("2004-03-15"));
            ADD_FAILURE() << "se aceptó un evento repetido con " << clues.toStdString();
        } catch (const ErrorBD &e) {
            EXPECT_TRUE(e.ViolaClave()) << e.Descripcion().toStdString();
        }
    }
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM D_EVENTO")), 3);
}

TEST_F(Plantilla, LasFechasSeGuardanEnFormaIso)
{
    EXPECT_THROW(AltaEvento(QStringLiteral("DFSSA000012"), 1, QStringLiteral("15/03/2004")), ErrorBD);
    EXPECT_THROW(bd().EjecutaAccion(QStringLiteral("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, FechaOcurrencia) "
                                                   "VALUES ('DFSSA000012', 2, '2004-03-15', '14/03/2004')")),
                 ErrorBD);
    AltaEvento(QStringLiteral("DFSSA000012"), 3, QStringLiteral("2004-03-15"));
}

TEST_F(Plantilla, LosDetallesNoSeRepitenYSiguenASuEvento)
{
    const QString clues = QStringLiteral("DFSSA000012");
    const QString fecha = QStringLiteral("2004-03-15");
    AltaEvento(clues, 7, fecha);

    struct Caso {
        const char *sql;
        QVariantList primero, repetido;
    };
    const QList<Caso> casos = {
        {"INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, ?)", {"G"}, {"g"}},
        {"INSERT INTO D_TipoViolencia VALUES (?, ?, ?, ?)", {7}, {7}},
        {"INSERT INTO D_TipoAtencion VALUES (?, ?, ?, ?)", {1}, {1}},
        {"INSERT INTO D_BajoEfectos VALUES (?, ?, ?, ?, ?)", {1, 4}, {1, 4}},
        {"INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", {"S010", 1}, {"S020", 1}},  // same Orden
        {"INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)", {"T140", 2}, {"t140", 3}},  // same cause
    };
    for (const Caso &c : casos) {
        const QVariantList clave = {clues, 7, fecha};
        bd().EjecutaAccion(QString::fromLatin1(c.sql), clave + c.primero);
        EXPECT_THROW(bd().EjecutaAccion(QString::fromLatin1(c.sql), clave + c.repetido), ErrorBD) << c.sql;
    }
    // The same substance for the patient and for the aggressor.
    bd().EjecutaAccion(QStringLiteral("INSERT INTO D_BajoEfectos VALUES (?, 7, ?, 2, 4)"), {clues, fecha});

    // No detail without its event; deleting the event takes its details along.
    EXPECT_THROW(bd().EjecutaAccion(QStringLiteral("INSERT INTO D_TipoAtencion VALUES (?, 8, ?, 1)"), {clues, fecha}),
                 ErrorBD);
    bd().EjecutaAccion(QStringLiteral("DELETE FROM D_EVENTO WHERE Clues = ? AND Folio = 7 AND fechaAtencion = ?"),
                       {clues, fecha});
    for (const QString &t : {QStringLiteral("D_Derechohabiencia"), QStringLiteral("D_TipoViolencia"),
                             QStringLiteral("D_TipoAtencion"), QStringLiteral("D_BajoEfectos"),
                             QStringLiteral("D_Diagnosticos")})
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM ") + t), 0) << t.toStdString();
}

TEST_F(Plantilla, CadaCatalogoCodificadoTieneSusRespuestas)
{
    for (const QString &c : CatalogosCodificados()) {
        const QString tabla = QStringLiteral("c") + c;
        const QString codigo = QStringLiteral("Cod") + c;
        SCOPED_TRACE(tabla.toStdString());
        EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM ") + tabla), 2);
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM %1 WHERE Descripcion IS NULL OR Descripcion = ''").arg(tabla)), 0);
        // Option lists read a code back from an item's first two characters.
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM %1 WHERE length(%2) > 2").arg(tabla, codigo)), 0);
        const QString tipo = c == QLatin1String("Derechohabiencia") ? QStringLiteral("text") : QStringLiteral("integer");
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM %1 WHERE typeof(%2) <> ?").arg(tabla, codigo), {tipo}), 0);
    }
}

TEST_F(Plantilla, EstanLosCodigosQueNombraElSistema)
{
    // Catalog and codes: the rules, reports and key filters of the capture sheet.
    const QList<QPair<QString, QStringList>> casos = {
        {"ClaveEdad", {"0", "1", "2", "3", "9"}},
        {"Sexo", {"1", "2", "9"}},
        {"Embarazada", {"1", "2", "9"}},
        {"LeeEscribe", {"1", "2", "9"}},
        {"Escolaridad", {"1", "2", "3", "4", "5", "6", "9"}},
        {"Derechohabiencia", {"0", "8", "9", "G"}},
        {"Festivo", {"1", "2"}},
        {"Discapacidad", {"1", "2", "9"}},
        {"Intencionalidad", {"1", "2", "3", "4", "5", "11"}},
        {"Vez", {"1", "2", "9"}},
        {"Agente", {"20"}},
        {"LesionadoVehiculo", {"1", "2", "3", "9"}},
        {"UsoSeguridad", {"1", "2", "3", "9"}},
        {"Equipo", {"1", "2", "3", "4", "9"}},
        {"Consecuencia", {"7", "11", "19"}},
        {"Prehospitalaria", {"1", "2"}},
        {"Agresor", {"1", "2", "9"}},
        {"Parentesco", {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        {"Servicio", {"1", "2", "3", "4", "5", "9"}},
        {"Referido", {"1", "2", "3", "4", "5", "6", "7", "9"}},
        {"Destino", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}},
        {"MP", {"1", "2"}},
        {"Responsable", {"1", "2", "3", "9"}},
        {"TipoViolencia", {"7", "8"}},
        {"TipoAtencion", {"1", "2", "3", "4", "5", "6", "7"}},
        {"Efectos", {"4", "5"}},
        {"AfectadoAgresor", {"1", "2"}},
    };
    for (const auto &caso : casos) {
        const QString tabla = QStringLiteral("c") + caso.first;
        const QString codigo = QStringLiteral("Cod") + caso.first;
        for (const QString &cod : caso.second)
            EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?").arg(tabla, codigo), {cod}), 1)
                << tabla.toStdString() << " " << cod.toStdString();
    }

    // Rules that go by an item's position in its list (lists are in code order).
    const auto enPosicion = [&](const QString &tabla, const QString &codigo, int posicion) {
        return bd().Valor(QStringLiteral("SELECT %2 FROM %1 ORDER BY %2 LIMIT 1 OFFSET ?").arg(tabla, codigo), {posicion}).toString();
    };
    EXPECT_EQ(enPosicion("cTipoViolencia", "CodTipoViolencia", 1), QStringLiteral("7"));  // opens every care type
    EXPECT_EQ(enPosicion("cEfectos", "CodEfectos", 3), QStringLiteral("4"));  // ticked for a group of aggressors

    // The pivot table's age groups compare these texts.
    EXPECT_EQ(Lista(bd(), QStringLiteral("SELECT Descripcion FROM cClaveEdad WHERE CodClaveEdad < 9 ORDER BY CodClaveEdad")),
              (QStringList{"HORAS", "DIAS", "MESES", "AÑOS"}));
    EXPECT_EQ(bd().Valor(QStringLiteral("SELECT Descripcion FROM cDestino WHERE CodDestino = 5")).toString(),
              QStringLiteral("DEFUNCION"));
}

TEST_F(Plantilla, LaGeografiaYLasUnidadesConcuerdan)
{
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cEstados WHERE CodEstado BETWEEN '01' AND '32'")), 32);
    for (const QString &e : {QStringLiteral("09"), QStringLiteral("15"), QStringLiteral("36"), QStringLiteral("99")})
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cEstados WHERE CodEstado = ?"), {e}), 1) << e.toStdString();
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cEstados WHERE length(CodEstado) <> 2")), 0);

    // Two states with enough municipalities and localities to filter on.
    for (const QString &e : {QStringLiteral("09"), QStringLiteral("15")}) {
        EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cMunicipios WHERE CodEstado = ?"), {e}), 10);
        EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cLocalidades WHERE CodEstado = ?"), {e}), 20);
        EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCLUES WHERE CEDOCVE = ?"), {e}), 10);
    }
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cMunicipios WHERE length(CodMunicipio) <> 3")), 0);
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cLocalidades WHERE length(CodLocalidad) <> 4")), 0);

    // Every code points at a row of its parent catalog.
    const QStringList huerfanos = {
        "SELECT count(*) FROM cJurisdicciones j WHERE NOT EXISTS (SELECT 1 FROM cEstados e WHERE e.CodEstado = j.CodEstado)",
        "SELECT count(*) FROM cMunicipios m WHERE NOT EXISTS (SELECT 1 FROM cJurisdicciones j "
        "WHERE j.CodEstado = m.CodEstado AND j.CodJurisdiccion = m.CodJurisdiccion)",
        "SELECT count(*) FROM cLocalidades l WHERE NOT EXISTS (SELECT 1 FROM cMunicipios m "
        "WHERE m.CodEstado = l.CodEstado AND m.CodMunicipio = l.CodMunicipio)",
        "SELECT count(*) FROM CATCLUES c WHERE NOT EXISTS (SELECT 1 FROM cLocalidades l "
        "WHERE l.CodEstado = c.CEDOCVE AND l.CodMunicipio = c.CMPOCVE AND l.CodLocalidad = c.CLOCCVE)",
        "SELECT count(*) FROM CATCLUES c WHERE c.CJURCVE <> '99' AND NOT EXISTS (SELECT 1 FROM cJurisdicciones j "
        "WHERE j.CodEstado = c.CEDOCVE AND j.CodJurisdiccion = c.CJURCVE)",
        "SELECT count(*) FROM CATCLUES c WHERE NOT EXISTS (SELECT 1 FROM SECINS s WHERE s.CINSCVE = c.CINSCVE) "
        "OR NOT EXISTS (SELECT 1 FROM SECTUN t WHERE t.CTUNCVE = c.CTUNCVE)",
    };
    for (const QString &sql : huerfanos)
        EXPECT_EQ(Cuenta(bd(), sql), 0) << sql.toStdString();

    // "99" is the report window's own line for units outside the jurisdictions.
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM cJurisdicciones WHERE CodJurisdiccion = '99'")), 0);
    EXPECT_GT(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCLUES WHERE CJURCVE = '99'")), 0);

    const QRegularExpression forma(QStringLiteral("^[A-Z]{5}[0-9]{6}$"));
    for (const QString &clues : Lista(bd(), QStringLiteral("SELECT Clues FROM CATCLUES")))
        EXPECT_TRUE(forma.match(clues).hasMatch()) << clues.toStdString();
}

TEST_F(Plantilla, LaListaCie10CubreLesionesYCausasExternas)
{
    // Chapters as the pickers select them: four-character codes of '19' and '20'.
    EXPECT_GT(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE length(Causa) = 4 AND Capitulo = '19'")), 1000);
    EXPECT_GT(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE length(Causa) = 4 AND Capitulo = '20'")), 1000);
    EXPECT_GT(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE length(Causa) = 4 AND Capitulo = '05'")), 0);
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE substr(Causa, 1, 1) IN ('S', 'T') AND Capitulo <> '19'")), 0);
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE substr(Causa, 1, 1) IN ('V', 'W', 'X', 'Y') AND Capitulo <> '20'")), 0);
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 c WHERE NOT EXISTS (SELECT 1 FROM CAPITULO p WHERE p.IdCapitulo = c.Capitulo)")), 0);

    // Every subcategory has its category, which the reports roll up to.
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 s WHERE length(s.Causa) = 4 AND NOT EXISTS "
                                          "(SELECT 1 FROM CATCIE10 c WHERE c.Causa = substr(s.Causa, 1, 3))")), 0);

    // Codes the rules and their examples name.
    for (const QString &c : {QStringLiteral("Y079"), QStringLiteral("W010"), QStringLiteral("T140"),
                             QStringLiteral("S010"), QStringLiteral("T07X")})
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE Causa = ?"), {c}), 1) << c.toStdString();

    // The obstetric codes the diagnosis picker offers: all present, women of fertile age only.
    const QStringList sueltos = {"O267", "O429", "O468", "O469", "O710", "O713", "O714", "O715", "O716", "O717", "O718", "O719"};
    for (const QString &c : sueltos)
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE Causa = ?"), {c}), 1) << c.toStdString();
    for (const QString &g : {"O04", "O05", "O06", "O07", "O20", "O68"})
        EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE length(Causa) = 4 AND substr(Causa, 1, 3) = ?"), {g}), 3)
            << g.toStdString();
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE Causa LIKE 'O%' AND "
                                          "(lsex IS NOT '2' OR linf IS NULL OR lsup IS NULL)")), 0);

    // Limits, flags and withdrawals in the catalog's own forms.
    const QRegularExpression limite(QStringLiteral("^[0-9]{3}[HDMA]$"));
    for (const QString &l : Lista(bd(), QStringLiteral("SELECT linf FROM CATCIE10 WHERE linf IS NOT NULL UNION "
                                                       "SELECT lsup FROM CATCIE10 WHERE lsup IS NOT NULL")))
        EXPECT_TRUE(limite.match(l).hasMatch()) << l.toStdString();
    for (const QString &bandera : {"triv", "errad", "NotSemanal", "nin", "no_cbd", "a", "no_aph"})
        EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE %1 IS NOT NULL AND %1 <> 'T'").arg(bandera)), 0)
            << bandera.toStdString();
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE lsex IS NOT NULL AND lsex NOT IN ('1', '2')")), 0);
    EXPECT_EQ(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE Actualizac IS NOT NULL AND Actualizac <> 'B'")), 0);
    EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE Actualizac = 'B' AND length(Causa) = 4")), 2);
    EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE errad = 'T' AND length(Causa) = 4")), 1);
    EXPECT_GE(Cuenta(bd(), QStringLiteral("SELECT count(*) FROM CATCIE10 WHERE no_aph = 'T' AND Capitulo = '19'")), 10);
    EXPECT_EQ(bd().Valor(QStringLiteral("SELECT lsex FROM CATCIE10 WHERE Causa = 'S312'")).toString(), QStringLiteral("1"));
    EXPECT_EQ(bd().Valor(QStringLiteral("SELECT lsex FROM CATCIE10 WHERE Causa = 'S314'")).toString(), QStringLiteral("2"));
}

TEST(PlantillaCarpetas, PinturasYReportesJuntoAlPrograma)
{
    const QDir programa = QFileInfo(QStringLiteral(VELMORAN_PLANTILLA)).dir().filePath(QStringLiteral(".."));
    EXPECT_TRUE(programa.exists(QStringLiteral("Reportes")));
    const QList<QPair<QString, QSize>> fondos = {{"RECURSOS/TELMORIX1024.jpg", {1024, 768}},
                                                 {"RECURSOS/TELMORIX800.jpg", {800, 600}}};
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
        ASSERT_TRUE(QDir().mkpath(fuente.filePath(QStringLiteral("catalogos"))));
        ASSERT_TRUE(QFile::copy(QStringLiteral(VELMORAN_DATOS_FUENTE "/schema.sql"), fuente.filePath(QStringLiteral("schema.sql"))));
    }

    void Catalogo(const QString &archivo, const QByteArray &contenido)
    {
        QFile f(fuente.filePath(QStringLiteral("catalogos/") + archivo));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }

    Corrida Genera()
    {
        QProcess proceso;
        proceso.start(QStringLiteral(GENERAPLANTILLA), {fuente.path(), programa.path()});
        EXPECT_TRUE(proceso.waitForFinished(120000));
        return {proceso.exitCode(), QString::fromUtf8(proceso.readAllStandardError())};
    }

    QString Plantilla() const { return programa.filePath(QStringLiteral("Datos/VELMORAN00.db")); }

    QTemporaryDir dirFuente, dirPrograma;
    QDir fuente{dirFuente.path()}, programa{dirPrograma.path()};
};

} // namespace

TEST_F(GeneraPlantilla, CargaLosCamposComoLosEscribeElCsv)
{
    Catalogo(QStringLiteral("cSexo.csv"), "\xEF\xBB\xBF" "CodSexo,Descripcion\r\n1,HOMBRE\r\n2,\"MUJER, \"\"ADULTA\"\"\nO NIÑA\"\r\n9,\r\n");
    Catalogo(QStringLiteral("cEstados.csv"), "Descripcion,CodEstado\n\"MEXICO\",15\n");
    const Corrida r = Genera();
    ASSERT_EQ(r.codigo, 0) << r.error.toStdString();

    BaseDatos bd(QStringLiteral("prueba_generada"));
    bd.Abre(Plantilla());
    EXPECT_EQ(Lista(bd, QStringLiteral("SELECT coalesce(Descripcion, '<nulo>') FROM cSexo ORDER BY CodSexo")),
              (QStringList{"HOMBRE", QString::fromUtf8("MUJER, \"ADULTA\"\nO NIÑA"), "<nulo>"}));
    // Columns are matched by name; codes keep their zeros where the column is text.
    EXPECT_EQ(bd.Valor(QStringLiteral("SELECT CodEstado FROM cEstados WHERE Descripcion = 'MEXICO'")).toString(), QStringLiteral("15"));
    EXPECT_EQ(bd.Valor(QStringLiteral("SELECT typeof(CodSexo) FROM cSexo LIMIT 1")).toString(), QStringLiteral("integer"));
    EXPECT_EQ(bd.Valor(QStringLiteral("PRAGMA application_id")).toInt(), BaseDatos::IdAplicacion);
    EXPECT_TRUE(programa.exists(QStringLiteral("RECURSOS/TELMORIX800.jpg")));
    EXPECT_TRUE(programa.exists(QStringLiteral("Reportes")));
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
        QDir(fuente.filePath(QStringLiteral("catalogos"))).removeRecursively();
        QDir().mkpath(fuente.filePath(QStringLiteral("catalogos")));
        Catalogo(QStringLiteral("cEstados.csv"), "CodEstado,Descripcion\n09,CIUDAD DE MEXICO\n");
        Catalogo(QString::fromLatin1(c.archivo), c.contenido);
        // A template from an earlier run must not survive a failed one.
        QDir().mkpath(programa.filePath(QStringLiteral("Datos")));
        QFile vieja(Plantilla());
        ASSERT_TRUE(vieja.open(QIODevice::WriteOnly));
        vieja.close();

        const Corrida r = Genera();
        EXPECT_NE(r.codigo, 0);
        EXPECT_TRUE(r.error.contains(QString::fromUtf8(c.mensaje))) << r.error.toStdString();
        EXPECT_FALSE(QFile::exists(Plantilla()));
        EXPECT_FALSE(QFile::exists(Plantilla() + QStringLiteral(".tmp")));
    }
}
