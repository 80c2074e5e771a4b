#include "shell/CamposVentana.h"

#include <QGuiApplication>
#include <QPalette>
#include <QWidget>

namespace {
void PonFondo(QWidget *campo, QPalette::ColorRole rol)
{
    QPalette p = campo->palette();
    p.setColor(QPalette::Base, QGuiApplication::palette().color(rol));
    campo->setPalette(p);
}
} // namespace

void ActivaCampo(QWidget *campo)
{
    if (!campo)
        return;
    campo->setEnabled(true);
    PonFondo(campo, QPalette::Base);
}

void DesactivaCampo(QWidget *campo)
{
    if (!campo)
        return;
    campo->setEnabled(false);
    PonFondo(campo, QPalette::Dark);
}
