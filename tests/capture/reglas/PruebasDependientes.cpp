// Change handling: descriptions, dependent fields while capturing, reading a
// stored event, and the pick-lists of a double click.
#include "AmbienteReglas.h"

#include "lookups/Descripciones.h"

#include <algorithm>

using Dependientes = AmbienteReglas;

TEST_F(Dependientes, DescripcionesDeCadaClaseDeCampo)
{
    const QString No = CveInexistente();
    // The texts written, the description looked at and what it reads.
    for (const auto &[textos, etiqueta, esperado] : {
             std::tuple{Textos{{38, "2"}}, 38, QString("MUJER")}, {{{38, "7"}}, 38, No}, {{{38, ""}}, 38, ""}, {{{67, "9"}}, 67, "NO ESPECIFICADO"},
        {{{37, "3"}}, 37, "AÑOS"}, {{{53, "11"}}, 53, "TRATA DE PERSONAS"}, {{{46, "09"}}, 46, "CIUDAD DE MEXICO"},
        {{{46, "37"}}, 46, No}, {{{46, "09"}, {47, "002"}}, 47, "AZCAPOTZALCO"}, {{{47, "001"}}, 47, No},
        {{{47, "004"}, {48, "0007"}}, 48, "SAN LORENZO ACOPILCO"},
        // A description hanging on several codes follows each of them.
        {{{47, "002"}}, 48, No}, {{{47, "004"}, {46, "17"}}, 47, "AYALA"}, {{{46, "09"}}, 48, "SAN LORENZO ACOPILCO"},
        {{{23, "DFSSA000012"}}, 28, "HOSPITAL GENERAL IZTAPALAPA"}, {{{23, "ZZSSA000002"}}, 28, ""},
        {{{77, "S001"}}, 77, "CONTUSION DEL PARPADO Y DE LA REGION PERIOCULAR"}, {{{77, "ZZZZ"}}, 77, No}}) {
        Escribe(textos);
        EXPECT_EQ(hoja.Etiqueta(etiqueta), esperado) << "etiqueta " << etiqueta;
    }
    Escribe({{23, "DFSSA000012 "}});
    EXPECT_EQ(hoja.Texto(23) + "|" + hoja.Etiqueta(28), "DFSSA000012|HOSPITAL GENERAL IZTAPALAPA");   // trimmed in place
    // A lookup that cannot run leaves the description as it was.
    Escribe({{38, "2"}});
    prog.Ejecuta("ALTER TABLE cSexo RENAME TO cSexoViejo");
    Escribe({{38, "1"}});
    EXPECT_TRUE(hoja.Etiqueta(38) == "MUJER" && Msj().cajas.isEmpty());
}

// Each step: the texts written in turn, then the texts, open and closed fields expected.
struct Paso {
    Textos escribe, textos;
    QList<int> abiertos, cerrados;
};
struct Secuencia {
    const char *nombre;
    std::vector<Paso> pasos;
};
class DependientesTabla : public AmbienteReglas, public ::testing::WithParamInterface<Secuencia> {};

TEST_P(DependientesTabla, CamposQueAbreYCierraCadaRespuesta)
{
    for (const Paso &p : GetParam().pasos) {
        SCOPED_TRACE(p.escribe.isEmpty() ? 0 : p.escribe.last().first);
        Escribe(p.escribe);
        Espera(p.textos, p.abiertos, p.cerrados);
    }
}

