#pragma once

#include <QString>

class QWidget;

// The open and save file dialog that the windows share, so that tests can
// answer it. A cancelled dialog gives an empty path.
class DialogoArchivos {
public:
    virtual ~DialogoArchivos() = default;
    // `filtro` in Qt's form: "Archivos de Consultas (*.sql)".
    virtual QString Guardar(const QString &titulo, const QString &carpeta, const QString &nombre,
                            const QString &filtro) = 0;
    virtual QString Abrir(const QString &titulo, const QString &carpeta, const QString &filtro) = 0;
};

// The real dialog, over the active window. It adds no extension of its own:
// the callers check the one the user typed.
class DialogoArchivosQt : public DialogoArchivos {
public:
    QString Guardar(const QString &titulo, const QString &carpeta, const QString &nombre,
                    const QString &filtro) override;
    QString Abrir(const QString &titulo, const QString &carpeta, const QString &filtro) override;
};
