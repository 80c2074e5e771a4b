#pragma once

class QWidget;

// Enable or disable an entry field with the window or button-shadow colour.
void ActivaCampo(QWidget *campo);
void DesactivaCampo(QWidget *campo);
