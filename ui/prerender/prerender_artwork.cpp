// Renders every picture the windows show, at each common density, and writes
// them as PNG into a C++ source that the program is built with.
//
//   prerender_artwork OUT.cpp
#include <QBuffer>
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
      const QImage image = Artwork::Render(name, use.size, ratio);
      QByteArray png;
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      if (image.isNull() || !image.save(&buffer, "PNG")) {
        std::fprintf(stderr, "prerender_artwork: cannot render %s\n", use.name);
        return 1;
      }
      arrays += "const unsigned char kPicture" + QByteArray::number(count) + "[] = {";
      for (qsizetype i = 0; i < png.size(); ++i) {
        arrays += (i % 24 == 0 ? "\n    " : " ");
        arrays += QByteArray::number(static_cast<unsigned char>(png[i])) + ',';
      }
      arrays += "\n};\n";
      table += "    {\"" + PrerenderedKey(Artwork::FileName(name), use.size, ratio).toLatin1() +
               "\", kPicture" + QByteArray::number(count) + ", sizeof kPicture" +
               QByteArray::number(count) + "},\n";
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
      "\nstruct Picture {\n  const char* key;\n  const unsigned char* png;\n  std::size_t size;\n"
      "};\n\nconst Picture kPictures[] = {\n");
  out.write(table);
  out.write(
      "};\n\n}  // namespace\n\n"
      "QByteArray PrerenderedArtwork(const QString& key) {\n"
      "  const QByteArray wanted = key.toLatin1();\n"
      "  for (const Picture& picture : kPictures) {\n"
      "    if (std::strcmp(picture.key, wanted.constData()) == 0) {\n"
      "      return QByteArray::fromRawData(reinterpret_cast<const char*>(picture.png),\n"
      "                                     static_cast<qsizetype>(picture.size));\n"
      "    }\n"
      "  }\n"
      "  return {};\n"
      "}\n");
  return out.error() == QFileDevice::NoError ? 0 : 1;
}
