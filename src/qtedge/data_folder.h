#pragma once
// The program folder: where KVMaintenance.ini, the Backup folder and
// SerialLog.log live. The window and the command-line tool resolve it once,
// here at the Qt edge, and hand the core a plain path.
#include <QString>
#include <QStringList>
#include <filesystem>
#include <optional>

namespace kv {

// Environment variable naming the data folder when no --data-dir is given.
inline constexpr const char* kDataFolderVariable = "KVMAINTENANCE_HOME";

// The value of "--data-dir DIR" or "--data-dir=DIR" in `arguments` (the
// program name first, as QCoreApplication::arguments() gives them); empty
// when the option is absent or has no value.
QString DataDirOption(const QStringList& arguments);

// The folder to use: `dataDirOption` when not empty, else the environment
// variable, else the per-user application data folder of "KVMaintenance"
// (shared by the window and the command-line tool whatever their own
// application names). Relative paths are made absolute.
QString ChooseDataFolder(const QString& dataDirOption);

// Chooses the folder as above and creates it when missing; nullopt when it
// cannot be created.
std::optional<std::filesystem::path> ResolveDataFolder(const QString& dataDirOption);

// Conversions between Qt paths and std::filesystem paths (the local 8-bit
// file name encoding, as the core's file streams expect).
std::filesystem::path ToFsPath(const QString& path);
QString FromFsPath(const std::filesystem::path& path);

}  // namespace kv
