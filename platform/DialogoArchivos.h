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
    // The save dialog without its own question on an existing file: the caller
    // checks the name first and asks itself.
    virtual QString GuardarSinConfirmar(const QString &titulo, const QString &carpeta, const QString &nombre,
                                        const QString &filtro)
    {
        return Guardar(titulo, carpeta, nombre, filtro);
    }
};

// The real dialog, over `padre` or the active window. Qt's own widgets, never
// the desktop's: it lists files by name and never opens them, since guessing
// the type of the working database by reading it, then closing it, would drop
// the locks SQLite holds on it. The database's journals are not listed.
// It adds no extension unless given `sufijo`: the callers check the one typed.
class DialogoArchivosQt : public DialogoArchivos {
public:
    explicit DialogoArchivosQt(QWidget *padre = nullptr, const QString &sufijo = {}) : padre_(padre), sufijo_(sufijo) {}
    QString Guardar(const QString &titulo, const QString &carpeta, const QString &nombre,
                    const QString &filtro) override;
    QString Abrir(const QString &titulo, const QString &carpeta, const QString &filtro) override;
    QString GuardarSinConfirmar(const QString &titulo, const QString &carpeta, const QString &nombre,
                                const QString &filtro) override;

private:
    QString Muestra(bool guardar, const QString &titulo, const QString &ruta, const QString &filtro,
                    bool confirmaReemplazo = true);
    QWidget *padre_;
    QString sufijo_;
};
