#pragma once

#include <QString>

class GeneradorReportes;

// "Lista Detallada": REPLISDET holds, per state, one row per cause and sex
// with its 23 age groups, and the rows that sum them: all sexes of a cause,
// the three-character categories, the chapters and the state totals. Every
// row carries its level (Nivel) and a sort key (Orden), so that a
// three-character cause is told from its category and the order is fixed.
enum NivelListaDetallada { NivelEstado = 0, NivelCapitulo = 1, NivelCategoria = 2, NivelCausa = 3 };
void Reporte_ListaDetallada(GeneradorReportes &g);

// The twenty most frequent categories (first three characters of the code)
// of the principal affection ("Lesion") or the external cause (any other
// kind), ranked by count and then by category, a blank line and "Las demás
// causas", in REP_Principales.
void Reporte_Principales(GeneradorReportes &g, const QString &tipo);

// Registers the three builders by title.
void RegistraReportesDiagnosticos(GeneradorReportes &g);
