// Key sets of the sheet's fields: typed keys, lower case, Ñ, the space and pasted text.
#include "AmbienteReglas.h"

#include "capture/ReglasTeclas.h"

namespace {

struct ConjuntoTeclas {
    QList<int> campos;
    QString permitidos;
    bool espacio;
};

const QString Digitos = "0123456789";
const QString Letras = "ABCDEFGHIJKLMNÑOPQRSTUVWXYZ";

// The key sets as the sheet's rules state them; 41 and 68 are tested apart.
const QList<ConjuntoTeclas> &Conjuntos()
{
    static const QList<ConjuntoTeclas> c = {
        {{22, 33, 34, 36, 46, 47, 48, 49, 50, 55, 56, 60, 61, 63, 64, 66, 69, 70, 72, 73, 75}, Digitos, false},
        {{23, 32}, Digitos + Letras, false},
        {{29, 30, 31, 81}, Letras + "./", true},
        {{35, 42, 43, 44, 45}, Digitos + Letras + "./-", true},
        {{37}, "01239", false},
        {{38, 39, 40, 52, 65, 67}, "129", false},
        {{51, 54, 62, 79}, "12", false},
        {{53}, "12345", false},
        {{57, 58, 80}, "1239", false},
        {{59}, "12349", false},
        {{71}, "123459", false},
        {{74}, "12345679", false},
        {{76, 77, 78}, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", false},
    };
    return c;
}

// Every character a keyboard may give that is worth trying.
const QString Todos = "0123456789ABCDEFGHIJKLMNÑOPQRSTUVWXYZabcdefghijklmnñopqrstuvwxyz./-#*,áé \t";

class Teclas : public AmbienteReglas {};

} // namespace

TEST_F(Teclas, CadaCampoAceptaSuConjuntoYRechazaElRestoConUnBeep)
{
    for (const ConjuntoTeclas &c : Conjuntos()) {
        for (int campo : c.campos) {
            for (const QChar ch : Todos) {
                const bool esperado = ch == QLatin1Char(' ') ? c.espacio : c.permitidos.contains(ch.toUpper());
                Mensajes().beeps = 0;
                EXPECT_EQ(reglas->TeclaPermitida(campo, QString(ch)), esperado)
                    << "campo " << campo << " tecla '" << QString(ch).toStdString() << "'";
                EXPECT_EQ(Mensajes().beeps, esperado ? 0 : 1) << "campo " << campo;
            }
            EXPECT_TRUE(reglas->TeclaPermitida(campo, "\b")) << "retroceso en " << campo;
        }
    }
}

TEST_F(Teclas, LasMinusculasEntranEnMayusculasYLaEnieSoloDondeHayLetras)
{
    EXPECT_EQ(reglas->FiltraTexto(23, "a"), "A");
    EXPECT_EQ(reglas->FiltraTexto(29, "ñ"), "Ñ");
    EXPECT_EQ(reglas->FiltraTexto(32, "ñ"), "Ñ");
    EXPECT_EQ(Mensajes().beeps, 0);
    for (int campo : {76, 77, 78, 22}) {
        Mensajes().beeps = 0;
        EXPECT_FALSE(reglas->TeclaPermitida(campo, "ñ")) << campo;
        EXPECT_EQ(Mensajes().beeps, 1);
    }
}

TEST_F(Teclas, LoPegadoPasaPorLasMismasReglasConUnSoloBeep)
{
    struct Caso {
        int campo;
        QString pegado;
        QString queda;
        int beeps;
    } casos[] = {
        {29, "peña lópez", "PEÑA LPEZ", 1},
        {36, "12a3", "123", 1},
        {23, "zzssa 000001", "ZZSSA000001", 1},
        {42, "calle 5-b/2.", "CALLE 5-B/2.", 0},
        {76, "s00ñ1", "S001", 1},
        {53, "11", "11", 0},
        {68, "4", QString(), 1},   // no intentionality: kinship takes nothing
    };
    for (const Caso &c : casos) {
        Mensajes().beeps = 0;
        EXPECT_EQ(reglas->FiltraTexto(c.campo, c.pegado), c.queda) << c.campo;
        EXPECT_EQ(Mensajes().beeps, c.beeps) << c.campo;
    }
}

TEST_F(Teclas, MientrasSeHojeaTodoPasaSinCambio)
{
    hoja.EnAlta = false;
    EXPECT_TRUE(reglas->TeclaPermitida(36, "a"));
    EXPECT_EQ(reglas->FiltraTexto(36, "ab"), "ab");
    EXPECT_EQ(Mensajes().beeps, 0);
    hoja.EnCambio = true;
    EXPECT_FALSE(reglas->TeclaPermitida(36, "a"));
}

// Schooling by age, unit and literacy (a blank age counts as 0); kinship by intent.
TEST_F(Teclas, EscolaridadYParentescoSegunOtrosCampos)
{
    const struct {
        int campo;
        QList<QPair<int, QString>> antes;
        const char *permitidos;
    } casos[] = {
        {41, {{37, "3"}, {36, "10"}, {40, "1"}}, "1569"},    {41, {{37, "3"}, {36, "30"}, {40, "2"}}, "1569"},
        {41, {{37, "3"}, {36, "30"}, {40, "1"}}, "1234569"}, {41, {{37, "2"}, {36, "5"}, {40, "1"}}, "1234569"},
        {41, {{37, "3"}, {36, ""}, {40, ""}}, "1569"},
        {68, {{53, "2"}}, "1234569"}, {68, {{53, "3"}}, "78"}, {68, {{53, "1"}}, ""}, {68, {{53, ""}}, ""},
    };
    for (const auto &c : casos) {
        for (const auto &t : c.antes) {
            hoja.HabilitaCampo(t.first, true);
            hoja.PonTexto(t.first, t.second);
        }
        for (const QChar ch : "0123456789")
            EXPECT_EQ(reglas->TeclaPermitida(c.campo, QString(ch)), QString::fromLatin1(c.permitidos).contains(ch))
                << c.campo << " " << c.antes.last().second.toStdString() << " " << QString(ch).toStdString();
        EXPECT_TRUE(reglas->TeclaPermitida(c.campo, "\b"));
    }
}

TEST_F(Teclas, UnCampoSinConjuntoSoloAceptaRetroceso)
{
    EXPECT_FALSE(reglas->TeclaPermitida(24, "1"));
    EXPECT_TRUE(reglas->TeclaPermitida(24, "\b"));
    EXPECT_TRUE(TeclasCampo(99, {}, {}, {}, {}).isEmpty());
}
