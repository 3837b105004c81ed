#include "ui/shown_stamps.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace {

class ShownStamps : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* window = widget->window();
    if (window->property(kStamped).toBool()) return false;
    window->setProperty(kStamped, true);
    // The whole window is painted and flushed before a queued call runs.
    QPointer<QWidget> shown(window);
    QTimer::singleShot(0, this, [shown] {
      if (shown == nullptr) return;
      QGuiApplication::sync();  // the server has drawn what was sent
      const auto now = std::chrono::steady_clock::now().time_since_epoch();
      std::printf("shown %s %lld\n", shown->metaObject()->className(),
                  static_cast<long long>(std::chrono::nanoseconds(now).count()));
      std::fflush(stdout);
    });
    return false;
  }

 private:
  static constexpr const char* kStamped = "vivezeShownStamped";
};

}  // namespace

void InstallShownStampsIfAsked() {
  if (!qEnvironmentVariableIsSet("VIVEZE_SHOWN_STAMPS")) return;
  qApp->installEventFilter(new ShownStamps(qApp));
}
