#include "catalogs/CatalogoNavegable.h"

#include "lookups/RejillaSeleccion.h"
#include "platform/CursorOcupado.h"
#include "shell/Contexto.h"

QString TextoSinFilas()
{
    return QStringLiteral("No hay registros para buscar.......");
}

CatalogoNavegable::CatalogoNavegable(Contexto &ctx, DatosCatalogo datos)
    : ctx_(ctx), datos_(std::move(datos)),
      busqueda_(lista_, datos_.cajas, [this] {
          ReglasBusqueda r = datos_.reglas;
          r.vaciaRestablece = true;
          return r;
      }())
{
}

void CatalogoNavegable::PonConsulta(const QString &consulta, const QString &tituloMensajes)
{
    datos_.consulta = consulta;
    datos_.tituloMensajes = tituloMensajes;
}

bool CatalogoNavegable::Carga(const ConsultaSQL &consulta)
{
    QString falla;
    {
        CursorOcupado ocupado;
        try {
            if (consulta.sql.isEmpty())
                lista_.Carga(ctx_.ConexionBD, datos_.consulta);
            else
                lista_.Carga(ctx_.ConexionBD, consulta.sql, consulta.valores);
        } catch (const ErrorBD &e) {
            falla = e.Descripcion();
            lista_.PonFilas({}, {});
        }
    }
    Avisa(true);
    if (!falla.isNull()) {
        MuestraFallaLectura(ctx_.mensajes, falla, datos_.tituloMensajes);
        return false;
    }
    return true;
}

void CatalogoNavegable::PonActual(int fila)
{
    lista_.PonActual(fila);
    Avisa(false);
}

void CatalogoNavegable::Mueve(int boton)
{
    if (MueveLista(lista_, boton, ctx_.mensajes))
        Avisa(false);
}

BusquedaSeleccion::Resultado CatalogoNavegable::Busca(int indice, const QString &texto)
{
    using R = BusquedaSeleccion::Resultado;
    if (datos_.avisaSinFilas && lista_.Cantidad() == 0) {
        busqueda_.Anota(indice, texto);
        ctx_.mensajes.Beep();
        ctx_.EscribePanel(TextoSinFilas());
        return R::Nada;
    }
    int conTexto = 0;   // boxes that a failed search is going to empty
    for (const CajaBusqueda &c : datos_.cajas)
        if (!(c.indice == indice ? texto : busqueda_.Texto(c.indice)).isEmpty())
            ++conTexto;

    const R r = busqueda_.Cambia(indice, texto);
    if (r == R::Nada && !texto.trimmed().isEmpty())
        lista_.Primero();   // a box that searches no column still starts over from the first row
    Avisa(true);
    if (r == R::SinCoincidencia) {
        ctx_.mensajes.Informa(datos_.reglas.textoSinCoincidencia, datos_.tituloMensajes);
        // These windows empty the boxes while the failed filter still stands,
        // so each box that held text meets an empty catalog on its way out.
        if (datos_.avisaSinFilas) {
            for (int i = 0; i < conTexto; ++i) {
                ctx_.mensajes.Beep();
                ctx_.EscribePanel(TextoSinFilas());
            }
        }
    }
    return r;
}

void CatalogoNavegable::Refresca()
{
    for (const CajaBusqueda &c : datos_.cajas) {
        if (!busqueda_.Texto(c.indice).isEmpty()) {
            busqueda_.Cambia(c.indice, QString());   // empties every box
            break;
        }
    }
    Avisa(true);
}

void CatalogoNavegable::Avisa(bool filas) const
{
    if (alCambiar)
        alCambiar(filas);
}
