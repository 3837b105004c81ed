#include "widgets/byte_text.h"

#include "engine/letter_folding.h"

std::string ToStoredBytes(const QString& text) {
  const QByteArray whole = text.toLocal8Bit();
  if (QString::fromLocal8Bit(whole) == text) return whole.toStdString();
  std::string stored;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const QString character = text.mid(i, length);
    const QByteArray bytes = character.toLocal8Bit();
    if (QString::fromLocal8Bit(bytes) == character) {
      stored += bytes.toStdString();
    } else {
      stored += FoldNameLetters(ToUtf8(character));
    }
    i += length;
  }
  return stored;
}
