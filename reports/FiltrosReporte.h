#pragma once

#include <QDate>
#include <QStringList>
#include <QVector>
#include <functional>

class BaseDatos;

// A combo of the report window: its lines, the one shown (-1: none) and
// whether it can be opened.
struct ComboFiltro {
    QStringList lineas;
    int actual = -1;
    bool habilitado = true;

    QString Texto() const { return lineas.value(actual); }
    void Vacia() { lineas.clear(); actual = -1; }
};

// A date picker: its lowest and highest date and its value.
struct FechaFiltro {
    QDate minimo, maximo, valor;
    bool habilitado = false;
};

// The filter controls of "Reportes VELMORAN" without widgets: every list is
// filled from the working database with what occurs in the recorded events,
// and each user action runs its rule (the cascade state, jurisdiction,
// municipality, locality / units; select-all; the period; the age range).
// The window mirrors this state and calls the actions; alCambiar runs after
// each one. A failing fill throws ErrorBD.
class FiltrosReporte {
public:
    static const QStringList TitulosReportes;
    static const QString Todos;               // "TODOS"
    static const QString SinJurisdiccion;     // "99  SIN JURISDICCION"
    static const QString MenoresUnAno;        // "MENORES DE UN AÑO"
    static const QString RangoAnos;           // "RANGO DE AÑOS"
    static const QString EdadNoEspecificada;  // "EDAD NO ESPECIFICADA"

    explicit FiltrosReporte(const BaseDatos &bd) : bd_(bd) {}

    // The fills of the window's load, in order: titles, states, period, sex,
    // entitlement, age key.
    void InicializaFiltros();

    void EligeReporte(int i);
    void EligeLugar(bool atencion);           // optLugarAtencion / optLugarOcurrencia
    void EligeEntidad(int i);
    void EligeJurisdiccion(int i);
    void EligeMunicipio(int i);
    void EligeLocalidad(int i);
    void MarcaTodasUnidades(bool marcado);    // chkTodasUnidades clicked
    void MarcaUnidad(int i, bool marcado);    // a line of lstUnidades ticked or unticked
    void EligeFechas(bool atencion);          // optFechaAtencion / optFechaOcurrencia
    void PonFechaInicial(const QDate &d);
    void PonFechaFinal(const QDate &d);
    void EligeSexo(int i);
    void EligeDerechohabiencia(int i);
    void EligeCveEdad(int i);
    void EligeEdadIni(int i);
    void EligeEdadFin(int i);
    void EligeEntidadAtencion(bool atencion); // optAtencion / optOcurrencia
    void EligeAfeccionPrincipal(bool afeccion);

    // frmLugar and frmCausa: shown only for the detailed list.
    bool MarcosListaDetallada() const { return cmbReporte.Texto() == QLatin1String("Lista Detallada"); }
    QStringList UnidadesMarcadas() const;

    ComboFiltro cmbReporte, cmbEntidad, cmbJurisdiccion, cmbMunicipio, cmbLocalidad;
    ComboFiltro cmbSexo, cmbDerechohabiencia, cmbCveEdad, cmbEdadIni, cmbEdadFin;
    bool optLugarAtencion = true;
    bool optFechaAtencion = true;
    bool optAtencion = true;
    bool optAfeccionPrincipal = true;
    QStringList lstUnidades;
    QVector<bool> unidadMarcada;
    bool chkTodasUnidades = false;
    bool unidadesHabilitadas = true;          // fraDatosUnidades, chkTodasUnidades and lstUnidades
    FechaFiltro picFechaInicial, picFechaFinal;

    std::function<void()> alCambiar;

private:
    // The code of a shown line as the cascade reads it: its first three
    // characters, trimmed ("TODOS" gives "TOD").
    static QString CodigoCascada(const ComboFiltro &c) { return c.Texto().left(3).trimmed(); }
    // Lines "code  description" of a query's two columns.
    QStringList Lineas(const QString &sql, const QVariantList &valores) const;
    static void Llena(ComboFiltro &c, const QStringList &primeras, const QStringList &lineas);

    void LlenaEntidades();
    void LlenaJurisdicciones();
    void LlenaMunicipios();
    void LlenaLocalidades();
    void LlenaUnidades();
    void LlenaFechas();
    void LlenaEdadInicial();
    void LlenaEdadFinal();
    void ReglaEntidad();
    void Avisa() { if (alCambiar) alCambiar(); }

    const BaseDatos &bd_;
};
