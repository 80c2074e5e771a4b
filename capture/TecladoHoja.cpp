#include "capture/TecladoHoja.h"

#include "capture/ReglasCampos.h"
#include "capture/VidaRegistro.h"
#include "events/HojaDatos.h"
#include "events/modEvento.h"
#include "platform/Mensajes.h"
#include "shell/modGeneral.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

namespace {

// Whatever reaches a field without a key press of its own (paste, drop, input
// method) passes through the field's key set: only the inserted part is
// filtered, what the field held stays.
class FiltroCampo : public QValidator {
public:
    FiltroCampo(ReglasCampos &reglas, int indice, QLineEdit *campo)
        : QValidator(campo), reglas_(reglas), indice_(indice), antes_(campo->text())
    {
        // What the field holds between edits, also after a text set by code
        // (shown with TecladoHoja::MuestraTexto, past this filter).
        connect(campo, &QLineEdit::textChanged, this, [this](const QString &t) { antes_ = t; });
    }

    State validate(QString &texto, int &posicion) const override
    {
        if (texto == antes_)
            return Acceptable;
        const int minimo = int(std::min(texto.size(), antes_.size()));
        int prefijo = 0;
        while (prefijo < minimo && texto.at(prefijo) == antes_.at(prefijo))
            ++prefijo;
        int sufijo = 0;
        while (sufijo < minimo - prefijo &&
               texto.at(texto.size() - 1 - sufijo) == antes_.at(antes_.size() - 1 - sufijo))
            ++sufijo;
        const QString puesto = texto.mid(prefijo, texto.size() - prefijo - sufijo);
        if (puesto.isEmpty())
            return Acceptable;
        const QString filtrado = reglas_.FiltraTexto(indice_, puesto);
        if (filtrado != puesto) {
            texto = texto.left(prefijo) + filtrado + texto.right(sufijo);
            posicion = int(prefijo + filtrado.size());
        }
        return Acceptable;
    }

private:
    ReglasCampos &reglas_;
    const int indice_;
    QString antes_;
};

void PonFondo(QLineEdit *campo, const QColor &color)
{
    QPalette p = campo->palette();
    p.setColor(QPalette::Base, color);
    campo->setPalette(p);
}

} // namespace

QColor ColorEnfoque()
{
    return QColor(255, 224, 192);   // &HC0E0FF
}

QColor ColorCampoDejado()
{
    return QColor(255, 255, 255);
}

TecladoHoja::TecladoHoja(ReglasCampos &reglas, HojaDatos &hoja, Mensajes &mensajes, QObject *padre)
    : QObject(padre), reglas_(reglas), hoja_(hoja), mensajes_(mensajes)
{
}

void TecladoHoja::Instala(int indice, QLineEdit *campo)
{
    indices_.insert(campo, indice);
    campo->installEventFilter(this);
    campo->setValidator(new FiltroCampo(reglas_, indice, campo));
    connect(campo, &QObject::destroyed, this, [this](QObject *o) { indices_.remove(o); });
}

void TecladoHoja::MuestraTexto(QLineEdit *campo, const QString &texto)
{
    const QValidator *filtro = campo->validator();
    campo->setValidator(nullptr);
    campo->setText(texto);
    campo->setValidator(filtro);
}

bool TecladoHoja::Capturando() const
{
    return hoja_.EnAlta || hoja_.EnCambio;
}

bool TecladoHoja::eventFilter(QObject *objeto, QEvent *evento)
{
    const auto it = indices_.constFind(objeto);
    if (it == indices_.constEnd())
        return false;
    auto *campo = static_cast<QLineEdit *>(objeto);
    const int indice = it.value();
    switch (evento->type()) {
    case QEvent::KeyPress:
        return TeclaPulsada(indice, campo, static_cast<QKeyEvent *>(evento));
    case QEvent::FocusIn:
        Entra(campo);
        return false;
    case QEvent::FocusOut:
        Sale(indice, campo, static_cast<QFocusEvent *>(evento)->reason());
        return false;
    case QEvent::MouseButtonDblClick:
        reglas_.DobleClic(indice, campo->window());
        return true;
    // The X11 selection pasted with the middle button, and text dropped in.
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent *>(evento)->button() != Qt::MiddleButton
            || !QGuiApplication::clipboard()->supportsSelection())
            return false;
        Pega(indice, campo, QGuiApplication::clipboard()->text(QClipboard::Selection));
        return true;
    case QEvent::Drop: {
        auto *suelta = static_cast<QDropEvent *>(evento);
        if (!suelta->mimeData()->hasText())
            return false;
        Pega(indice, campo, suelta->mimeData()->text());
        suelta->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

bool TecladoHoja::TeclaPulsada(int indice, QLineEdit *campo, QKeyEvent *tecla)
{
    if (TeclaAbajo)
        TeclaAbajo(tecla);
    if (!Capturando())
        return false;
    switch (tecla->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // As a Tab key stroke, so the move counts as the user's own.
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(campo, &tab);
        return true;
    }
    case Qt::Key_Escape:
        if (!PreguntaTerminarOperacion(mensajes_))
            return false;
        if (Cancelar)
            Cancelar();
        // The Esc character itself is in no key set.
        mensajes_.Beep();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        return false;
    default:
        break;
    }
    if (tecla->matches(QKeySequence::Paste)) {
        Pega(indice, campo, QGuiApplication::clipboard()->text());
        return true;
    }
    const QString texto = tecla->text();
    if (texto.isEmpty())
        return false;   // moves and other keys without a character
    if (reglas_.TeclaPermitida(indice, texto))
        campo->insert(reglas_.FiltraTexto(indice, texto));
    return true;
}

void TecladoHoja::Pega(int indice, QLineEdit *campo, const QString &texto)
{
    // Filtered before the field's length cuts it, so that refused characters
    // do not take the place of accepted ones.
    if (!campo->isReadOnly())
        campo->insert(reglas_.FiltraTexto(indice, texto));
}

void TecladoHoja::Entra(QLineEdit *campo)
{
    PonFondo(campo, ColorEnfoque());
    // After the click that gave the focus has placed the caret.
    QTimer::singleShot(0, campo, [campo] {
        if (!campo->hasFocus())
            return;
        campo->setCursorPosition(0);
        if (!campo->text().trimmed().isEmpty())
            campo->setSelection(0, int(campo->text().size()));
    });
}

void TecladoHoja::Sale(int indice, QLineEdit *campo, Qt::FocusReason razon)
{
    // A field disabled itself keeps the colour it was disabled with; one
    // whose frame closed while it had the focus loses the highlight.
    if (campo->isEnabledTo(campo->parentWidget()))
        PonFondo(campo, ColorCampoDejado());
    if (revisando_ || !Capturando() || !MovidaDelUsuario(razon))
        return;
    pendientes_.append({indice, QPointer<QWidget>(campo->window())});
    // Once the focus has settled on the new field.
    QTimer::singleShot(0, this, &TecladoHoja::RevisaSalida);
}

void TecladoHoja::RevisaSalida()
{
    if (revisando_)
        return;
    revisando_ = true;
    while (!pendientes_.isEmpty()) {
        const Pendiente p = pendientes_.takeFirst();
        if (!reglas_.SaleCampo(p.indice, p.ventana)) {
            // The focus went back to a refused field: the later leaves were
            // not moves away from it.
            pendientes_.clear();
        }
    }
    revisando_ = false;
}
