#include "platform/ReporteMaqueta.h"

#include "platform/BaseDatos.h"

#include <QFontMetricsF>
#include <QImage>
#include <QSqlError>
#include <QSqlRecord>

bool FuenteLista::Siguiente(QVariantList &fila)
{
    if (siguiente_ >= filas_.size())
        return false;
    fila = filas_[siguiente_++];
    return true;
}

FuenteConsulta::FuenteConsulta(const BaseDatos &bd, const QString &sql, const QVariantList &valores)
    : q_(bd.Conexion())
{
    q_.setForwardOnly(true);
    if (!q_.prepare(sql))
        throw ErrorBD::DeConsulta(q_);
    for (const QVariant &v : valores)
        q_.addBindValue(v);
    if (!q_.exec())
        throw ErrorBD::DeConsulta(q_);
    const QSqlRecord r = q_.record();
    for (int i = 0; i < r.count(); ++i)
        campos_ << r.fieldName(i);
}

bool FuenteConsulta::Siguiente(QVariantList &fila)
{
    if (!q_.next()) {
        if (q_.lastError().isValid())
            throw ErrorBD::DeConsulta(q_);
        q_.finish();
        return false;
    }
    fila.resize(campos_.size());
    for (int i = 0; i < campos_.size(); ++i)
        fila[i] = q_.value(i);
    return true;
}

namespace {

constexpr double PuntosPorMm = 72.0 / 25.4;
constexpr double Relleno = 2.0;        // inner padding of a cell, in points
constexpr QRgb ColorRaya = 0xFFB0B0B0; // rule under each row
constexpr QRgb ColorBorde = 0xFF000000;

QFont FuenteQt(const QString &familia, const EstiloReporte &e)
{
    QFont f(familia);
    f.setPointSizeF(e.puntos);
    f.setBold(e.negrita);
    return f;
}

} // namespace

double AltoLinea(const QString &familia, const EstiloReporte &estilo)
{
    // Measured on a 72 dpi device, so that one pixel is one point.
    static QImage lienzo = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.setDotsPerMeterX(qRound(72 / 0.0254));
        i.setDotsPerMeterY(qRound(72 / 0.0254));
        return i;
    }();
    return QFontMetricsF(FuenteQt(familia, estilo), &lienzo).lineSpacing();
}

namespace {

class Maquetador {
public:
    Maquetador(const DefinicionReporte &def, const QMap<QString, QString> &textos, const QStringList &campos,
               const QString &titulo)
        : def_(def), textos_(textos), campos_(campos)
    {
        doc_.titulo = titulo;
        doc_.pagina = QPageLayout(QPageSize(def.tamano), def.orientacion, QMarginsF());
        const QRectF papel = doc_.pagina.fullRectPoints();
        contenido_ = papel.adjusted(def.margenes.left() * PuntosPorMm, def.margenes.top() * PuntosPorMm,
                                    -def.margenes.right() * PuntosPorMm, -def.margenes.bottom() * PuntosPorMm);
        ColocaColumnas();
        double pie = 0;
        for (const LineaReporte &l : def_.pie)
            pie += Alto(l.estilo);
        limite_ = contenido_.bottom() - (pie > 0 ? pie + 4 : 0);
        for (const GrupoReporte &g : def_.grupos)
            indiceGrupos_ << Indice(g.campo, QStringLiteral("grupo"));
    }

