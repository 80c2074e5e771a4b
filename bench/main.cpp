// Speed figures of the care-event store and of the capture sheet on generated
// data, each beside the same work done with plain SQLite statements. Prints
// "name: value unit" lines; never fails a run.
//
//   velmoran_bench [N] [--estado EE] [--ano AAAA] [--conserva CARPETA] [--ordenado] [--desordenado]
//   (the options of every bench program: see ProgramaBanco.h)
//
// The sheet's figures run as the clerk meets them: "Grabar" from the button
// to the event shown again (validation, store, record set, caption), "Bajas"
// from the answer to the next event shown, and the sheet's opening with the
// database file out of the operating system's page cache (dropped with
// posix_fadvise(POSIX_FADV_DONTNEED) after the connection is closed; the
// share of its pages still cached, read with mincore, is printed) beside
// the opening with the file cached. VELMORAN_SOLO_VENTANA=1 runs only the
// window's figures.
//
// An edit retypes the event shown with a valid event's values at its own key,
// so that the save passes the sheet's checks whatever data the database
// holds; only saves that passed are timed, and a goal line short of the saves
// it names is not met.

#include "GeneraEventos.h"
#include "Memoria.h"
#include "Metas.h"
#include "Plano.h"
#include "ProgramaBanco.h"

#include "capture/ManejadorRegistro.h"
#include "capture/frmRegistro.h"
#include "events/MapaEvento.h"
#include "events/modEvento.h"
#include "platform/BaseDatos.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <malloc.h>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <random>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Tiempos {
    double mediana = 0;
    double p99 = 0;
};

double Cronometra(const std::function<void()> &op)
{
    QElapsedTimer reloj;
    reloj.start();
    op();
    return double(reloj.nsecsElapsed()) / 1e6;
}

Tiempos Resume(std::vector<double> t)
{
    if (t.empty())
        return {};
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t[size_t(0.99 * double(t.size() - 1))]};
}

Tiempos Mide(int veces, const std::function<void(int)> &op)
{
    std::vector<double> t;
    for (int i = 0; i < veces; ++i)
        t.push_back(Cronometra([&] { op(i); }));
    return Resume(t);
}

double MedianaMs(int veces, const std::function<void(int)> &op)
{
    return Mide(veces, op).mediana;
}

void Cifra(const char *nombre, double valor, const char *unidad)
{
    std::printf("%s: %.3f %s\n", nombre, valor, unidad);
    std::fflush(stdout);
}

void Razon(const char *nombre, double nuestro, double sqlite)
{
    std::printf("%s: %.2f x\n", nombre, sqlite > 0 ? nuestro / sqlite : 0.0);
    std::fflush(stdout);
}

// The goal lines printed at the end of the run.
Metas &MetasDelBanco()
{
    static Metas metas;
    return metas;
}

// How many of the operations a figure names were done: only those are timed,
// and a goal line short of them is not met.
struct Hechas {
    int hechas = -1;
    int pedidas = -1;
};

// Our figure, the plain one and their ratio, by median and 99th percentile;
// the medians make a goal line.
void Compara(const QString &nombre, const Tiempos &nuestro, const Tiempos &plano, double razonMaxima = 0,
             const QString &queEsPlano = QStringLiteral("SQLite plano"), Hechas hechas = {})
{
    if (hechas.pedidas < 0) {
        MetasDelBanco().Agrega(nombre.toStdString(), nuestro.mediana, plano.mediana, "ms", razonMaxima);
    } else {
        MetasDelBanco().AgregaContada(nombre.toStdString(), nuestro.mediana, plano.mediana, "ms", hechas.hechas,
                                      hechas.pedidas, razonMaxima);
        std::printf("%s: %d de %d grabados\n", qPrintable(nombre), hechas.hechas, hechas.pedidas);
    }
    std::printf("%s: mediana %.3f ms, p99 %.3f ms\n", qPrintable(nombre), nuestro.mediana, nuestro.p99);
    std::printf("%s, %s: mediana %.3f ms, p99 %.3f ms\n", qPrintable(nombre), qPrintable(queEsPlano), plano.mediana, plano.p99);
    Razon(qPrintable(nombre + QStringLiteral(" / ") + queEsPlano), nuestro.mediana, plano.mediana);
}

