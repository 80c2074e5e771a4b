// The login window's title bar reads nothing. Qt would put the application
// name there for an empty title, so the test reads what the X server holds;
// ctest runs it once more under Xvfb (elsewhere it checks Qt's title only).
#include "comun/ProgramaTemporal.h"
#include "shell/frmInicio.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace {

// A text property of the window, "<ninguna>" when it is not set.
QByteArray Propiedad(xcb_connection_t *c, xcb_window_t w, const char *nombre)
{
    xcb_intern_atom_reply_t *a = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(std::strlen(nombre)), nombre), nullptr);
    const xcb_atom_t atomo = a ? a->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(a);
    xcb_get_property_reply_t *r =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, atomo, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    QByteArray valor("<ninguna>");
    if (r && r->type != XCB_ATOM_NONE)
        valor = QByteArray(static_cast<const char *>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
    std::free(r);
    return valor;
}

TEST(LoginX11, LaBarraDeTituloNoDiceNada)
{
    const QString nombre = QApplication::applicationName();
    const auto restaura = qScopeGuard([&] { QApplication::setApplicationName(nombre); });
    QApplication::setApplicationName(QStringLiteral("VELMORAN"));
    ProgramaTemporal p;
    p.AbreBase();
    frmInicio login(*p.ctx);
    login.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    EXPECT_EQ(login.windowTitle(), QString());
    if (QApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "sin servidor X: " << QApplication::platformName().toStdString();
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    ASSERT_TRUE(x11 && x11->connection());
    // Hidden and shown again, as a second login would be.
    for (int vez = 0; vez < 2; ++vez) {
        const xcb_window_t w = xcb_window_t(login.winId());
        EXPECT_EQ(Propiedad(x11->connection(), w, "_NET_WM_NAME").toStdString(), "") << vez;
        EXPECT_EQ(Propiedad(x11->connection(), w, "WM_NAME").toStdString(), "") << vez;
        login.hide();
        login.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&login));
    }
}

} // namespace
