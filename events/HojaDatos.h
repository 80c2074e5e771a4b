#pragma once

#include "events/ConjuntoEventos.h"
#include "lookups/CamposDestino.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <vector>

// The eight field frames of the capture sheet. Domicilio lies inside Afectado
// and Accidente inside Evento: a disabled outer frame locks the inner one.
enum class Marco { Clues, Afectado, Domicilio, Evento, Accidente, Agresor, Atencion, Responsable };

// The five check lists of the sheet.
enum class ListaHoja { Derechohabiencia, TipoViolencia, PacienteEfectos, AgresorEfectos, TipoAtencion };

// One text field of the sheet (txtDatos), by its index.
struct CampoHoja {
    int indice;
    Marco marco;
    int largo;      // maximum length
    bool derecha;   // right-aligned
    int tab;        // focus order
};

// Every text field of the sheet, in index order: 22, 23 and 29 to 81.
const std::vector<CampoHoja> &CamposHoja();
// The field of an index, or nullptr when the sheet has no such field.
const CampoHoja *CampoDe(int indice);
// The tab page (0 or 1) of a frame.
int PaginaDe(Marco marco);
// The outer frame of Domicilio and Accidente; the frame itself otherwise.
Marco MarcoExterior(Marco marco);

struct ElementoLista {
    QString texto;   // code, three blanks, description
    bool marcado = false;
};

// A row of the diagnosis work table as the grid shows it.
struct FilaAfeccion {
    int numafec;
    QString afeccion;
    bool operator==(const FilaAfeccion &o) const { return numafec == o.numafec && afeccion == o.afeccion; }
};

// Callbacks that run synchronously after a change made by anyone (typing, a
// pick-list, the record store, a rule): the sheet's change handling. One
// handler, so that chained rules run in one fixed order.
class ManejadorHoja {
public:
    virtual ~ManejadorHoja() = default;
    virtual void CampoCambiado(int indice) = 0;
    virtual void FechaCambiada(int indice) = 0;
    virtual void ElementoMarcado(ListaHoja lista, int fila) { Q_UNUSED(lista) Q_UNUSED(fila) }
};

// The capture sheet's state without widgets: field texts, the two date boxes,
// labels, enabled states of fields and frames, the five check lists, the tab
// page and the diagnosis grid. The window mirrors it through the signals;
// the record store, the pick-lists and the rules work on it directly.
class HojaDatos : public QObject, public CamposDestino {
    Q_OBJECT
public:
    static constexpr const char *FechaVacia = "__/__/____";

    explicit HojaDatos(QObject *padre = nullptr);

    void AsignaManejador(ManejadorHoja *m) { manejador_ = m; }

    // txtDatos
    QString Texto(int indice) const override;
    // Runs the change handling when the text changes. Kept whole: the field's
    // maximum length limits typing, not what the store reads.
    void PonTexto(int indice, const QString &texto) override;
    bool CampoHabilitado(int indice) const;
    void HabilitaCampo(int indice, bool si);   // ActivaCampo / DesactivaCampo
    bool Editable(int indice) const override;   // field, its frame and the outer frame enabled
    void Enfoca(int indice) override;           // emits PideFoco

    // lblDatos
    QString Etiqueta(int indice) const;
    void PonEtiqueta(int indice, const QString &texto);

    // mskDatos(0) occurrence, mskDatos(1) care; an empty box reads "__/__/____".
    QString Fecha(int indice) const;
    void PonFecha(int indice, const QString &texto);
    bool FechaEnBlanco(int indice) const;

    // Frames
    bool MarcoHabilitado(Marco marco) const;
    void HabilitaMarco(Marco marco, bool si);
    // Several frames at once: the window hears of it once.
    void HabilitaMarcos(const std::vector<Marco> &marcos, bool si);

    // Check lists
    const QList<ElementoLista> &Elementos(ListaHoja lista) const;
    // Replaces a list's items, none ticked.
    void PonElementos(ListaHoja lista, const QStringList &textos);
    // Ticks or unticks an item; runs the list's change handling when it changes.
    void Marca(ListaHoja lista, int fila, bool si);
    // The two-character codes of the ticked items, in list order.
    QStringList CodigosMarcados(ListaHoja lista) const;
    // A list switched off by the rules (greyed); its frame decides as well.
    bool ListaHabilitada(ListaHoja lista) const;
    void HabilitaLista(ListaHoja lista, bool si);   // emits HabilitacionCambiada
    // Focus requests for the stops that are not text fields.
    void EnfocaFecha(int indice);        // mskDatos(0|1); emits PideFocoFecha
    void EnfocaLista(ListaHoja lista);   // emits PideFocoLista

    // Tab page (0 or 1)
    int Pagina() const { return pagina_; }
    void PonPagina(int pagina);

    // Caption of the sheet
    QString Titulo() const { return titulo_; }
    void PonTitulo(const QString &titulo);

    // The diagnosis grid over the work table TMPGRIDAFEC.
    const QList<FilaAfeccion> &Afecciones() const { return afecciones_; }
    void PonAfecciones(const QList<FilaAfeccion> &filas);
    // True while the diagnosis list holds unsaved edits in its work table.
    bool GridAfeccionesEditado = false;
    // The opening of the connection in which the work table last held this list.
    quint64 AperturaAfecciones = 0;

    // The sheet's modes: adding a new event, editing the shown one; both false while browsing.
    bool EnAlta = false;
    bool EnCambio = false;
    // MarcaEvento: while editing, the stored key of the event being edited.
    // Its save updates that row, and moves the event when the key typed on
    // the sheet (opened by a rule that sent the user there) differs.
    std::optional<ClaveEvento> MarcaEvento;
    // Whether a key must not stand in D_EVENTO yet: that of a new event, or
    // an edited event's key that differs from its stored one.
    bool ClaveNueva(const ClaveEvento &clave) const
    {
        return EnAlta || (EnCambio && MarcaEvento && clave != *MarcaEvento);
    }
    // Set by the check lists, read by the leave checks and the validation.
    bool MarcaDerechohabiencia8 = false;
    bool MarcaDerechohabienciaG = false;
    bool MarcaAtencionCompleta = false;

    // Empties every field, both dates and every tick; a field's label is
    // cleared by the change handling its emptying runs.
    void Limpia();

signals:
    void TextoCambiado(int indice);
    void FechaModificada(int indice);
    void EtiquetaCambiada(int indice);
    void HabilitacionCambiada();          // a field's or a frame's enabled state
    void ListaRecargada(ListaHoja lista);
    void MarcaCambiada(ListaHoja lista, int fila);
    void PaginaCambiada(int pagina);
    void TituloCambiado(const QString &titulo);
    void AfeccionesCambiadas();
    void PideFoco(int indice);
    void PideFocoFecha(int indice);
    void PideFocoLista(ListaHoja lista);

private:
    QMap<int, QString> textos_;
    QMap<int, bool> habilitados_;
    QMap<int, QString> etiquetas_;
    QString fechas_[2];
    QMap<Marco, bool> marcos_;
    QList<ElementoLista> listas_[5];
    bool listasHabilitadas_[5] = {true, true, true, true, true};
    int pagina_ = 0;
    QString titulo_;
    QList<FilaAfeccion> afecciones_;
    ManejadorHoja *manejador_ = nullptr;
};
