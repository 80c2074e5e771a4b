// The two pages of the sheet, as layout tables.
#include "capture/frmRegistroComun.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>

namespace {

QIcon FlechaDerecha()
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::black);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(8, 6), QPointF(8, 2), QPointF(14, 8), QPointF(8, 14),
                             QPointF(8, 10), QPointF(2, 10)}));
    p.end();
    return QIcon(pm);
}

} // namespace

void frmRegistro::ConstruyePagina1(QWidget *pagina)
{
    using P = Pieza;
    CreaMarco(pagina, Marco::Clues, "", "frmClues", {4, 2, 790, 56}, {
        {P::Fila, 22, 8, 8, 40, 20, "Folio :", 70},
        {P::Fila, 23, 130, 8, 48, 20, "CLUES :", 96},
        {P::Descripcion, 28, 280, 8, 500, 20},
        {P::RotuloDerecha, 0, 8, 31, 112, 20, "Fecha de Atención :"},
        {P::Fecha, 1, 122, 31, 76, 20},
        {P::RotuloDerecha, 0, 210, 31, 90, 20, "Mes Estadístico :"},
        {P::Descripcion, 1, 302, 31, 160, 20},
    });

    QGroupBox *afectado = CreaMarco(pagina, Marco::Afectado, "Datos del Afectado", "frmAfectado", {4, 60, 790, 236}, {
        {P::Fila, 29, 8, 18, 52, 20, "Paterno :", 190},
        {P::Fila, 30, 258, 18, 54, 20, "Materno :", 190},
        {P::Fila, 31, 510, 18, 64, 20, "Nombre(s) :", 206},
        {P::Rotulo, 0, 8, 42, 180, 16, "Derechohabiencia :"},
        {P::Lista, int(ListaHoja::Derechohabiencia), 8, 58, 210, 98, "lstDerechohabiencia"},
        {P::Fila, 32, 222, 44, 64, 20, "CURP :", 140},
        {P::RotuloDerecha, 23, 222, 68, 64, 20, "Afiliación :"},
        {P::Texto, 33, 288, 68, 86, 20},
        {P::Separador, 0, 375, 68, 8, 20, "-"},
        {P::Texto, 34, 384, 68, 24, 20},
        {P::RotuloDerecha, 22, 222, 92, 64, 20, "Expediente :"},
        {P::Texto, 35, 288, 92, 110, 20},
        {P::Fila, 36, 436, 44, 120, 20, "Edad :", 32},
        {P::Texto, 37, 592, 44, 18, 20},
        {P::Descripcion, 37, 612, 44, 170, 20},
        {P::Fila, 38, 436, 66, 120, 20, "Sexo :", 20, 202},
        {P::Fila, 39, 436, 88, 120, 20, "Embarazada :", 20, 202},
        {P::Fila, 40, 436, 110, 120, 20, "Sabe Leer y Escribir :", 20, 202},
        {P::Fila, 41, 436, 132, 120, 20, "Escolaridad :", 20, 202},
    });

    CreaMarco(afectado, Marco::Domicilio, "Domicilio de Ocurrencia", "frmDomicilio", {8, 160, 774, 70}, {
        {P::Fila, 42, 4, 18, 36, 20, "Calle :", 156},
        {P::Fila, 43, 200, 18, 88, 20, "Entre Calle Uno :", 116},
        {P::Fila, 44, 408, 18, 88, 20, "Entre Calle Dos :", 116},
        {P::Fila, 45, 616, 18, 48, 20, "Colonia :", 100},
        // The descriptions share what the captions and codes leave of the row.
        {P::Fila, 46, 4, 42, 46, 20, "Entidad :", 24, 165},
        {P::Fila, 47, 247, 42, 56, 20, "Municipio :", 30, 160},
        {P::Fila, 48, 499, 42, 55, 20, "Localidad :", 36, 174},
    });

    QGroupBox *evento = CreaMarco(pagina, Marco::Evento, " Datos del Evento", "frmEvento", {4, 298, 750, 262}, {
        // Left column.
        {P::Rotulo, 0, 8, 18, 104, 20, "Fecha de Ocurrencia:"},
        {P::Fecha, 0, 114, 18, 76, 20},
        {P::Rotulo, 8, 8, 42, 230, 16, "Hora de Ocurrencia (00:00 -- 23:59)"},
        {P::Hora, 49, 8, 58, 24, 20},
        {P::DiaSemana, 0, 96, 58, 120, 20},
        {P::Fila, 51, 8, 94, 138, 20, "Fué día Festivo :", 20, 126},
        {P::Fila, 52, 8, 116, 138, 20, "Discapacidad Preexistente :", 20, 126},
        {P::Fila, 53, 8, 138, 138, 20, "Intencionalidad :", 20, 126},
        {P::Rotulo, 0, 8, 162, 288, 16, "Especificar el (los) tipo(s) de violencia(s):"},
        {P::Lista, int(ListaHoja::TipoViolencia), 8, 178, 288, 78, "lstTipoViolencia"},
        // Middle column: the site and the agent with their captions above,
        // so that their descriptions have the column's width.
        {P::RotuloAbajo, 0, 302, 14, 206, 28, "Para Caso de Violencia o Evento Autoinfligido :"},
        {P::Texto, 54, 302, 44, 20, 20},
        {P::Descripcion, 54, 324, 44, 184, 20},
        {P::RotuloAbajo, 0, 302, 66, 206, 28, "Se Sospecha que el Paciente estaba bajo los Efectos de :"},
        {P::Lista, int(ListaHoja::PacienteEfectos), 302, 96, 206, 88, "lstPacienteEfectos"},
        {P::Encima, 55, 302, 186, 206, 14, "Sitio de Ocurrencia:", 24, 180},
        {P::Encima, 56, 302, 222, 206, 14, "Agente de la Lesión:", 24, 180},
    });
    // Right column.
    CreaMarco(evento, Marco::Accidente, "Si la causa fué Accidente de Vehículo de Motor", "frmAccidente",
              {512, 12, 234, 92}, {
        // Each caption as wide as its text, the last one above its field, so
        // that the descriptions have the rest of the frame.
        {P::Fila, 57, 2, 16, 82, 20, "El lesionado es :", 20, 124},
        {P::Fila, 58, 2, 38, 134, 20, "Uso Equipo de Seguridad :", 20, 72},
        {P::Encima, 59, 4, 60, 226, 14, "Qué Equipo de Seguridad utilizó :", 20, 204},
    });
    Coloca(evento, {
        {P::Encima, 60, 512, 106, 234, 14, "Área Anatómica de Mayor Gravedad :", 24, 208},
        {P::Encima, 61, 512, 142, 234, 14, "Consecuencia Resultante de Mayor Gravedad :", 24, 208},
        {P::Rotulo, 0, 512, 180, 160, 20, "Recibió Atención Prehospitalaria"},
        {P::Texto, 62, 674, 180, 20, 20},
        {P::Descripcion, 62, 696, 180, 50, 20},
        {P::Rotulo, 34, 512, 204, 234, 16, "Tiempo de traslado a la Unidad Hospitalaria"},
        {P::Estancia, 63, 512, 220, 24, 20},
    });

    cambiar_[0] = new QPushButton(pagina);
    cambiar_[0]->setObjectName(QStringLiteral("cmdCambiar_0"));
}

