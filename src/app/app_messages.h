#pragma once
// Catalogue texts the window adds beyond the established ones (ids 9000 up).
namespace kv::msg {

// "No backup written: all 100 backup names of today are taken in ~1. Move old backups elsewhere."
inline constexpr int kBackupNamesTaken = 9000;
// "No backup written: the file ~1 could not be written (~2)."
inline constexpr int kBackupNotWritten = 9001;
// "The data folder ~1 cannot be created."
inline constexpr int kDataFolderUnavailable = 9002;
// "Get not started: no backup can be kept in ~1 (~2)."
inline constexpr int kBackupFolderUnusable = 9020;
// "The session log ~1 cannot be written (~2); it ends here."
inline constexpr int kSessionLogFailed = 9021;

}  // namespace kv::msg
