#pragma once

// The goal lines that close a benchmark's run: each figure beside the plain
// work that does the same thing, and their ratio; where a goal is set, its
// limit and whether the figure meets it.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

class Metas {
public:
    // `razonMaxima`: the goal's limit on the ratio; `cifraMaxima`: on the
    // figure itself (in its unit); 0 for none.
    void Agrega(const std::string &nombre, double cifra, double plano, const char *unidad, double razonMaxima = 0,
                double cifraMaxima = 0)
    {
        metas_.push_back({nombre, cifra, plano, unidad, razonMaxima, cifraMaxima, {}});
    }
    // A figure whose run did only `hechas` of the `pedidas` operations it
    // names: short of them, its line is not met, whatever its ratio.
    void AgregaContada(const std::string &nombre, double cifra, double plano, const char *unidad, int hechas,
                       int pedidas, double razonMaxima = 0)
    {
        std::string falta;
        if (hechas < pedidas)
            falta = "NO CUMPLIDA: solo " + std::to_string(hechas) + " de " + std::to_string(pedidas) + " hechas";
        metas_.push_back({nombre, cifra, plano, unidad, razonMaxima, 0, falta});
    }
    // A figure whose result differs from the plain work's: not the same work,
    // so its line is not met, whatever its ratio.
    void AgregaComparada(const std::string &nombre, double cifra, double plano, const char *unidad, long resultado,
                         long resultadoPlano, double razonMaxima = 0)
    {
        std::string falta;
        if (resultado != resultadoPlano)
            falta = "NO CUMPLIDA: dio " + std::to_string(resultado) + " y el plano " + std::to_string(resultadoPlano);
        metas_.push_back({nombre, cifra, plano, unidad, razonMaxima, 0, falta});
    }

    // A figure whose rows (its figures as text, in the order it gives them)
    // differ from the plain work's: not the same work, so its line is not
    // met, whatever its ratio; the first difference is named.
    void AgregaCotejada(const std::string &nombre, double cifra, double plano, const char *unidad,
                        const std::vector<std::string> &filas, const std::vector<std::string> &filasPlano,
                        double razonMaxima = 0, double cifraMaxima = 0)
    {
        std::string falta;
        if (filas.size() != filasPlano.size()) {
            falta = "NO CUMPLIDA: dio " + std::to_string(filas.size()) + " filas y el plano " + std::to_string(filasPlano.size());
        } else {
            const auto d = std::mismatch(filas.begin(), filas.end(), filasPlano.begin());
            if (d.first != filas.end())
                falta = "NO CUMPLIDA: fila " + std::to_string(d.first - filas.begin() + 1) + " dio " + *d.first + " y el plano "
                        + *d.second;
        }
        metas_.push_back({nombre, cifra, plano, unidad, razonMaxima, cifraMaxima, falta});
    }

    void Imprime(const char *titulo) const
    {
        std::printf("\nmetas (%s): cifra, plano, razón\n", titulo);
        for (const Meta &m : metas_) {
            const double razon = m.plano > 0 ? m.cifra / m.plano : 0.0;
            std::string limite;
            if (!m.falta.empty()) {
                limite = "  (" + m.falta + ")";
            } else if (m.razonMaxima > 0 || m.cifraMaxima > 0) {
                char t[96];
                const bool cumple = (m.razonMaxima <= 0 || razon <= m.razonMaxima) && (m.cifraMaxima <= 0 || m.cifra <= m.cifraMaxima);
                if (m.razonMaxima > 0 && m.cifraMaxima > 0)
                    std::snprintf(t, sizeof t, "  (meta < %.6g %s y <= %.2f x: %s)", m.cifraMaxima, m.unidad.c_str(),
                                  m.razonMaxima, cumple ? "cumplida" : "NO CUMPLIDA");
                else if (m.razonMaxima > 0)
                    std::snprintf(t, sizeof t, "  (meta <= %.2f x: %s)", m.razonMaxima, cumple ? "cumplida" : "NO CUMPLIDA");
                else
                    std::snprintf(t, sizeof t, "  (meta < %.6g %s: %s)", m.cifraMaxima, m.unidad.c_str(),
                                  cumple ? "cumplida" : "NO CUMPLIDA");
                limite = t;
            }
            std::printf("meta %-58s %10.3f %s  plano %10.3f %s  %6.2f x%s\n", m.nombre.c_str(), m.cifra, m.unidad.c_str(),
                        m.plano, m.unidad.c_str(), razon, limite.c_str());
        }
        std::fflush(stdout);
    }

private:
    struct Meta {
        std::string nombre;
        double cifra, plano;
        std::string unidad;
        double razonMaxima, cifraMaxima;
        std::string falta;   // the work the figure names, not all done
    };
    std::vector<Meta> metas_;
};
