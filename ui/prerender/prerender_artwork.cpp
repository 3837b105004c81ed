// Renders every picture the windows show, at each common density, and writes
// their pixels into a C++ source that the program is built with. The pixels
// are kept as they are drawn (premultiplied ARGB, this machine's byte order,
// which is the program's: it is built here too), so showing one decodes
// nothing.
//
//   prerender_artwork OUT.cpp
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "ui/artwork.h"
#include "ui/artwork_sizes.h"
#include "ui/prerendered_artwork.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: prerender_artwork OUT.cpp\n");
    return 2;
  }
  // Nothing is shown: no display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QByteArray arrays;
  QByteArray table;
  int count = 0;
  for (const ArtworkUse& use : kArtworkUses) {
    for (const qreal ratio : kArtworkRatios) {
      const QString name = QString::fromLatin1(use.name);
      const QImage image = Artwork::Render(name, use.size, ratio)
                               .convertToFormat(QImage::Format_ARGB32_Premultiplied);
      if (image.isNull()) {
        std::fprintf(stderr, "prerender_artwork: cannot render %s\n", use.name);
        return 1;
      }
      // Rows of whole 32-bit pixels, so the array is aligned for them.
      arrays += "alignas(4) const unsigned char kPicture" + QByteArray::number(count) + "[] = {";
      qsizetype written = 0;
      for (int y = 0; y < image.height(); ++y) {
        const auto* row = image.constScanLine(y);
        for (int x = 0; x < image.width() * 4; ++x, ++written) {
          arrays += (written % 24 == 0 ? "\n    " : " ");
          arrays += QByteArray::number(row[x]) + ',';
        }
      }
      arrays += "\n};\n";
      table += "    {\"" + PrerenderedKey(Artwork::FileName(name), use.size, ratio).toLatin1() +
               "\", kPicture" + QByteArray::number(count) + ", " +
               QByteArray::number(image.width()) + ", " + QByteArray::number(image.height()) +
               "},\n";
      ++count;
    }
  }

  QFile out(QString::fromLocal8Bit(argv[1]));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    std::fprintf(stderr, "prerender_artwork: cannot write %s\n", argv[1]);
    return 1;
  }
  out.write(
      "// Made by prerender_artwork from the pictures' sources; not to be edited.\n"
      "#include <cstddef>\n#include <cstring>\n\n#include \"ui/prerendered_artwork.h\"\n\n"
      "namespace {\n\n");
  out.write(arrays);
  out.write(
      "\nstruct Picture {\n  const char* key;\n  const unsigned char* pixels;\n  int width;\n"
      "  int height;\n};\n\nconst Picture kPictures[] = {\n");
  out.write(table);
  out.write(
      "};\n\n}  // namespace\n\n"
      "QImage PrerenderedArtwork(const QString& key) {\n"
      "  const QByteArray wanted = key.toLatin1();\n"
      "  for (const Picture& picture : kPictures) {\n"
      "    if (std::strcmp(picture.key, wanted.constData()) == 0) {\n"
      "      return QImage(picture.pixels, picture.width, picture.height, picture.width * 4,\n"
      "                    QImage::Format_ARGB32_Premultiplied);\n"
      "    }\n"
      "  }\n"
      "  return {};\n"
      "}\n");
  return out.error() == QFileDevice::NoError ? 0 : 1;
}
