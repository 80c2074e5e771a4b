#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <optional>

class BaseDatos;
class Mensajes;

// "No se pudo leer el Catálogo..." with the reason.
void MuestraFallaLectura(Mensajes &mensajes, const QString &motivo, const QString &titulo);

// The rows of a pick-list, read in full, with an in-memory filter and a current
// row. Searching never goes back to the database, so typed text never reaches SQL.
class ListaSeleccion {
public:
    enum class Coincide { Empieza, Contiene, Igual };
    struct Condicion {
        int columna;
        Coincide modo;
        QString texto;
    };

    // Reads every row of the statement (never a half-fetched result); throws ErrorBD.
    void Carga(const BaseDatos &bd, const QString &sql, const QVariantList &valores = {});
    void PonFilas(const QStringList &columnas, QVector<QVector<QVariant>> filas);

    int Columnas() const { return int(columnas_.size()); }
    QString NombreColumna(int columna) const { return columnas_.value(columna); }
    int Total() const { return total_; }
    // Rows that pass the filter in force (all rows without one).
    int Cantidad() const { return int(visibles_.size()); }
    bool Filtrada() const { return filtrada_; }
    // A passing row's value and text (NULL reads as an empty text).
    QVariant Valor(int fila, int columna) const;
    QString Texto(int fila, int columna) const;

    // The current row among the passing rows; -1 when there is none.
    int Actual() const { return actual_; }
    void PonActual(int fila);
    QString TextoActual(int columna) const;
    // Bookmark of the current row (its place among all rows), -1 when none.
    int Marca() const;
    // Makes the bookmarked row current when it passes the filter, else the first row.
    void IrAMarca(int marca);

    // Moves; each returns false when the user is to hear a beep: first and last
    // on an empty list, previous on the first row, next on the last row.
    bool Primero();
    bool Anterior();
    bool Siguiente();
    bool Ultimo();

    // Keeps the rows that meet every condition; the first becomes current.
    // Returns how many pass.
    int Filtra(const QList<Condicion> &condiciones);
    void QuitaFiltro();
    // From the first passing row, the first whose column begins with the text
    // becomes current; with none, no row is current and false is returned.
    bool BuscaPrefijo(int columna, const QString &prefijo);

    // Text as the searches compare it: upper case and without accents, except
    // that Ñ stays a letter of its own. A text that needs no change comes back
    // as it is (shared, not copied).
    static QString Pliega(const QString &texto);

private:
    // The rows, their cells one after another.
    void PonCeldas(const QStringList &columnas, QVector<QVariant> celdas, int total);
    // A cell by its row among all rows.
    const QVariant &Celda(int fila, int columna) const { return celdas_[qsizetype(fila) * columnas_.size() + columna]; }
    // The folded text of a cell, worked out for the whole column on its first search.
    const QString &Plegado(int fila, int columna) const;
    // `aguja` is the condition's folded text; `numero` its value when it reads as a number.
    bool Cumple(int fila, const Condicion &c, const QString &aguja, const std::optional<double> &numero) const;
    void TodasVisibles();

    QStringList columnas_;
    // Every row, one after another: a large catalog costs one block, not one per row.
    QVector<QVariant> celdas_;
    int total_ = 0;
    struct ColumnaPlegada {
        bool lista = false;
        QVector<QString> textos;   // empty when every text folds to itself
    };
    mutable QVector<ColumnaPlegada> plegadas_;
    QVector<int> visibles_;
    bool filtrada_ = false;
    int actual_ = -1;
};

// One search box of a pick-list (txtDatos by index) and the condition it adds.
struct CajaBusqueda {
    int indice;
    QString etiqueta;
    int largo;                 // maximum length
    int columna = -1;          // the result column it filters; -1 adds no condition
    ListaSeleccion::Coincide modo = ListaSeleccion::Coincide::Empieza;
    QString teclas;            // characters accepted after upper-casing; empty: any not refused
    QString rechazadas;        // characters always refused
    int ancho = 0;             // twips; 0 leaves it to the layout
    QString ayuda;             // tooltip
};

// The key rule of a box: the character is upper-cased; false when refused.
// Backspace always passes.
bool AceptaTecla(const CajaBusqueda &caja, QChar &c);

// How a window's search treats a blank box and a search without match.
struct ReglasBusqueda {
    // The row current after a box turned blank has dropped the filter.
    enum class TrasVaciar {
        Marcada,   // the one current when the latest search began
        Primera,   // the first row
        Actual,    // the one current when the box turned blank
    };
    // True: a box turned blank drops the filter and returns to a row by trasVaciar.
    // False: a blank box leaves the filter in force until the next search.
    bool vaciaRestablece = false;
    TrasVaciar trasVaciar = TrasVaciar::Marcada;
    // The box that keeps its text when the others are emptied (-1: none).
    int conserva = -1;
    QString textoSinCoincidencia = QStringLiteral("No se encontro ningun registro....");
    QString tituloSinCoincidencia;
};

// The search-as-you-type of a pick-list over its boxes, without widgets.
class BusquedaSeleccion {
public:
    enum class Resultado { Nada, Filtrada, SinCoincidencia, Restablecida };

    BusquedaSeleccion(ListaSeleccion &lista, QVector<CajaBusqueda> cajas, ReglasBusqueda reglas);

    QString Texto(int indice) const { return textos_.value(indice); }

    // Box `indice` now holds `texto`: filters on every box, or resets by the rules.
    // After SinCoincidencia and Restablecida the list is whole again at the row
    // that was current when the last search began, and the boxes are emptied.
    Resultado Cambia(int indice, const QString &texto);
    // Records a box's text without searching.
    void Anota(int indice, const QString &texto) { textos_[indice] = texto; }


    // The key rule of a box: the character is upper-cased; false when refused.
    // Backspace always passes.
    bool AceptaCaracter(int indice, QChar &c) const;
    // The text as the key rule lets it through, character by character (typed
    // or pasted): upper-cased, refused characters left out; `rechazo` tells
    // whether any was.
    QString AceptaTexto(int indice, const QString &texto, bool *rechazo = nullptr) const;

private:
    const CajaBusqueda *Caja(int indice) const;
    void Restablece();

    ListaSeleccion &lista_;
    QVector<CajaBusqueda> cajas_;
    ReglasBusqueda reglas_;
    QMap<int, QString> textos_;
    int marca_ = -1;
};

// Key sets of the search boxes.
inline QString TeclasDigitos() { return QStringLiteral("0123456789"); }
inline QString TeclasLetras() { return QStringLiteral("ABCDEFGHIJKLMNÑOPQRSTUVWXYZ"); }
// Descriptions: letters, Ñ, digits, the full stop and the blank.
inline QString TeclasDescripcion() { return TeclasLetras() + TeclasDigitos() + QStringLiteral(". "); }
