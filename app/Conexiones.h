#pragma once

class Contexto;
class mdiPrincipal;
struct ConsultasHoja;

// The wiring of the main window's menus to each subsystem's windows, one
// function per subsystem; ConectaSubsistemas calls them all, once, before start-up.
void ConectaSubsistemas(Contexto &ctx, mdiPrincipal &principal);
void ConectaCaptura(Contexto &ctx, mdiPrincipal &principal);
void ConectaConsultas(Contexto &ctx, mdiPrincipal &principal);
void ConectaReportes(Contexto &ctx, mdiPrincipal &principal);
void ConectaHerramientas(Contexto &ctx, mdiPrincipal &principal);
// The pivot and full flat tables, called by ConectaHerramientas.
void ConectaTablas(Contexto &ctx, mdiPrincipal &principal);
void ConectaCatalogos(Contexto &ctx, mdiPrincipal &principal);

// The query windows that the capture sheet opens, filled by ConectaConsultas.
const ConsultasHoja &ConsultasDeLaHoja();
