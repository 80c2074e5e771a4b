#include "reports/FiltrosReporte.h"

#include "platform/BaseDatos.h"
#include "shell/modGeneral.h"

#include <QSqlQuery>
#include <algorithm>

const QStringList FiltrosReporte::TitulosReportes = {
    QStringLiteral("Accidente por vehiculo de motor"),
    QStringLiteral("Agente de Lesión por Intencionalidad"),
    QStringLiteral("Defunción por Intencionalidad A"),
    QStringLiteral("Defunción por Sitio de Ocurrencia"),
    QStringLiteral("Intencionalidad por Parentesco"),
    QStringLiteral("Intencionalidad por Sitio de Ocurrencia"),
    QStringLiteral("Violencia por primera vez"),
    QStringLiteral("Intencionalidad por Área Anatómica"),
    QStringLiteral("Lista Detallada"),
    QStringLiteral("Principales Diagnosticos por Causa Externa"),
    QStringLiteral("Principales Diagnosticos por VELMORAN"),
    QStringLiteral("Reporte del Agresor"),
    QStringLiteral("Tipo de Atención por Destino Posterior a la Atención"),
    QStringLiteral("Defunción por Intencionalidad B"),
};
const QString FiltrosReporte::Todos = QStringLiteral("TODOS");
const QString FiltrosReporte::SinJurisdiccion = QStringLiteral("99  SIN JURISDICCION");
const QString FiltrosReporte::MenoresUnAno = QStringLiteral("MENORES DE UN AÑO");
const QString FiltrosReporte::RangoAnos = QStringLiteral("RANGO DE AÑOS");
const QString FiltrosReporte::EdadNoEspecificada = QStringLiteral("EDAD NO ESPECIFICADA");

namespace {
// Units that have events: one probe of the event key per unit.
const char *const ConEventos = " EXISTS (SELECT 1 FROM D_EVENTO e WHERE e.Clues = c.Clues)";
} // namespace

QStringList FiltrosReporte::Lineas(const QString &sql, const QVariantList &valores) const
{
    QStringList lineas;
    QSqlQuery q = bd_.Ejecuta(sql, valores);
    while (q.next())
        lineas << q.value(0).toString() + QStringLiteral("  ") + q.value(1).toString();
    q.finish();
    return lineas;
}

void FiltrosReporte::Llena(ComboFiltro &c, const QStringList &primeras, const QStringList &lineas)
{
    c.lineas = primeras + lineas;
    c.actual = c.lineas.isEmpty() ? -1 : 0;
}

void FiltrosReporte::InicializaFiltros()
{
    optLugarAtencion = optFechaAtencion = optAtencion = optAfeccionPrincipal = true;
    Llena(cmbReporte, TitulosReportes, {});
    LlenaEntidades();
    LlenaFechas();
    Llena(cmbSexo, {Todos}, Lineas(QStringLiteral("SELECT CodSexo, Descripcion FROM cSexo s WHERE EXISTS "
                                                  "(SELECT 1 FROM D_EVENTO e WHERE e.CodSexo = s.CodSexo) ORDER BY CodSexo"), {}));
    Llena(cmbDerechohabiencia, {Todos},
          Lineas(QStringLiteral("SELECT CodDerechohabiencia, Descripcion FROM cDerechohabiencia WHERE CodDerechohabiencia IN "
                                "(SELECT DISTINCT CodDerechohabiencia FROM D_Derechohabiencia) ORDER BY CodDerechohabiencia"), {}));
    Llena(cmbCveEdad, {Todos, MenoresUnAno, RangoAnos, EdadNoEspecificada}, {});
    EligeCveEdad(0);
}

void FiltrosReporte::EligeReporte(int i)
{
    cmbReporte.actual = i;
    Avisa();
}

void FiltrosReporte::EligeLugar(bool atencion)
{
    optLugarAtencion = atencion;
    LlenaEntidades();
    Avisa();
}

void FiltrosReporte::LlenaEntidades()
{
    const QString sql = optLugarAtencion
        ? QStringLiteral("SELECT CodEstado, Descripcion FROM cEstados s WHERE EXISTS (SELECT 1 FROM CATCLUES c "
                         "WHERE c.CEDOCVE = s.CodEstado AND") + ConEventos + QStringLiteral(") ORDER BY CodEstado")
        : QStringLiteral("SELECT CodEstado, Descripcion FROM cEstados WHERE CodEstado IN "
                         "(SELECT DISTINCT CodEstado FROM D_EVENTO) ORDER BY CodEstado");
    Llena(cmbEntidad, {Todos}, Lineas(sql, {}));
    ReglaEntidad();
}

void FiltrosReporte::EligeEntidad(int i)
{
    cmbEntidad.actual = i;
    ReglaEntidad();
    Avisa();
}

