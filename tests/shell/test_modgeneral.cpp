#include "comun/ProgramaTemporal.h"
#include "shell/CamposVentana.h"
#include "shell/modGeneral.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <cctype>
#include <gtest/gtest.h>

namespace {

struct CasoFecha {
    const char *texto;
    bool valida;
    bool avisa;   // beep and "Fecha invalida, verifique por favor....."
};

void PrintTo(const CasoFecha &c, std::ostream *os)
{
    *os << c.texto;
}

class ValidaFechaTest : public ::testing::TestWithParam<CasoFecha> {};

TEST_P(ValidaFechaTest, Veredicto)
{
    const CasoFecha c = GetParam();
    MensajesFalsos m;
    RelojFijo reloj(QDateTime(QDate(2026, 12, 6), QTime(10, 0)));
    EXPECT_EQ(ValidaFecha(QString::fromUtf8(c.texto), m, reloj), c.valida) << c.texto;
    if (c.avisa) {
        ASSERT_EQ(m.cajas.size(), 1) << c.texto;
        EXPECT_EQ(m.cajas[0].texto, "Fecha invalida, verifique por favor.....");
        EXPECT_EQ(m.cajas[0].titulo, "Valida Fecha");
        EXPECT_EQ(m.beeps, 1);
    } else {
        EXPECT_TRUE(m.cajas.isEmpty()) << c.texto;
        EXPECT_EQ(m.beeps, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Fechas, ValidaFechaTest, ::testing::Values(
    CasoFecha{"29/02/2004", true, false},
    CasoFecha{"29/02/2003", false, true},
    CasoFecha{"30/02/2004", false, false},
    CasoFecha{"31/04/2004", false, false},
    CasoFecha{"15/13/2004", false, false},
    CasoFecha{"01/01/1899", false, false},
    CasoFecha{"1/1/2004", false, false},
    CasoFecha{"00/01/2004", false, true},
    CasoFecha{"31/12/2020", true, false},
    // The upper bound is the current year of the clock, not a fixed one.
    CasoFecha{"01/01/2021", true, false},
    CasoFecha{"06/12/2026", true, false},
    CasoFecha{"01/01/2027", false, false},
    CasoFecha{"__/__/____", false, false},
    CasoFecha{"AB/01/2004", false, true}),
    [](const auto &info) {
        std::string n = info.param.texto;
        for (char &c : n)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return n;
    });

TEST(ValorEntero, LeeDesdeLaIzquierdaEnSesentaYCuatroBits)
{
    EXPECT_EQ(ValorEntero(" 3000000000"), Q_INT64_C(3000000000));
    EXPECT_EQ(ValorEntero("9007199254740993"), Q_INT64_C(9007199254740993));
    EXPECT_EQ(ValorEntero("12.7X"), 12);
    EXPECT_EQ(ValorEntero("-4"), -4);
    EXPECT_EQ(ValorEntero("A1"), 0);
}

TEST(FechaSQL, FechaTecleadaAFechaIso)
{
    EXPECT_EQ(FechaSQL("26/12/2003"), "2003-12-26");
    EXPECT_EQ(FechaSQL("05/01/2004"), "2004-01-05");
    EXPECT_EQ(FechaSQL("5/1/2004"), "2004-01-05");
    EXPECT_EQ(FechaSQL("26/1/2004"), "2004-01-26");
    EXPECT_EQ(FechaSQL(QString()), QString());
    EXPECT_EQ(FechaSQL("31/02/2004"), "31/02/2004");
}

class RutinasBaseTest : public ::testing::Test {
protected:
    void SetUp() override { p.AbreBase(); }
    ProgramaTemporal p;
};

TEST_F(RutinasBaseTest, BorraTablaIgnoraLaQueFalta)
{
    const BaseDatos &bd = p.ctx->ConexionBD;
    EXPECT_NO_THROW(BorraTabla(bd, "TMPNOEXISTE"));
    EjecutaSQL(bd, "CREATE TABLE TMPPRUEBA (A INTEGER)");
    BorraTabla(bd, "TMPPRUEBA");
    EXPECT_FALSE(ExisteTabla(bd, "TMPPRUEBA"));
}

TEST_F(RutinasBaseTest, EjecutaSQLLevantaElErrorAlLlamador)
{
    EXPECT_THROW(EjecutaSQL(p.ctx->ConexionBD, "DELETE FROM NoExiste"), ErrorBD);
}

TEST(Campos, ActivaYDesactivaConSuColor)
{
    QLineEdit campo;
    DesactivaCampo(&campo);
    EXPECT_FALSE(campo.isEnabled());
    EXPECT_EQ(campo.palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Dark));
    ActivaCampo(&campo);
    EXPECT_TRUE(campo.isEnabled());
    EXPECT_EQ(campo.palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Base));
    ActivaCampo(nullptr);   // nothing to do, nothing to fail
}

} // namespace
