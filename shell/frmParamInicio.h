#pragma once

#include "shell/ParamInicio.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// A digits-only box of the start-parameter window: other keys beep, Esc cancels,
// a full box moves on, and leaving it runs its check.
class CajaParam : public QLineEdit {
    Q_OBJECT
public:
    CajaParam(int largoMaximo, Mensajes &mensajes, QWidget *padre);

signals:
    void Escape();
    void Abandonada(Qt::FocusReason razon);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    Mensajes &mensajes_;
};

class frmParamInicio : public QDialog {
    Q_OBJECT
public:
    frmParamInicio(Contexto &ctx, QWidget *padre = nullptr);

    ParamInicio logica;
    bool Abierta() const { return abierta_; }
    bool TerminaPrograma() const { return termina_; }

    QGroupBox *fraParamIni;
    CajaParam *txtEstado;   // txtDatos(0)
    CajaParam *txtAno;      // txtDatos(2)
    QPushButton *cmdAccion[3];

    void reject() override;

private:
    void Vista();
    void Editar();
    void Aceptar();
    void RevisaCaja(CajaParam *caja, Qt::FocusReason razon);

    Contexto &ctx_;
    bool abierta_ = false;
    bool termina_ = false;
};
