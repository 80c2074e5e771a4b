#include "platform/TituloVacio.h"

#include <QGuiApplication>
#include <QWidget>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atomo(xcb_connection_t *c, const char *nombre)
{
    xcb_intern_atom_reply_t *r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(nombre)), nombre), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
}

} // namespace
#endif

void VaciaTituloNativo(QWidget *ventana)
{
#if QT_CONFIG(xcb)
    // Only the X platform's windows are X windows (offscreen may hold a display too).
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("xcb") || !ventana->isWindow())
        return;
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const xcb_window_t w = xcb_window_t(ventana->winId());
    const xcb_atom_t nombre = Atomo(c, "_NET_WM_NAME"), utf8 = Atomo(c, "UTF8_STRING");
    if (nombre != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, nombre, utf8, 8, 0, "");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, 0, "");
    xcb_flush(c);
#else
    Q_UNUSED(ventana);
#endif
}
