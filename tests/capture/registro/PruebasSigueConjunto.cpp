// The sheet's record set follows its own saves and deletes in place; after
// each it must hold what reading the statement again gives, and the sheet
// must stand where that reload would have put it.
#include "AmbienteRegistro.h"

#include <functional>

namespace {

const ConsultaSQL DeLaUnidad{"Select * from D_Evento Where Clues = ?", {"DFSSA000012"}};
const ConsultaSQL Todos = modEvento::TodosLosEventos();

class SigueConjunto : public AmbienteRegistro {
public:
    using AmbienteRegistro::Inserta;

    void Graba(const QString &clues, int folio, const QString &fecha)
    {
        DatosEvento d = EventoValido();
        d.textos[23] = clues;
        d.textos[22] = QString::number(folio);
        d.fechaAtencion = fecha;
        d.fechaOcurrencia = QDate::fromString(fecha, "dd/MM/yyyy").addDays(-1).toString("dd/MM/yyyy");
        AmbienteRegistro::Graba(d);
    }
    // Stands on the event of that folio and date (dd/MM).
    void Ve(int folio, const QString &dia)
    {
        for (Vida().BotonPulsado(1); Folio().toInt() != folio || !Hoja().Fecha(1).startsWith(dia); Vida().BotonPulsado(3))
            ASSERT_FALSE(Rs().Posicion() == Rs().Cuenta()) << folio;
    }
    ConjuntoEventos &Rs() { return Reg().eventos.rsAtencion; }
    static QStringList Claves(ConjuntoEventos &rs)
    {
        QStringList claves;
        for (rs.MueveInicio(); rs.EnFila(); rs.MueveSiguiente())
            claves << rs.Actual()->clues + "/" + QString::number(rs.Actual()->folio) + "/" + rs.Actual()->FechaISO();
        return claves;
    }
};

struct Caso {
    const char *nombre;
    ConsultaSQL consulta;                             // the statement of the reloads
    std::function<void(SigueConjunto &)> accion;
    const char *mostrado;                             // CLUES/folio shown afterwards
};

class SigueConjuntoTabla : public SigueConjunto, public ::testing::WithParamInterface<Caso> {};

TEST_P(SigueConjuntoTabla, IgualQueLeerLaSentenciaDeNuevo)
{
    const Caso &c = GetParam();
    Vida().Abre();
    for (const auto &[clues, folio, fecha] : {std::tuple{"MCSSA000016", 5, "10/06/2004"}, {"DFSSA000012", 30, "10/06/2004"},
                                              {"DFSSA000012", 10, "12/06/2004"}, {"DFQRV000015", 20, "11/06/2004"}, {"DFSSA000012", 10, "11/06/2004"}})
        Graba(clues, folio, fecha);
    // The set as the filter window leaves it.
    Reg().eventos.ConsultaEventos = c.consulta;
    Reg().eventos.CargaEventos(c.consulta);
    Vida().Actualiza_Ubicacion();
    c.accion(*this);

    ASSERT_TRUE(Rs().EnFila());
    EXPECT_EQ(Clues() + "/" + QString::number(Folio().toInt()), c.mostrado);
    EXPECT_EQ(Rs().Actual()->clues + "/" + QString::number(Rs().Actual()->folio), c.mostrado);
    ConjuntoEventos releido;
    releido.Abre(prog.bd(), c.consulta);
    EXPECT_TRUE(Titulo().contains(QStringLiteral(" de %1 ").arg(releido.Cuenta()))) << Titulo().toStdString();
    EXPECT_EQ(Claves(Rs()), Claves(releido));
}

// Edits the event of that folio and date: a new text in that field (the key fields opened).
std::function<void(SigueConjunto &)> Cambia(int folio, const char *dia, int campo, const char *texto)
{
    return [=](SigueConjunto &t) {
        t.Ve(folio, dia);
        t.Vida().BotonPulsado(6);
        t.Hoja().HabilitaMarco(Marco::Clues, true);
        t.Hoja().PonTexto(campo, texto);
        t.Vida().BotonPulsado(8);
    };
}
std::function<void(SigueConjunto &)> Borra(int folio, const char *dia)
{
    return [=](SigueConjunto &t) {
        t.Ve(folio, dia);
        t.Msj().Responde(true);
        t.Vida().BotonPulsado(11);
    };
}
std::function<void(SigueConjunto &)> Alta(const char *clues, int folio) { return [=](SigueConjunto &t) { t.Graba(clues, folio, "01/06/2004"); }; }

INSTANTIATE_TEST_SUITE_P(
    Casos, SigueConjuntoTabla,
    ::testing::Values(
        Caso{"AltaDentroDelFiltro", DeLaUnidad, Alta("DFSSA000012", 1), "DFSSA000012/1"},
        Caso{"CambioQueSigueEnElFiltro", DeLaUnidad, Cambia(30, "10/06", 29, "SOTO"), "DFSSA000012/30"},
        Caso{"CambioQueSaleDelFiltro", DeLaUnidad, Cambia(30, "10/06", 23, "DFQRV000015"), "DFSSA000012/10"},
        Caso{"CambioDeClave", DeLaUnidad, Cambia(10, "12/06", 22, "00000035"), "DFSSA000012/35"},
        Caso{"BajaEnMedioDelFiltro", DeLaUnidad, Borra(10, "12/06"), "DFSSA000012/10"},
        // Another window wrote D_EVENTO meanwhile: the set is read again.
        Caso{"AltaTrasOtraEscritura", Todos, [](SigueConjunto &t) { t.Inserta("DFQRV000015", 1, "2004-06-01"); Alta("DFSSA000012", 15)(t); }, "DFQRV000015/1"},
        // "Quitar Filtro" shows every event; a save reopens the set with the filter's statement.
        Caso{"QuitarFiltroYAlta", DeLaUnidad, [](SigueConjunto &t) { t.Vida().MenuBuscar(2); Alta("DFQRV000015", 1)(t); }, "DFSSA000012/10"}),
    [](const ::testing::TestParamInfo<Caso> &i) { return std::string(i.param.nombre); });

} // namespace
