// frmMain: start-up, first activation, the information pane, the fills and
// closing.
#include <QCheckBox>
#include <QSignalBlocker>
#include <QCloseEvent>
#include <QFont>
#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>
#include <system_error>

#include "app/app_messages.h"
#include "app/frm_live.h"
#include "app/frm_main.h"
#include "app/info_pane.h"
#include "app/settings_grid.h"
#include "common/messages.h"
#include "model/instrument_settings.h"
#include "qtedge/data_folder.h"
#include "qtedge/link_ticker.h"
#include <QTimer>
#include "qtedge/latin1.h"

namespace kv {
namespace {

constexpr const char* kProgramNumber = "05121";
constexpr const char* kExitTitle = "KORVIN Maintenance Data Loader";
constexpr const char* kSessionLogName = "SerialLog.log";
constexpr const char* kInstanceLockName = "KVMaintenance.lock";
constexpr int kLinkRetry = 3;
constexpr int kLinkTimeoutSeconds = 3;
// How often the status bar asks how many history events wait for the server.
constexpr int kPendingRefreshMs = 30000;

// Metric-compatible faces for the usual office fonts, used where the
// configured one is not installed.
struct FontStandIn {
  const char* family;
  const char* standIn;
};
constexpr FontStandIn kFontStandIns[] = {
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

QFont MakeFont(const FontSettings& settings) {
  const QString family = ToQString(settings.name);
  if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive)) {
    for (const FontStandIn& row : kFontStandIns) {
      if (family.compare(QString::fromLatin1(row.family), Qt::CaseInsensitive) == 0) {
        QFont::insertSubstitution(family, QString::fromLatin1(row.standIn));
      }
    }
  }
  QFont font(family);
  if (settings.size > 0 && settings.size < 200) font.setPointSizeF(settings.size);
  font.setBold(settings.bold);
  font.setItalic(settings.italic);
  font.setUnderline(settings.underline);
  return font;
}

}  // namespace

bool frmMain::Form_Load() {
  loading_ = true;
  if (!AcquireSingleInstance()) {
    services_.dialogs->Critical(ToQString(FormatMessage(msg::kProgramTitle)),
                                ToQString(FormatMessage(msg::kAlreadyStarted)));
    loading_ = false;
    return false;
  }
  const Configuration configuration = ApplyConfiguration();
  init();
  ReportConfigurationDamage(configuration);
  uclTZ7100_.SetRetry(kLinkRetry);
  uclTZ7100_.SetTimeout(kLinkTimeoutSeconds);
  // The log is opened before the port so that the first connection is traced.
  OpenSessionLog();
  SelectPort();
  if (services_.runTicker && ticker_ == nullptr) {
    ticker_ = new QTimer(this);
    ticker_->setInterval(LinkTicker::kIntervalMs);
    ticker_->setTimerType(Qt::PreciseTimer);
    connect(ticker_, &QTimer::timeout, this, &frmMain::SessionTick);
    ticker_->start();
    // Events left waiting by an earlier session show from the start.
    pendingTimer_ = new QTimer(this);
    pendingTimer_->setInterval(kPendingRefreshMs);
    connect(pendingTimer_, &QTimer::timeout, this, &frmMain::RefreshPendingHistory);
    pendingTimer_->start();
    RefreshPendingHistory();
  }
  setWindowTitle(designCaption_ + QStringLiteral(" [P.No.") + QString::fromLatin1(kProgramNumber) +
                 QStringLiteral("]"));
  loading_ = false;
  return true;
}

bool frmMain::AcquireSingleInstance() {
  // Keyed on the data folder: two instances with different folders may run.
  const std::filesystem::path lockPath = services_.dataFolder / kInstanceLockName;
  auto lock = std::make_unique<QLockFile>(FromFsPath(lockPath));
  lock->setStaleLockTime(0);
  if (!lock->tryLock(0)) return false;
  instanceLock_ = std::move(lock);
  return true;
}

