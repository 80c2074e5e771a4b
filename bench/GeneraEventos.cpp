#include "GeneraEventos.h"

#include "events/MapaEvento.h"
#include "platform/SentenciaSqlite.h"
#include "platform/BaseDatos.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>
#include <random>
#include <sqlite3.h>
#include <tuple>
#include <vector>

namespace {

int IndiceColumna(const char *nombre)
{
    const std::vector<ColumnaEvento> &c = ColumnasEvento();
    for (int i = 0; i < int(c.size()); ++i)
        if (qstrcmp(c[i].columna, nombre) == 0)
            return i;
    return -1;
}

} // namespace

QDate UltimoDiaDelAno(int ano)
{
    return qMin(QDate(ano, 12, 25), QDate::currentDate());
}

bool LeeOpciones(int argc, char **argv, OpcionesBanco &o, const QStringList &propias)
{
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        const bool conValor = i + 1 < argc;
        if (a == QLatin1String("--estado") && conValor)
            o.estado = QString::fromLocal8Bit(argv[++i]).rightJustified(2, QLatin1Char('0'));
        else if (a == QLatin1String("--ano") && conValor)
            o.ano = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
        else if (propias.contains(a) && conValor)
            o.propias[a] = QString::fromLocal8Bit(argv[++i]);
        else if (a == QLatin1String("--ordenado"))
            o.ordenado = true;
        else if (a == QLatin1String("--desordenado"))
            o.desordenado = true;
        else if (a == QLatin1String("--una-unidad"))
            o.unaUnidad = true;
        else if (a == QLatin1String("--conserva") && conValor)
            o.conserva = QString::fromLocal8Bit(argv[++i]);
        else if (i == 1 && !a.startsWith(QLatin1Char('-')))
            o.eventos = qMax(1, a.toInt(&ok));
        else
            ok = false;
    }
    ok = ok && o.ano >= 1900 && o.ano <= 9999 && o.estado.size() == 2;
    if (!ok)
        std::printf("uso: %s [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado] [--una-unidad]%s\n"
                    "  N eventos generados (100000); estado (36) y año estadístico (2004) de la Base de Datos;\n"
                    "  --conserva genera los eventos una vez en CARPETA/Datos y, si ya están, usa una copia de ellos\n"
                    "  --ordenado escribe los eventos en el orden de su llave, no en el de captura\n"
                    "  --desordenado reescribe cada tabla D_* en orden al azar, sin estadísticas\n"
                    "  --una-unidad da cada evento a la primera unidad del estado\n",
                    argc > 0 ? argv[0] : "velmoran_bench",
                    qPrintable(propias.isEmpty() ? QString() : QLatin1Char(' ') + propias.join(QStringLiteral(" V "))
                                                                      + QStringLiteral(" V")));
    return ok;
}

QStringList UnidadesDelEstado(const BaseDatos &bd, const QString &estado)
{
    QStringList unidades;
    for (const bool delEstado : {true, false}) {
        QSqlQuery q = bd.Ejecuta(delEstado ? QStringLiteral("SELECT Clues FROM CATCLUES WHERE cedocve = ? ORDER BY Clues")
                                           : QStringLiteral("SELECT Clues FROM CATCLUES ORDER BY Clues"),
                                 delEstado ? QVariantList{estado} : QVariantList{});
        while (q.next())
            unidades << q.value(0).toString();
        if (!unidades.isEmpty())
            break;
    }
    if (unidades.isEmpty())
        throw ErrorBD(-1, QStringLiteral("CATCLUES está vacío"));
    return unidades;
}

DatosEvento EventoDelAno(const ProgramaBanco &programa, DatosEvento base)
{
    base.textos[23] = UnidadesDelEstado(programa.ctx.ConexionBD, programa.opciones.estado).first();
    QDate atencion(programa.opciones.ano, 6, 15);
    if (atencion > programa.Hoy())
        atencion = programa.Hoy();
    base.fechaAtencion = atencion.toString(QStringLiteral("dd/MM/yyyy"));
    base.fechaOcurrencia = atencion.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
    return base;
}