    void Fila(const QVariantList &valores)
    {
        int cambia = int(def_.grupos.size());
        for (int i = 0; i < def_.grupos.size(); ++i)
            if (!abiertos_ || valores[indiceGrupos_[i]] != anterior_[indiceGrupos_[i]]) {
                cambia = i;
                break;
            }
        if (abiertos_)
            CierraGrupos(cambia);
        for (int i = cambia; i < def_.grupos.size(); ++i)
            AbreGrupo(i, valores);
        abiertos_ = true;
        anterior_ = valores;

        QVector<double> numeros(def_.columnas.size(), 0);
        QStringList celdas;
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const ColumnaReporte &col = def_.columnas[c];
            QVariant v;
            if (col.suma.isEmpty()) {
                v = valores[indiceColumnas_[c]];
            } else {
                double s = 0;
                for (int i : indiceSumas_[c])
                    s += valores[i].toDouble();
                v = s;
            }
            numeros[c] = v.toDouble();
            celdas << FormateaValor(v, col.formato);
        }
        for (QVector<double> &acumulado : acumulados_)
            for (int c = 0; c < numeros.size(); ++c)
                acumulado[c] += numeros[c];
        LineaCeldas(celdas, QStringLiteral("normal"), true);
    }

    DocumentoReporte Termina()
    {
        if (abiertos_)
            CierraGrupos(0);
        if (!def_.total.isEmpty())
            FilaTotal(SustituyeMarcas(def_.total, textos_), acumulados_.value(0));
        if (doc_.paginas.isEmpty())
            NuevaPagina();
        // Page numbers are known only now.
        QMap<QString, QString> numeros;
        numeros[QStringLiteral("paginas")] = QString::number(doc_.paginas.size());
        for (const auto &[pagina, elemento] : numerados_) {
            numeros[QStringLiteral("pagina")] = QString::number(pagina + 1);
            QString &t = doc_.paginas[pagina].elementos[elemento].texto;
            t = SustituyeMarcas(t, numeros);
        }
        return std::move(doc_);
    }

private:
    int Indice(const QString &campo, const QString &uso) const
    {
        const int i = int(campos_.indexOf(campo));
        if (i < 0)
            throw ErrorReporte(QStringLiteral("El reporte pide el campo %1 (%2), que sus datos no tienen").arg(campo, uso));
        return i;
    }

    void ColocaColumnas()
    {
        double suma = 0;
        for (const ColumnaReporte &c : def_.columnas)
            suma += c.ancho;
        double x = contenido_.left();
        const double escala = contenido_.width() / suma;
        for (const ColumnaReporte &c : def_.columnas) {
            izquierdas_ << x;
            anchos_ << c.ancho * escala;
            x += c.ancho * escala;
            indiceColumnas_ << (c.suma.isEmpty() ? Indice(c.campo, c.titulo) : -1);
            QVector<int> sumas;
            for (const QString &s : c.suma)
                sumas << Indice(s, c.titulo);
            indiceSumas_ << sumas;
        }
        acumulados_.resize(1 + def_.grupos.size());
        for (QVector<double> &a : acumulados_)
            a.fill(0, def_.columnas.size());
    }

    int Fuente(const QString &estilo)
    {
        const EstiloReporte e = def_.Estilo(estilo);
        for (int i = 0; i < doc_.fuentes.size(); ++i) {
            const FuenteDocumento &f = doc_.fuentes[i];
            if (f.puntos == e.puntos && f.negrita == e.negrita)
                return i;
        }
        doc_.fuentes.append({def_.fuente, e.puntos, e.negrita});
        return int(doc_.fuentes.size()) - 1;
    }

    double Alto(const QString &estilo) const { return AltoLinea(def_.fuente, def_.Estilo(estilo)) + Relleno; }

    QVector<ElementoPagina> &Elementos() { return doc_.paginas.last().elementos; }

    void Texto(const QRectF &caja, const QString &texto, const QString &estilo, Alineacion a)
    {
        ElementoPagina e;
        e.fuente = quint8(Fuente(estilo));
        e.alineacion = a;
        e.caja = caja.adjusted(Relleno, 0, -Relleno, 0);
        e.texto = texto;
        Elementos().append(e);
    }

    void Linea(QPointF a, QPointF b, QRgb color)
    {
        ElementoPagina e;
        e.tipo = ElementoPagina::Tipo::Linea;
        e.caja = QRectF(a, b);
        e.color = color;
        Elementos().append(e);
    }

