#include "app/host_embedding.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "text/user_error.h"

namespace app {
namespace {

xcb_connection_t* X11Connection() {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 ? x11->connection() : nullptr;
}

std::string Hex(std::uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", id);
  return text;
}

}  // namespace

HostEmbedding::Result HostEmbedding::Embed(QWidget& window, std::uint32_t host) {
  xcb_connection_t* x = X11Connection();
  if (!x) {
    std::fprintf(stderr,
                 "transorvano: la plataforma gráfica «%s» no permite mostrar la ventana dentro de "
                 "la de Horalia; se muestra como ventana independiente.\n",
                 qPrintable(QGuiApplication::platformName()));
    return Result::NotPossibleHere;
  }

  // Any number passes for a window id: ask the server whether it is one.
  xcb_generic_error_t* error = nullptr;
  xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(x, xcb_get_geometry(x, host), &error);
  std::free(error);
  if (!geometry)
    throw UserError("No existe la ventana " + Hex(host) +
                    " en la que Horalia pide mostrar el programa; se muestra como ventana "
                    "independiente. Vuelva a lanzar la transformación desde Horalia.");
  const QSize hostSize(geometry->width, geometry->height);
  std::free(geometry);

  // Follow the host's resizes and its end: structure events on it, added to
  // whatever this connection already listens to there.
  std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  if (auto* attributes = xcb_get_window_attributes_reply(x, xcb_get_window_attributes(x, host), nullptr)) {
    mask |= attributes->your_event_mask;
    std::free(attributes);
  }
  xcb_change_window_attributes(x, host, XCB_CW_EVENT_MASK, &mask);
  xcb_flush(x);

  window_ = &window;
  host_ = host;
  QWindow* hostWindow = QWindow::fromWinId(host);
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window.winId();
  window.windowHandle()->setParent(hostWindow);
  CentreIn(hostSize);
  qApp->installNativeEventFilter(this);
  filtering_ = true;
  return Result::Embedded;
}

HostEmbedding::~HostEmbedding() {
  if (filtering_ && qApp) qApp->removeNativeEventFilter(this);
}

void HostEmbedding::CentreIn(QSize hostSize) {
  const QSize own = window_->size();
  // Placed through its QWindow, whose position is taken relative to the
  // foreign parent (QWidget::move would take it for a screen position).
  window_->windowHandle()->setPosition(std::max(0, (hostSize.width() - own.width()) / 2),
                                       std::max(0, (hostSize.height() - own.height()) / 2));
}

bool HostEmbedding::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<xcb_generic_event_t*>(message);
  switch (event->response_type & ~0x80) {
    case XCB_CONFIGURE_NOTIFY: {
      const auto* configure = reinterpret_cast<const xcb_configure_notify_event_t*>(event);
      if (configure->window == host_ && configure->event == host_)
        CentreIn(QSize(configure->width, configure->height));
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* destroy = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      // Horalia's window is gone, and ours with it: nothing is left to show.
      if (destroy->window == host_) QCoreApplication::exit(0);
      break;
    }
    default:
      break;
  }
  return false;
}

}  // namespace app
