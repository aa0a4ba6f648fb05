// kvmaint: the maintenance tool's work on the command line. Each command is a
// class of its own (cmd_*.cpp), listed in the command table.
#include <QCoreApplication>
#include <QGuiApplication>
#include <clocale>
#include <memory>
#include <string_view>

#include "cli/cli_main.h"

int main(int argc, char** argv) {
  // Drawing the report's pages needs Qt GUI's fonts; it draws offscreen, so
  // no display is needed. Every other command stays a plain core program.
  const bool drawsPages = argc > 1 && std::string_view(argv[1]) == "report";
  if (drawsPages) qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::unique_ptr<QCoreApplication> application =
      drawsPages ? std::make_unique<QGuiApplication>(argc, argv)
                 : std::make_unique<QCoreApplication>(argc, argv);
  // Qt takes the user's locale; numbers in files and on screen keep "." as
  // their decimal point (FormatGasValue and the codecs use the C library).
  std::setlocale(LC_NUMERIC, "C");
  QCoreApplication::setApplicationName(QStringLiteral("kvmaint"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kv::cli::kVersion.data(),
                                                              static_cast<qsizetype>(kv::cli::kVersion.size())));
  return kv::cli::RunKvmaint(QCoreApplication::arguments(), kv::cli::ProcessContext());
}
