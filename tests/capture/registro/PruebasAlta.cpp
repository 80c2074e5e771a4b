// A new event being added: the two date boxes (weekday, statistical month and
// the checks on leaving them) and the check-list rules as sequences of ticks.
#include "AmbienteRegistro.h"

#include <QLocale>

namespace {

const QString NoValida = "La Fecha no es valida, verifique por favor....";
const QString FueraDelAno = "La Fecha de Atención debe ser del año estadistico en curso....";
const QString Futura = "La Fecha de Atención no puede ser mayor a la Fecha Actual, verifique por favor....";

class Alta : public AmbienteRegistro {
protected:
    Alta()
    {
        Vida().Abre();
        Vida().BotonPulsado(5);   // adding: every frame open
        focos.clear();
    }
    QString Etiquetas() { return Hoja().Etiqueta(0) + "|" + Hoja().Etiqueta(1); }
    void Marca(ListaHoja lista, const QStringList &pasos) { ::Marca(Hoja(), lista, pasos); }
    QStringList Marcados(ListaHoja lista) { return Hoja().CodigosMarcados(lista); }
    int Ofrecidos() { return Hoja().Elementos(ListaHoja::TipoAtencion).size(); }
};

TEST_F(Alta, DiaDeLaSemanaEnMayusculasSeaCualSeaElIdioma)
{
    const QLocale antes;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList dias;
    for (int d = 0; d < 7; ++d)
        dias << DiaSemana(QDate(2004, 6, 14).addDays(d));
    EXPECT_EQ(dias.join(' '), "LUNES MARTES MIÉRCOLES JUEVES VIERNES SÁBADO DOMINGO");
    QLocale::setDefault(antes);
}

TEST_F(Alta, AlCambiarLaCajaSuEtiquetaQuedaEnBlancoHastaSalir)
{
    Hoja().PonFecha(1, "15/06/2004");
    Hoja().PonFecha(0, "14/06/2004");
    EXPECT_EQ(Hoja().Etiqueta(0), QString());   // the changed box's own label
    Hoja().PonFecha(1, "16/06/2004");
    EXPECT_EQ(Etiquetas(), "LUNES|");
    // Leaving an empty box says nothing and empties its label.
    Hoja().PonFecha(0, QString());
    Hoja().PonEtiqueta(0, "LUNES");
    EXPECT_TRUE(Reg().fechas.SaleFecha(0) && Hoja().Etiqueta(0).isEmpty() && Msj().cajas.isEmpty());
}

// The statistical year 2004 runs from 26/12/2003 to 25/12/2004; "today" is the fixed clock.
TEST_F(Alta, ComprobacionesAlSalirDeLaFechaDeAtencion)
{
    const QDate lejos(2026, 12, 6), junio(2004, 6, 15);
    const struct {
        QDate hoy;
        const char *fecha;
        QString mensaje;   // empty: accepted
        const char *mes;
        bool marcoAbierto = true;
        int cajas = 1;
    } casos[] = {
        {lejos, "26/12/2003", {}, "ENERO"}, {lejos, "25/12/2004", {}, "DICIEMBRE"}, {lejos, "25/12/2003", FueraDelAno, ""},
        {lejos, "26/12/2004", FueraDelAno, ""}, {junio, "15/06/2004", {}, "JUNIO"}, {junio, "16/06/2004", Futura, ""},
        {lejos, "15/06/2027", NoValida, ""}, {lejos, "12/0_/____", NoValida, ""},
        {lejos, "31/02/2004", NoValida, "", false},   // refused in a closed frame: no focus request
        {lejos, "29/02/2003", NoValida, "", true, 2},  // no such day: told twice
    };
    for (const auto &c : casos) {
        SCOPED_TRACE(c.fecha);
        prog.reloj.Fija(QDateTime(c.hoy, QTime(9, 0)));
        Msj().Limpia();
        focos.clear();
        Hoja().HabilitaMarco(Marco::Clues, c.marcoAbierto);
        Hoja().PonFecha(1, c.fecha);
        EXPECT_EQ(Reg().fechas.SaleFecha(1), c.mensaje.isEmpty());
        EXPECT_EQ(Msj().Ultimo() + "|" + Hoja().Etiqueta(1) + "|" + focos.join(','),
                  c.mensaje + "|" + c.mes + "|" + (c.mensaje.isEmpty() || !c.marcoAbierto ? "" : "msk1"));
        EXPECT_TRUE(c.mensaje.isEmpty() || (Msj().cajas.size() == c.cajas && Msj().beeps == c.cajas - 1 && Msj().cajas.last().titulo == TituloHoja &&
                        Msj().cajas.last().icono == Mensajes::Icono::Informacion &&
                        (c.cajas == 1 || Msj().cajas[0].texto == "Fecha invalida, verifique por favor.....")));
    }
}

TEST_F(Alta, LaOcurrenciaNoPuedeSerPosteriorALaAtencion)
{
    Hoja().PonFecha(0, "16/06/2004");
    EXPECT_TRUE(Reg().fechas.SaleFecha(0));   // leaving the occurrence never compares
    Hoja().PonFecha(1, "15/06/2004");
    EXPECT_FALSE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(Msj().Ultimo() + "|" + focos.join(',') + "|" + Etiquetas(),
              "La Fecha de Ocurrencia no puede ser mayor a la Fecha de Atención, verifique por favor....|msk0|MIÉRCOLES|");
    Hoja().PonFecha(0, "15/06/2004");   // the same day passes
    Msj().Limpia();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1) && Msj().cajas.isEmpty());
    EXPECT_EQ(Etiquetas(), "MARTES|JUNIO");
}

TEST_F(Alta, UnaClaveQueYaExisteSeAvisaYElMesQuedaVacio)
{
    Inserta("DFQRV000015", 5, "2004-06-15");
    Hoja().PonTexto(23, "DFQRV000015");
    Hoja().PonTexto(22, "00000005");
    Hoja().PonFecha(1, "15/06/2004");
    focos.clear();
    EXPECT_TRUE(Reg().fechas.SaleFecha(1));
    EXPECT_EQ(QStringList({Msj().Ultimo(), Msj().cajas.last().titulo, focos.join(','), Hoja().Etiqueta(1)}),
              QStringList({"Los Datos de este Evento ya existen (CLUES, Folio y Fecha de Atención\nverifique por favor.....", TituloHoja, "22", ""}));
    // An incomplete Folio or date of care, or editing rather than adding, is not tested.
    for (const auto &[folio, fecha, alta] : {std::tuple{"5", "15/06/2004", true}, {"00000005", "__/__/____", true}, {"00000005", "15/06/____", true},
                                             {"00000005", "15/06/2", true}, {"00000005", "15/06/2004", false}}) {
        Hoja().PonTexto(22, folio);
        Hoja().PonFecha(1, fecha);
        Hoja().EnAlta = alta;
        EXPECT_FALSE(ExisteRegistro(*prog.ctx, Hoja())) << folio << fecha;
    }
}

TEST_F(Alta, SustanciasNingunaYSeIgnoraVanSolas)
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

TEST_F(Alta, DerechohabienciaAbreLaAfiliacionYSusRespuestasExclusivas)
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
TEST_F(Alta, LaSegundaViolenciaOfreceTodosLosTiposDeAtencion)
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
TEST_F(Alta, AlLeerUnEventoLasReglasNoEscriben)
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
