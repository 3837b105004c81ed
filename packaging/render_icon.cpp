// Renders the program's SVG icon as a square PNG of a given size, for the
// icon theme's fixed-size folders.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: render_icon ICON.svg SIZE OUT.png\n");
    return 2;
  }
  // Nothing is shown: no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  bool sized = false;
  const int size = QString::fromLocal8Bit(argv[2]).toInt(&sized);
  QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
  if (!sized || size <= 0 || !svg.isValid()) {
    std::fprintf(stderr, "render_icon: cannot render %s at %s\n", argv[1], argv[2]);
    return 1;
  }
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    svg.render(&painter);
  }
  if (!image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
    std::fprintf(stderr, "render_icon: cannot write %s\n", argv[3]);
    return 1;
  }
  return 0;
}