    void Caja(const QRectF &r, const QString &estilo)
    {
        const QColor fondo = def_.Estilo(estilo).fondo;
        if (fondo.isValid()) {
            ElementoPagina e;
            e.tipo = ElementoPagina::Tipo::Relleno;
            e.caja = r;
            e.color = fondo.rgba();
            Elementos().append(e);
        }
        Linea(r.topLeft(), r.topRight(), ColorBorde);
        Linea(r.bottomLeft(), r.bottomRight(), ColorBorde);
        Linea(r.topLeft(), r.bottomLeft(), ColorBorde);
        Linea(r.topRight(), r.bottomRight(), ColorBorde);
    }

    // Header or footer lines from y; returns the y below them.
    double Lineas(const QVector<LineaReporte> &lineas, double y)
    {
        // Page numbers stay marked until the last page is known.
        QMap<QString, QString> textos = textos_;
        textos[QStringLiteral("pagina")] = QStringLiteral("{pagina}");
        textos[QStringLiteral("paginas")] = QStringLiteral("{paginas}");
        for (const LineaReporte &l : lineas) {
            const QString texto = SustituyeMarcas(l.texto, textos);
            if (l.omitirVacia && texto.trimmed().isEmpty())
                continue;
            const double h = Alto(l.estilo);
            Texto(QRectF(contenido_.left(), y, contenido_.width(), h), texto, l.estilo, l.alineacion);
            if (texto.contains(QLatin1String("{pagina")))
                numerados_.append({int(doc_.paginas.size()) - 1, int(Elementos().size()) - 1});
            y += h;
        }
        return y;
    }

    int ColumnaDe(const QString &nombre) const
    {
        for (int c = 0; c < def_.columnas.size(); ++c)
            if (def_.columnas[c].campo == nombre || def_.columnas[c].titulo == nombre)
                return c;
        return -1;
    }

