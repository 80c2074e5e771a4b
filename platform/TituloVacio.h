#pragma once

class QWidget;

// A window shown with no caption at all. Qt puts the application name on the
// title bar of a window whose title is empty; on X the window's name
// properties are emptied once it exists, before it is mapped. Call it from
// the window's showEvent, after the base class.
void VaciaTituloNativo(QWidget *ventana);