void FiltrosReporte::ReglaEntidad()
{
    if (cmbEntidad.Texto() == Todos) {
        for (ComboFiltro *c : {&cmbJurisdiccion, &cmbMunicipio, &cmbLocalidad}) {
            c->Vacia();
            c->habilitado = false;
        }
        unidadesHabilitadas = optLugarAtencion;
        if (optLugarAtencion) {
            LlenaUnidades();
        } else {
            chkTodasUnidades = false;
            lstUnidades.clear();
            unidadMarcada.clear();
        }
    } else if (optLugarAtencion) {
        cmbJurisdiccion.habilitado = true;
        LlenaJurisdicciones();
    } else {
        cmbMunicipio.habilitado = true;
        LlenaMunicipios();
    }
}

void FiltrosReporte::LlenaJurisdicciones()
{
    const QString estado = CodigoCascada(cmbEntidad);
    Llena(cmbJurisdiccion, {Todos, SinJurisdiccion},
          Lineas(QStringLiteral("SELECT CodJurisdiccion, Descripcion FROM cJurisdicciones WHERE CodEstado = ? AND "
                                "CodJurisdiccion IN (SELECT CJURCVE FROM CATCLUES c WHERE CEDOCVE = ? AND")
                     + ConEventos + QStringLiteral(") ORDER BY CodJurisdiccion"),
                 {estado, estado}));
    EligeJurisdiccion(0);
}

void FiltrosReporte::EligeJurisdiccion(int i)
{
    cmbJurisdiccion.actual = i;
    if (optLugarAtencion) {
        cmbMunicipio.habilitado = true;
        LlenaMunicipios();
    }
    Avisa();
}

void FiltrosReporte::LlenaMunicipios()
{
    const QString estado = CodigoCascada(cmbEntidad);
    const QStringList lineas = optLugarAtencion
        ? Lineas(QStringLiteral("SELECT CodMunicipio, Descripcion FROM cMunicipios WHERE CodEstado = ? AND CodMunicipio IN "
                                "(SELECT CMPOCVE FROM CATCLUES c WHERE CEDOCVE = ? AND CJURCVE = ? AND")
                     + ConEventos + QStringLiteral(") ORDER BY CodMunicipio"),
                 {estado, estado, CodigoCascada(cmbJurisdiccion)})
        : Lineas(QStringLiteral("SELECT CodMunicipio, Descripcion FROM cMunicipios WHERE CodEstado = ? AND CodMunicipio IN "
                                "(SELECT CodMunicipio FROM D_EVENTO WHERE CodEstado = ?) ORDER BY CodMunicipio"),
                 {estado, estado});
    Llena(cmbMunicipio, {Todos}, lineas);
    EligeMunicipio(0);
}

void FiltrosReporte::EligeMunicipio(int i)
{
    cmbMunicipio.actual = i;
    if (optLugarAtencion)
        LlenaUnidades();
    else
        LlenaLocalidades();
    Avisa();
}

void FiltrosReporte::LlenaLocalidades()
{
    const QString estado = CodigoCascada(cmbEntidad), municipio = CodigoCascada(cmbMunicipio);
    Llena(cmbLocalidad, {Todos},
          Lineas(QStringLiteral("SELECT CodLocalidad, Descripcion FROM cLocalidades WHERE CodEstado = ? AND CodMunicipio = ? "
                                "AND CodLocalidad IN (SELECT CodLocalidad FROM D_EVENTO WHERE CodEstado = ? AND CodMunicipio = ?) "
                                "ORDER BY CodLocalidad"),
                 {estado, municipio, estado, municipio}));
    cmbLocalidad.habilitado = true;
}

void FiltrosReporte::EligeLocalidad(int i)
{
    cmbLocalidad.actual = i;
    Avisa();
}

void FiltrosReporte::LlenaUnidades()
{
    // A level counts only when its code is a number other than zero, and only
    // below a level that counts ("TOD" and "00" are no choice).
    QString sql = QStringLiteral("SELECT Clues, DescUnidad FROM CATCLUES c WHERE") + ConEventos;
    QVariantList valores;
    const char *const columnas[] = {" AND CEDOCVE = ?", " AND CJURCVE = ?", " AND CMPOCVE = ?"};
    const ComboFiltro *niveles[] = {&cmbEntidad, &cmbJurisdiccion, &cmbMunicipio};
    for (int i = 0; i < 3 && ValorEntero(CodigoCascada(*niveles[i])) != 0; ++i) {
        sql += QLatin1String(columnas[i]);
        valores << CodigoCascada(*niveles[i]);
    }
    lstUnidades = Lineas(sql + QStringLiteral(" ORDER BY Clues"), valores);
    unidadMarcada.fill(true, lstUnidades.size());
    chkTodasUnidades = true;
}

QStringList FiltrosReporte::UnidadesMarcadas() const
{
    QStringList r;
    for (int i = 0; i < lstUnidades.size(); ++i)
        if (unidadMarcada.value(i))
            r << lstUnidades[i];
    return r;
}

