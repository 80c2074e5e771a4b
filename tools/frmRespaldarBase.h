#pragma once

#include "tools/Respaldo.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// The backup window: the destination path, "Guardar en ..." to pick it, and
// Aceptar, which closes the window and runs the backup.
class frmRespaldarBase : public QDialog {
    Q_OBJECT
public:
    frmRespaldarBase(Contexto &ctx, std::function<bool()> compacta, QWidget *padre = nullptr);

    Respaldo logica;
    // Asks for the destination with a Save dialog proposing that path; an empty
    // text when cancelled. Tests put their own.
    std::function<QString(const QString &propuesta)> PideRuta;

    QLineEdit *txtRuta;
    QPushButton *cmdRuta;
    QPushButton *cmdAceptar;
    QPushButton *cmdSalir;

private:
    void Ruta();
    void Aceptar();

    Contexto &ctx_;
};
