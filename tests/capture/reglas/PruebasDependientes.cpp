// Change handling: descriptions, dependent fields while capturing, reading a
// stored event, and the pick-lists of a double click.
#include "AmbienteReglas.h"

#include "comun/EventoValido.h"
#include "lookups/Descripciones.h"

#include <algorithm>
#include <random>

namespace {

class Dependientes : public AmbienteReglas {
protected:
    // Expects the texts and the enabled state (true, false) of fields.
    void Espera(const QMap<int, QString> &textos, const QList<int> &abiertos, const QList<int> &cerrados,
                const char *caso)
    {
        for (auto it = textos.cbegin(); it != textos.cend(); ++it)
            EXPECT_EQ(hoja.Texto(it.key()), it.value()) << caso << ": texto de " << it.key();
        for (int c : abiertos)
            EXPECT_TRUE(hoja.CampoHabilitado(c)) << caso << ": " << c << " debe estar habilitado";
        for (int c : cerrados)
            EXPECT_FALSE(hoja.CampoHabilitado(c)) << caso << ": " << c << " debe estar deshabilitado";
    }
};

} // namespace

TEST_F(Dependientes, DescripcionesDeCadaClaseDeCampo)
{
    struct Caso {
        QList<QPair<int, QString>> textos;
        int etiqueta;
        QString esperado;
    } casos[] = {
        {{{38, "2"}}, 38, "MUJER"},
        {{{38, "7"}}, 38, CveInexistente()},
        {{{38, QString()}}, 38, QString()},
        {{{67, "9"}}, 67, "NO ESPECIFICADO"},
        {{{37, "3"}}, 37, "AÑOS"},
        {{{53, "11"}}, 53, "TRATA DE PERSONAS"},
        {{{46, "36"}}, 46, "ESTADO DE PRUEBA"},
        {{{46, "37"}}, 46, CveInexistente()},
        {{{46, "36"}, {47, "001"}}, 47, "MUNICIPIO UNO"},
        {{{47, "009"}}, 47, CveInexistente()},
        {{{47, "001"}, {48, "0001"}}, 48, "LOCALIDAD UNO"},
        {{{48, QString()}}, 48, QString()},
        // A description hanging on several codes follows each of them.
        {{{46, "36"}, {47, "002"}, {48, "0007"}, {47, "001"}}, 48, CveInexistente()},
        {{{47, "002"}, {46, "09"}}, 47, "MUNICIPIO AJENO"},
        {{{46, "36"}}, 48, "LOCALIDAD SIETE"},
        {{{23, "ZZSSA000001"}}, 28, "UNIDAD DE PRUEBA"},
        {{{23, "ZZSSA000002"}}, 28, QString()},   // an absent unit shows nothing
        {{{77, "S001"}}, 77, "CONTUSION DEL PARPADO"},
        {{{77, "ZZZZ"}}, 77, CveInexistente()},
    };
    for (const Caso &c : casos) {
        Escribe(c.textos);
        EXPECT_EQ(hoja.Etiqueta(c.etiqueta), c.esperado) << "etiqueta " << c.etiqueta;
    }
}

// A lookup that cannot run leaves the description as it was.
TEST_F(Dependientes, UnaConsultaQueFallaDejaLaDescripcion)
{
    hoja.PonTexto(38, "2");
    prog.Ejecuta("ALTER TABLE cSexo RENAME TO cSexoViejo");
    hoja.PonTexto(38, "1");
    EXPECT_EQ(hoja.Etiqueta(38), "MUJER");
    EXPECT_TRUE(Mensajes().cajas.isEmpty());
}

TEST_F(Dependientes, LaCluesSeRecortaEnSuLugar)
{
    hoja.PonTexto(23, "ZZSSA000001 ");
    EXPECT_EQ(hoja.Texto(23), "ZZSSA000001");
    EXPECT_EQ(hoja.Etiqueta(28), "UNIDAD DE PRUEBA");
}