Configuration frmMain::ApplyConfiguration() {
  Configuration configuration = LoadConfiguration(services_.dataFolder.string(), services_.clock->Now());
  configuredFont_ = configuration.font;
  {
    const QSignalBlocker quiet(chkVerify);
    chkVerify->setChecked(configuration.verifyAfterTransmit);
  }
  const QFont font = MakeFont(configuredFont_);
  setFont(font);
  for (SettingsGrid* grid : findChildren<SettingsGrid*>()) {
    if (grid->objectName().startsWith(QStringLiteral("vfg"))) grid->setFont(font);
  }
  return configuration;
}

void frmMain::ReportConfigurationDamage(const Configuration& configuration) {
  if (configuration.damage.empty()) return;
  const std::string path = ConfigurationPath(services_.dataFolder.string());
  if (configuration.keptAs.empty()) {
    AppendMessage(msg::kConfigurationDamaged, info_colour::kFailure,
                  {path, configuration.damage, configuration.error});
  } else {
    AppendMessage(msg::kConfigurationReplaced, info_colour::kFailure,
                  {path, configuration.damage, configuration.keptAs});
  }
}

void frmMain::OpenSessionLog() {
  const std::filesystem::path path = services_.dataFolder / kSessionLogName;
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  uclTZ7100_.Log().Close();
  uclTZ7100_.Log().SetFailureHandler([this, path](const std::string& reason) {
    AppendMessage(msg::kSessionLogFailed, info_colour::kFailure, {path.string(), reason});
  });
  uclTZ7100_.Log().Open(path.string());
}

bool frmMain::SelectPort() {
  const bool found = services_.locateAdapter && services_.locateAdapter();
  if (found) {
    uclTZ7100_.SetSerialComm(true);
    uclTZ7100_.SetRTSEnable(true);
    uclTZ7100_.SetDTREnable(true);
    uclTZ7100_.SetHandshaking(2);
    uclTZ7100_.SetSettings(kAdapterSettings);
  } else {
    // Without an adapter there is no port to open; the search asks again.
    uclTZ7100_.SetSerialComm(false);
    SayWaiting(tr("Waiting for the infrared adapter: none is plugged in. Plug it in, or choose a "
                  "port and press Connect now."));
    return false;
  }
  const OpenResult opened = uclTZ7100_.SetPortOpen(true);
  if (!opened) SayWaiting(ToQString(OpenFailureText(opened)));
  return found;
}

void frmMain::init() { rtbInfo->clear(); }

void frmMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  Form_Activate();
}

void frmMain::Form_Activate() {
  if (activated_) return;
  txtPath->clear();
  chkFactorySave->setText(ToQString(FormatMessage(msg::kSaveAsDefault)));
  chkFactorySave->setChecked(false);
  AddLog(msg::kSerialPortStandbyLog, {FormatGeneralDate(services_.clock->Now())});
  CopyInstrument(editInstrument_, curInstrument_, false);
  editInstrument_.ClearChangeFlags();
  FillAllGrids();
  activated_ = true;
}

void frmMain::AppendInfo(const QString& text, const QColor& colour) {
  rtbInfo->AppendInfo(text, colour);
}

void frmMain::AppendMessage(int id, const QColor& colour, const std::vector<std::string>& args) {
  AppendInfo(ToQString(FormatMessage(id, args)), colour);
}

void frmMain::AddLog(int messageId, const std::vector<std::string>& args) {
  uclTZ7100_.AddLog(FormatMessage(messageId, args));
}

void frmMain::cmdEnd_Click() { close(); }

void frmMain::closeEvent(QCloseEvent* event) {
  if (!loading_ && !sessionEnding_) {
    // Live readings end first; the close is asked once their last poll is in.
    if (live_ != nullptr && live_->Polling()) {
      closeAfterLive_ = true;
      live_->close();
      event->ignore();
      return;
    }
    // A running transaction or power-off refuses the close without asking.
    if (Busy() || !buttons_.end) {
      event->ignore();
      return;
    }
    if (!services_.dialogs->Ask(Dialogs::Icon::None, QString::fromLatin1(kExitTitle), ExitQuestion())) {
      event->ignore();
      return;
    }
  }
  // Form_Unload: the link stops ticking.
  uclTZ7100_.SetTimerEnabled(false);
  if (ticker_ != nullptr) ticker_->stop();
  event->accept();
}

}  // namespace kv