void frmRegistro::ConstruyePagina2(QWidget *pagina)
{
    using P = Pieza;
    CreaMarco(pagina, Marco::Agresor, "Agresor", "frmAgresor", {4, 2, 790, 124}, {
        {P::Fila, 65, 8, 20, 80, 20, "Agresor :", 20, 240},
        {P::Fila, 66, 8, 44, 80, 20, "Edad :", 34},
        {P::Rotulo, 0, 128, 44, 40, 20, "Años"},
        {P::Fila, 67, 8, 68, 80, 20, "Sexo :", 20, 240},
        {P::Fila, 68, 8, 92, 80, 20, "Parentesco :", 20, 240},
        {P::Rotulo, 0, 400, 16, 380, 16, "Se Sospecha que fué bajo los Efectos de :"},
        {P::Lista, int(ListaHoja::AgresorEfectos), 400, 32, 382, 86, "lstAgresorEfectos"},
    });

    QGroupBox *atencion = CreaMarco(pagina, Marco::Atencion, "Atención", "frmAtencion", {4, 128, 790, 376}, {
        {P::Rotulo, 0, 8, 20, 196, 20, "Hora de Atención (00:00 -- 23:59)"},
        {P::Hora, 69, 206, 20, 24, 20},
        {P::RotuloDerecha, 0, 8, 58, 120, 20, "Servicio de Atención :"},
        {P::Descripcion, 71, 130, 58, 300, 20},
        {P::Texto, 71, 434, 58, 20, 20},
        {P::Rotulo, 21, 8, 84, 290, 30, "Si fue atendido en urgencias, escriba el tiempo de estancia en el servicio"},
        {P::Estancia, 72, 304, 88, 24, 20},
        // The care types as wide as their longest item; the referral and the
        // destination reach left under the emergency time for their descriptions.
        {P::Rotulo, 0, 492, 16, 290, 16, "Tipo de Atención :"},
        {P::Lista, int(ListaHoja::TipoAtencion), 492, 32, 290, 96, "lstTipoAtencion"},
        {P::Fila, 74, 282, 134, 170, 20, "Usuario referido por :", 20, 306},
        {P::Fila, 75, 282, 158, 170, 20, "Destino después de la Atención :", 24, 302},
        {P::Rotulo, 0, 8, 190, 240, 20, "Diagnósticos finales en orden de importancia :"},
        {P::Texto, 76, 250, 190, 44, 20},
        {P::Descripcion, 76, 296, 190, 486, 20},
    });
    grid_ = new QTableWidget(0, 2, atencion);
    grid_->setObjectName(QStringLiteral("grdAfecciones"));
    grid_->setGeometry(8, 214, 560, 82);
    grid_->setHorizontalHeaderLabels({QStringLiteral("NUMAFEC"), QStringLiteral("AFECCION")});
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setTabKeyNavigation(false);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->verticalHeader()->setVisible(false);
    // NUMAFEC hidden; AFECCION 300 twips per character of its caption.
    grid_->setColumnHidden(0, true);
    grid_->setColumnWidth(1, 160);
    agrega_ = new QPushButton(QStringLiteral("Agregar"), atencion);
    agrega_->setObjectName(QStringLiteral("cmdAgregaAfec"));
    agrega_->setGeometry(576, 214, 90, 24);
    modifica_ = new QPushButton(QStringLiteral("Modificar"), atencion);
    modifica_->setObjectName(QStringLiteral("cmdModificaAfec"));
    modifica_->setGeometry(576, 243, 90, 24);
    borra_ = new QPushButton(QStringLiteral("Borrar"), atencion);
    borra_->setObjectName(QStringLiteral("cmdBorraAfec"));
    borra_->setGeometry(576, 272, 90, 24);
    Coloca(atencion, {
        {P::Fila, 77, 8, 302, 170, 20, "Reselección Afección Principal :", 44, 556},
        {P::Fila, 78, 8, 326, 170, 20, "Causa externa :", 44, 556},
        {P::Fila, 79, 8, 350, 170, 20, "Se dió aviso al Ministerio Público :", 20, 200},
    });

    CreaMarco(pagina, Marco::Responsable, "Responsable", "frmResponsable", {4, 508, 750, 50}, {
        {P::Fila, 80, 8, 20, 150, 20, "Responsable de la Atención :", 20, 200},
        {P::RotuloDerecha, 24, 386, 20, 50, 20, "Nombre :"},
        {P::Texto, 81, 438, 20, 300, 20},
    });

    cambiar_[1] = new QPushButton(pagina);
    cambiar_[1]->setObjectName(QStringLiteral("cmdCambiar_1"));
    // Both page buttons at the lower right of their page: 555 by 405 twips.
    for (QPushButton *b : cambiar_) {
        b->setGeometry(758, 530, 37, 27);
        b->setIcon(FlechaDerecha());
        b->setToolTip(QStringLiteral("Siguiente sección"));
        b->installEventFilter(this);
    }
}