TEST_F(Dependientes, EmbarazoSoloParaMujeresEnEdadFertil)
{
    Escribe({{38, "2"}, {37, "3"}, {36, "8"}});
    Espera({{39, QString()}}, {}, {39}, "8 años");
    for (const char *edad : {"9", "54"}) {
        hoja.PonTexto(36, QString::fromLatin1(edad));
        Espera({{39, QString()}}, {39}, {}, edad);
    }
    hoja.PonTexto(36, "55");
    Espera({{39, QString()}}, {}, {39}, "55 años");

    hoja.PonTexto(36, "30");
    hoja.PonTexto(39, "1");
    hoja.PonTexto(36, "31");
    Espera({{39, "1"}}, {39}, {}, "la respuesta se conserva");
    hoja.PonTexto(38, "1");
    Espera({{39, QString()}}, {}, {39}, "hombre");
}

TEST_F(Dependientes, LecturaYEscolaridadPorEdad)
{
    struct Caso {
        const char *unidad, *edad, *lee, *escolaridad;
        bool leeAbierto, escolaridadAbierta;
    } casos[] = {
        {"2", "5", "2", "6", false, false},
        {"3", "4", "2", "6", false, false},
        {"3", "5", "", "6", true, false},
        {"3", "6", "", "", true, true},
    };
    for (const Caso &c : casos) {
        Escribe({{37, QString::fromLatin1(c.unidad)}, {36, QString::fromLatin1(c.edad)}});
        Espera({{40, QString::fromLatin1(c.lee)}, {41, QString::fromLatin1(c.escolaridad)}}, {}, {}, c.edad);
        EXPECT_EQ(hoja.CampoHabilitado(40), c.leeAbierto) << c.unidad << "/" << c.edad;
        EXPECT_EQ(hoja.CampoHabilitado(41), c.escolaridadAbierta) << c.unidad << "/" << c.edad;
    }
    Escribe({{37, "2"}, {38, "2"}});
    Espera({{39, QString()}}, {}, {39}, "meses");
}

TEST_F(Dependientes, ClaveDeEdadNoEspecificadaBloqueaLaEdad)
{
    Escribe({{36, "30"}, {37, "9"}});
    Espera({{36, "999"}}, {}, {36}, "clave 9");
    hoja.PonTexto(37, "1");
    Espera({{36, QString()}}, {36}, {}, "clave 1 tras 9");
    Escribe({{37, "9"}, {37, "3"}});
    Espera({{36, "999"}}, {36}, {}, "clave 3 tras 9");
    hoja.PonTexto(37, QString());
    EXPECT_TRUE(hoja.CampoHabilitado(36));
    EXPECT_EQ(hoja.Etiqueta(37), QString());
}

TEST_F(Dependientes, IntencionalidadAccidental)
{
    Escribe({{74, "1"}, {78, "V010"}, {53, "2"}, {65, "1"}, {66, "30"}});
    hoja.Marca(ListaHoja::TipoViolencia, 0, true);
    hoja.Marca(ListaHoja::AgresorEfectos, 1, true);
    hoja.PonTexto(53, "1");
    Espera({{54, QString()}, {65, QString()}, {66, QString()}, {67, QString()}, {68, QString()},
            {74, "1"}, {78, "V010"}},
           {74, 78}, {54, 65, 66, 67, 68}, "accidental");
    EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::TipoViolencia));
    EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
    EXPECT_TRUE(Marcados(ListaHoja::TipoViolencia).isEmpty());
    EXPECT_TRUE(Marcados(ListaHoja::AgresorEfectos).isEmpty());
}

TEST_F(Dependientes, TrataDePersonas)
{
    hoja.Marca(ListaHoja::TipoViolencia, 2, true);
    hoja.PonTexto(53, "11");
    Espera({{54, QString()}, {65, "2"}, {66, "999"}, {67, "9"},
            {68, "8"}, {74, "3"}, {78, "Y079"}},
           {}, {54, 65, 66, 67, 68, 74, 78}, "trata");
    EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
    EXPECT_EQ(Marcados(ListaHoja::AgresorEfectos), QStringList{"4"});
    EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::TipoViolencia));
    EXPECT_TRUE(Marcados(ListaHoja::TipoViolencia).isEmpty());
    EXPECT_EQ(hoja.Etiqueta(78), "OTROS SINDROMES DE MALTRATO");

    // Leaving trafficking opens the referral and the external cause again, keeping them.
    hoja.PonTexto(53, "1");
    Espera({{74, "3"}, {78, "Y079"}}, {74, 78}, {}, "fin de trata");
}

