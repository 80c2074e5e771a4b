#pragma once

#include <QProcess>
#include <QString>

// Another program holding the database's write lock, as a statistician's own
// SQLite tool does: a process of its own (velmoran_otro_programa) begins an
// immediate transaction, runs `sql`, holds the lock for `segundos` and
// commits; or holds a read transaction as long (Modo). Killed when the object goes before that, which releases the lock.
// (Not a forked copy of this process: it would share SQLite's own record of
// the file's locks, and a closing here would drop the child's.)
class BloqueoAjeno {
public:
    static constexpr const char *CambiaDiagnostico =
        "UPDATE D_Diagnosticos SET CodDiagnostico = CodDiagnostico WHERE rowid = (SELECT min(rowid) FROM D_Diagnosticos)";

    // How it holds the database: the write lock, a read transaction, or a
    // read in exclusive locking mode (no -shm; only the database is locked).
    // Confirma: puts it in WAL mode, commits `sql` at once (waiting for a
    // lock) and keeps it open; ConfirmaExclusivo, in exclusive locking mode.
    enum class Modo { Escribe, Lee, Exclusivo, Confirma, ConfirmaExclusivo };

    BloqueoAjeno(const QString &archivo, double segundos, const char *sql = CambiaDiagnostico, Modo modo = Modo::Escribe)
    {
        const char *modos[] = {"escribe", "lee", "exclusivo", "confirma", "confirma-exclusivo"};
        proceso_.start(QStringLiteral(VELMORAN_OTRO_PROGRAMA),
                       {archivo, QString::number(segundos), QString::fromUtf8(sql), QLatin1String(modos[int(modo)])});
        // "ocupada" comes first when it met a lock (Modo::Confirma).
        QByteArray linea = "ocupada";
        while (linea == "ocupada" && (proceso_.canReadLine() || proceso_.waitForReadyRead(20000)))
            if (proceso_.canReadLine())
                linea = proceso_.readLine().trimmed();
        tomado_ = linea == "tomado";
    }
    ~BloqueoAjeno()
    {
        if (proceso_.state() != QProcess::NotRunning) {
            proceso_.kill();
            proceso_.waitForFinished();
        }
    }
    BloqueoAjeno(const BloqueoAjeno &) = delete;
    BloqueoAjeno &operator=(const BloqueoAjeno &) = delete;

    // Whether the other program holds the lock (it took it before the constructor returned).
    bool Tomado() const { return tomado_; }
    qint64 Proceso() const { return proceso_.processId(); }
    // Waits for its commit; true when it committed.
    bool Confirma()
    {
        return proceso_.waitForFinished(-1) && proceso_.exitStatus() == QProcess::NormalExit && proceso_.exitCode() == 0;
    }
    // Ends its hold before its seconds: it commits, closes and ends; true
    // when all of it went well.
    bool Termina()
    {
        proceso_.write("\n");
        proceso_.waitForBytesWritten();
        return Confirma();
    }

private:
    QProcess proceso_;
    bool tomado_ = false;
};
