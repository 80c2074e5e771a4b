#pragma once

#include <vector>

class BaseDatos;

// Shared by the files that implement BaseDatos, for them alone.
namespace SesionesBaseDatos {
// Every session of the program, to tell its files apart.
std::vector<const BaseDatos *> &Sesiones();
}
