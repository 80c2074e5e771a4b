// What a send or a reception killed before its end leaves in Datos goes at
// the next start-up, with the real wiring; what a living run (another
// instance sharing the folder) still holds stays, and so does everything
// else in the folder.
#include "app/Conexiones.h"
#include "comun/MuereAlEjecutar.h"
#include "comun/ProgramaTemporal.h"
#include "platform/InstanciaUnica.h"
#include "shell/mdiPrincipal.h"
#include "shell/modPrincipal.h"
#include "tools/Envio.h"
#include "tools/Recepcion.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sqlite3.h>

namespace {

class VentanasQueEntran : public VentanasArranque {
public:
    bool Login() override { return true; }
    bool ParamInicio() override { return false; }
};

// Another process holding a lock file as a living run holds it, until the
// object goes: flock(1), whose command (reading its input) has no part in it.
class CandadoAjeno {
public:
    explicit CandadoAjeno(const QString &archivo)
    {
        proceso_.start("flock", {"--exclusive", "--close", archivo, "sh", "-c", "echo tomado; exec cat"});
        tomado_ = proceso_.waitForReadyRead(20000) && proceso_.readLine().trimmed() == "tomado";
    }
    ~CandadoAjeno()
    {
        proceso_.closeWriteChannel();
        if (!proceso_.waitForFinished(20000)) {
            proceso_.kill();
            proceso_.waitForFinished();
        }
    }
    bool Tomado() const { return tomado_; }

private:
    QProcess proceso_;
    bool tomado_ = false;
};

// Everything in the folder and its subfolders but the working database's
// files, sorted.
QStringList Listado(const QString &datos)
{
    QStringList nombres;
    QDirIterator it(datos, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString nombre = QDir(datos).relativeFilePath(it.next());
        if (!nombre.startsWith("VELMORAN0436.db"))
            nombres << nombre;
    }
    nombres.sort();
    return nombres;
}

QStringList Menos(QStringList a, const QStringList &b)
{
    for (const QString &n : b)
        a.removeAll(n);
    return a;
}

QStringList Juntos(const std::initializer_list<QStringList> &listas)
{
    QStringList todos;
    for (const QStringList &l : listas)
        todos << l;
    todos.sort();
    return todos;
}

// Runs `corre` in a child process killed as a statement containing `en`
// begins or a message saying `en` shows.
void MuereEn(ProgramaTemporal &p, const char *en, const std::function<void()> &corre)
{
    p.bd().Cierra();
    EXPECT_EXIT(
        {
            p.bd().Abre(p.ctx->ArchivoBD);
            MuereAlEjecutar(p.bd().Manejador(), en);
            p.mensajes.alMostrar = [en](const MensajesFalsos::Caja &c) {
                if (c.texto == QString::fromUtf8(en))
                    std::raise(SIGKILL);
            };
            corre();
            std::exit(0);
        },
        ::testing::KilledBySignal(SIGKILL), "")
        << en;
    p.bd().Abre(p.ctx->ArchivoBD);
}

} // namespace

