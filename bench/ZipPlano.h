#pragma once

// Packing and unpacking one file with libzip alone: the plain work beside the
// program's backups, send packages and receptions.

#include <QFile>
#include <cstdio>
#include <cstring>
#include <vector>
#include <zip.h>

// One member, deflated at the program's level.
inline void EmpacaPlano(const QString &origen, const QString &zip, const char *miembro)
{
    int e = 0;
    zip_t *za = zip_open(QFile::encodeName(zip).constData(), ZIP_CREATE | ZIP_TRUNCATE, &e);
    const zip_int64_t i = zip_file_add(za, miembro, zip_source_file(za, QFile::encodeName(origen).constData(), 0, -1), 0);
    zip_set_file_compression(za, zip_uint64_t(i), ZIP_CM_DEFLATE, 1);
    zip_close(za);
}

inline void ExtraePlano(const QString &zip, const QString &destino, const char *miembro)
{
    int e = 0;
    zip_t *za = zip_open(QFile::encodeName(zip).constData(), ZIP_RDONLY, &e);
    zip_file_t *f = zip_fopen(za, miembro, 0);
    FILE *salida = std::fopen(QFile::encodeName(destino).constData(), "wb");
    std::vector<char> bloque(1 << 16);
    zip_int64_t n;
    while ((n = zip_fread(f, bloque.data(), bloque.size())) > 0)
        std::fwrite(bloque.data(), 1, size_t(n), salida);
    std::fclose(salida);
    zip_fclose(f);
    zip_discard(za);
}

// Reads the member back (libzip checks its CRC at the end) and compares every
// byte with the packed file; whether they are equal.
inline bool ReleePlano(const QString &zip, const QString &origen, const char *miembro)
{
    int e = 0;
    zip_t *za = zip_open(QFile::encodeName(zip).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &e);
    zip_file_t *f = za ? zip_fopen(za, miembro, 0) : nullptr;
    FILE *fuente = std::fopen(QFile::encodeName(origen).constData(), "rb");
    std::vector<char> bloque(1 << 16), original(1 << 16);
    bool igual = f && fuente;
    zip_int64_t n = 0;
    while (igual && (n = zip_fread(f, bloque.data(), bloque.size())) > 0)
        igual = std::fread(original.data(), 1, size_t(n), fuente) == size_t(n) && std::memcmp(bloque.data(), original.data(), size_t(n)) == 0;
    igual = igual && n == 0 && std::fgetc(fuente) == EOF;
    if (fuente)
        std::fclose(fuente);
    if (f)
        zip_fclose(f);
    if (za)
        zip_discard(za);
    return igual;
}
