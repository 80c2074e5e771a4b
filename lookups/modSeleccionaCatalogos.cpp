#include "lookups/modSeleccionaCatalogos.h"

#include "shell/Contexto.h"

void SeleccionaEstado(Contexto &ctx, CamposDestino &destino, int OrigenSelEstados, QWidget *padre)
{
    frmSelCatEstados w(ctx, &destino, OrigenSelEstados, padre);
    if (w.Abre())
        w.exec();
}

void SeleccionaMunicipio(Contexto &ctx, CamposDestino &destino, const QString &estado, int OrigenSelMpos,
                         QWidget *padre)
{
    frmSelCatMpos w(ctx, &destino, OrigenSelMpos, padre);
    if (w.Abre(estado))
        w.exec();
}

void SeleccionaLocalidad(Contexto &ctx, CamposDestino &destino, const QString &estado, const QString &municipio,
                         int OrigenSelLocs, QWidget *padre)
{
    frmSelCatLocs w(ctx, &destino, OrigenSelLocs, padre);
    if (w.Abre(estado, municipio))
        w.exec();
}

void SeleccionaCatalogo(Contexto &ctx, CamposDestino &destino, int CampoSelCat, const QString &catalogo,
                        const CodigosCatalogo &codigos, QWidget *padre)
{
    {
        frmSelCat w(ctx, &destino, CampoSelCat, padre);
        if (w.Abre(catalogo, codigos))
            w.exec();
    }
    // The message panel is emptied once the list has closed, or when it never opened.
    ctx.EscribePanel(QString());
}

void SeleccionaClues(Contexto &ctx, CamposDestino &destino, int OrigenSelClues, QWidget *padre)
{
    frmSelCLUES w(ctx, &destino, OrigenSelClues, padre);
    if (w.Abre())
        w.exec();
}

void MuestraListadet(Contexto &ctx, CamposDestino *destino, int CampoSelCIE10, QWidget *padre)
{
    frmListadet w(ctx, CampoSelCIE10 == ListadetTabla ? nullptr : destino, CampoSelCIE10, padre);
    if (w.Abre())
        w.exec();
}
