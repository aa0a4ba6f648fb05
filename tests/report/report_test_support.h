#pragma once
// Reading a written report back with poppler's tools.
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "support/child_process.h"

namespace kv::test {

// A program found on PATH (the child processes are started without a search).
inline std::string OnPath(const std::string& name) {
  std::istringstream folders(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "/usr/bin");
  for (std::string folder; std::getline(folders, folder, ':');) {
    const std::filesystem::path candidate = std::filesystem::path(folder) / name;
    if (std::filesystem::exists(candidate)) return candidate.string();
  }
  return name;
}

// The PDF's text in reading layout ("" when pdftotext failed).
inline std::string PdfText(const std::string& pdf) {
  const testsupport::ProgramResult result = testsupport::RunProgram({OnPath("pdftotext"), "-layout", pdf, "-"});
  return result.exitCode == 0 ? result.out : std::string();
}

// `word` stands in `text` between blanks or line ends ("SITE-1" is not "SITE-12").
inline bool HasWord(const std::string& text, const std::string& word) {
  const auto blank = [](char c) { return c == ' ' || c == '\n' || c == '\f'; };
  for (auto at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
    const auto end = at + word.size();
    if ((at == 0 || blank(text[at - 1])) && (end == text.size() || blank(text[end]))) return true;
  }
  return false;
}

// One field of pdfinfo ("Pages", "Page size"), its value trimmed.
inline std::string PdfInfo(const std::string& pdf, const std::string& field) {
  const testsupport::ProgramResult result = testsupport::RunProgram({OnPath("pdfinfo"), pdf});
  const std::string key = "\n" + field + ":";
  const std::string out = "\n" + result.out;
  const auto at = out.find(key);
  if (result.exitCode != 0 || at == std::string::npos) return {};
  const auto start = out.find_first_not_of(' ', at + key.size());
  return out.substr(start, out.find('\n', start) - start);
}

}  // namespace kv::test
