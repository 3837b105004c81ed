// Text converted between storage's bytes and the toolkit's strings.
#pragma once

#include <QString>
#include <string>

// Engine and storage hold text as bytes in the system's 8-bit code page (the
// ANSI code page on Windows, UTF-8 elsewhere); the widgets convert at their
// edge, here. The letter folding takes UTF-8, which every system gives.
inline std::string ToBytes(const QString& text) { return text.toLocal8Bit().toStdString(); }

inline QString FromBytes(const std::string& bytes) {
  return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

inline QString FromUtf8(const std::string& bytes) {
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// What a typed name is stored as: its bytes in the 8-bit code page, a letter
// that code page cannot hold replaced by its folded letters (Č as C), so the
// stored name reads back and gives the same code.
std::string ToStoredBytes(const QString& text);