INSTANTIATE_TEST_SUITE_P(Reglas, DependientesTabla, ::testing::Values(
    // Pregnancy only for women of 9 to 54 years; an answer stays while it applies.
    Secuencia{"Embarazo", {{{{38, "2"}, {37, "3"}, {36, "8"}}, {{39, ""}}, {}, {39}}, {{{36, "9"}}, {{39, ""}}, {39}, {}},
                           {{{36, "54"}}, {{39, ""}}, {39}, {}}, {{{36, "55"}}, {{39, ""}}, {}, {39}},
                           {{{36, "30"}, {39, "1"}, {36, "31"}}, {{39, "1"}}, {39}, {}}, {{{38, "1"}}, {{39, ""}}, {}, {39}}}},
    Secuencia{"LecturaYEscolaridadPorEdad", {{{{37, "2"}, {36, "5"}}, {{40, "2"}, {41, "6"}}, {}, {40, 41}},
                                             {{{37, "3"}, {36, "4"}}, {{40, "2"}, {41, "6"}}, {}, {40, 41}},
                                             {{{37, "3"}, {36, "5"}}, {{40, ""}, {41, "6"}}, {40}, {41}},
                                             {{{37, "3"}, {36, "6"}}, {{40, ""}, {41, ""}}, {40, 41}, {}},
                                             {{{37, "2"}, {38, "2"}}, {{39, ""}}, {}, {39}}}},
    Secuencia{"ClaveDeEdadNoEspecificada", {{{{36, "30"}, {37, "9"}}, {{36, "999"}}, {}, {36}}, {{{37, "1"}}, {{36, ""}}, {36}, {}},
                                            {{{37, "9"}, {37, "3"}}, {{36, "999"}}, {36}, {}}, {{{37, ""}}, {}, {36}, {}}}},
    Secuencia{"AutoinfligidoAbreSoloLaVez", {{{{53, "4"}}, {{54, ""}}, {54, 74, 78}, {65, 66, 67, 68}}}},
    Secuencia{"VehiculoYEquipoDeSeguridad", {{{{56, "20"}}, {}, {57, 58}, {59}}, {{{57, "3"}}, {{58, ""}, {59, ""}}, {57}, {58, 59}},
                                             {{{57, "1"}, {58, "1"}}, {{59, ""}}, {58, 59}, {}},
                                             {{{59, "2"}, {56, "5"}}, {{57, ""}, {58, ""}, {59, ""}}, {}, {57, 58, 59}}}},
    // Another agent closes and empties the equipment too, though the role and the use were already empty.
    Secuencia{"OtroAgenteCierraElEquipo", {{{{56, "20"}, {59, "2"}, {56, "5"}}, {{57, ""}, {58, ""}, {59, ""}}, {}, {57, 58, 59}}}},
    // An aggressor other than a single one: the kinship follows the intentionality, 8 for non-family violence.
    Secuencia{"ParentescoDeVariosAgresores", {{{{53, "3"}, {65, "2"}}, {{66, "999"}, {67, "9"}, {68, "8"}}, {65}, {66, 67, 68}},
                                              {{{53, "2"}, {65, "9"}}, {{68, "4"}}, {65}, {68}},
                                              {{{53, "3"}, {65, "1"}, {68, "5"}, {65, "9"}}, {{68, "8"}}, {65}, {68}}}},
    Secuencia{"Traslado", {{{{62, "1"}}, {{63, ""}, {64, ""}}, {63, 64}, {}}, {{{63, "01"}, {64, "30"}, {62, "2"}}, {{63, ""}, {64, ""}}, {}, {63, 64}}}},
    Secuencia{"Urgencias", {{{{71, "3"}}, {{72, ""}, {73, ""}}, {72, 73}, {}}, {{{72, "01"}, {73, "30"}, {71, "2"}}, {{72, ""}, {73, ""}}, {}, {72, 73}}}}),
    [](const auto &i) { return std::string(i.param.nombre); });

