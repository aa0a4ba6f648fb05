// kvmaint: the maintenance tool's work on the command line. Each command is a
// class of its own (cmd_*.cpp), listed in the command table.
#include <QCoreApplication>
#include <clocale>

#include "cli/cli_main.h"

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  // Qt takes the user's locale; numbers in files and on screen keep "." as
  // their decimal point (FormatGasValue and the codecs use the C library).
  std::setlocale(LC_NUMERIC, "C");
  QCoreApplication::setApplicationName(QStringLiteral("kvmaint"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kv::cli::kVersion.data(),
                                                              static_cast<qsizetype>(kv::cli::kVersion.size())));
  return kv::cli::RunKvmaint(QCoreApplication::arguments());
}