TEST_F(Dependientes, ViolenciaFamiliarYAgresorMultiple)
{
    Escribe({{53, "3"}, {65, "1"}, {66, "40"}, {67, "1"}});
    hoja.PonTexto(53, "2");
    Espera({{54, QString()}, {65, QString()}, {66, QString()}, {67, QString()}, {68, QString()}},
           {54, 65, 66, 67, 68}, {}, "familiar");
    EXPECT_TRUE(hoja.ListaHabilitada(ListaHoja::TipoViolencia));
    EXPECT_TRUE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
    // Opening the aggressor's data presets none of it.
    EXPECT_TRUE(Marcados(ListaHoja::AgresorEfectos).isEmpty());

    hoja.PonTexto(65, "2");
    Espera({{66, "999"}, {67, "9"}, {68, "4"}}, {65}, {66, 67, 68}, "varios agresores");
    EXPECT_EQ(Marcados(ListaHoja::AgresorEfectos), QStringList{"4"});
    EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));

    hoja.PonTexto(65, "1");
    Espera({{66, QString()}, {67, QString()}, {68, QString()}}, {66, 67, 68}, {}, "un agresor");
    EXPECT_TRUE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
}

TEST_F(Dependientes, AutoinfligidoAbreSoloLaVez)
{
    hoja.PonTexto(53, "4");
    Espera({{54, QString()}}, {54, 74, 78}, {65, 66, 67, 68}, "autoinfligido");
}

TEST_F(Dependientes, VehiculoYEquipoDeSeguridad)
{
    hoja.PonTexto(56, "20");
    Espera({}, {57, 58}, {59}, "vehiculo");
    hoja.PonTexto(57, "3");
    Espera({{58, QString()}, {59, QString()}}, {57}, {58, 59}, "rol 3");
    Escribe({{57, "1"}, {58, "1"}});
    Espera({{59, QString()}}, {58, 59}, {}, "usa equipo");
    hoja.PonTexto(59, "2");
    hoja.PonTexto(56, "5");
    Espera({{57, QString()}, {58, QString()}, {59, QString()}}, {}, {57, 58, 59}, "otro agente");
}

TEST_F(Dependientes, TrasladoYUrgencias)
{
    struct Caso {
        int campo;
        const char *abre;
        int a, b;
    } casos[] = {{62, "1", 63, 64}, {71, "3", 72, 73}};
    for (const Caso &c : casos) {
        hoja.PonTexto(c.campo, QString::fromLatin1(c.abre));
        Espera({{c.a, QString()}, {c.b, QString()}}, {c.a, c.b}, {}, c.abre);
        Escribe({{c.a, "01"}, {c.b, "30"}});
        hoja.PonTexto(c.campo, "2");
        Espera({{c.a, QString()}, {c.b, QString()}}, {}, {c.a, c.b}, "cierra");
    }
}

