#pragma once

#include <QProcess>
#include <QString>

// Another program holding the database's write lock, as a statistician's own
// SQLite tool does: a process of its own (velmoran_otro_programa) begins an
// immediate transaction, runs `sql`, holds the lock for `segundos` and
// commits. Killed when the object goes before that, which releases the lock.
// (Not a forked copy of this process: it would share SQLite's own record of
// the file's locks, and a closing here would drop the child's.)
class BloqueoAjeno {
public:
    static constexpr const char *CambiaDiagnostico =
        "UPDATE D_Diagnosticos SET CodDiagnostico = CodDiagnostico WHERE rowid = (SELECT min(rowid) FROM D_Diagnosticos)";

    BloqueoAjeno(const QString &archivo, double segundos, const char *sql = CambiaDiagnostico)
    {
        proceso_.start(QStringLiteral(VELMORAN_OTRO_PROGRAMA),
                       {archivo, QString::number(segundos), QString::fromUtf8(sql)});
        tomado_ = proceso_.waitForReadyRead(20000) && proceso_.readLine().trimmed() == "tomado";
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
    // Waits for its commit; true when it committed.
    bool Confirma()
    {
        return proceso_.waitForFinished(-1) && proceso_.exitStatus() == QProcess::NormalExit && proceso_.exitCode() == 0;
    }

private:
    QProcess proceso_;
    bool tomado_ = false;
};
