#include "reports/GeneradorReportes.h"

#include "platform/CursorOcupado.h"
#include "reports/ReportesCruzados.h"
#include "reports/ReportesDiagnosticos.h"
#include "shell/Contexto.h"
#include "shell/modGeneral.h"

#include <QDir>
#include <QScopedValueRollback>
#include <QSqlQuery>

const QString GeneradorReportes::TituloVentana = QStringLiteral("Reportes VELMORAN");

namespace {
// The chosen units travel in this table, never pasted into the statement.
const QString TablaUnidades = QStringLiteral("UNIDADESREPORTE");
const QString TablaPaso = QStringLiteral("PASOREPORTE");
const QString TablaFiltro = QStringLiteral("FILTROREPORTE");
} // namespace

GeneradorReportes::GeneradorReportes(Contexto &c, FiltrosReporte &f) : ctx(c), filtros(f), sueltas_(c.ConexionBD)
{
    RegistraReportesCruzados(*this);
    RegistraReportesDiagnosticos(*this);
}

void GeneradorReportes::Reporte()
{
    ctx.mensajes.Beep();
    Documento.reset();
    {
        CursorOcupado cursor;
        // The run's work tables go with it, however it ends.
        TablasTemporales corrida(ctx.ConexionBD);
        const QScopedValueRollback<TablasTemporales *> enCorrida(trabajo_, &corrida);
        try {
            if (ArmaFiltro() && CreaPasoReporte())
                GeneraReporte();
        } catch (const ErrorBD &e) {
            Documento.reset();
            ctx.mensajes.Informa(QStringLiteral("%1 - %2").arg(e.Numero()).arg(e.Descripcion()), TituloVentana);
        } catch (const ErrorReporte &e) {
            Documento.reset();
            ctx.mensajes.Informa(e.Texto(), TituloVentana);
        }
    }
    if (Documento && Muestra)
        Muestra(*Documento);
}

bool GeneradorReportes::ArmaFiltro()
{
    const FiltrosReporte &f = filtros;
    TituloReporte = f.cmbReporte.Texto();
    FiltroReporte.clear();
    ValoresFiltro.clear();
    QStringList partes;
    const QString todos = FiltrosReporte::Todos;

    if (!f.optLugarAtencion) {
        if (f.cmbEntidad.Texto() != todos) {
            partes << QStringLiteral("E.CodEstado = ?");
            ValoresFiltro << f.cmbEntidad.Texto().left(2);
            if (!f.cmbMunicipio.Texto().isEmpty() && f.cmbMunicipio.Texto() != todos) {
                partes << QStringLiteral("E.CodMunicipio = ?");
                ValoresFiltro << f.cmbMunicipio.Texto().left(3);
                if (!f.cmbLocalidad.Texto().isEmpty() && f.cmbLocalidad.Texto() != todos) {
                    partes << QStringLiteral("E.CodLocalidad = ?");
                    ValoresFiltro << f.cmbLocalidad.Texto().left(4);
                }
            }
        }
    } else {
        UnidadesSeleccionadas = f.UnidadesMarcadas();
        if (UnidadesSeleccionadas.isEmpty()) {
            ctx.mensajes.Informa(QStringLiteral("Debe seleccionar al menos una Unidad Médica, verifique por favor....."),
                                 TituloAplicacion());
            if (EnfocaUnidades)
                EnfocaUnidades();
            return false;
        }
        if (f.cmbEntidad.Texto() != todos || !f.chkTodasUnidades) {
            CreaTablaTrabajo(TablaUnidades, QStringLiteral("Clues TEXT PRIMARY KEY COLLATE NOCASE"));
            Transaccion t(ctx.ConexionBD, Transaccion::Alcance::Aparte);
            for (const QString &u : UnidadesSeleccionadas)
                EjecutaConsulta(QStringLiteral("INSERT OR IGNORE INTO UNIDADESREPORTE (Clues) VALUES (?)"), {u.left(11)});
            t.Confirma();
            partes << QStringLiteral("E.Clues IN (SELECT Clues FROM UNIDADESREPORTE)");
        }
    }
    LugarReporte = partes.isEmpty() ? QString()
        : f.optLugarAtencion ? QStringLiteral(" POR LUGAR DE ATENCIÓN") : QStringLiteral(" POR LUGAR DE OCURRENCIA");

    partes << (f.optFechaAtencion ? QStringLiteral("E.FechaAtencion BETWEEN ? AND ?")
                                  : QStringLiteral("E.FechaOcurrencia BETWEEN ? AND ?"));
    ValoresFiltro << f.picFechaInicial.valor.toString(Qt::ISODate) << f.picFechaFinal.valor.toString(Qt::ISODate);
    if (f.cmbSexo.Texto() != todos && !f.cmbSexo.Texto().isEmpty()) {
        partes << QStringLiteral("E.CodSexo = ?");
        ValoresFiltro << ValorEntero(f.cmbSexo.Texto().left(1));
    }
    if (f.cmbDerechohabiencia.Texto() != todos && !f.cmbDerechohabiencia.Texto().isEmpty()) {
        partes << QStringLiteral("EXISTS (SELECT 1 FROM D_Derechohabiencia D WHERE D.Clues = E.Clues AND D.Folio = E.Folio "
                                 "AND D.fechaAtencion = E.fechaAtencion AND D.CodDerechohabiencia = ?)");
        ValoresFiltro << f.cmbDerechohabiencia.Texto().left(1);
    }
    const QString clave = f.cmbCveEdad.Texto();
    if (clave == FiltrosReporte::MenoresUnAno) {
        partes << QStringLiteral("E.CodClaveEdad IN (0, 1, 2)");
    } else if (clave == FiltrosReporte::RangoAnos) {
        // With no age in years on record there is no range, and nothing to report.
        if (f.cmbEdadIni.Texto().isEmpty() || f.cmbEdadFin.Texto().isEmpty()) {
            FiltroReporte = partes.join(QStringLiteral(" AND "));
            ctx.mensajes.Informa(QStringLiteral("No existe información para generar el Reporte con las opciones elegidas......"),
                                 TituloAplicacion());
            if (EnfocaReporte)
                EnfocaReporte();
            return false;
        }
        partes << QStringLiteral("E.CodClaveEdad = 3 AND E.Edad BETWEEN ? AND ?");
        ValoresFiltro << ValorEntero(f.cmbEdadIni.Texto()) << ValorEntero(f.cmbEdadFin.Texto());
    } else if (clave == FiltrosReporte::EdadNoEspecificada) {
        partes << QStringLiteral("E.CodClaveEdad = 9");
    }
    FiltroReporte = partes.join(QStringLiteral(" AND "));
    return true;
}