namespace {

// splitmix64: fast, and its stream depends on its seed alone, so that an
// event's values do not depend on the order the events are written in.
class Azar {
public:
    explicit Azar(quint64 semilla) : s_(semilla * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}
    quint64 Sigue()
    {
        quint64 z = (s_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int Hasta(int n) { return int(Sigue() % quint64(qMax(1, n))); }   // 0 .. n-1
    int Entre(int a, int b) { return a + Hasta(b - a + 1); }
    double Uno() { return double(Sigue() >> 11) * 0x1.0p-53; }
    bool Prob(double p) { return Uno() < p; }

private:
    quint64 s_;
};

// Values drawn by weight.
template <class T>
class Reparto {
public:
    Reparto() = default;
    Reparto(std::initializer_list<std::pair<T, double>> v)
    {
        for (const auto &[x, w] : v)
            Agrega(x, w);
    }
    void Agrega(const T &x, double w)
    {
        valores_.push_back(x);
        acumulado_.push_back((acumulado_.empty() ? 0.0 : acumulado_.back()) + w);
    }
    bool Vacio() const { return valores_.empty(); }
    const T &Toma(Azar &a) const
    {
        const double u = a.Uno() * acumulado_.back();
        const size_t i = size_t(std::upper_bound(acumulado_.begin(), acumulado_.end(), u) - acumulado_.begin());
        return valores_[qMin(i, valores_.size() - 1)];
    }
    // k distinct values (fewer when the draws keep repeating), in the order drawn.
    std::vector<T> Distintos(Azar &a, int k) const
    {
        std::vector<T> v;
        for (int intento = 0; int(v.size()) < k && intento < 8 * k; ++intento) {
            const T &x = Toma(a);
            if (std::find(v.begin(), v.end(), x) == v.end())
                v.push_back(x);
        }
        return v;
    }

private:
    std::vector<T> valores_;
    std::vector<double> acumulado_;
};

// One value by weight, without a table kept for it.
int Elige(Azar &a, std::initializer_list<std::pair<int, double>> v)
{
    double total = 0;
    for (const auto &p : v)
        total += p.second;
    double u = a.Uno() * total;
    for (const auto &p : v)
        if ((u -= p.second) < 0)
            return p.first;
    return (v.end() - 1)->first;
}

// A few codes take most events, as in a real year: weights 1/(k+1)^s over
// the codes in a fixed shuffled order.
Reparto<QString> Sesgado(QStringList codigos, double s, unsigned semilla)
{
    std::mt19937 g(semilla);
    std::shuffle(codigos.begin(), codigos.end(), g);
    Reparto<QString> r;
    for (int k = 0; k < codigos.size(); ++k)
        r.Agrega(codigos[k], 1.0 / std::pow(double(k + 1), s));
    return r;
}

// ICD-10 codes of four characters in [desde, hasta) that any patient may
// carry: no sex or age limit, not withdrawn, accepted as principal, not eradicated.
QStringList Causas(const BaseDatos &bd, const char *desde, const char *hasta)
{
    QSqlQuery q = bd.Ejecuta(QStringLiteral(
        "SELECT Causa FROM CATCIE10 WHERE Causa >= ? AND Causa < ? AND length(Causa) = 4 "
        "AND trim(coalesce(lsex, '')) = '' AND trim(coalesce(linf, '')) = '' AND trim(coalesce(lsup, '')) = '' "
        "AND upper(trim(coalesce(Actualizac, ''))) <> 'B' AND upper(trim(coalesce(no_aph, ''))) <> 'T' "
        "AND upper(trim(coalesce(errad, ''))) <> 'T' ORDER BY Causa"),
                             {QString::fromLatin1(desde), QString::fromLatin1(hasta)});
    QStringList c;
    while (q.next())
        c << q.value(0).toString();
    return c;
}

// Where and when one event is written: its unit, day of care and day of
// capture (days from the year's first), and whether it came in a package.
struct Plan {
    int unidad;
    int atencion;
    int captura;
    bool paquete;
};

// The days a unit sending packages gathers before sending them.
constexpr int DiasPorPaquete = 14;

// The events of the year: units by weight (a few large ones), days of care
// by weekday and season; most units capture their events on the day of care
// or a few days later, about a quarter send them in packages of two weeks
// that are captured together a few days after.
std::vector<Plan> Planea(int n, int unidades, const QDate &inicio, int dias)
{
    Azar a(20261207);
    std::vector<int> orden(static_cast<size_t>(unidades));
    std::iota(orden.begin(), orden.end(), 0);
    std::shuffle(orden.begin(), orden.end(), std::mt19937(7));
    Reparto<int> unidad;
    std::vector<bool> envia(static_cast<size_t>(unidades));
    for (int k = 0; k < unidades; ++k) {
        unidad.Agrega(orden[size_t(k)], 1.0 / std::pow(double(k + 1), 0.9));
        envia[size_t(orden[size_t(k)])] = unidades > 1 && k % 4 == 1;
    }
    Reparto<int> dia;
    for (int d = 0; d < dias; ++d) {
        const QDate f = inicio.addDays(d);
        double w = f.dayOfWeek() >= 6 ? 1.3 : 1.0;
        w *= 1.0 + 0.15 * std::cos(2 * M_PI * (f.dayOfYear() - 200) / 365.0);
        if ((f.month() == 12 && f.day() >= 24) || (f.month() == 1 && f.day() == 1) || (f.month() == 9 && f.day() == 16))
            w *= 1.6;
        dia.Agrega(d, w);
    }
    const Reparto<int> demora{{0, 0.55}, {1, 0.2}, {2, 0.1}, {3, 0.06}, {5, 0.05}, {9, 0.04}};
    std::vector<Plan> planes(static_cast<size_t>(n));
    for (Plan &p : planes) {
        p.unidad = unidad.Toma(a);
        p.atencion = dia.Toma(a);
        p.paquete = envia[size_t(p.unidad)];
        if (p.paquete) {
            // Every event of a unit's period arrives the same day.
            const int periodo = p.atencion / DiasPorPaquete;
            p.captura = (periodo + 1) * DiasPorPaquete + int(Azar(quint64(p.unidad) * 1000 + quint64(periodo)).Hasta(8));
        } else {
            p.captura = p.atencion + demora.Toma(a);
        }
        p.captura = qMin(p.captura, dias - 1);
    }
    return planes;
}

// The order of capture: day by day; within a day the units interleave, each
// unit's events in runs of a few in their order of care, and a package as
// one run.
std::vector<int> OrdenCaptura(const std::vector<Plan> &planes, int dias)
{
    std::vector<std::vector<int>> porDia(static_cast<size_t>(dias));
    for (int i = 0; i < int(planes.size()); ++i)
        porDia[size_t(planes[size_t(i)].captura)].push_back(i);
    Azar a(4242);
    std::vector<int> orden;
    orden.reserve(planes.size());
    for (std::vector<int> &dia : porDia) {
        std::stable_sort(dia.begin(), dia.end(), [&](int x, int y) {
            const Plan &p = planes[size_t(x)], &q = planes[size_t(y)];
            return std::tie(p.unidad, p.atencion) < std::tie(q.unidad, q.atencion);
        });
        struct Grupo {
            size_t desde, hasta;
        };
        std::vector<Grupo> grupos;
        for (size_t i = 0; i < dia.size();) {
            size_t j = i;
            while (j < dia.size() && planes[size_t(dia[j])].unidad == planes[size_t(dia[i])].unidad)
                ++j;
            grupos.push_back({i, j});
            i = j;
        }
        while (!grupos.empty()) {
            const size_t g = size_t(a.Hasta(int(grupos.size())));
            Grupo &gr = grupos[g];
            const size_t tramo = planes[size_t(dia[gr.desde])].paquete ? gr.hasta - gr.desde : size_t(1 + a.Hasta(6));
            const size_t fin = qMin(gr.hasta, gr.desde + tramo);
            orden.insert(orden.end(), dia.begin() + long(gr.desde), dia.begin() + long(fin));
            gr.desde = fin;
            if (gr.desde == gr.hasta) {
                grupos[g] = grupos.back();
                grupos.pop_back();
            }
        }
    }
    return orden;
}

// The insert of one detail table and its rows of the event being written.
struct Detalle {
    std::unique_ptr<SentenciaSqlite> sentencia;
    std::vector<QVariant> codigos;
};

// The columns of D_EVENTO the generator varies, by name.
struct Columnas {
    int edadClave, edad, sexo, embarazada, leeEscribe, escolaridad, ocurrencia, horaOcurrencia, festivo, discapacidad,
        intencion, vez, sitio, agente, lesionado, usoSeguridad, equipo, area, consecuencia, prehospitalaria, horasTraslado,
        minutosTraslado, agresor, edadAgresor, sexoAgresor, parentesco, horaAtencion, servicio, horasUrgencias,
        minutosUrgencias, referido, destino, afecprin, causaExt, mp, responsable, nombreResponsable, captura, edicion,
        paterno, materno, nombre, afiliacion, expediente;
    Columnas()
    {
        const std::pair<int *, const char *> v[] = {
            {&edadClave, "CodClaveEdad"}, {&edad, "Edad"}, {&sexo, "CodSexo"}, {&embarazada, "CodEmbarazada"},
            {&leeEscribe, "CodLeeEscribe"}, {&escolaridad, "CodEscolaridad"}, {&ocurrencia, "FechaOcurrencia"},
            {&horaOcurrencia, "HoraOcurrencia"}, {&festivo, "CodFestivo"}, {&discapacidad, "CodDiscapacidad"},
            {&intencion, "CodIntencionalidad"}, {&vez, "CodVez"}, {&sitio, "CodSitio"}, {&agente, "CodAgente"},
            {&lesionado, "CodLesionadoVehiculo"}, {&usoSeguridad, "CodUsoSeguridad"}, {&equipo, "CodEquipo"},
            {&area, "CodArea"}, {&consecuencia, "CodConsecuencia"}, {&prehospitalaria, "CodPrehospitalaria"},
            {&horasTraslado, "HorasTraslado"}, {&minutosTraslado, "MinutosTraslado"}, {&agresor, "CodAgresor"},
            {&edadAgresor, "EdadAgresor"}, {&sexoAgresor, "CodSexoAgresor"}, {&parentesco, "CodParentescoAgresor"},
            {&horaAtencion, "HoraAtencion"}, {&servicio, "CodServicio"}, {&horasUrgencias, "HorasUrgencias"},
            {&minutosUrgencias, "MinutosUrgencias"}, {&referido, "CodReferido"}, {&destino, "CodDestino"},
            {&afecprin, "CodAfecprin"}, {&causaExt, "CodCausaExt"}, {&mp, "CodMP"}, {&responsable, "CodResponsable"},
            {&nombreResponsable, "NombreResponsable"}, {&captura, "FechaCaptura"}, {&edicion, "FechaEdicion"},
            {&paterno, "Paterno"}, {&materno, "Materno"}, {&nombre, "Nombre"}, {&afiliacion, "Afiliacion"},
            {&expediente, "Expediente"}};
        for (const auto &[indice, nombreColumna] : v)
            if ((*indice = IndiceColumna(nombreColumna)) < 0)
                throw ErrorBD(-1, QStringLiteral("D_EVENTO no tiene la columna %1").arg(QLatin1String(nombreColumna)));
    }
};

const QVariant Nulo = QVariant(QMetaType::fromType<qlonglong>());

QVariant Numero(int n)
{
    return qlonglong(n);
}

// The patient, the event and the care of one event, drawn as a real year
// spreads them and kept within the sheet's rules, with its detail rows.
class Evento {
public:
    explicit Evento(const BaseDatos &bd)
    {
        lesiones_ = Sesgado(Causas(bd, "S000", "U000"), 1.05, 11);
        externas_[1] = Sesgado(Causas(bd, "V000", "X600"), 1.05, 12);
        externas_[4] = Sesgado(Causas(bd, "X600", "X850"), 1.05, 13);
        externas_[2] = Sesgado(Causas(bd, "X850", "Y100"), 1.05, 14);
        externas_[5] = Sesgado(Causas(bd, "Y100", "Y350"), 1.05, 15);
        const Reparto<QString> todas = Sesgado(Causas(bd, "V000", "Z000"), 1.05, 16);
        if (lesiones_.Vacio() || todas.Vacio())
            throw ErrorBD(-1, QStringLiteral("CATCIE10 no tiene causas de lesión o externas que sirvan"));
        for (Reparto<QString> &r : externas_)
            if (r.Vacio())
                r = todas;
        externas_[3] = externas_[2];
    }

    // Fills the varying columns of `v` and the codes of the detail tables
    // (in the order of Detalles()) for the event with this seed.
    void Llena(quint64 semilla, QVariantList &v, std::vector<Detalle> &detalles, int diaAtencion,
               const std::vector<QString> &fechas)
    {
        Azar a(semilla);
        for (Detalle &d : detalles)
            d.codigos.clear();
        const Columnas &c = c_;
        const int intencion = Elige(a, {{1, 0.6}, {2, 0.15}, {3, 0.15}, {4, 0.05}, {5, 0.05}});
        const bool violencia = intencion == 2 || intencion == 3;
        const double mujer[] = {0, 0.4, 0.85, 0.25, 0.55, 0.45};
        const int sexo = a.Prob(mujer[intencion]) ? 2 : 1;

        // Age: in months for a few infants, else years by band.
        int clave = 3, edad = 0;
        if ((intencion == 1 || intencion == 5) && a.Prob(0.02)) {
            clave = 2;
            edad = a.Entre(1, 11);
        } else {
            static const std::vector<std::vector<std::pair<std::pair<int, int>, double>>> bandas = {
                {{{1, 4}, .08}, {{5, 14}, .17}, {{15, 29}, .28}, {{30, 44}, .2}, {{45, 64}, .16}, {{65, 95}, .11}},
                {{{1, 14}, .12}, {{15, 29}, .35}, {{30, 44}, .33}, {{45, 64}, .15}, {{65, 90}, .05}},
                {{{12, 17}, .1}, {{18, 29}, .45}, {{30, 44}, .28}, {{45, 64}, .14}, {{65, 85}, .03}},
                {{{12, 17}, .18}, {{18, 29}, .42}, {{30, 44}, .25}, {{45, 64}, .12}, {{65, 85}, .03}}};
            const auto &b = bandas[size_t(intencion == 5 ? 0 : intencion - 1)];
            double u = a.Uno(), suma = 0;
            size_t k = 0;
            for (; k + 1 < b.size(); ++k)
                if (u < (suma += b[k].second))
                    break;
            edad = a.Entre(b[k].first.first, b[k].first.second);
        }
        const bool anos = clave == 3;
        v[c.edadClave] = Numero(clave);
        v[c.edad] = Numero(edad);
        v[c.sexo] = Numero(sexo);
        const bool puedeEmbarazo = sexo == 2 && anos && edad >= 9 && edad <= 54;
        const int embarazada = puedeEmbarazo ? Elige(a, {{2, 0.96}, {1, 0.03}, {9, 0.01}}) : 0;
        v[c.embarazada] = puedeEmbarazo ? Numero(embarazada) : Nulo;
        const int lee = anos && edad >= 5 ? (a.Prob(0.92) ? 1 : 2) : 2;
        v[c.leeEscribe] = Numero(lee);
        if (anos && edad >= 6)
            v[c.escolaridad] = Numero(edad < 12 || lee == 2 ? (a.Prob(0.7) ? 5 : 1)
                                                            : Elige(a, {{5, .25}, {2, .3}, {3, .25}, {4, .12}, {1, .04}, {9, .04}}));
        else
            v[c.escolaridad] = Numero(6);
        v[c.paterno] = Apellidos()[size_t(a.Hasta(int(Apellidos().size())))];
        v[c.materno] = Apellidos()[size_t(a.Hasta(int(Apellidos().size())))];
        const std::vector<QString> &nombres = sexo == 2 ? Nombres(true) : Nombres(false);
        v[c.nombre] = nombres[size_t(a.Hasta(int(nombres.size())))];
        v[c.expediente] = QStringLiteral("E%1").arg(semilla % 9000000 + 100000);

        // Occurrence up to a few days before care; on the same day, before the hour of care.
        const int antes = qMin(diaAtencion, Elige(a, {{0, .45}, {1, .4}, {2, .08}, {3, .04}, {5, .03}}));
        int horaOc = a.Hasta(24), horaAt = a.Entre(7, 22);
        if (antes == 0) {
            horaOc = a.Hasta(21);
            horaAt = horaOc + a.Entre(1, 2);
        }
        v[c.ocurrencia] = fechas[size_t(diaAtencion - antes)];
        v[c.horaOcurrencia] = Hora(horaOc, a.Hasta(60));
        v[c.horaAtencion] = Hora(horaAt, a.Hasta(60));
        v[c.festivo] = Numero(a.Prob(0.05) ? 1 : 2);
        v[c.discapacidad] = Numero(Elige(a, {{2, .93}, {1, .04}, {9, .03}}));
        v[c.intencion] = Numero(intencion);
        v[c.vez] = intencion >= 2 && intencion <= 4 ? Numero(Elige(a, {{1, .6}, {2, .35}, {9, .05}})) : Nulo;

        static const Reparto<int> sitioAccidente{{1, .4}, {4, .25}, {6, .1}, {2, .07}, {3, .05}, {12, .05}, {5, .04}, {11, .02}, {99, .02}};
        static const Reparto<int> sitioFamiliar{{1, .85}, {4, .07}, {12, .04}, {99, .04}};
        static const Reparto<int> sitioOtro{{4, .5}, {1, .2}, {8, .1}, {5, .06}, {2, .05}, {6, .04}, {12, .03}, {99, .02}};
        v[c.sitio] = Numero((intencion == 2 ? sitioFamiliar : intencion == 3 ? sitioOtro : sitioAccidente).Toma(a));
        static const Reparto<int> agenteAccidente{{22, .35}, {3, .15}, {20, .12}, {2, .08}, {15, .05}, {6, .04}, {19, .04},
                                                  {4, .04}, {21, .03}, {16, .03}, {7, .02}, {13, .02}, {24, .02}, {99, .01}};
        static const Reparto<int> agenteViolencia{{5, .5}, {3, .2}, {2, .12}, {1, .06}, {4, .06}, {10, .02}, {24, .03}, {99, .01}};
        static const Reparto<int> agentePropio{{2, .3}, {14, .3}, {13, .15}, {10, .1}, {1, .05}, {7, .03}, {24, .07}};
        const int agente = (violencia ? agenteViolencia : intencion == 4 ? agentePropio : agenteAccidente).Toma(a);
        v[c.agente] = Numero(agente);
        v[c.lesionado] = v[c.usoSeguridad] = v[c.equipo] = Nulo;
        if (agente == 20) {
            const int lesionado = Elige(a, {{1, .4}, {2, .3}, {3, .3}});
            v[c.lesionado] = Numero(lesionado);
            if (lesionado != 3) {
                const int uso = a.Prob(0.5) ? 1 : 2;
                v[c.usoSeguridad] = Numero(uso);
                if (uso == 1)
                    v[c.equipo] = Numero(a.Prob(0.7) ? 1 : 2);
            }
        }
        v[c.area] = Numero(Elige(a, {{1, .18}, {2, .12}, {13, .12}, {15, .1}, {16, .08}, {11, .06}, {12, .06}, {6, .05},
                                        {18, .05}, {14, .04}, {4, .03}, {3, .03}, {7, .02}, {8, .02}, {10, .01}, {5, .01},
                                        {9, .01}, {17, .005}, {19, .005}, {99, .01}}));
        v[c.consecuencia] = Numero(Elige(a, {{6, .25}, {2, .2}, {1, .15}, {4, .12}, {3, .1}, {16, .05}, {12, .04},
                                                {9, .03}, {18, .03}, {10, .02}, {17, .01}, {20, .01}, {99, .01}}));
        const bool prehospitalaria = a.Prob(0.15);
        v[c.prehospitalaria] = Numero(prehospitalaria ? 1 : 2);
        v[c.horasTraslado] = prehospitalaria ? Numero(a.Hasta(3)) : Nulo;
        v[c.minutosTraslado] = prehospitalaria ? Numero(a.Entre(1, 59)) : Nulo;

        // The aggressor, for violence only.
        v[c.agresor] = v[c.edadAgresor] = v[c.sexoAgresor] = v[c.parentesco] = Nulo;
        std::vector<QVariant> efectosAgresor;
        if (violencia) {
            if (a.Prob(0.8)) {
                const int sexoAgresor = a.Prob(intencion == 2 && sexo == 2 ? 0.88 : 0.75) ? 1 : 2;
                v[c.agresor] = Numero(1);
                v[c.edadAgresor] = Numero(a.Prob(0.05) ? 999 : a.Entre(16, 70));
                v[c.sexoAgresor] = Numero(sexoAgresor);
                static const Reparto<int> hombre{{5, .55}, {1, .15}, {3, .1}, {4, .2}};
                static const Reparto<int> mujer{{6, .3}, {2, .35}, {3, .1}, {4, .25}};
                static const Reparto<int> extrano{{7, .45}, {8, .45}, {9, .1}};
                v[c.parentesco] = Numero((intencion == 3 ? extrano : sexoAgresor == 1 ? hombre : mujer).Toma(a));
                efectosAgresor = Efectos(a);
            } else {
                // More than one: the sheet fills these itself.
                v[c.agresor] = Numero(2);
                v[c.edadAgresor] = Numero(999);
                v[c.sexoAgresor] = Numero(9);
                v[c.parentesco] = Numero(intencion == 2 ? 4 : 8);
                efectosAgresor = {Numero(4)};
            }
        }

        const int servicio = Elige(a, {{3, .65}, {1, .18}, {2, .08}, {violencia ? 4 : 5, .05}, {5, .04}});
        v[c.servicio] = Numero(servicio);
        int horasU = a.Hasta(13), minutosU = a.Hasta(60);
        if (horasU == 0 && minutosU == 0)
            minutosU = 30;
        v[c.horasUrgencias] = servicio == 3 ? Numero(horasU) : Nulo;
        v[c.minutosUrgencias] = servicio == 3 ? Numero(minutosU) : Nulo;
        v[c.referido] = Numero(Elige(a, {{1, .75}, {2, .12}, {3, .05}, {9, .04}, {7, .02}, {5, .02}}));
        v[c.destino] = Numero(Elige(a, {{1, .72}, {4, .08}, {8, .07}, {2, .05}, {11, .02}, {violencia ? 3 : 1, .03},
                                           {violencia ? 9 : 1, .02}, {6, .005}, {7, .005}, {5, .005}}));
        v[c.mp] = Numero(a.Prob(violencia ? 0.6 : intencion == 4 ? 0.2 : 0.05) ? 1 : 2);
        v[c.responsable] = Numero(Elige(a, {{1, .75}, {2, .15}, {3, .05}, {9, .05}}));
        v[c.nombreResponsable] = Responsables()[size_t(a.Hasta(int(Responsables().size())))];

        // Diagnoses and the detail lists; a few events have no detail rows at all.
        const bool sinDetalles = a.Prob(0.0005);
        const std::vector<QString> diagnosticos = lesiones_.Distintos(a, Elige(a, {{1, .55}, {2, .3}, {3, .15}}));
        v[c.afecprin] = diagnosticos.front();
        v[c.causaExt] = externas_[size_t(intencion)].Toma(a);
        QString afiliacion;
        std::vector<QVariant> derechohabiencia;
        const double u = a.Uno();
        if (u < 0.35)
            derechohabiencia = {QStringLiteral("0")};
        else if (u < 0.6)
            derechohabiencia = {QStringLiteral("8")}, afiliacion = QStringLiteral("123456789001");
        else if (u < 0.65)
            derechohabiencia = {QStringLiteral("G")}, afiliacion = QStringLiteral("1234567890");
        else if (u < 0.7)
            derechohabiencia = {QStringLiteral("9")};
        else {
            static const Reparto<QString> otras{{"1", .4}, {"5", .3}, {"7", .12}, {"2", .06}, {"3", .05}, {"4", .04}, {"6", .03}};
            for (const QString &d : otras.Distintos(a, Elige(a, {{1, .75}, {2, .2}, {3, .05}})))
                derechohabiencia.push_back(d);
        }
        v[c.afiliacion] = afiliacion;

        std::vector<QVariant> violencias;
        bool sexual = false, soloPsicologica = false;
        if (violencia) {
            static const Reparto<int> tipos{{6, .55}, {8, .28}, {7, .1}, {10, .04}, {9, .03}};
            const std::vector<int> t = tipos.Distintos(a, Elige(a, {{1, .6}, {2, .3}, {3, .1}}));
            sexual = std::find(t.begin(), t.end(), 7) != t.end();
            soloPsicologica = std::all_of(t.begin(), t.end(), [](int x) { return x == 8; });
            for (int x : t)
                violencias.push_back(Numero(x));
        }
        static const Reparto<int> atenciones{{1, .7}, {2, .1}, {3, .08}, {5, .06}, {6, .04}, {4, .02}};
        std::vector<QVariant> atencion;
        for (int x : atenciones.Distintos(a, Elige(a, {{1, .65}, {2, .28}, {3, .07}})))
            if (!(soloPsicologica && x == 3))
                atencion.push_back(Numero(x));
        if (atencion.empty())
            atencion.push_back(Numero(1));
        if (sexual)
            for (int x : {7, 8, 9})
                if (atencion.size() < 3 && a.Prob(0.4) && (x != 7 || (sexo == 2 && embarazada != 1)))
                    atencion.push_back(Numero(x));

        if (sinDetalles)
            return;
        detalles[0].codigos = derechohabiencia;
        detalles[1].codigos = violencias;
        detalles[2].codigos = Efectos(a);
        detalles[3].codigos = efectosAgresor;
        detalles[4].codigos = atencion;
        // The ticks in the order of their lists, as the sheet writes them; diagnoses by importance.
        for (size_t k = 0; k + 1 < detalles.size(); ++k)
            std::sort(detalles[k].codigos.begin(), detalles[k].codigos.end(), [](const QVariant &x, const QVariant &y) {
                return x.typeId() == QMetaType::QString ? x.toString() < y.toString() : x.toLongLong() < y.toLongLong();
            });
        for (const QString &d : diagnosticos)
            detalles[5].codigos.push_back(d);
    }

private:
    static QString Hora(int h, int m)
    {
        return QStringLiteral("%1:%2").arg(h, 2, 10, QLatin1Char('0')).arg(m, 2, 10, QLatin1Char('0'));
    }
    // Effects of a substance: mostly none, or the one or two common ones.
    static std::vector<QVariant> Efectos(Azar &a)
    {
        const double u = a.Uno();
        if (u < 0.7)
            return {Numero(5)};
        if (u < 0.78)
            return {Numero(4)};
        static const Reparto<int> sustancias{{1, .7}, {3, .2}, {2, .1}};
        std::vector<QVariant> v;
        for (int x : sustancias.Distintos(a, Elige(a, {{1, .8}, {2, .17}, {3, .03}})))
            v.push_back(Numero(x));
        return v;
    }
    static const std::vector<QString> &Apellidos()
    {
        static const std::vector<QString> v = {"HERNANDEZ", "GARCIA", "MARTINEZ", "LOPEZ", "GONZALEZ", "PEREZ",
                                               "RODRIGUEZ", "SANCHEZ", "RAMIREZ", "CRUZ", "FLORES", "GOMEZ",
                                               "MORALES", "VAZQUEZ", "REYES", "JIMENEZ", "TORRES", "DIAZ",
                                               "GUTIERREZ", "RUIZ", "MENDOZA", "AGUILAR", "ORTIZ", "MUÑOZ", "NUÑEZ"};
        return v;
    }
    static const std::vector<QString> &Nombres(bool mujer)
    {
        static const std::vector<QString> m = {"MARIA", "GUADALUPE", "JUANA", "MARGARITA", "VERONICA", "ROSA",
                                               "LETICIA", "ALEJANDRA", "PATRICIA", "ELIZABETH", "MARIA JOSE", "SOFIA"};
        static const std::vector<QString> h = {"JOSE", "JUAN", "MIGUEL", "LUIS", "FRANCISCO", "JESUS", "ANTONIO",
                                               "ALEJANDRO", "PEDRO", "MANUEL", "SANTIAGO", "ANGEL"};
        return mujer ? m : h;
    }
    static const std::vector<QString> &Responsables()
    {
        static const std::vector<QString> v = {"JUAN HERNANDEZ", "ANA MARIA LOPEZ", "ROBERTO CRUZ", "LAURA PEÑA",
                                               "CARLOS DIAZ", "SILVIA REYES", "JORGE ORTIZ", "MONICA RUIZ"};
        return v;
    }

    const Columnas c_;
    Reparto<QString> lesiones_;
    std::array<Reparto<QString>, 6> externas_;
};

} // namespace

int GeneraEventos(const BaseDatos &bd, int n, const DatosEvento &base, const QString &estado, int ano, bool ordenado, bool unaUnidad)
{
    const QDate hoy = UltimoDiaDelAno(ano);
    const QDate inicio(ano - 1, 12, 26);
    const int dias = qMax(1, int(inicio.daysTo(hoy)) + 1);
    std::vector<QString> fechas;
    for (int d = 0; d < dias; ++d)
        fechas.push_back(inicio.addDays(d).toString(Qt::ISODate));

    // The base event's columns, through the same map the store uses; the
    // generator varies the rest event by event.
    HojaDatos hoja;
    LlenaHoja(hoja, base);
    QVariantList valores = ValoresEvento(hoja, hoy, false);
    const Columnas c;
    Evento evento(bd);
    const QStringList unidades = UnidadesDelEstado(bd, estado);

    std::vector<Plan> planes = Planea(n, int(unidades.size()), inicio, dias);
    // The same year, days, captures and packages, every event at one unit.
    if (unaUnidad)
        for (Plan &p : planes)
            p.unidad = 0;
    std::vector<int> orden = OrdenCaptura(planes, dias);
    // Folios of each unit in the order its events are captured.
    std::vector<qlonglong> folios(planes.size()), siguiente(size_t(unidades.size()), 0);
    for (int i : orden)
        folios[size_t(i)] = ++siguiente[size_t(planes[size_t(i)].unidad)];
    if (ordenado)
        std::stable_sort(orden.begin(), orden.end(),
                         [&](int x, int y) { return planes[size_t(x)].unidad < planes[size_t(y)].unidad; });

    sqlite3 *db = bd.Manejador();
    // A large year must not spill the transaction's pages to the log; every
    // detail row has its event already, so the key checks are left out.
    const QVariant cache = bd.Valor(QStringLiteral("PRAGMA cache_size"));
    bd.Ejecuta(QStringLiteral("PRAGMA cache_size = -524288"));
    bd.Ejecuta(QStringLiteral("PRAGMA foreign_keys = OFF"));
    struct Restaura {
        const BaseDatos &bd;
        QVariant cache;
        ~Restaura()
        {
            try {
                bd.Ejecuta(QStringLiteral("PRAGMA foreign_keys = ON"));
                bd.Ejecuta(QStringLiteral("PRAGMA cache_size = %1").arg(cache.toLongLong()));
            } catch (const ErrorBD &) {
            }
        }
    } restaura{bd, cache};
    Transaccion t(bd);
    SentenciaSqlite insercion(db, QStringLiteral("INSERT INTO D_EVENTO (%1) VALUES (?%2)")
                                      .arg(ListaColumnasEvento(), QStringLiteral(",?").repeated(int(valores.size()) - 1)));
    // The detail tables in the order the store writes them.
    std::vector<Detalle> detalles;
    for (const char *sql : {"INSERT INTO D_Derechohabiencia VALUES (?, ?, ?, ?)", "INSERT INTO D_TipoViolencia VALUES (?, ?, ?, ?)",
                            "INSERT INTO D_BajoEfectos VALUES (?, ?, ?, 1, ?)", "INSERT INTO D_BajoEfectos VALUES (?, ?, ?, 2, ?)",
                            "INSERT INTO D_TipoAtencion VALUES (?, ?, ?, ?)", "INSERT INTO D_Diagnosticos VALUES (?, ?, ?, ?, ?)"})
        detalles.push_back({std::make_unique<SentenciaSqlite>(db, QString::fromLatin1(sql)), {}});

    // A package comes in as the reception writes it: its events, then each
    // detail table in one block. Any other event has its detail rows right
    // after it, as the sheet saves them.
    // The inserts' tables: both D_BajoEfectos inserts fill one block, event by event.
    const size_t tablaDe[] = {0, 1, 2, 2, 3, 4};
    struct FilaDetalle {
        size_t sentencia;
        QVariant clues, folio, fecha, codigo;
        qlonglong orden;
    };
    std::vector<std::vector<FilaDetalle>> bloques(5);
    const auto escribeBloques = [&] {
        for (std::vector<FilaDetalle> &bloque : bloques) {
            for (const FilaDetalle &f : bloque) {
                SentenciaSqlite &d = *detalles[f.sentencia].sentencia;
                d.Asocia(1, f.clues);
                d.Asocia(2, f.folio);
                d.Asocia(3, f.fecha);
                d.Asocia(4, f.codigo);
                if (f.sentencia + 1 == detalles.size())
                    d.Asocia(5, f.orden);
                d.Ejecuta();
            }
            bloque.clear();
        }
    };
    for (size_t k = 0; k < orden.size(); ++k) {
        const int i = orden[k];
        const Plan &p = planes[size_t(i)];
        const QString &clues = unidades[p.unidad];
        const qlonglong folio = folios[size_t(i)];
        const QString &fecha = fechas[size_t(p.atencion)];
        evento.Llena(quint64(i), valores, detalles, p.atencion, fechas);
        valores[0] = clues;
        valores[1] = folio;
        valores[2] = fecha;
        valores[c.captura] = fechas[size_t(p.captura)];
        valores[c.edicion] = fechas[size_t(p.captura)];
        insercion.Asocia(valores);
        insercion.Ejecuta();
        for (size_t s = 0; s < detalles.size(); ++s)
            for (size_t j = 0; j < detalles[s].codigos.size(); ++j)
                bloques[tablaDe[s]].push_back({s, valores[0], valores[1], valores[2], detalles[s].codigos[j], qlonglong(j + 1)});
        // The package goes on while the next event is of the same unit and arrival.
        const bool sigue = k + 1 < orden.size() && p.paquete && planes[size_t(orden[k + 1])].paquete
                           && planes[size_t(orden[k + 1])].unidad == p.unidad
                           && planes[size_t(orden[k + 1])].captura == p.captura;
        if (!sigue)
            escribeBloques();
    }
    t.Confirma();
    return n;
}

void DesordenaTablas(const BaseDatos &bd)
{
    const QStringList tablas = bd.Valor(QStringLiteral(
        "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = 'table' "
        "AND name LIKE 'D\\_%' ESCAPE '\\' ORDER BY name)")).toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    // Rows go out and come back: no key check may cascade a delete meanwhile.
    bd.Ejecuta(QStringLiteral("PRAGMA foreign_keys = OFF"));
    struct Restaura {
        const BaseDatos &bd;
        ~Restaura()
        {
            try {
                bd.Ejecuta(QStringLiteral("PRAGMA foreign_keys = ON"));
            } catch (const ErrorBD &) {
            }
        }
    } restaura{bd};
    Transaccion t(bd);
    for (const QString &tabla : tablas) {
        // A fixed shuffle of the rowids, so that two runs build the same file.
        const QString t = QStringLiteral("main.") + CitaNombre(tabla);
        bd.Ejecuta(QStringLiteral("CREATE TEMP TABLE Desorden AS SELECT * FROM %1 "
                                  "ORDER BY (rowid * 2654435761) % 4294967291").arg(t));
        bd.Ejecuta(QStringLiteral("DELETE FROM %1").arg(t));
        bd.Ejecuta(QStringLiteral("INSERT INTO %1 SELECT * FROM temp.Desorden ORDER BY rowid").arg(t));
        bd.Ejecuta(QStringLiteral("DROP TABLE temp.Desorden"));
    }
    if (bd.Valor(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'")).toInt() > 0)
        bd.Ejecuta(QStringLiteral("DELETE FROM sqlite_stat1"));
    t.Confirma();
    bd.Ejecuta(QStringLiteral("VACUUM"));
}

bool BaseConEventos(ProgramaBanco &programa)
{
    const OpcionesBanco &o = programa.opciones;
    BaseDatos &bd = programa.ctx.ConexionBD;
    const QString &archivo = programa.ctx.ArchivoBD;
    const QString conservada = programa.Conservada();
    QElapsedTimer t;
    t.start();
    if (!conservada.isEmpty() && QFile::exists(conservada)) {
        if (!QFile::copy(conservada, archivo)) {
            std::printf("no se pudo copiar %s\n", qPrintable(conservada));
            return false;
        }
        QFile::setPermissions(archivo, QFile::permissions(archivo) | QFileDevice::WriteOwner);
        bd.Abre(archivo);
        std::printf("eventos: %s, de %s (copiada en %.1f s)\n",
                    qPrintable(bd.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toString()), qPrintable(conservada),
                    double(t.nsecsElapsed()) / 1e9);
        std::fflush(stdout);
        return true;
    }
    if (!programa.AbreBase())
        return false;
    // No statistics: the program makes its own, as it goes.
    GeneraEventos(bd, o.eventos, EventoValido(), o.estado, o.ano, o.ordenado, o.unaUnidad);
    if (o.desordenado)
        DesordenaTablas(bd);
    std::printf("eventos generados: %d (estado %s, año estadístico %d%s, %s): %.1f s\n", o.eventos, qPrintable(o.estado),
                o.ano, o.unaUnidad ? ", una sola unidad" : "",
                o.desordenado ? "cada tabla D_* reescrita en orden al azar, sin estadísticas"
                : o.ordenado  ? "en el orden de su llave"
                              : "en el orden de captura",
                double(t.nsecsElapsed()) / 1e9);
    if (!conservada.isEmpty()) {
        bd.Cierra();
        QDir().mkpath(QFileInfo(conservada).path());
        const bool copiada = QFile::copy(archivo, conservada);
        bd.Abre(archivo);
        std::printf(copiada ? "Base de Datos conservada: %s\n" : "no se pudo conservar %s\n", qPrintable(conservada));
    }
    std::fflush(stdout);
    return true;
}

sqlite3 *CopiaAnalizada(ProgramaBanco &programa)
{
    QElapsedTimer t;
    t.start();
    const QString ruta = QDir(programa.dir.path()).filePath(QStringLiteral("analizada.db"));
    sqlite3 *copia = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &copia, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
        == SQLITE_OK) {
        sqlite3_backup *b = sqlite3_backup_init(copia, "main", programa.ctx.ConexionBD.Manejador(), "main");
        if (b) {
            sqlite3_backup_step(b, -1);
            sqlite3_backup_finish(b);
        }
        if (sqlite3_errcode(copia) == SQLITE_OK && sqlite3_exec(copia, "ANALYZE", nullptr, nullptr, nullptr) == SQLITE_OK) {
            std::printf("copia analizada para las sentencias planas: %.1f s\n", double(t.nsecsElapsed()) / 1e9);
            std::fflush(stdout);
            return copia;
        }
    }
    std::printf("no se pudo hacer la copia analizada: %s\n", copia ? sqlite3_errmsg(copia) : "sin memoria");
    sqlite3_close(copia);
    return nullptr;
}

void GeneraUnidades(const BaseDatos &bd, int n)
{
    const char *tipos = "CHUM";
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM CATCLUES"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO CATCLUES (Clues, DescUnidad, CEDOCVE, CJURCVE, CMPOCVE, CLOCCVE, CTUNCVE) "
                             "VALUES (?, ?, '09', ?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        q.addBindValue(QStringLiteral("DFSSA%1").arg(i, 6, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("CENTRO DE SALUD %1 DE LA PEÑA NÚMERO %2").arg(i % 97).arg(i));
        q.addBindValue(QStringLiteral("%1").arg(i % 9 + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 400, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i % 3000, 4, 10, QLatin1Char('0')));
        q.addBindValue(QString(QLatin1Char(tipos[i % 4])));
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
}

void GeneraLocalidades(const BaseDatos &bd, int n)
{
    static const char *nombres[] = {"SAN JUAN", "SANTA MARÍA", "LA PEÑA", "EL ROSARIO", "BUENAVISTA", "GUADALUPE",
                                    "LOS REYES", "SAN MIGUEL", "EL ÑANDÚ", "TRES MARÍAS"};
    Transaccion tr(bd);
    bd.EjecutaAccion(QStringLiteral("DELETE FROM cLocalidades"));
    QSqlQuery q(bd.Conexion());
    q.prepare(QStringLiteral("INSERT INTO cLocalidades (CodEstado, CodMunicipio, CodLocalidad, Descripcion) "
                             "VALUES (?, ?, ?, ?)"));
    for (int i = 0; i < n; ++i) {
        q.addBindValue(QStringLiteral("%1").arg(i % 32 + 1, 2, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i / 32 % 500 + 1, 3, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1").arg(i / 16000 + 1, 4, 10, QLatin1Char('0')));
        q.addBindValue(QStringLiteral("%1 %2 DE ABAJO").arg(QString::fromUtf8(nombres[i % 10])).arg(i / 10));
        if (!q.exec())
            throw ErrorBD::DeConsulta(q);
    }
    q.finish();
    tr.Confirma();
}