// Reading a stored event writes its fields one by one while the sheet only
// browses: whatever the order, no stored value is lost or changed and the
// enabled states follow the texts.
TEST_F(Dependientes, LeerUnEventoNoCambiaNadaSeaCualSeaElOrden)
{
    const QList<QPair<int, QString>> guardado = {
        {53, "2"}, {54, "1"}, {65, "2"},
        {66, "45"}, {67, "1"}, {68, "6"},
        {36, "30"}, {37, "2"}, {38, "2"},
        {39, "1"}, {40, "1"}, {41, "3"},
        {56, "20"}, {57, "3"}, {58, "1"}, {59, "2"},
        {62, "2"}, {63, "01"}, {71, "1"}, {72, "02"},
        {74, "5"}, {78, "Y040"}, {61, "19"}, {75, "1"},
    };
    std::mt19937 azar(7);
    for (int vuelta = 0; vuelta < 6; ++vuelta) {
        hoja.EnAlta = hoja.EnCambio = false;
        hoja.Limpia();
        hoja.Marca(ListaHoja::AgresorEfectos, 0, true);
        hoja.Marca(ListaHoja::TipoViolencia, 1, true);
        QList<QPair<int, QString>> orden = guardado;
        if (vuelta == 1)
            std::reverse(orden.begin(), orden.end());
        else if (vuelta > 1)
            std::shuffle(orden.begin(), orden.end(), azar);
        Escribe(orden);
        for (const auto &t : guardado)
            EXPECT_EQ(hoja.Texto(t.first), t.second) << "vuelta " << vuelta << ", campo " << t.first;
        EXPECT_EQ(Marcados(ListaHoja::AgresorEfectos), QStringList{"1"}) << vuelta;
        EXPECT_EQ(Marcados(ListaHoja::TipoViolencia), QStringList{"2"}) << vuelta;
        // Enabled as the texts call for, for an edit that starts now.
        Espera({}, {54, 65, 74, 78, 57, 36}, {66, 67, 68, 58, 59, 39, 40, 41, 63, 64, 72, 73, 75}, "estado");
        EXPECT_TRUE(hoja.ListaHabilitada(ListaHoja::TipoViolencia));
        EXPECT_FALSE(hoja.ListaHabilitada(ListaHoja::AgresorEfectos));
    }
}

TEST_F(Dependientes, ElEventoValidoSeLeeTalCual)
{
    hoja.EnAlta = hoja.EnCambio = false;
    const DatosEvento d = EventoValido();
    LlenaHoja(hoja, d);
    for (auto it = d.textos.cbegin(); it != d.textos.cend(); ++it)
        EXPECT_EQ(hoja.Texto(it.key()), it.value()) << it.key();
    // An edit of it starts with the answered dependent fields open.
    for (int c : {39, 40, 41, 54, 65, 66, 67, 68, 72, 73})
        EXPECT_TRUE(hoja.CampoHabilitado(c)) << c;
    for (int c : {57, 58, 59, 63, 64})
        EXPECT_FALSE(hoja.CampoHabilitado(c)) << c;
}

TEST_F(Dependientes, DobleClicAbreLaListaDelCampo)
{
    Escribe({{46, "36"}, {47, "001"}, {37, "3"}, {36, "10"}});
    struct Caso {
        QList<QPair<int, QString>> antes;
        int campo;
        QString abierta;   // empty: nothing opens
    } casos[] = {
        {{}, 23, "Clues"},
        {{}, 46, "Estado"},
        {{}, 47, "Municipio(36)"},
        {{}, 48, "Localidad(36,001)"},
        {{}, 38, "Catalogo(38,Sexo,Todos)"},
        {{}, 37, "Catalogo(37,ClaveEdad,Todos)"},
        {{}, 41, "Catalogo(41,Escolaridad,Solo 1,5,6,9)"},
        {{{36, "30"}, {40, "1"}}, 41, "Catalogo(41,Escolaridad,Todos)"},
        {{{53, "2"}}, 68, "Catalogo(68,Parentesco,Excepto 7,8)"},
        {{{53, "3"}}, 68, "Catalogo(68,Parentesco,Solo 7,8)"},
        {{{53, "1"}}, 68, QString()},
        {{}, 76, "CIE10(76)"},
        {{}, 78, "CIE10(78)"},
        {{}, 29, QString()},
        {{}, 36, QString()},
        {{{46, QString()}}, 47, "Municipio()"},   // no state: every state's municipalities
    };
    for (const Caso &c : casos) {
        Escribe(c.antes);
        hoja.HabilitaCampo(c.campo, true);
        abiertas.clear();
        reglas->DobleClic(c.campo);
        EXPECT_EQ(abiertas, c.abierta.isEmpty() ? QStringList() : QStringList{c.abierta}) << c.campo;
    }
    // A field that takes no input opens nothing.
    hoja.HabilitaMarco(Marco::Domicilio, false);
    abiertas.clear();
    reglas->DobleClic(46);
    EXPECT_TRUE(abiertas.isEmpty());
}
