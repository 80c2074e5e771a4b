#include "events/FilasPorBloques.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

template <class Filas>
std::vector<int> Todas(const Filas &f)
{
    std::vector<int> v;
    for (int i = 0; i < f.Cuenta(); ++i)
        v.push_back(f[i]);
    return v;
}

// Each step inserts (+) or removes (-) at a position, given as a share of the
// length: 0 the start, 1 the end. After every step each position reads what
// a plain vector given the same steps holds there (past 64 rows, after the last step).
template <int Bloque>
void Compara(int iniciales, const std::string &pasos, double donde)
{
    FilasPorBloques<int, Bloque> f;
    std::vector<int> plano;
    for (int i = 0; i < iniciales; ++i) {
        f.Agrega(i * 10);
        plano.push_back(i * 10);
    }
    int siguiente = 1;
    int dado = 0;
    for (char paso : pasos) {
        ++dado;
        const int n = int(plano.size());
        if (paso == '+') {
            const int i = int(donde * n);
            f.Inserta(i, -siguiente);
            plano.insert(plano.begin() + i, -siguiente);
            ++siguiente;
        } else if (n > 0) {
            const int i = std::min(n - 1, int(donde * n));
            f.Quita(i);
            plano.erase(plano.begin() + i);
        }
        ASSERT_EQ(f.Cuenta(), int(plano.size()));
        if (plano.size() <= 64 || dado == int(pasos.size())) {
            ASSERT_EQ(Todas(f), plano) << "paso " << dado;
        }
    }
}

TEST(FilasPorBloques, InsertaYQuitaAlInicioEnMedioYAlFinalComoUnVectorOrdenado)
{
    const std::string crece(40, '+');
    const std::string vacia(45, '-');
    for (double donde : {0.0, 0.5, 1.0, 0.99}) {
        SCOPED_TRACE(donde);
        // Blocks of 4: blocks split and empty blocks leave many times over.
        Compara<4>(0, crece + vacia + crece, donde);
        Compara<4>(9, "+-+-" + crece + vacia, donde);
        // The size the record set uses: a block grows past twice its size and splits.
        Compara<2048>(2047, std::string(2100, '+') + "-", donde);
    }
}

TEST(FilasPorBloques, AlAzarSiguenAUnVector)
{
    FilasPorBloques<int, 8> f;
    std::vector<int> plano;
    std::mt19937 azar(7);
    for (int paso = 0; paso < 3000; ++paso) {
        const int n = int(plano.size());
        if (n == 0 || azar() % 3 != 0) {
            const int i = int(azar() % unsigned(n + 1));
            f.Inserta(i, paso);
            plano.insert(plano.begin() + i, paso);
        } else {
            const int i = int(azar() % unsigned(n));
            f.Quita(i);
            plano.erase(plano.begin() + i);
        }
    }
    EXPECT_EQ(Todas(f), plano);
    ASSERT_FALSE(plano.empty());
    EXPECT_EQ(f.Ultima(), plano.back());
    EXPECT_EQ(f.Encuentra([&](int v) { return v == plano[plano.size() / 2]; }), int(plano.size() / 2));
    EXPECT_EQ(f.Encuentra([](int v) { return v < 0; }), -1);
    f.Limpia();
    EXPECT_TRUE(f.Vacia());
}

} // namespace