TEST_F(Dependientes, IntencionalidadYAgresorMultiple)
{
    // Violence opens the aggressor's data, presetting none of it.
    Escribe({{53, "3"}, {65, "1"}, {66, "40"}, {67, "1"}, {53, "2"}});
    Espera({{54, ""}, {65, ""}, {66, ""}, {67, ""}, {68, ""}}, {54, 65, 66, 67, 68});
    EsperaLista(ListaHoja::TipoViolencia, true, {});
    EsperaLista(ListaHoja::AgresorEfectos, true, {});
    Escribe({{65, "2"}});
    Espera({{66, "999"}, {67, "9"}, {68, "4"}}, {65}, {66, 67, 68});
    EsperaLista(ListaHoja::AgresorEfectos, false, {"4"});
    Escribe({{65, "1"}});
    Espera({{66, ""}, {67, ""}, {68, ""}}, {66, 67, 68});
    // An accident empties and closes all of it, keeping the referral and the external cause.
    Escribe({{74, "1"}, {78, "V010"}, {66, "30"}});
    Marca(hoja, ListaHoja::TipoViolencia, {"6"});
    Marca(hoja, ListaHoja::AgresorEfectos, {"2"});
    Escribe({{53, "1"}});
    Espera({{54, ""}, {65, ""}, {66, ""}, {67, ""}, {68, ""}, {74, "1"}, {78, "V010"}}, {74, 78}, {54, 65, 66, 67, 68});
    EsperaLista(ListaHoja::TipoViolencia, false, {});
    EsperaLista(ListaHoja::AgresorEfectos, false, {});
    // Trafficking fixes the aggressor, the referral and the external cause;
    // leaving it opens the last two again, keeping them.
    Marca(hoja, ListaHoja::TipoViolencia, {"8"});
    Escribe({{53, "11"}});
    Espera({{54, ""}, {65, "2"}, {66, "999"}, {67, "9"}, {68, "8"}, {74, "3"}, {78, "Y079"}}, {}, {54, 65, 66, 67, 68, 74, 78});
    EsperaLista(ListaHoja::AgresorEfectos, false, {"4"});
    EsperaLista(ListaHoja::TipoViolencia, false, {});
    Escribe({{53, "1"}});
    Espera({{74, "3"}, {78, "Y079"}}, {74, 78});
}

// Reading a stored event writes its fields one by one while the sheet only
// browses: in either order, no stored value is lost or changed and the
// enabled states follow the texts.
TEST_F(Dependientes, LeerUnEventoNoCambiaNadaEnNingunOrden)
{
    const Textos guardado = {{53, "2"}, {54, "1"}, {65, "2"}, {66, "45"}, {67, "1"}, {68, "6"}, {36, "30"}, {37, "2"},
                             {38, "2"}, {39, "1"}, {40, "1"}, {41, "3"}, {56, "20"}, {57, "3"}, {58, "1"}, {59, "2"},
                             {62, "2"}, {63, "01"}, {71, "1"}, {72, "02"}, {74, "5"}, {78, "Y040"}, {61, "19"}, {75, "1"}};
    for (bool alReves : {false, true}) {
        hoja.EnAlta = hoja.EnCambio = false;
        hoja.Limpia();
        Marca(hoja, ListaHoja::AgresorEfectos, {"1"});
        Marca(hoja, ListaHoja::TipoViolencia, {"7"});
        Textos orden = guardado;
        if (alReves)
            std::reverse(orden.begin(), orden.end());
        Escribe(orden);
        // Enabled as the texts call for, for an edit that starts now.
        Espera(guardado, {54, 65, 74, 78, 57, 36}, {66, 67, 68, 58, 59, 39, 40, 41, 63, 64, 72, 73, 75});
        EsperaLista(ListaHoja::AgresorEfectos, false, {"1"});
        EsperaLista(ListaHoja::TipoViolencia, true, {"7"});
    }
}

TEST_F(Dependientes, DobleClicAbreLaListaDelCampo)
{
    Escribe({{46, "09"}, {47, "004"}});
    for (const auto &[campo, abierta] : {std::pair{23, "Clues"}, {46, "Estado"}, {47, "Municipio(09)"}, {48, "Localidad(09,004)"},
                                         {38, "Catalogo(38,Sexo,Todos)"}, {76, "CIE10(76)"}, {29, ""}}) {
        hoja.HabilitaCampo(campo, true);
        abiertas.clear();
        reglas->DobleClic(campo);
        EXPECT_EQ(abiertas.join(""), abierta) << campo;
    }
    // No state: every state's municipalities; a field that takes no input opens nothing.
    hoja.PonTexto(46, "");
    abiertas.clear();
    reglas->DobleClic(47);
    hoja.HabilitaMarco(Marco::Domicilio, false);
    reglas->DobleClic(46);
    EXPECT_EQ(abiertas, QStringList{"Municipio()"});
}
