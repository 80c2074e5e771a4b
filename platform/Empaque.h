#pragma once

#include <QString>
#include <functional>

// Zip archives of one database file, written and read in the process.

// The most a member may unpack to unless the caller says otherwise.
constexpr qint64 LimiteExtraccion = qint64(8) << 30;

// Packs the file `origen` into a new zip archive at `destino` as its one member
// `miembro`. The archive is written beside `destino` under a temporary name,
// read back (the member, its size, its CRC and every byte against `origen`) and
// only then put in place; on failure the previous file stays, no temporary
// file is left and `error` says why. `antesDeColocar`, when given, runs once
// the archive has been read back, just before it takes the place of `destino`.
bool EmpacaArchivo(const QString &origen, const QString &miembro, const QString &destino, QString *error,
                   const std::function<void()> &antesDeColocar = {});

// Extracts the member `miembro` (its name compared without regard to case) of
// the archive `archivo` into the file `destino`, which appears only complete.
// Nothing is written when any entry of the archive has an absolute path or one
// that climbs with "..", is a folder, a link, encrypted or a second entry of
// one name, nor when the member is missing, unpacks past `limite` bytes or
// fails its CRC; `error` then says why. A member that declares more than
// `limite` or than the disk has free is refused before a byte is written, and
// writing stops the moment it passes what it declared.
bool ExtraeMiembro(const QString &archivo, const QString &miembro, const QString &destino, qint64 limite,
                   QString *error);

// A package's database shrinks a few times when packed, never a hundredfold:
// what a package of `bytes` can hold.
constexpr qint64 CapacidadPaquete(qint64 bytes)
{
    return bytes > LimiteExtraccion / 100 ? LimiteExtraccion : bytes * 100;
}
