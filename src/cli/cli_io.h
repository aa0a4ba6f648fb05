#pragma once
// Output of kvmaint. Text is single-byte: QStrings are converted with Latin-1
// here and nowhere else, and stdout takes the bytes as they are.
#include <QString>
#include <string>
#include <string_view>

namespace kv::cli {

QString Text(std::string_view latin1);
std::string Bytes(const QString& text);

// The bytes to stdout, unchanged, flushed at once (a reader may be waiting).
void WriteStdout(std::string_view bytes);
// The bytes and LF.
void PrintLine(std::string_view bytes);

// "kvmaint: " + message + LF on stderr.
void PrintError(const QString& message);
void PrintError(std::string_view message);
inline void PrintError(const char* message) { PrintError(std::string_view(message)); }
// The message + LF on stderr, without the program's name.
void PrintErrorLine(const QString& message);

}  // namespace kv::cli