double ResidenteMB()
{
    return MemoriaMB("VmRSS:");
}

// Heap in use: what a structure holds, where the resident size would not grow
// because freed memory of earlier work is reused.
double MontonMB()
{
    return double(mallinfo2().uordblks) / 1048576.0;
}

// Share of the file's pages in the page cache (mincore over a mapping).
double EnCache(const QString &archivo)
{
    const int fd = ::open(QFile::encodeName(archivo).constData(), O_RDONLY);
    if (fd < 0)
        return 0;
    struct stat st {};
    double parte = 0;
    if (fstat(fd, &st) == 0 && st.st_size > 0) {
        void *m = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
        if (m != MAP_FAILED) {
            const long pagina = sysconf(_SC_PAGESIZE);
            const size_t paginas = size_t((st.st_size + pagina - 1) / pagina);
            std::vector<unsigned char> v(paginas);
            if (mincore(m, size_t(st.st_size), v.data()) == 0)
                parte = double(std::count_if(v.begin(), v.end(), [](unsigned char c) { return c & 1; })) / double(paginas);
            munmap(m, size_t(st.st_size));
        }
    }
    ::close(fd);
    return parte;
}

// Flushes the closed database file and drops its pages from the page cache.
double SacaDeCache(const QString &archivo)
{
    for (const QString &f : {archivo, archivo + QStringLiteral("-wal")}) {
        const int fd = ::open(QFile::encodeName(f).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
    return EnCache(archivo);
}

Plano::Detalles DetallesDe(const DatosEvento &base)
{
    auto codigos = [&](ListaHoja l, bool texto) {
        QVariantList v;
        for (const QString &c : base.marcados.value(l))
            v << CodigoElemento(c, texto);
        return v;
    };
    return {
        {"INSERT INTO D_Derechohabiencia (CLUES, Folio, fechaAtencion, CodDerechohabiencia) VALUES (?, ?, ?, ?)",
         codigos(ListaHoja::Derechohabiencia, true)},
        {"INSERT INTO D_TipoViolencia (CLUES, Folio, fechaAtencion, CodTipoViolencia) VALUES (?, ?, ?, ?)",
         codigos(ListaHoja::TipoViolencia, false)},
        {"INSERT INTO D_BajoEfectos (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos) VALUES (?, ?, ?, 1, ?)",
         codigos(ListaHoja::PacienteEfectos, false)},
        {"INSERT INTO D_BajoEfectos (CLUES, Folio, fechaAtencion, CodAfectadoAgresor, CodEfectos) VALUES (?, ?, ?, 2, ?)",
         codigos(ListaHoja::AgresorEfectos, false)},
        {"INSERT INTO D_TipoAtencion (CLUES, Folio, fechaAtencion, CodTipoAtencion) VALUES (?, ?, ?, ?)",
         codigos(ListaHoja::TipoAtencion, false)},
    };
}

// The edit the benchmarks save: the stored event at `clave` (whatever data it
// holds) given the base event's values, with the surname alternating, as a
// clerk retypes it; it passes the sheet's checks, so that the save is done.
DatosEvento EdicionValida(const DatosEvento &base, const ClaveEvento &clave, int i)
{
    DatosEvento d = base;
    d.textos[23] = clave.clues;
    d.textos[22] = clave.FolioTexto();
    d.fechaAtencion = clave.fechaAtencion.toString(QStringLiteral("dd/MM/yyyy"));
    d.fechaOcurrencia = clave.fechaAtencion.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
    d.textos[29] = i % 2 ? QStringLiteral("GARCIA") : QStringLiteral("PEREZ");
    return d;
}

// Types an event into a sheet that is adding or editing: the lists' ticks
// of the event shown are taken off first.
void TecleaEnHoja(HojaRegistro &reg, const DatosEvento &d)
{
    for (int l = 0; l < 5; ++l)
        for (int f = 0; f < reg.hoja.Elementos(ListaHoja(l)).size(); ++f)
            reg.hoja.Marca(ListaHoja(l), f, false);
    LlenaHoja(reg.hoja, d);
    reg.hoja.GridAfeccionesEditado = true;
    reg.eventos.PonAfeccionesTmp(d.diagnosticos);
    reg.eventos.RefrescaGridAfecciones();
}

// The store alone: opening the keys, reading an event, inserting one.
void Almacen(ProgramaBanco &programa, const DatosEvento &base)
{
    Contexto &ctx = programa.ctx;
    const BaseDatos &bd = ctx.ConexionBD;
    HojaDatos hoja;
    modEvento almacen(ctx, hoja);
    Plano plano{bd.Manejador()};

    const double antes = MontonMB();
    const double abrir = MedianaMs(5, [&](int) { almacen.rsAtencion.Abre(bd, almacen.ConsultaEventos); });
    const double monton = MontonMB();
    const double residente = ResidenteMB();
    const double abrirPlano = MedianaMs(5, [&](int) { plano.AbreLlaves(); });
    std::printf("claves en rsAtencion: %d\n", almacen.rsAtencion.Cuenta());
    Cifra("abrir rsAtencion", abrir, "ms");
    Cifra("abrir rsAtencion, SQLite plano", abrirPlano, "ms");
    Razon("abrir rsAtencion / SQLite plano", abrir, abrirPlano);
    Cifra("memoria residente con rsAtencion abierto", residente, "MB");
    Cifra("memoria de rsAtencion (montón en uso)", monton - antes, "MB");

    const int cuenta = almacen.rsAtencion.Cuenta();
    auto posicion = [&](int i) { return int((qint64(i) * 7919) % cuenta) + 1; };
    almacen.CargaListas();
    const double leer = MedianaMs(301, [&](int i) {
        almacen.rsAtencion.IrA(posicion(i));
        almacen.LeeEvento();
    });
    const double leerPlano = MedianaMs(301, [&](int i) {
        almacen.rsAtencion.IrA(posicion(i));
        const ClaveEvento k = *almacen.rsAtencion.Actual();
        plano.LeeEvento(k.clues.toStdString(), k.folio, k.FechaISO().toStdString());
    });
    Cifra("LeeEvento", leer, "ms");
    Cifra("LeeEvento, SQLite plano", leerPlano, "ms");
    Razon("LeeEvento / SQLite plano", leer, leerPlano);

    // The store's own insert, each one flushed to disk by its commit.
    LlenaEvento(almacen, base);
    const qint64 primerFolio = 90000000;
    const double alta = MedianaMs(301, [&](int i) {
        hoja.PonTexto(22, QString::number(primerFolio + i));
        almacen.AltaEvento();
    });
    QVariantList valores = ValoresEvento(hoja, programa.Hoy(), false);
    const Plano::Detalles detalles = DetallesDe(base);
    const double altaPlano = MedianaMs(301, [&](int i) {
        valores[1] = qlonglong(primerFolio + 1000 + i);
        plano.AltaEvento(valores, detalles);
    });
    Cifra("AltaEvento", alta, "ms");
    Cifra("AltaEvento, SQLite plano", altaPlano, "ms");
    Razon("AltaEvento / SQLite plano", alta, altaPlano);
    MetasDelBanco().Agrega("AltaEvento (" + std::to_string(cuenta) + " eventos; plano: los mismos INSERT)", alta, altaPlano, "ms");
}

// The capture sheet without its window, as the clerk drives it. Beside each
// of its figures: the same statements in plain SQLite and the read of the
// event shown afterwards, without validation, record set or caption.
class Hoja {
public:
    Hoja(ProgramaBanco &programa, const DatosEvento &base)
        : programa_(programa), base_(base), plano_{programa.ctx.ConexionBD.Manejador()}
    {
        unidades_ = UnidadesDelEstado(programa.ctx.ConexionBD, programa.opciones.estado);
        // "Registro Guardado, ¿Continuar Captura?" No; every other question Yes.
        programa.mensajes.responde = [](const QString &t) { return !t.contains(QStringLiteral("Continuar Captura")); };
    }

    void Corre()
    {
        Apertura();
        reg_ = std::make_unique<HojaRegistro>(Ctx(), ListasSeleccion{});
        reg_->vida.Abre();
        plano_.db = Ctx().ConexionBD.Manejador();
        const int veces = Rs().Cuenta() >= 500000 ? 101 : 201;
        Altas(veces, false);
        Altas(veces, true);
        Cambios(veces);
        Bajas(veces);
        if (fallas_ > 0)
            std::printf("operaciones de la hoja que no se completaron: %d\n", fallas_);
    }

private:
    Contexto &Ctx() { return programa_.ctx; }
    ConjuntoEventos &Rs() { return reg_->eventos.rsAtencion; }

    // The sheet's opening with the file cached and with it dropped from the cache.
    void Apertura()
    {
        const QString archivo = programa_.ctx.ArchivoBD;
        BaseDatos &bd = Ctx().ConexionBD;
        // A new sheet each time, as the menu opens a new window.
        auto abreHoja = [&] {
            HojaRegistro reg(Ctx(), ListasSeleccion{});
            return Cronometra([&] { reg.vida.Abre(); });
        };
        auto abrePlano = [&](sqlite3 *db) {
            return Cronometra([&] {
                Plano plano{db};
                plano.AbreLlaves();
                sqlite3_stmt *s = plano.Prepara("SELECT Clues, Folio, fechaAtencion FROM D_EVENTO ORDER BY 1, 2, 3 LIMIT 1");
                if (sqlite3_step(s) == SQLITE_ROW)
                    plano.LeeEvento(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)), sqlite3_column_int64(s, 1),
                                    reinterpret_cast<const char *>(sqlite3_column_text(s, 2)));
                sqlite3_finalize(s);
            });
        };
        double quedan = 0;
        std::vector<double> frio, frioPlano, tibio, tibioPlano;
        for (int i = 0; i < 3; ++i) {
            bd.Cierra();
            quedan = qMax(quedan, SacaDeCache(archivo));
            bd.Abre(archivo);
            frio.push_back(abreHoja());
            bd.Cierra();
            SacaDeCache(archivo);
            sqlite3 *db = nullptr;
            sqlite3_open_v2(QFile::encodeName(archivo).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
            frioPlano.push_back(abrePlano(db));
            sqlite3_close(db);
            bd.Abre(archivo);
        }
        for (int i = 0; i < 5; ++i) {
            tibio.push_back(abreHoja());
            tibioPlano.push_back(abrePlano(bd.Manejador()));
        }
        std::printf("páginas del archivo en caché tras descartarlas con posix_fadvise(DONTNEED): %.1f %%\n",
                    100 * quedan);
        Compara(QStringLiteral("abrir la hoja, archivo fuera de la caché"), Resume(frio), Resume(frioPlano));
        Compara(QStringLiteral("abrir la hoja, archivo en caché"), Resume(tibio), Resume(tibioPlano));
    }

    // A new key of the year: the base's with the next folio, or a random unit, folio and day.
    DatosEvento Evento(int i, bool azar)
    {
        DatosEvento d = base_;
        if (!azar) {
            d.textos[22] = QString::number(91000000 + i);
            return d;
        }
        std::uniform_int_distribution<int> unidad(0, int(unidades_.size()) - 1);
        std::uniform_int_distribution<int> folio(10000000, 89999999);
        const QDate inicio = programa_.Inicio().addDays(1);
        std::uniform_int_distribution<int> dia(0, int(inicio.daysTo(programa_.Hoy())));
        const QDate atencion = inicio.addDays(dia(azar_));
        d.textos[23] = unidades_[unidad(azar_)];
        d.textos[22] = QString::number(folio(azar_));
        d.fechaAtencion = atencion.toString(QStringLiteral("dd/MM/yyyy"));
        d.fechaOcurrencia = atencion.addDays(-1).toString(QStringLiteral("dd/MM/yyyy"));
        return d;
    }

    // A sheet left adding or editing did not save: counted and cancelled.
    bool Grabado()
    {
        if (reg_->hoja.EnAlta || reg_->hoja.EnCambio) {
            ++fallas_;
            reg_->vida.BotonPulsado(9);
            return false;
        }
        return true;
    }

    // Stands the sheet on a random event, as the clerk finds it.
    ClaveEvento Muestra()
    {
        std::uniform_int_distribution<int> pos(1, Rs().Cuenta());
        // Not one of the few events received without detail rows: the sheet
        // would not save it before the clerk completed it.
        for (int intento = 0; intento < 20; ++intento) {
            Rs().IrA(pos(azar_));
            reg_->eventos.LeeEvento();
            const QList<ElementoLista> &l = reg_->hoja.Elementos(ListaHoja::Derechohabiencia);
            if (std::any_of(l.begin(), l.end(), [](const ElementoLista &e) { return e.marcado; }))
                break;
        }
        reg_->vida.Actualiza_Ubicacion();
        return *Rs().Actual();
    }

    // Random keys of the set, for the plain statements (which the set does not follow).
    std::vector<ClaveEvento> Claves(int veces)
    {
        std::vector<ClaveEvento> claves;
        std::uniform_int_distribution<int> pos(1, Rs().Cuenta());
        for (int i = 0; i < veces; ++i) {
            Rs().IrA(pos(azar_));
            claves.push_back(*Rs().Actual());
        }
        return claves;
    }

    // The base event's column values, which go with its detail rows: the
    // plain statements write events the sheet could have saved (not the
    // values of whatever event the sheet shows last).
    QVariantList ValoresBase(bool actualizacion, QStringList *columnas = nullptr) const
    {
        HojaDatos hoja;
        LlenaHoja(hoja, base_);
        return ValoresEvento(hoja, programa_.Hoy(), actualizacion, columnas);
    }

    // The event shown again after a plain write: read as the sheet reads it.
    void LeePlano(const ClaveEvento &k)
    {
        plano_.LeeEvento(k.clues.toStdString(), k.folio, k.FechaISO().toStdString());
    }

    void Altas(int veces, bool azar)
    {
        std::vector<DatosEvento> eventos;
        for (int i = 0; i < veces * 2; ++i)
            eventos.push_back(Evento(i, azar));
        std::vector<double> t;
        for (int i = 0; i < veces; ++i) {
            reg_->vida.BotonPulsado(5);
            TecleaEnHoja(*reg_, eventos[size_t(i)]);
            const double ms = Cronometra([&] { reg_->vida.BotonPulsado(8); });
            if (Grabado())
                t.push_back(ms);
        }
        const Hechas hechas{int(t.size()), veces};
        const Plano::Detalles detalles = DetallesDe(base_);
        QVariantList valores = ValoresBase(false);
        const int ocurrencia = int(ListaColumnasEvento().split(QLatin1Char(',')).indexOf(QStringLiteral("FechaOcurrencia")));
        Rs().MueveInicio();
        const ClaveEvento primera = *Rs().Actual();
        const Tiempos plano = Mide(veces, [&](int i) {
            const DatosEvento &d = eventos[size_t(veces + i)];
            valores[0] = d.textos[23];
            valores[1] = qlonglong(d.textos[22].toLongLong());
            const QDate atencion = QDate::fromString(d.fechaAtencion, QStringLiteral("dd/MM/yyyy"));
            valores[2] = atencion.toString(Qt::ISODate);
            valores[ocurrencia] = atencion.addDays(-1).toString(Qt::ISODate);
            plano_.AltaEvento(valores, detalles);
            LeePlano(primera);
        });
        Compara(azar ? QStringLiteral("Grabar (alta) en la hoja, claves al azar")
                     : QStringLiteral("Grabar (alta) en la hoja, folios seguidos"),
                Resume(t), plano, 0, QStringLiteral("SQLite plano"), hechas);
    }

    void Cambios(int veces)
    {
        std::vector<double> t;
        for (int i = 0; i < veces; ++i) {
            const ClaveEvento k = Muestra();
            reg_->vida.BotonPulsado(6);
            TecleaEnHoja(*reg_, EdicionValida(base_, k, i));
            const double ms = Cronometra([&] { reg_->vida.BotonPulsado(8); });
            if (Grabado())
                t.push_back(ms);
        }
        const Hechas hechas{int(t.size()), veces};
        QStringList columnas;
        QVariantList valores = ValoresBase(true, &columnas);
        const int ocurrencia = int(columnas.indexOf(QStringLiteral("FechaOcurrencia")));
        const Plano::Detalles detalles = DetallesDe(base_);
        const std::vector<ClaveEvento> claves = Claves(veces);
        const Tiempos plano = Mide(veces, [&](int i) {
            const ClaveEvento &k = claves[size_t(i)];
            valores[ocurrencia] = k.fechaAtencion.addDays(-1).toString(Qt::ISODate);
            plano_.ModificaEvento(valores, columnas, k.clues.toStdString(), k.folio, k.FechaISO().toStdString(), detalles);
            LeePlano(k);
        });
        Compara(QStringLiteral("Grabar (cambios) en la hoja"), Resume(t), plano, 0, QStringLiteral("SQLite plano"), hechas);
    }

    void Bajas(int veces)
    {
        std::vector<double> t;
        for (int i = 0; i < veces; ++i) {
            Muestra();
            const int antes = Rs().Cuenta();
            const double ms = Cronometra([&] { reg_->vida.BotonPulsado(11); });
            if (Rs().Cuenta() == antes - 1)
                t.push_back(ms);
            else
                ++fallas_;
        }
        const Hechas hechas{int(t.size()), veces};
        const std::vector<ClaveEvento> claves = Claves(veces);
        const Tiempos plano = Mide(veces, [&](int i) {
            const ClaveEvento &k = claves[size_t(i)];
            plano_.BorraEvento(k.clues.toStdString(), k.folio, k.FechaISO().toStdString());
            LeePlano(claves.front());
        });
        Compara(QStringLiteral("Bajas en la hoja"), Resume(t), plano, 0, QStringLiteral("SQLite plano"), hechas);
    }

    ProgramaBanco &programa_;
    const DatosEvento base_;
    Plano plano_;
    QStringList unidades_;
    std::unique_ptr<HojaRegistro> reg_;
    std::mt19937 azar_{20261206};
    int fallas_ = 0;
};

} // namespace

