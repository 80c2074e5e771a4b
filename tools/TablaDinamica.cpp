#include "tools/TablaDinamica.h"

#include "platform/BaseDatos.h"
#include "tools/SqlTablas.h"

#include <QStringList>

namespace {

// Catalogs copied under these names, in this order.
const char *const Catalogos[][2] = {
    {"CatClues", "CATCLUES"},
    {"cLocalidades", "cLocalidades"},
    {"cMunicipios", "cMunicipios"},
    {"cEstados", "cEstados"},
    {"cJurisdicciones", "cJurisdicciones"},
    {"cClaveEdad", "cClaveEdad"},
    {"cSexo", "cSexo"},
    {"cEmbarazada", "cEmbarazada"},
    {"cLeeEscribe", "cLeeEscribe"},
    {"cDerechohabiencia", "cDerechohabiencia"},
    {"cAgente", "cAgente"},
    {"cArea", "cArea"},
    {"cConsecuencia", "cConsecuencia"},
    {"cDestino", "cDestino"},
    {"CATCIE10", "CATCIE10"},
    {"cEfectos", "cEfectos"},
    {"cEquipo", "cEquipo"},
    {"cUsoSeguridad", "cUsoSeguridad"},
    {"cEscolaridad", "cEscolaridad"},
    {"cFestivo", "cFestivo"},
    {"cDiscapacidad", "cDiscapacidad"},
    {"cIntencionalidad", "cIntencionalidad"},
    {"cVez", "cVez"},
    {"cMP", "cMP"},
    {"cAgresor", "cAgresor"},
    {"cLesionadoVehiculo", "cLesionadoVehiculo"},
    {"cParentesco", "cParentesco"},
    {"cReferido", "cReferido"},
    {"cResponsable", "cResponsable"},
    {"cPrehospitalaria", "cPrehospitalaria"},
    {"cServicio", "cServicio"},
    {"cSitio", "cSitio"},
    {"cTipoAtencion", "cTipoAtencion"},
    {"cTipoViolencia", "cTipoViolencia"},
    {"cAfectadoAgresor", "cAfectadoAgresor"},
};

// D_EVENTO_DAT: name, type, and what the row takes from the event (E), its
// health unit (C) and its age unit (CE); for the columns of the rules below,
// the code they describe.
struct Columna {
    const char *nombre;
    const char *tipo;
    const char *origen;
};

const Columna Columnas[] = {
    {"EDO_ATEN_COD", "TEXT(2)", "C.CEDOCVE"},
    {"EDO_ATEN", "TEXT(55)", "' '"},
    {"JUR_ATEN_COD", "TEXT(3)", "C.CJURCVE"},
    {"JUR_ATEN", "TEXT(50)", "' '"},
    {"MPO_ATEN_COD", "TEXT(3)", "C.CMPOCVE"},
    {"MPO_ATEN", "TEXT(60)", "' '"},
    {"LOC_ATEN_COD", "TEXT(4)", "C.CLOCCVE"},
    {"LOC_ATEN", "TEXT(60)", "' '"},
    {"CLUES", "TEXT(11)", "E.Clues"},
    {"UNIDAD", "TEXT(100)", "substr(C.DescUnidad, 1, 90)"},
    {"FOLIO", "INTEGER", "E.Folio"},
    {"FECHAATENCION", "TEXT", "E.fechaAtencion"},
    {"MES", "TEXT(10)", "'  '"},
    // The age unit comes described from its join: the age groups test it.
    {"CVEEDAD", "TEXT(20)", "CE.Descripcion"},
    {"EDAD", "INTEGER", "E.Edad"},
    {"GPO_QUIN", "TEXT(20)", "' '"},
    {"SEXO", "TEXT(20)", "E.CodSexo"},
    {"EMBARAZADA", "TEXT(20)", "E.CodEmbarazada"},
    {"EXPEDIENTE", "TEXT(13)", "E.Expediente"},
    {"LEE_ESCRIBE", "TEXT(20)", "E.CodLeeEscribe"},
    {"ESCOLARIDAD", "TEXT(30)", "E.CodEscolaridad"},
    {"ENT_OCU_COD", "TEXT(2)", "E.CodEstado"},
    {"ENT_OCU", "TEXT(55)", "' '"},
    {"MPO_OCU_COD", "TEXT(3)", "E.CodMunicipio"},
    {"MPO_OCU", "TEXT(60)", "' '"},
    {"LOC_OCU_COD", "TEXT(4)", "E.CodLocalidad"},
    {"LOC_OCU", "TEXT(70)", "' '"},
    {"FECHAOCURRENCIA", "TEXT", "E.FechaOcurrencia"},
    {"FESTIVO", "TEXT(20)", "E.CodFestivo"},
    {"DISCAPACIDAD", "TEXT(20)", "E.CodDiscapacidad"},
    {"INTENCIONALIDAD", "TEXT(30)", "E.CodIntencionalidad"},
    {"VEZ", "TEXT(20)", "E.CodVez"},
    {"SITIO", "TEXT(55)", "E.CodSitio"},
    {"AGENTE", "TEXT(55)", "E.CodAgente"},
    {"LESIONADOVEHICULO", "TEXT(30)", "E.CodLesionadoVehiculo"},
    {"USOSEGURIDAD", "TEXT(20)", "E.CodUsoSeguridad"},
    {"EQUIPO", "TEXT(30)", "E.CodEquipo"},
    {"AREA", "TEXT(55)", "E.CodArea"},
    {"CONSECUENCIA", "TEXT(55)", "E.CodConsecuencia"},
    {"PREHOSPITALARIA", "TEXT(20)", "E.CodPrehospitalaria"},
    {"AGRESOR", "TEXT(20)", "E.CodAgresor"},
    {"EDADAGRESOR", "INTEGER", "E.EdadAgresor"},
    {"SEXOAGRESOR", "TEXT(20)", "E.CodSexoAgresor"},
    {"PARENTESCOAGRESOR", "TEXT(30)", "E.CodParentescoAgresor"},
    {"SERVICIO", "TEXT(55)", "E.CodServicio"},
    {"REFERIDO", "TEXT(65)", "E.CodReferido"},
    {"DESTINO", "TEXT(55)", "E.CodDestino"},
    {"MP", "TEXT(20)", "E.CodMP"},
    {"RESPONSABLE", "TEXT(55)", "E.CodResponsable"},
    {"AFECPRIN_COD", "TEXT(4)", "E.CodAfecprin"},
    {"AFECPRIN", "TEXT(255)", "' '"},
    {"CAUSAEXT_COD", "TEXT(4)", "E.CodCausaExt"},
    {"CAUSAEXT", "TEXT(255)", "' '"},
    {"CONTADOR", "INTEGER", "1"},
};

// Place columns: the code, a hyphen and the description; null when the
// catalog has no such place. X is the catalog row, E the event, C its unit.
struct ReglaLugar {
    const char *columna;
    const char *codigo;
    const char *catalogo;
    const char *coincide;
};

const ReglaLugar ReglasLugar[] = {
    {"LOC_OCU", "E.CodLocalidad", "cLocalidades",
     "X.CodEstado = E.CodEstado AND X.CodMunicipio = E.CodMunicipio AND X.CodLocalidad = E.CodLocalidad"},
    {"MPO_OCU", "E.CodMunicipio", "cMunicipios", "X.CodEstado = E.CodEstado AND X.CodMunicipio = E.CodMunicipio"},
    {"ENT_OCU", "E.CodEstado", "cEstados", "X.CodEstado = E.CodEstado"},
    {"LOC_ATEN", "C.CLOCCVE", "cLocalidades",
     "X.CodEstado = C.CEDOCVE AND X.CodMunicipio = C.CMPOCVE AND X.CodLocalidad = C.CLOCCVE"},
    {"MPO_ATEN", "C.CMPOCVE", "cMunicipios", "X.CodEstado = C.CEDOCVE AND X.CodMunicipio = C.CMPOCVE"},
    {"JUR_ATEN", "C.CJURCVE", "cJurisdicciones", "X.CodEstado = C.CEDOCVE AND X.CodJurisdiccion = C.CJURCVE"},
    {"EDO_ATEN", "C.CEDOCVE", "cEstados", "X.CodEstado = C.CEDOCVE"},
};

// Coded columns replaced by their description; a code the catalog lacks, or
// no code at all, leaves the column blank (null). Where `ceroPrimero` is set
// an empty code is looked up as 0.
struct ReglaCodigo {
    const char *columna;
    const char *catalogo;
    const char *clave;
    bool ceroPrimero;
};

const ReglaCodigo ReglasCodigo[] = {
    {"SEXO", "cSexo", "CodSexo", false},
    {"EMBARAZADA", "cEmbarazada", "CodEmbarazada", true},
    {"LEE_ESCRIBE", "cLeeEscribe", "CodLeeEscribe", false},
    {"ESCOLARIDAD", "cEscolaridad", "CodEscolaridad", false},
    {"FESTIVO", "cFestivo", "CodFestivo", false},
    {"DISCAPACIDAD", "cDiscapacidad", "CodDiscapacidad", false},
    {"INTENCIONALIDAD", "cIntencionalidad", "CodIntencionalidad", false},
    {"VEZ", "cVez", "CodVez", true},
    {"SITIO", "cSitio", "CodSitio", false},
    {"AGENTE", "cAgente", "CodAgente", false},
    {"LESIONADOVEHICULO", "cLesionadoVehiculo", "CodLesionadoVehiculo", true},
    {"USOSEGURIDAD", "cUsoSeguridad", "CodUsoSeguridad", true},
    {"EQUIPO", "cEquipo", "CodEquipo", true},
    {"AREA", "cArea", "CodArea", false},
    {"CONSECUENCIA", "cConsecuencia", "CodConsecuencia", false},
    {"PREHOSPITALARIA", "cPrehospitalaria", "CodPrehospitalaria", false},
    {"AGRESOR", "cAgresor", "CodAgresor", true},
    {"SEXOAGRESOR", "cSexo", "CodSexo", true},
    {"PARENTESCOAGRESOR", "cParentesco", "CodParentesco", true},
    {"SERVICIO", "cServicio", "CodServicio", false},
    {"REFERIDO", "cReferido", "CodReferido", false},
    {"DESTINO", "cDestino", "CodDestino", false},
    {"MP", "cMP", "CodMP", false},
    {"RESPONSABLE", "cResponsable", "CodResponsable", false},
};

// Age groups: a later rule overrides an earlier one on the same row.
const char *const ReglasGrupoEdad[][2] = {
    {"< A 1", "E.Edad = 0"},
    {"< A 1", "CE.Descripcion IN ('HORAS', 'DIAS', 'MESES')"},
    {"01 A 04", "CE.Descripcion = 'AÑOS' AND E.Edad BETWEEN 1 AND 4"},
    {"05 A 14", "CE.Descripcion = 'AÑOS' AND E.Edad BETWEEN 5 AND 14"},
    {"15 A 24", "CE.Descripcion = 'AÑOS' AND E.Edad BETWEEN 15 AND 24"},
    {"25 A 44", "CE.Descripcion = 'AÑOS' AND E.Edad BETWEEN 25 AND 44"},
    {"45 A 64", "CE.Descripcion = 'AÑOS' AND E.Edad BETWEEN 45 AND 64"},
    {"65 Y MAS", "CE.Descripcion = 'AÑOS' AND E.Edad > 64"},
    {"NE", "CE.Descripcion = 'AÑOS' AND E.Edad IS NULL"},
    {"NE", "CE.Descripcion = 'AÑOS' AND E.Edad = 999"},
};

// Detail tables with descriptions: name and the select that fills it.
const char *const Detalles[][3] = {
    {"GENERANDO D_EFECTOS", "D_EFECTOS_DAT",
     "SELECT D.Folio AS FOLIO, D.CLUES AS CLUES, D.fechaAtencion AS FECHAATENCION, "
     "T.Descripcion AS AFECTADOAGRESOR, F.Descripcion AS EFECTOS "
     "FROM main.D_BajoEfectos AS D "
     "LEFT JOIN main.cAfectadoAgresor AS T ON T.CodAfectadoAgresor = D.CodAfectadoAgresor "
     "LEFT JOIN main.cEfectos AS F ON F.CodEfectos = D.CodEfectos"},
    {"GENERANDO D_DERECHOHABIENCIA", "D_DERECHOHABIENCIA_DAT",
     "SELECT D.Folio AS FOLIO, D.CLUES AS CLUES, D.fechaAtencion AS FECHAATENCION, "
     "T.Descripcion AS DERECHOHABIENCIA "
     "FROM main.D_Derechohabiencia AS D "
     "LEFT JOIN main.cDerechohabiencia AS T ON T.CodDerechohabiencia = D.CodDerechohabiencia"},
    {"GENERANDO D_TIPOATENCION", "D_TIPOATENCION_DAT",
     "SELECT D.Folio AS FOLIO, D.CLUES AS CLUES, D.fechaAtencion AS FECHAATENCION, "
     "T.Descripcion AS TIPOATENCION "
     "FROM main.D_TipoAtencion AS D "
     "LEFT JOIN main.cTipoAtencion AS T ON T.CodTipoAtencion = D.CodTipoAtencion"},
    {"GENERANDO D_TIPOVIOLENCIA", "D_TIPOVIOLENCIA_DAT",
     "SELECT D.Folio AS FOLIO, D.CLUES AS CLUES, D.fechaAtencion AS FECHAATENCION, "
     "T.Descripcion AS TIPOVIOLENCIA "
     "FROM main.D_TipoViolencia AS D "
     "LEFT JOIN main.cTipoViolencia AS T ON T.CodTipoViolencia = D.CodTipoViolencia"},
};

// What the finished column holds, over the event E, its unit C and its age
// unit CE; a catalog it reads is joined to the row under a name of its own.
QString Expresion(const Columna &c, QStringList &uniones)
{
    const QString columna = QLatin1String(c.nombre);
    auto une = [&uniones](const QString &catalogo, const QString &coincide) {
        const QString alias = QStringLiteral("X%1").arg(uniones.size() + 1);
        uniones << QStringLiteral("LEFT JOIN main.%1 AS %2 ON %3")
                       .arg(catalogo, alias, QString(coincide).replace(QStringLiteral("X."), alias + QLatin1Char('.')));
        return alias;
    };
    for (const ReglaLugar &r : ReglasLugar)
        if (columna == QLatin1String(r.columna))
            return QStringLiteral("%1 || '-' || %2.Descripcion")
                .arg(QLatin1String(r.codigo), une(QLatin1String(r.catalogo), QLatin1String(r.coincide)));
    for (const ReglaCodigo &r : ReglasCodigo)
        if (columna == QLatin1String(r.columna)) {
            const QString codigo = QLatin1String(c.origen);
            const QString valor = r.ceroPrimero
                ? QStringLiteral("CASE WHEN %1 IS NULL OR trim(%1) = '' THEN 0 ELSE %1 END").arg(codigo)
                : codigo;
            return une(QLatin1String(r.catalogo), QStringLiteral("X.%1 = %2").arg(QLatin1String(r.clave), valor))
                + QStringLiteral(".Descripcion");
        }
    if (columna == QLatin1String("AFECPRIN"))
        return QStringLiteral("coalesce(E.CodAfecprin, '') || ' ' || coalesce(%1.nombre, '')")
            .arg(une(QStringLiteral("CATCIE10"), QStringLiteral("X.Causa = E.CodAfecprin")));
    if (columna == QLatin1String("CAUSAEXT"))
        return QStringLiteral("E.CodCausaExt || ' ' || %1.nombre")
            .arg(une(QStringLiteral("CATCIE10"), QStringLiteral("X.Causa = E.CodCausaExt")));
    if (columna == QLatin1String("MES"))
        return MesEstadisticoSql(QStringLiteral("E.fechaAtencion"), QStringLiteral("'  '"));
    if (columna == QLatin1String("GPO_QUIN")) {
        QString caso = QStringLiteral("CASE");
        for (int i = int(std::size(ReglasGrupoEdad)) - 1; i >= 0; --i)
            caso += QStringLiteral(" WHEN %1 THEN '%2'").arg(QString::fromUtf8(ReglasGrupoEdad[i][1]),
                                                            QLatin1String(ReglasGrupoEdad[i][0]));
        return caso + QStringLiteral(" ELSE ' ' END");
    }
    return QLatin1String(c.origen);
}

} // namespace