void FiltrosReporte::MarcaTodasUnidades(bool marcado)
{
    chkTodasUnidades = marcado;
    const bool todas = std::all_of(unidadMarcada.begin(), unidadMarcada.end(), [](bool m) { return m; });
    // Unticking keeps a partial choice; it clears only a full one.
    if (marcado || todas)
        unidadMarcada.fill(marcado);
    Avisa();
}

void FiltrosReporte::MarcaUnidad(int i, bool marcado)
{
    if (i < 0 || i >= unidadMarcada.size())
        return;
    unidadMarcada[i] = marcado;
    chkTodasUnidades = std::all_of(unidadMarcada.begin(), unidadMarcada.end(), [](bool m) { return m; });
    Avisa();
}

void FiltrosReporte::EligeFechas(bool atencion)
{
    optFechaAtencion = atencion;
    LlenaFechas();
    Avisa();
}

void FiltrosReporte::LlenaFechas()
{
    const QString columna = optFechaAtencion ? QStringLiteral("FechaAtencion") : QStringLiteral("FechaOcurrencia");
    QSqlQuery q = bd_.Ejecuta(QStringLiteral("SELECT min(%1), max(%1) FROM D_EVENTO").arg(columna));
    q.next();
    const QDate primera = QDate::fromString(q.value(0).toString(), Qt::ISODate);
    const QDate ultima = QDate::fromString(q.value(1).toString(), Qt::ISODate);
    q.finish();
    if (!primera.isValid() || !ultima.isValid()) {
        picFechaInicial.habilitado = picFechaFinal.habilitado = false;
        return;
    }
    // Both bounds change together, so a picker's lowest date never exceeds its highest.
    picFechaInicial = {primera, ultima, primera, true};
    picFechaFinal = {primera, ultima, ultima, true};
}

void FiltrosReporte::PonFechaInicial(const QDate &d)
{
    FechaFiltro &ini = picFechaInicial, &fin = picFechaFinal;
    if (!ini.habilitado || !d.isValid())
        return;
    ini.valor = qBound(ini.minimo, d, ini.maximo);
    fin.minimo = ini.valor;
    fin.valor = fin.maximo;
    Avisa();
}

void FiltrosReporte::PonFechaFinal(const QDate &d)
{
    FechaFiltro &fin = picFechaFinal;
    if (!fin.habilitado || !d.isValid())
        return;
    fin.valor = qBound(fin.minimo, d, fin.maximo);
    Avisa();
}

void FiltrosReporte::EligeSexo(int i)
{
    cmbSexo.actual = i;
    Avisa();
}

void FiltrosReporte::EligeDerechohabiencia(int i)
{
    cmbDerechohabiencia.actual = i;
    Avisa();
}

void FiltrosReporte::EligeCveEdad(int i)
{
    cmbCveEdad.actual = i;
    if (cmbCveEdad.Texto() == RangoAnos) {
        cmbEdadIni.habilitado = cmbEdadFin.habilitado = true;
        LlenaEdadInicial();
    } else {
        cmbEdadIni.Vacia();
        cmbEdadFin.Vacia();
        cmbEdadIni.habilitado = cmbEdadFin.habilitado = false;
    }
    Avisa();
}

void FiltrosReporte::LlenaEdadInicial()
{
    QStringList edades;
    QSqlQuery q = bd_.Ejecuta(QStringLiteral("SELECT DISTINCT Edad FROM D_EVENTO WHERE CodClaveEdad = 3 AND Edad IS NOT NULL "
                                             "ORDER BY Edad"));
    while (q.next())
        edades << q.value(0).toString();
    q.finish();
    if (edades.isEmpty()) {
        cmbEdadIni.habilitado = cmbEdadFin.habilitado = false;
        return;
    }
    Llena(cmbEdadIni, edades, {});
    LlenaEdadFinal();
}

void FiltrosReporte::EligeEdadIni(int i)
{
    cmbEdadIni.actual = i;
    LlenaEdadFinal();
    Avisa();
}

void FiltrosReporte::LlenaEdadFinal()
{
    // The ages not below the initial one, the highest shown; none without an initial age.
    cmbEdadFin.Vacia();
    if (cmbEdadIni.actual < 0)
        return;
    cmbEdadFin.lineas = cmbEdadIni.lineas.mid(cmbEdadIni.actual);
    cmbEdadFin.actual = int(cmbEdadFin.lineas.size()) - 1;
}

void FiltrosReporte::EligeEdadFin(int i)
{
    cmbEdadFin.actual = i;
    Avisa();
}

void FiltrosReporte::EligeEntidadAtencion(bool atencion)
{
    optAtencion = atencion;
    Avisa();
}

void FiltrosReporte::EligeAfeccionPrincipal(bool afeccion)
{
    optAfeccionPrincipal = afeccion;
    Avisa();
}
