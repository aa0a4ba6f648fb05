#include "qtedge/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kv {
namespace {

constexpr const char* kOptionName = "--data-dir";
constexpr const char* kFolderName = "KVMaintenance";

}  // namespace

QString DataDirOption(const QStringList& arguments) {
  const QString option = QString::fromLatin1(kOptionName);
  const QString withValue = option + QLatin1Char('=');
  // The first element is the program itself.
  for (qsizetype i = 1; i < arguments.size(); ++i) {
    const QString& argument = arguments[i];
    if (argument == option) {
      return i + 1 < arguments.size() ? arguments[i + 1] : QString();
    }
    if (argument.startsWith(withValue)) return argument.mid(withValue.size());
  }
  return {};
}

QString ChooseDataFolder(const QString& dataDirOption) {
  QString folder = dataDirOption;
  if (folder.isEmpty()) folder = qEnvironmentVariable(kDataFolderVariable);
  if (folder.isEmpty()) {
    // The application data folder of "KVMaintenance", spelled out so that the
    // command-line tool, whose application name differs, finds the same one.
    folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
             QLatin1Char('/') + QString::fromLatin1(kFolderName);
  }
  return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

std::optional<std::filesystem::path> ResolveDataFolder(const QString& dataDirOption) {
  const QString folder = ChooseDataFolder(dataDirOption);
  if (!QDir().mkpath(folder)) return std::nullopt;
  return ToFsPath(folder);
}

std::filesystem::path ToFsPath(const QString& path) {
  return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString FromFsPath(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

}  // namespace kv