const QStringList &ColumnasEventoDinamica()
{
    static const QStringList nombres = [] {
        QStringList l;
        for (const Columna &c : Columnas)
            l << QLatin1String(c.nombre);
        return l;
    }();
    return nombres;
}

void ConstruyeBaseDinamica(const BaseDatos &bd, const QString &esquema,
                           const std::function<void(const QString &)> &avance)
{
    // The attached file is new and is replaced whole on failure: no journal needed.
    bd.Ejecuta(QStringLiteral("PRAGMA %1.journal_mode = OFF").arg(esquema)).finish();
    bd.Ejecuta(QStringLiteral("PRAGMA %1.synchronous = OFF").arg(esquema)).finish();
    Transaccion t(bd, Transaccion::Alcance::Aparte);

    avance(QStringLiteral("TRANSFIRIENDO CATALOGOS"));
    for (const auto &c : Catalogos)
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE %1.%2 AS SELECT * FROM main.%3")
                             .arg(esquema, QLatin1String(c[0]), QLatin1String(c[1])));

    avance(QStringLiteral("GENERANDO EventoS"));
    // One statement: every description is a key lookup joined to the event.
    QStringList definiciones, valores, uniones;
    for (const Columna &c : Columnas) {
        definiciones << QStringLiteral("%1 %2 NULL").arg(QLatin1String(c.nombre), QLatin1String(c.tipo));
        valores << Expresion(c, uniones);
    }
    bd.EjecutaAccion(QStringLiteral("CREATE TABLE %1.D_EVENTO_DAT (%2)").arg(esquema, definiciones.join(QStringLiteral(", "))));
    bd.EjecutaAccion(QStringLiteral("INSERT INTO %1.D_EVENTO_DAT SELECT %2 FROM main.D_EVENTO AS E "
                                    "LEFT JOIN main.CATCLUES AS C ON C.Clues = E.Clues "
                                    "LEFT JOIN main.cClaveEdad AS CE ON CE.CodClaveEdad = E.CodClaveEdad %3 "
                                    "ORDER BY E.rowid")
                         .arg(esquema, valores.join(QStringLiteral(", ")), uniones.join(QLatin1Char(' '))));

    for (const auto &d : Detalles) {
        avance(QLatin1String(d[0]));
        bd.EjecutaAccion(QStringLiteral("CREATE TABLE %1.%2 AS %3").arg(esquema, QLatin1String(d[1]), QLatin1String(d[2])));
    }
    t.Confirma();
}
