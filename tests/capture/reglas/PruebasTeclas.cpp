// Key sets of the sheet's fields: typed keys, lower case, Ñ, the space and pasted text.
#include "AmbienteReglas.h"

using Teclas = AmbienteReglas;

// Lower case comes in upper case, Ñ only where letters go; pasted text has one beep for the lot.
TEST_F(Teclas, CadaCampoAceptaSuConjuntoYRechazaElRestoConUnBeep)
{
    const QString Digitos = "0123456789", Letras = "ABCDEFGHIJKLMNÑOPQRSTUVWXYZ";
    // The fields, the characters they take, and whether they take the space; 41 and 68 depend on other fields.
    for (const auto &[campos, permitidos, espacio] : {
             std::tuple{QList<int>{22, 33, 34, 36, 46, 47, 48, 49, 50, 55, 56, 60, 61, 63, 64, 66, 69, 70, 72, 73, 75}, Digitos, false},
             {{23, 32}, Digitos + Letras, false}, {{29, 30, 31, 81}, Letras + "./", true}, {{35, 42, 43, 44, 45}, Digitos + Letras + "./-", true},
             {{37}, "01239", false}, {{38, 39, 40, 52, 65, 67}, "129", false}, {{51, 54, 62, 79}, "12", false}, {{53}, "12345", false},
             {{57, 58, 80}, "1239", false}, {{59}, "12349", false}, {{71}, "123459", false}, {{74}, "12345679", false},
             {{76, 77, 78}, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", false}, {{24}, "", false}})
        for (int campo : campos) {
            for (const QChar ch : QString("0123456789ABCDEFGHIJKLMNÑOPQRSTUVWXYZabcdefghijklmnñopqrstuvwxyz./-#*,áé \t")) {
                const bool esperado = ch == QLatin1Char(' ') ? espacio : permitidos.contains(ch.toUpper());
                Msj().beeps = 0;
                EXPECT_EQ(reglas->TeclaPermitida(campo, QString(ch)), esperado) << campo << " '" << QString(ch).toStdString() << "'";
                EXPECT_EQ(Msj().beeps, esperado ? 0 : 1) << campo;
            }
            EXPECT_TRUE(reglas->TeclaPermitida(campo, "\b")) << "retroceso en " << campo;
        }
    // The field, what is pasted, what comes in and the beeps.
    for (const auto &[campo, pegado, queda, beeps] : {std::tuple{29, "peña lópez", "PEÑA LPEZ", 1}, {42, "calle 5-b/2.", "CALLE 5-B/2.", 0},
                                                      {76, "s00ñ1", "S001", 1}, {22, "ñ", "", 1}}) {
        Msj().beeps = 0;
        EXPECT_EQ(reglas->FiltraTexto(campo, QString::fromUtf8(pegado)), QString::fromUtf8(queda)) << campo;
        EXPECT_EQ(Msj().beeps, beeps) << campo;
    }
    // Browsing lets everything through; editing does not.
    hoja.EnAlta = false;
    EXPECT_EQ(reglas->FiltraTexto(36, "ab"), "ab");
    hoja.EnCambio = true;
    EXPECT_FALSE(reglas->TeclaPermitida(36, "a"));
}

// Schooling by age, unit and literacy (a blank age counts as 0) and kinship by
// intent: the keys let in and the list a double click opens.
TEST_F(Teclas, EscolaridadYParentescoSegunOtrosCampos)
{
    const QString Reducida = "Catalogo(41,Escolaridad,Solo 1,5,6,9)", Completa = "Catalogo(41,Escolaridad,Todos)";
    // The field, the texts written before, the keys let in and the list opened (none when empty).
    for (const auto &[campo, antes, permitidos, lista] : {
             std::tuple{41, Textos{{37, "3"}, {36, "11"}, {40, "1"}}, "1569", Reducida}, {41, {{36, "12"}}, "1234569", Completa}, {41, {{40, "2"}}, "1569", Reducida},
        {41, {{37, "2"}, {36, "5"}, {40, "1"}}, "1234569", Completa}, {41, {{37, "3"}, {36, ""}}, "1569", Reducida},
        {68, {{53, "2"}}, "1234569", "Catalogo(68,Parentesco,Excepto 7,8)"}, {68, {{53, "3"}}, "78", "Catalogo(68,Parentesco,Solo 7,8)"},
        {68, {{53, "1"}}, "", ""}}) {
        for (const auto &t : antes) {
            hoja.HabilitaCampo(t.first, true);
            hoja.PonTexto(t.first, t.second);
        }
        for (const QChar ch : QString("0123456789"))
            EXPECT_EQ(reglas->TeclaPermitida(campo, QString(ch)), QString::fromLatin1(permitidos).contains(ch))
                << campo << " " << antes.last().second.toStdString() << " " << QString(ch).toStdString();
        abiertas.clear();
        hoja.HabilitaCampo(campo, true);
        reglas->DobleClic(campo);
        EXPECT_EQ(abiertas.join(""), lista) << campo << " " << antes.last().second.toStdString();
    }
}
