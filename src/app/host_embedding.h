// Putting the main window inside Horalia's window. On X11 the main window
// becomes a borderless child of the host window, kept centred in it while the
// host is resized, and the program ends when the host window is destroyed.
// Other platforms (Wayland, offscreen) cannot give a window a foreign parent:
// there the main window stays a plain one.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QSize>
#include <QWidget>
#include <cstdint>

namespace app {

class HostEmbedding : public QAbstractNativeEventFilter {
 public:
  enum class Result { Embedded, NotPossibleHere };

  // Embeds `window` in the host window `host`. Throws UserError when the
  // host window does not exist. Returns NotPossibleHere, having said so on
  // stderr, on a platform without foreign parents.
  Result Embed(QWidget& window, std::uint32_t host);

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

  ~HostEmbedding() override;

 private:
  void CentreIn(QSize hostSize);

  QWidget* window_ = nullptr;
  std::uint32_t host_ = 0;
  bool filtering_ = false;
};

}  // namespace app
