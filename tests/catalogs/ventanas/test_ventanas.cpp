#include "DatosCatalogos.h"