bool GeneradorReportes::CreaPasoReporte()
{
    // PASOREPORTE is a view of the chosen events over the filter's values,
    // which travel bound in FILTROREPORTE: the builders count straight from
    // D_EVENTO instead of copying it first.
    trabajo_->AgregaVista(TablaPaso);
    QStringList columnas;
    QString condicion = FiltroReporte;
    for (int i = 0; i < ValoresFiltro.size(); ++i) {
        columnas << QStringLiteral("v%1").arg(i);
        condicion.replace(condicion.indexOf(QLatin1Char('?')), 1, QStringLiteral("F.v%1").arg(i));
    }
    CreaTablaTrabajo(TablaFiltro, columnas.join(QStringLiteral(", ")));
    EjecutaConsulta(QStringLiteral("INSERT INTO FILTROREPORTE VALUES (%1)")
                        .arg(QStringLiteral("?, ").repeated(int(columnas.size())).chopped(2)),
                    ValoresFiltro);
    EjecutaConsulta(QStringLiteral("CREATE TEMP VIEW PASOREPORTE AS SELECT E.* FROM FILTROREPORTE AS F, D_EVENTO AS E WHERE ")
                    + condicion);
    if (Cuenta(QStringLiteral("SELECT EXISTS (SELECT 1 FROM PASOREPORTE)")) == 0) {
        ctx.mensajes.Informa(QStringLiteral("No existe información para generar el Reporte con las opciones elegidas......"),
                             TituloAplicacion());
        if (EnfocaReporte)
            EnfocaReporte();
        return false;
    }
    return true;
}

void GeneradorReportes::GeneraReporte()
{
    const auto c = constructores_.constFind(TituloReporte);
    if (c != constructores_.constEnd())
        (*c)(*this);
}

