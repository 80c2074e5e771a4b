// The check-list rules as sequences of ticks.
#include "AmbienteRegistro.h"

namespace {

class Listas : public AmbienteRegistro {
protected:
    Listas()
    {
        Vida().Abre();
        Vida().BotonPulsado(5);
    }
    void Marca(ListaHoja lista, const QStringList &pasos) { ::Marca(Hoja(), lista, pasos); }
    QStringList Marcados(ListaHoja lista) { return Hoja().CodigosMarcados(lista); }
    int Ofrecidos() { return Hoja().Elementos(ListaHoja::TipoAtencion).size(); }
};

TEST_F(Listas, SustanciasNingunaYSeIgnoraVanSolas)
{
    const struct {
        QStringList pasos, quedan;
    } casos[] = {
        {{"1", "2"}, {"1", "2"}}, {{"1", "2", "5"}, {"5"}}, {{"1", "2", "5", "1"}, {"1"}}, {{"4", "3"}, {"3"}},
        {{"1", "4", "-4"}, {}}, {{"1", "2", "-1"}, {"2"}}, {{"4", "5"}, {"5"}},
    };
    for (ListaHoja lista : {ListaHoja::PacienteEfectos, ListaHoja::AgresorEfectos}) {
        for (const auto &c : casos) {
            SCOPED_TRACE(c.pasos.join(' ').toStdString());
            Reg().eventos.CargaLista("Efectos", "CodEfectos", lista);
            Marca(lista, c.pasos);
            EXPECT_EQ(Marcados(lista), c.quedan);
        }
        // Unticking "4" leaves the other items as they are (ticks read with an event).
        Reg().eventos.CargaLista("Efectos", "CodEfectos", lista);
        Hoja().EnAlta = false;
        Marca(lista, {"1", "4"});
        Hoja().EnAlta = true;
        Marca(lista, {"-4"});
        EXPECT_EQ(Marcados(lista), QStringList({"1"}));
    }
}

TEST_F(Listas, DerechohabienciaAbreLaAfiliacionYSusRespuestasExclusivas)
{
    const struct {
        QStringList pasos, quedan;
        bool abre33, abre34;
    } casos[] = {
        {{"8"}, {"8"}, true, true}, {{"8", "1"}, {"1"}, false, false}, {{"G"}, {"G"}, true, false}, {{"1", "2", "9"}, {"9"}, false, false},
        {{"1", "2"}, {"1", "2"}, false, false}, {{"0", "G"}, {"G"}, true, false}, {{"G", "8"}, {"8"}, true, true}, {{"8", "-8"}, {}, false, false},
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.pasos.join(' ').toStdString());
        Reg().eventos.CargaLista("Derechohabiencia", "CodDerechohabiencia", ListaHoja::Derechohabiencia);
        for (auto [campo, texto] : {std::pair{33, "1234567890"}, {34, "01"}})
            Hoja().HabilitaCampo(campo, false), Hoja().PonTexto(campo, texto);
        Marca(ListaHoja::Derechohabiencia, c.pasos);
        EXPECT_EQ(Marcados(ListaHoja::Derechohabiencia), c.quedan);
        // Open, the flag of its code, and a closed field emptied: "abierto marca cerradoConTexto" for 33 then 34.
        const auto estado = [](bool abierto, bool marca, bool texto) { return QStringLiteral("%1%2%3").arg(abierto).arg(marca).arg(!abierto && texto); };
        EXPECT_EQ(estado(Hoja().CampoHabilitado(33), Hoja().MarcaDerechohabienciaG, !Hoja().Texto(33).isEmpty()) +
                      estado(Hoja().CampoHabilitado(34), Hoja().MarcaDerechohabiencia8, !Hoja().Texto(34).isEmpty()),
                  estado(c.abre33, c.abre33 && !c.abre34, false) + estado(c.abre34, c.abre34, false));
    }
}

// Each step ticks care types, then violence types; then the care types offered.
TEST_F(Listas, LaSegundaViolenciaOfreceTodosLosTiposDeAtencion)
{
    Hoja().HabilitaLista(ListaHoja::TipoViolencia, true);
    const struct {
        QStringList atencion, violencia;
        int ofrecidos;
    } pasos[] = {{{"1", "2"}, {"6"}, 6}, {{"3"}, {"7"}, 9}, {{"8"}, {"9"}, 9}, {{}, {"-7"}, 6}};
    for (const auto &p : pasos) {
        Marca(ListaHoja::TipoAtencion, p.atencion);
        Marca(ListaHoja::TipoViolencia, p.violencia);
        EXPECT_TRUE(Ofrecidos() == p.ofrecidos && Hoja().MarcaAtencionCompleta == (p.ofrecidos == 9)) << p.violencia.join(' ').toStdString();
        // The refill loses the ticks.
        EXPECT_TRUE(p.violencia[0] == "9" || Marcados(ListaHoja::TipoAtencion).isEmpty()) << p.violencia.join(' ').toStdString();
    }
    EXPECT_EQ(Marcados(ListaHoja::TipoViolencia), QStringList({"6", "9"}));
}

// Reading an event writes nothing through the list rules: the affiliation
// stays as stored, and its fields are open as the ticks call for.
TEST_F(Listas, AlLeerUnEventoLasReglasNoEscriben)
{
    DatosEvento d = EventoValido();
    d.marcados[ListaHoja::PacienteEfectos] = QStringList({"1", "2"});
    d.marcados[ListaHoja::TipoViolencia] = QStringList({"7"});
    d.marcados[ListaHoja::TipoAtencion] = QStringList({"1", "8"});
    Vida().BotonPulsado(9);
    Graba(d);
    EXPECT_EQ(Hoja().Texto(33) + Hoja().Texto(34), "123456789001");
    EXPECT_TRUE(Hoja().CampoHabilitado(33) && Hoja().CampoHabilitado(34) && Hoja().MarcaDerechohabiencia8 && Hoja().MarcaAtencionCompleta);
    EXPECT_EQ(Marcados(ListaHoja::PacienteEfectos) + Marcados(ListaHoja::TipoAtencion), QStringList({"1", "2", "1", "8"}));
    // A new event starts with no violence type ticked: only the care types
    // below 7 are offered, whatever the event shown before offered.
    Vida().BotonPulsado(5);
    EXPECT_TRUE(Marcados(ListaHoja::TipoViolencia).isEmpty() && Ofrecidos() == 6 && !Hoja().MarcaAtencionCompleta);
}

} // namespace