namespace {

// The capture sheet's window as the clerk meets it: Ctrl+G until the sheet is
// repainted, on an edited event (one field changed) and on a typed new event
// (the question after the save answered No), beside the same work done
// plainly: the same rows saved by SQLite alone (one durable commit), the
// event shown read back, and a repaint of the same sheet (the page the save
// shows, turned to from the other page).
void Ventana(ProgramaBanco &programa, const DatosEvento &base)
{
    programa.mensajes.responde = [](const QString &t) { return !t.contains(QStringLiteral("Continuar Captura")); };
    QMdiArea area;
    area.resize(1024, 768);
    area.show();
    auto *ventana = new frmRegistro(programa.ctx);
    ventana->Vida().Abre();
    area.addSubWindow(ventana)->show();
    area.activateWindow();
    if (!QTest::qWaitForWindowActive(&area))
        std::printf("la ventana de la hoja no quedó activa\n");
    auto pinta = [] {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    };
    pinta();
    auto ctrlG = [&] {
        QTest::keyClick(ventana->txtDatos(29), Qt::Key_G, Qt::ControlModifier);
        pinta();
    };
    auto repinta = [&] {
        QTabWidget *tab = ventana->SSTab1();
        const int pagina = tab->currentIndex();
        tab->setCurrentIndex(1 - pagina);
        pinta();
        return Cronometra([&] {
            tab->setCurrentIndex(pagina);
            pinta();
        });
    };
    // The plain saves write the base event's values, as the sheet's would.
    const Plano plano{programa.ctx.ConexionBD.Manejador()};
    const Plano::Detalles detalles = DetallesDe(base);
    HojaDatos hojaBase;
    LlenaHoja(hojaBase, base);
    QStringList columnas;
    QVariantList cambioPlano = ValoresEvento(hojaBase, programa.Hoy(), true, &columnas);
    QVariantList altaPlano = ValoresEvento(hojaBase, programa.Hoy(), false);
    const int ocurrencia = int(columnas.indexOf(QStringLiteral("FechaOcurrencia")));
    const auto leePlano = [&](const ClaveEvento &k) { plano.LeeEvento(k.clues.toStdString(), k.folio, k.FechaISO().toStdString()); };

    const int veces = 51;
    ConjuntoEventos &rs = ventana->Registro().eventos.rsAtencion;
    const int antes = rs.Cuenta();
    std::mt19937 azar(20261207);
    std::vector<double> cambios, altas, repintar, cambiosPlanos, altasPlanas;
    std::vector<ClaveEvento> claves, primeras;
    // Only a save that passed the sheet's checks and left it browsing counts.
    auto grabado = [&] {
        if (!ventana->Hoja().EnAlta && !ventana->Hoja().EnCambio)
            return true;
        ventana->Vida().BotonPulsado(9);
        return false;
    };
    for (int i = 0; i < veces; ++i) {
        rs.IrA(std::uniform_int_distribution<int>(1, rs.Cuenta())(azar));
        ventana->Registro().eventos.LeeEvento();
        ventana->Vida().Actualiza_Ubicacion();
        const ClaveEvento k = *rs.Actual();
        ventana->Vida().BotonPulsado(6);
        TecleaEnHoja(ventana->Registro(), EdicionValida(base, k, i));
        ventana->txtDatos(29)->setFocus();
        pinta();
        const double cambio = Cronometra(ctrlG);
        if (grabado())
            cambios.push_back(cambio);
        claves.push_back(k);
        repintar.push_back(repinta());

        ventana->Vida().BotonPulsado(5);
        DatosEvento d = base;
        d.textos[22] = QString::number(93000000 + i);
        TecleaEnHoja(ventana->Registro(), d);
        ventana->txtDatos(29)->setFocus();
        pinta();
        const double alta = Cronometra(ctrlG);
        if (grabado())
            altas.push_back(alta);
        // The sheet shows the set's first event after a new one is saved.
        primeras.push_back(*rs.Actual());
        repintar.push_back(repinta());
    }
    // The plain saves after the sheet's: a write between two of its saves
    // would make it count the day's events again, which a clerk's saves never do.
    for (int i = 0; i < veces; ++i) {
        const ClaveEvento &k = claves[size_t(i)];
        cambioPlano[ocurrencia] = k.fechaAtencion.addDays(-1).toString(Qt::ISODate);
        cambiosPlanos.push_back(repintar[size_t(2 * i)] + Cronometra([&] {
            plano.ModificaEvento(cambioPlano, columnas, k.clues.toStdString(), k.folio, k.FechaISO().toStdString(), detalles);
            leePlano(k);
        }));
        altaPlano[1] = qlonglong(94000000 + i);
        altasPlanas.push_back(repintar[size_t(2 * i + 1)] + Cronometra([&] {
            plano.AltaEvento(altaPlano, detalles);
            leePlano(primeras[size_t(i)]);
        }));
    }
    const int guardados = rs.Cuenta() - antes;
    const Tiempos repintado = Resume(repintar);
    std::printf("repintar la hoja sola (cambio de página): mediana %.3f ms, p99 %.3f ms\n", repintado.mediana, repintado.p99);
    const QString mismo = QStringLiteral("lo mismo en SQLite plano y la hoja repintada");
    Compara(QStringLiteral("Ctrl+G (cambios) hasta la hoja repintada"), Resume(cambios), Resume(cambiosPlanos), 1.3, mismo,
            {int(cambios.size()), veces});
    Compara(QStringLiteral("Ctrl+G (alta) hasta la hoja repintada"), Resume(altas), Resume(altasPlanas), 1.3, mismo,
            {qMin(int(altas.size()), guardados), veces});
    area.closeAllSubWindows();
}

int Corre(const OpcionesBanco &opciones)
{
    ProgramaBanco programa(opciones);
    if (!BaseConEventos(programa))
        return 0;
    const DatosEvento base = EventoDelAno(programa, EventoValido());
    if (qEnvironmentVariableIsEmpty("VELMORAN_SOLO_VENTANA")) {
        Almacen(programa, base);
        Hoja(programa, base).Corre();
    }
    Ventana(programa, base);
    const QString eventos = programa.ctx.ConexionBD.Valor(QStringLiteral("SELECT count(*) FROM D_EVENTO")).toString();
    std::printf("eventos en la base: %s\n", qPrintable(eventos));
    MetasDelBanco().Imprime(qPrintable(QStringLiteral("hoja de captura, %1 eventos").arg(eventos)));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    return MainBanco(argc, argv, Corre);
}
