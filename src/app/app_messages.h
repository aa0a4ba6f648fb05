#pragma once
// Catalogue texts the window adds beyond the established ones (ids 9000 up).
namespace kv::msg {

// "No backup written: all 100 backup names of today are taken in ~1. Move old backups elsewhere."
inline constexpr int kBackupNamesTaken = 9000;
// "No backup written: the file ~1 could not be written (~2)."
inline constexpr int kBackupNotWritten = 9001;
// "The data folder ~1 cannot be created."
inline constexpr int kDataFolderUnavailable = 9002;
// "The configuration file ~1 was damaged (~2): it is kept as ~3 and the default settings are used."
inline constexpr int kConfigurationReplaced = 9003;
// "The configuration file ~1 is damaged (~2) and was left as it is (~3); the default settings are used."
inline constexpr int kConfigurationDamaged = 9004;
// "Get not started: no backup can be kept in ~1 (~2)."
inline constexpr int kBackupFolderUnusable = 9020;
// "The session log ~1 cannot be written (~2); it ends here."
inline constexpr int kSessionLogFailed = 9021;

// Select, Transmit (its review and verification), Store and Power OFF.
inline constexpr int kFileReadInPart = 9100;
inline constexpr int kTransmitPartialFile = 9101;
inline constexpr int kNothingToTransmit = 9102;
inline constexpr int kAcknowledgedBeforeStop = 9103;
inline constexpr int kNothingAcknowledged = 9104;
inline constexpr int kEditsKept = 9105;
inline constexpr int kVerifying = 9106;
inline constexpr int kVerified = 9107;
inline constexpr int kNotAsTransmitted = 9108;
inline constexpr int kVerifyReadFailed = 9109;
inline constexpr int kBackupWritten = 9110;
inline constexpr int kLinkLostNotLive = 9111;
inline constexpr int kDiscardEdits = 9112;
inline constexpr int kPowerOffRefused = 9113;
inline constexpr int kVerifyOptionNotKept = 9114;
inline constexpr int kNotTransmitted = 9115;
inline constexpr int kNotStored = 9116;
inline constexpr int kStoreCancelled = 9117;
inline constexpr int kExportCancelled = 9118;
inline constexpr int kChangedOnImport = 9119;

}  // namespace kv::msg
