#pragma once

class Contexto;
class HojaDatos;

// Checks the whole sheet before it is written, rule by rule in the sheet's order.
// Returns true when a rule failed: it has beeped (where the rule asks for it), shown its
// message titled with the sheet title, turned the sheet to the field's page, enabled the
// field's frame and asked the focus for the field. Nothing is written either way.
// Returns false when the record may be saved. Rewrites made while checking (leading zeros
// and the like) stay on the sheet. An unexpected error while checking is shown and counts
// as a failed check: it never lets the record through.
bool ChecaDatos_D_EVENTO(Contexto &ctx, HojaDatos &hoja);