    void NuevaPagina()
    {
        doc_.paginas.append(PaginaReporte());
        double y = Lineas(def_.encabezado, contenido_.top());
        if (!def_.encabezado.isEmpty())
            y += 6;
        if (!def_.pie.isEmpty())
            Lineas(def_.pie, limite_ + 4);

        const QString estilo = QStringLiteral("columnas");
        const double h = Alto(estilo) - Relleno;
        for (const BandaReporte &b : def_.bandas) {
            const int desde = ColumnaDe(b.desde), hasta = ColumnaDe(b.hasta);
            if (desde < 0 || hasta < desde)
                continue;
            const QRectF r(izquierdas_[desde], y, izquierdas_[hasta] + anchos_[hasta] - izquierdas_[desde], h + Relleno);
            Caja(r, estilo);
            Texto(r, b.texto, estilo, Alineacion::Centro);
        }
        if (!def_.bandas.isEmpty())
            y += h + Relleno;
        int renglones = 1;
        for (const ColumnaReporte &c : def_.columnas)
            renglones = qMax(renglones, int(c.titulo.count(QLatin1Char('\n'))) + 1);
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const QRectF r(izquierdas_[c], y, anchos_[c], h * renglones + Relleno);
            Caja(r, estilo);
            Texto(r, def_.columnas[c].titulo, estilo, Alineacion::Centro);
        }
        y_ = y + h * renglones + Relleno;
        inicioDatos_ = y_;
    }

    // Starts a new page when `alto` does not fit below the current line.
    void Reserva(double alto)
    {
        if (doc_.paginas.isEmpty() || y_ + alto > limite_)
            NuevaPagina();
    }

    void LineaCeldas(const QStringList &celdas, const QString &estilo, bool raya)
    {
        const double h = Alto(estilo);
        Reserva(h);
        const QColor fondo = def_.Estilo(estilo).fondo;
        if (fondo.isValid() && estilo != QLatin1String("normal")) {
            ElementoPagina e;
            e.tipo = ElementoPagina::Tipo::Relleno;
            e.caja = QRectF(contenido_.left(), y_, contenido_.width(), h);
            e.color = fondo.rgba();
            Elementos().append(e);
        }
        for (int c = 0; c < celdas.size(); ++c)
            if (!celdas[c].isEmpty())
                Texto(QRectF(izquierdas_[c], y_, anchos_[c], h), celdas[c], estilo, def_.columnas[c].alineacion);
        y_ += h;
        if (raya)
            Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorRaya);
    }

    void FilaTotal(const QString &rotulo, const QVector<double> &sumas)
    {
        QStringList celdas;
        for (int c = 0; c < def_.columnas.size(); ++c) {
            const ColumnaReporte &col = def_.columnas[c];
            celdas << (col.total ? FormateaValor(sumas.value(c), col.formato) : QString());
        }
        celdas[0] = rotulo;
        const QString estilo = QStringLiteral("total");
        Reserva(Alto(estilo));
        Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorBorde);
        LineaCeldas(celdas, estilo, false);
        Linea(QPointF(contenido_.left(), y_), QPointF(contenido_.right(), y_), ColorBorde);
    }

    QMap<QString, QString> TextosCon(const QVariantList &valores) const
    {
        QMap<QString, QString> t = textos_;
        for (int i = 0; i < campos_.size(); ++i)
            t[campos_[i]] = valores[i].toString().trimmed();
        return t;
    }

    void AbreGrupo(int nivel, const QVariantList &valores)
    {
        const GrupoReporte &g = def_.grupos[nivel];
        primeras_.resize(def_.grupos.size());
        primeras_[nivel] = valores;
        acumulados_[nivel + 1].fill(0);
        if (g.saltoPagina && !doc_.paginas.isEmpty() && y_ > inicioDatos_)
            NuevaPagina();
        if (!g.encabezado.isEmpty()) {
            const QString estilo = QStringLiteral("grupo");
            Reserva(Alto(estilo) + Alto(QStringLiteral("normal")));   // never alone at a page's foot
            Texto(QRectF(contenido_.left(), y_, contenido_.width(), Alto(estilo)),
                  SustituyeMarcas(g.encabezado, TextosCon(valores)), estilo, Alineacion::Izquierda);
            y_ += Alto(estilo);
        }
    }

    void CierraGrupos(int desde)
    {
        for (int i = int(def_.grupos.size()) - 1; i >= desde; --i)
            if (!def_.grupos[i].subtotal.isEmpty())
                FilaTotal(SustituyeMarcas(def_.grupos[i].subtotal, TextosCon(primeras_[i])), acumulados_[i + 1]);
    }

    const DefinicionReporte &def_;
    const QMap<QString, QString> &textos_;
    const QStringList campos_;
    DocumentoReporte doc_;
    QRectF contenido_;
    double limite_ = 0;
    double y_ = 0;
    double inicioDatos_ = 0;   // y of the first row under the captions
    QVector<double> izquierdas_, anchos_;
    QVector<int> indiceColumnas_;
    QVector<QVector<int>> indiceSumas_;
    QVector<int> indiceGrupos_;
    QVector<QVector<double>> acumulados_;   // [0] the grand total, [1 + n] group n
    QVector<QVariantList> primeras_;        // first row of each open group
    QVariantList anterior_;
    bool abiertos_ = false;
    QVector<QPair<int, int>> numerados_;    // (page, element) texts with page numbers
};

} // namespace

DocumentoReporte MaquetaReporte(const DefinicionReporte &def, const QMap<QString, QString> &textos,
                                FuenteFilas &filas, const QString &titulo)
{
    Maquetador m(def, textos, filas.Campos(), titulo);
    QVariantList fila;
    while (filas.Siguiente(fila))
        m.Fila(fila);
    return m.Termina();
}
