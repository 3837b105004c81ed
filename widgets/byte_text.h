#pragma once

#include <QString>
#include <string>

// Engine and storage hold text as bytes in the system's 8-bit code page (the
// ANSI code page on Windows, UTF-8 elsewhere); the widgets convert at their
// edge, here.
inline std::string ToBytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

inline QString FromBytes(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