QMap<QString, QString> GeneradorReportes::CreaEncabezados() const
{
    const FiltrosReporte &f = filtros;
    const QString todos = FiltrosReporte::Todos;
    QString p3;
    if (f.cmbEntidad.Texto() != todos)
        p3 = QStringLiteral("ENTIDAD: ") + f.cmbEntidad.Texto().mid(3);
    if (f.cmbJurisdiccion.habilitado && !f.cmbJurisdiccion.Texto().isEmpty() && f.cmbJurisdiccion.Texto() != todos) {
        if (f.cmbJurisdiccion.Texto() == FiltrosReporte::SinJurisdiccion)
            p3.prepend(QStringLiteral("OTRAS INSTITUCIONES - "));
        else
            p3 += QStringLiteral(" - JURISDICCION: ") + f.cmbJurisdiccion.Texto().mid(4);
    }
    if (f.cmbMunicipio.habilitado && !f.cmbMunicipio.Texto().isEmpty() && f.cmbMunicipio.Texto() != todos)
        p3 += QStringLiteral(" - MUNICIPIO: ") + f.cmbMunicipio.Texto().mid(4);
    if (f.cmbLocalidad.habilitado && !f.cmbLocalidad.Texto().isEmpty() && f.cmbLocalidad.Texto() != todos)
        p3 += QStringLiteral(" - LOCALIDAD: ") + f.cmbLocalidad.Texto().mid(5);
    if (f.optLugarAtencion) {
        const int k = int(UnidadesSeleccionadas.size());
        if (f.chkTodasUnidades && f.lstUnidades.size() > 6) {
            p3 += QStringLiteral(" - UNIDADES: TODAS");
        } else if (k == 1) {
            p3 += QStringLiteral(" - UNIDAD: ") + UnidadesSeleccionadas[0];
        } else if (k >= 2 && k <= 6) {
            QStringList clues;
            for (const QString &u : UnidadesSeleccionadas)
                clues << u.left(11);
            p3 += QStringLiteral(" - UNIDADES: ") + clues.join(QStringLiteral(", "));
        } else if (k >= 7) {
            p3 += QStringLiteral(" - UNIDADES: VARIAS");
        }
    }

    const QString derecho = f.cmbDerechohabiencia.Texto();
    const QString p4 = derecho == todos ? QString() : derecho.mid(2).toUpper();
    const QString sexo = f.cmbSexo.Texto();
    const QString p5 = sexo == todos || sexo.isEmpty() ? QString()
        : sexo.startsWith(QLatin1Char('1')) ? QStringLiteral("HOMBRES")
        : sexo.startsWith(QLatin1Char('2')) ? QStringLiteral("MUJERES") : QStringLiteral("SEXO NO ESPECIFICADO");
    const QString clave = f.cmbCveEdad.Texto();
    QString p6;
    if (clave == FiltrosReporte::MenoresUnAno || clave == FiltrosReporte::EdadNoEspecificada)
        p6 = clave;
    else if (clave == FiltrosReporte::RangoAnos)
        p6 = QStringLiteral("EDAD INICIAL:   ") + f.cmbEdadIni.Texto() + QStringLiteral("    EDAD FINAL:   ") + f.cmbEdadFin.Texto();
    const QString p7 = QStringLiteral("INFORMACIÓN DE   ") + f.picFechaInicial.valor.toString(QStringLiteral("dd/MM/yyyy"))
        + QStringLiteral("   A   ") + f.picFechaFinal.valor.toString(QStringLiteral("dd/MM/yyyy"));
    QString p8;
    if (f.cmbReporte.Texto() == QLatin1String("Lista Detallada"))
        p8 = (f.optAfeccionPrincipal ? QStringLiteral("AFECCION  PRINCIPAL") : QStringLiteral("CAUSA  EXTERNA"))
            + (f.optAtencion ? QStringLiteral("  POR  ENTIDAD  DE  ATENCION") : QStringLiteral("  POR  ENTIDAD  DE  OCURRENCIA"));

    QMap<QString, QString> t{{"p1", LugarReporte}, {"p2", f.cmbReporte.Texto().toUpper()}, {"p3", p3}, {"p4", p4},
                             {"p5", p5}, {"p6", p6}, {"p7", p7}, {"p8", p8}, {"titulo", TituloReporte}};
    if (TituloReporte.left(11) == QLatin1String("Principales"))
        t.insert(QStringLiteral("lnTotal"), FormateaValor(TotalReporte, QStringLiteral("#,##0")));   // as the table shows counts
    return t;
}

void GeneradorReportes::MuestraReporte(const QString &archivo, const QString &consulta)
{
    const DefinicionReporte def = CargaDefinicionReporte(QDir(ctx.CarpetaReportes()).filePath(archivo));
    FuenteConsulta filas(ctx.ConexionBD, consulta);
    Documento = MaquetaReporte(def, CreaEncabezados(), filas, TituloReporte);
}

void GeneradorReportes::EjecutaConsulta(const QString &sql, const QVariantList &valores) const
{
    ctx.ConexionBD.EjecutaAccion(sql, valores);
}

void GeneradorReportes::CreaTablaTrabajo(const QString &tabla, const QString &columnas)
{
    trabajo_->Agrega(tabla);
    EjecutaConsulta(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(CitaNombre(tabla), columnas));
}

qint64 GeneradorReportes::Cuenta(const QString &sql) const
{
    return ctx.ConexionBD.Valor(sql).toLongLong();
}
