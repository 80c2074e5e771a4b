#include "queries/CamposConsulta.h"

namespace {

std::vector<CampoConsulta> Eventos()
{
    using T = TipoCampo;
    struct Fila {
        const char *alias;
        const char *columna;
        T tipo;
    };
    static const Fila filas[] = {
        {"E", "CLUES", T::Texto}, {"E", "Folio", T::Numero}, {"E", "fechaAtencion", T::Fecha},
        {"E", "Paterno", T::Texto}, {"E", "Materno", T::Texto}, {"E", "Nombre", T::Texto},
        {"D", "CodDerechohabiencia", T::Texto}, {"E", "CURP", T::Texto}, {"E", "Afiliacion", T::Texto},
        {"E", "Expediente", T::Texto}, {"E", "CodClaveEdad", T::Numero}, {"E", "Edad", T::Numero},
        {"E", "CodSexo", T::Numero}, {"E", "CodEmbarazada", T::Numero}, {"E", "CodLeeEscribe", T::Numero},
        {"E", "CodEscolaridad", T::Numero}, {"E", "Calle", T::Texto}, {"E", "EntreCalleUno", T::Texto},
        {"E", "EntreCalleDos", T::Texto}, {"E", "Colonia", T::Texto}, {"E", "CodEstado", T::Texto},
        {"E", "CodMunicipio", T::Texto}, {"E", "CodLocalidad", T::Texto}, {"E", "FechaOcurrencia", T::Fecha},
        {"E", "CodFestivo", T::Numero}, {"E", "CodDiscapacidad", T::Numero}, {"E", "CodIntencionalidad", T::Numero},
        {"V", "CodTipoViolencia", T::Numero}, {"E", "CodVez", T::Numero}, {"P", "EfectosPaciente", T::Numero},
        {"E", "CodSitio", T::Numero}, {"E", "CodAgente", T::Numero}, {"E", "CodLesionadoVehiculo", T::Numero},
        {"E", "CodUsoSeguridad", T::Numero}, {"E", "CodEquipo", T::Numero}, {"E", "CodArea", T::Numero},
        {"E", "CodConsecuencia", T::Numero}, {"E", "CodPrehospitalaria", T::Numero}, {"E", "CodAgresor", T::Numero},
        {"E", "EdadAgresor", T::Numero}, {"E", "CodSexoAgresor", T::Numero}, {"E", "CodParentescoAgresor", T::Numero},
        {"P", "EfectosAgresor", T::Numero}, {"E", "CodServicio", T::Numero}, {"T", "CodTipoAtencion", T::Numero},
        {"E", "CodReferido", T::Numero}, {"E", "CodDestino", T::Numero}, {"F", "Diagnosticos", T::Texto},
        {"E", "CodAfecprin", T::Texto}, {"E", "CodCausaExt", T::Texto}, {"E", "CodMP", T::Numero},
        {"E", "CodResponsable", T::Numero}, {"E", "NombreResponsable", T::Texto},
    };
    std::vector<CampoConsulta> campos;
    for (const Fila &f : filas)
        campos.push_back({QString::fromLatin1(f.alias), QString::fromLatin1(f.columna), f.tipo});
    return campos;
}

std::vector<CampoConsulta> CIE10()
{
    std::vector<CampoConsulta> campos;
    for (const char *c : {"Causa", "nombre", "Capitulo", "lsex", "linf", "lsup", "triv", "errad", "NotSemanal", "nin",
                          "no_cbd", "a", "no_aph", "Actualizac", "LM_MORTA", "PRINMORTA"})
        campos.push_back({QString(), QString::fromLatin1(c), TipoCampo::Texto});
    return campos;
}

// Each value once.
QString SentenciaValores(OrigenConsulta origen, const CampoConsulta &campo)
{
    if (!SobreEventos(origen))
        return QStringLiteral("SELECT DISTINCT %1 FROM CATCIE10").arg(campo.columna);
    if (campo.alias == QLatin1String("E"))
        return QStringLiteral("SELECT DISTINCT E.%1 FROM D_Evento AS E").arg(campo.columna);
    if (campo.columna == QLatin1String("EfectosPaciente"))
        return QStringLiteral("SELECT DISTINCT CodEfectos FROM D_BajoEfectos WHERE CodAfectadoAgresor = 1");
    if (campo.columna == QLatin1String("EfectosAgresor"))
        return QStringLiteral("SELECT DISTINCT CodEfectos FROM D_BajoEfectos WHERE CodAfectadoAgresor = 2");
    if (campo.alias == QLatin1String("D"))
        return QStringLiteral("SELECT DISTINCT CodDerechohabiencia FROM D_Derechohabiencia");
    if (campo.alias == QLatin1String("V"))
        return QStringLiteral("SELECT DISTINCT CodTipoViolencia FROM D_TipoViolencia");
    if (campo.alias == QLatin1String("T"))
        return QStringLiteral("SELECT DISTINCT CodTipoAtencion FROM D_TipoAtencion");
    return QStringLiteral("SELECT DISTINCT CodDiagnostico FROM D_Diagnosticos");
}

} // namespace

const std::vector<CampoConsulta> &CamposConsulta(OrigenConsulta origen)
{
    static const std::vector<CampoConsulta> eventos = Eventos();
    static const std::vector<CampoConsulta> cie10 = CIE10();
    return SobreEventos(origen) ? eventos : cie10;
}

const CampoConsulta *BuscaCampo(OrigenConsulta origen, const QString &entrada)
{
    const QString buscada = entrada.trimmed();
    for (const CampoConsulta &c : CamposConsulta(origen))
        if (c.Entrada().compare(buscada, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QStringList EntradasCampos(OrigenConsulta origen)
{
    QStringList entradas;
    for (const CampoConsulta &c : CamposConsulta(origen))
        entradas << c.Entrada();
    return entradas;
}

QString TablaOrigen(OrigenConsulta origen)
{
    switch (origen) {
    case OrigenConsulta::Hoja: return QStringLiteral("D_EVENTO");
    case OrigenConsulta::ListaCIE10: return QStringLiteral("CATCIE10");
    case OrigenConsulta::Tabla: return QStringLiteral("TODO");
    }
    return {};
}

QString SentenciaValoresPosibles(OrigenConsulta origen, const CampoConsulta &campo)
{
    return SentenciaValores(origen, campo) + QStringLiteral(" ORDER BY 1");
}
