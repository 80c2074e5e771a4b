// Key sets of the sheet's fields: typed keys, lower case, Ñ, the space and pasted text.
#include "AmbienteReglas.h"

#include "capture/ReglasTeclas.h"

namespace {

struct ConjuntoTeclas {
    QList<int> campos;
    QString permitidos;
    bool espacio;
};

const QString Digitos = QStringLiteral("0123456789");
const QString Letras = QStringLiteral("ABCDEFGHIJKLMNÑOPQRSTUVWXYZ");

// The key sets as the sheet's rules state them; 41 and 68 are tested apart.
const QList<ConjuntoTeclas> &Conjuntos()
{
    static const QList<ConjuntoTeclas> c = {
        {{22, 33, 34, 36, 46, 47, 48, 49, 50, 55, 56, 60, 61, 63, 64, 66, 69, 70, 72, 73, 75}, Digitos, false},
        {{23, 32}, Digitos + Letras, false},
        {{29, 30, 31, 81}, Letras + QStringLiteral("./"), true},
        {{35, 42, 43, 44, 45}, Digitos + Letras + QStringLiteral("./-"), true},
        {{37}, QStringLiteral("01239"), false},
        {{38, 39, 40, 52, 65, 67}, QStringLiteral("129"), false},
        {{51, 54, 62, 79}, QStringLiteral("12"), false},
        {{53}, QStringLiteral("12345"), false},
        {{57, 58, 80}, QStringLiteral("1239"), false},
        {{59}, QStringLiteral("12349"), false},
        {{71}, QStringLiteral("123459"), false},
        {{74}, QStringLiteral("12345679"), false},
        {{76, 77, 78}, QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"), false},
    };
    return c;
}

// Every character a keyboard may give that is worth trying.
const QString Todos = QStringLiteral("0123456789ABCDEFGHIJKLMNÑOPQRSTUVWXYZabcdefghijklmnñopqrstuvwxyz./-#*,áé \t");

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
            EXPECT_TRUE(reglas->TeclaPermitida(campo, QStringLiteral("\b"))) << "retroceso en " << campo;
        }
    }
}

TEST_F(Teclas, LasMinusculasEntranEnMayusculasYLaEnieSoloDondeHayLetras)
{
    EXPECT_EQ(reglas->FiltraTexto(23, QStringLiteral("a")), QStringLiteral("A"));
    EXPECT_EQ(reglas->FiltraTexto(29, QStringLiteral("ñ")), QStringLiteral("Ñ"));
    EXPECT_EQ(reglas->FiltraTexto(32, QStringLiteral("ñ")), QStringLiteral("Ñ"));
    EXPECT_EQ(Mensajes().beeps, 0);
    for (int campo : {76, 77, 78, 22}) {
        Mensajes().beeps = 0;
        EXPECT_FALSE(reglas->TeclaPermitida(campo, QStringLiteral("ñ"))) << campo;
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
        {29, QStringLiteral("peña lópez"), QStringLiteral("PEÑA LPEZ"), 1},
        {36, QStringLiteral("12a3"), QStringLiteral("123"), 1},
        {23, QStringLiteral("zzssa 000001"), QStringLiteral("ZZSSA000001"), 1},
        {42, QStringLiteral("calle 5-b/2."), QStringLiteral("CALLE 5-B/2."), 0},
        {76, QStringLiteral("s00ñ1"), QStringLiteral("S001"), 1},
        {53, QStringLiteral("11"), QStringLiteral("11"), 0},
        {68, QStringLiteral("4"), QString(), 1},   // no intentionality: kinship takes nothing
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
    EXPECT_TRUE(reglas->TeclaPermitida(36, QStringLiteral("a")));
    EXPECT_EQ(reglas->FiltraTexto(36, QStringLiteral("ab")), QStringLiteral("ab"));
    EXPECT_EQ(Mensajes().beeps, 0);
    hoja.EnCambio = true;
    EXPECT_FALSE(reglas->TeclaPermitida(36, QStringLiteral("a")));
}

TEST_F(Teclas, EscolaridadSegunEdadYLectura)
{
    struct Caso {
        QString edad, unidad, lee, permitidos;
    } casos[] = {
        {QStringLiteral("10"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("1569")},
        {QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1569")},
        {QStringLiteral("30"), QStringLiteral("3"), QStringLiteral("1"), QStringLiteral("1234569")},
        {QStringLiteral("5"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("1234569")},
        {QString(), QStringLiteral("3"), QString(), QStringLiteral("1569")},   // a blank age counts as 0
    };
    for (const Caso &c : casos) {
        Escribe({{37, c.unidad}, {36, c.edad}});
        hoja.HabilitaCampo(40, true);
        hoja.PonTexto(40, c.lee);
        for (const QChar ch : QStringLiteral("0123456789"))
            EXPECT_EQ(reglas->TeclaPermitida(41, QString(ch)), c.permitidos.contains(ch))
                << c.edad.toStdString() << "/" << c.unidad.toStdString() << "/" << c.lee.toStdString() << " "
                << QString(ch).toStdString();
    }
}

TEST_F(Teclas, ParentescoSegunIntencionalidad)
{
    struct Caso {
        QString intencionalidad, permitidos;
    } casos[] = {
        {QStringLiteral("2"), QStringLiteral("1234569")},
        {QStringLiteral("3"), QStringLiteral("78")},
        {QStringLiteral("1"), QString()},
        {QString(), QString()},
    };
    for (const Caso &c : casos) {
        hoja.PonTexto(53, c.intencionalidad);
        for (const QChar ch : QStringLiteral("0123456789"))
            EXPECT_EQ(reglas->TeclaPermitida(68, QString(ch)), c.permitidos.contains(ch))
                << c.intencionalidad.toStdString() << " " << QString(ch).toStdString();
        EXPECT_TRUE(reglas->TeclaPermitida(68, QStringLiteral("\b")));
    }
}

TEST_F(Teclas, UnCampoSinConjuntoSoloAceptaRetroceso)
{
    EXPECT_FALSE(reglas->TeclaPermitida(24, QStringLiteral("1")));
    EXPECT_TRUE(reglas->TeclaPermitida(24, QStringLiteral("\b")));
    EXPECT_TRUE(TeclasCampo(99, {}, {}, {}, {}).isEmpty());
}
