#pragma once

#include "comun/ImprimeQt.h"
#include "comun/MensajesFalsos.h"
#include "platform/Ajustes.h"
#include "platform/Reloj.h"
#include "shell/Contexto.h"

#include <QTemporaryDir>
#include <memory>

// The header every sheet and dialog shows above its messages.
inline const QString TituloHoja = "Hoja de Registro de Atención por Violencia y/o Lesion";

// Whole files, for the tests that plant or inspect one.
bool EscribeArchivo(const QString &ruta, const QByteArray &contenido);
QByteArray LeeArchivo(const QString &ruta);
// One member of a zip archive as text; empty when it is missing.
QString ParteZip(const QString &zip, const QString &parte);

// What is wrong with the hold that process `pid` (this one by default) keeps on
// a database open in WAL mode, or an empty text: another process must meet its
// locks on the database and on its -shm, and neither it nor its -wal may be
// unlinked.
QString BloqueosPerdidos(const QString &archivoBD, qint64 pid = 0);

// Each row of a query as its columns joined by '|'.
QStringList Filas(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});

// Whether the main database holds a table or view of that name (any case).
bool ExisteTabla(const BaseDatos &bd, const QString &tabla);

// A fresh program folder for one test: Datos/ with the template database,
// a settings file of its own, the fake messages and a fixed clock.
class ProgramaTemporal {
    // Declared first, so removed last: the database closes in its folder.
    QTemporaryDir dir_;

public:
    // The default clock: 6 December 2026, 10:00.
    ProgramaTemporal();

    QString Carpeta() const { return dir_.path(); }
    // Copies the template to the working database of that state and year.
    QString CreaBase(const QString &estado = "36", const QString &ano = "2004");
    // Copies the template for the defaults and opens it on the context.
    void AbreBase(const QString &estado = "36", const QString &ano = "2004");

    // The open database, to set a test up and read the outcome back.
    BaseDatos &bd() const { return ctx->ConexionBD; }
    void Ejecuta(const QString &sql, const QVariantList &valores = {}) const { bd().EjecutaAccion(sql, valores); }
    QVariant Valor(const QString &sql, const QVariantList &valores = {}) const { return bd().Valor(sql, valores); }
    QStringList Filas(const QString &sql, const QVariantList &valores = {}) const { return ::Filas(bd(), sql, valores); }
    // Rows of `tabla`, or of those meeting `donde`.
    int Cuenta(const QString &tabla, const QString &donde = {}, const QVariantList &valores = {}) const;

    MensajesFalsos mensajes;
    RelojFijo reloj;
    std::unique_ptr<Ajustes> ajustes;
    std::unique_ptr<Contexto> ctx;
};

// A small tmpfs mounted over `carpeta`, so that a write meets a full disk;
// unmounted on destruction. Mounting needs root: tests skip when it is refused.
class DiscoPequeno {
public:
    explicit DiscoPequeno(const QString &carpeta, const QByteArray &tamano = "8m");
    ~DiscoPequeno();
    bool Montado() const { return montado_; }
    // Takes every free byte with a filler file; Libera() gives them back.
    void Llena();
    void Libera();

private:
    QString carpeta_;
    bool montado_ = false;
};

// A folder in which nothing can be written, also by root (who writes past the
// permission bits): a read-only tmpfs mounted over it, or else the folder
// made immutable; undone on destruction. Tests skip when neither is allowed.
// Con::Contenido keeps what the folder holds in sight and writable (only no
// file can be added): the immutable flag alone.
class CarpetaSoloLectura {
public:
    enum class Con { Montaje, Contenido };
    explicit CarpetaSoloLectura(const QString &carpeta, Con con = Con::Montaje);
    ~CarpetaSoloLectura();
    bool Lista() const { return montada_ || inmutable_; }

private:
    QString carpeta_;
    bool montada_ = false;
    bool inmutable_ = false;
};

// A file that cannot be written, replaced or removed, also by root: the
// immutable flag, undone on destruction. Tests skip when it is not allowed.
class ArchivoInmutable {
public:
    explicit ArchivoInmutable(const QString &archivo);
    ~ArchivoInmutable();
    bool Listo() const { return inmutable_; }

private:
    QString archivo_;
    bool inmutable_ = false;
};