// Sends and a reception killed at their work, in child processes, and the
// program started three times: once refused as a second copy, once beside
// another process holding two of the leftovers' locks, once after it let them go.
TEST(Restos, LoQueDejaUnEnvioOUnaRecepcionMuertaSeBorraAlArrancarSalvoLoQueOtroTiene)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    ProgramaTemporal p;
    p.ajustes->Escribe("EstadoActual", "36");
    p.ajustes->Escribe("AnoActual", "2004");
    p.AbreBase();
    p.Ejecuta("INSERT INTO D_EVENTO (Clues, Folio, fechaAtencion, Paterno) VALUES ('DFSSA000011', 1, '2004-06-15', 'PEREZ')");
    const QString datos = p.ctx->RutaDatos;
    const QString paquete = datos + "/" + Envio(*p.ctx).PaqueteEnvio;
    const auto envia = [&] { return Envio(*p.ctx).GeneraEnvio({true, true, {}, {}, {}, {"cSexo"}}, paquete); };
    ASSERT_TRUE(envia());
    // What only looks like a leftover: a package, a backup, a package's
    // database, another year's database with its journal, a temporary name
    // without the program's signature, folders of the reception's name that
    // hold the user's file or whose name is not its own.
    QDir d(datos);
    for (const char *nombre : {"VELMORAN0436_061226.ZIP", "ENV0436.db", "VELMORAN0536.db", "VELMORAN0536.db-journal",
                               ".ENV0436.db.0123456789ab.tmp", "Recive-ABCDEF/notas.txt", "Recive-AB/ENV0436.db"}) {
        d.mkpath(QFileInfo(d.filePath(nombre)).path());
        ASSERT_TRUE(EscribeArchivo(d.filePath(nombre), "del usuario"));
    }
    const QStringList ajenos = Listado(datos);

    // A send killed while it fills its database, one killed while its
    // package waits for the click, a reception killed in its merge; the
    // first one's lock held by a living run meanwhile.
    MuereEn(p, "INSERT INTO envio.D_EVENTO", envia);
    const QStringList copiando = Menos(Listado(datos), ajenos);
    ASSERT_TRUE(copiando.filter(QRegularExpression("^\\.ENV0436\\.db\\.\\w+\\.tmp-journal$")).size() == 1) << copiando.join(' ').toStdString();
    const QStringList candadoCopia = copiando.filter(QRegularExpression("\\.lck$"));
    ASSERT_EQ(candadoCopia.size(), 1) << copiando.join(' ').toStdString();
    std::optional<CandadoAjeno> enCopia(std::in_place, d.filePath(candadoCopia[0]));
    ASSERT_TRUE(enCopia->Tomado());
    MuereEn(p, "De click para continuar", envia);
    const QStringList empacando = Menos(Listado(datos), Juntos({ajenos, copiando}));
    ASSERT_TRUE(empacando.filter(QRegularExpression("^\\.ENVIO0436_061226VEL\\.ZIP\\.\\w+\\.tmp$")).size() == 1) << empacando.join(' ').toStdString();
    MuereEn(p, "INSERT INTO main.D_DIAGNOSTICOS", [&] {
        Recepcion r(*p.ctx);
        if (r.Abre(paquete))
            r.Recibe(true, {});
    });
    const QStringList recibiendo = Menos(Listado(datos), Juntos({ajenos, copiando, empacando}));
    ASSERT_EQ(recibiendo.filter(QRegularExpression("^Recive-\\w{6}/ENV0436\\.db$")).size(), 1) << recibiendo.join(' ').toStdString();
    std::optional<CandadoAjeno> enRecepcion(std::in_place, d.filePath(recibiendo.filter(QRegularExpression("^Recive-\\w{6}$"))[0] + "/.recepcion.lck"));
    ASSERT_TRUE(enRecepcion->Tomado());
    p.bd().Cierra();
    p.mensajes.Limpia();

    mdiPrincipal principal(*p.ctx);
    ConectaSubsistemas(*p.ctx, principal);
    VentanasQueEntran ventanas;
    QTemporaryDir candados;
    const auto arranca = [&] {
        InstanciaUnica instancia(candados.path());
        const bool arrancado = Main(*p.ctx, instancia, principal, ventanas, QSize(1024, 768));
        p.bd().Cierra();
        return arrancado;
    };
    // A second copy running here is refused before it touches anything.
    {
        InstanciaUnica otra(candados.path());
        ASSERT_TRUE(otra.Adquiere());
        EXPECT_FALSE(arranca());
        EXPECT_EQ(Listado(datos), Juntos({ajenos, copiando, empacando, recibiendo}));
    }
    ASSERT_TRUE(arranca());
    EXPECT_EQ(Listado(datos), Juntos({ajenos, copiando, recibiendo}));
    enCopia.reset();
    enRecepcion.reset();
    ASSERT_TRUE(arranca());
    EXPECT_EQ(Listado(datos), ajenos);
    ASSERT_EQ(p.mensajes.cajas.size(), 1);   // the refused copy's only
    EXPECT_EQ(p.mensajes.Ultimo(), "La aplicacion VELMORAN ya se encuentra activa");
}
