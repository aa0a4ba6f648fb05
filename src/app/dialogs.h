#pragma once
// Every modal dialog of the window goes through this one interface: the
// program shows real message boxes and file dialogs, the tests script the
// answers and run every path offscreen without blocking.
#include <QString>
#include <QStringList>
#include <vector>

class QWidget;

namespace kv {

// One setting in the review before Transmit.
struct ReviewLine {
  QString name;      // as every view names it ("CO warning level")
  QString oldValue;  // in the instrument as last read, unit included ("25 ppm")
  QString newValue;  // what will be written
  bool unchanged = false;  // written, but the value is the one already held
};

class Dialogs {
 public:
  enum class Icon { None, Information, Question, Critical };

  virtual ~Dialogs() = default;

  // A message box with an OK button.
  virtual void Show(Icon icon, const QString& title, const QString& text) = 0;
  // A message box with Yes and No; true for Yes.
  virtual bool Ask(Icon icon, const QString& title, const QString& text) = 0;
  // File dialogs; `filter` in Qt's form ("Name (*.kvd);;All files (*.*)").
  // An empty result means the user cancelled.
  virtual QString OpenFile(const QString& filter) = 0;
  // Asks before overwriting an existing file; `suggestedName` is offered
  // as the file name.
  virtual QString SaveFile(const QString& filter, const QString& suggestedName = {}) = 0;
  // One line of text, offered with `initial`; an empty result means Cancel.
  virtual QString AskText(const QString& title, const QString& label, const QString& initial) = 0;
  // A read-only table of results with an OK button.
  virtual void ShowTable(const QString& title, const QStringList& headers,
                         const std::vector<QStringList>& rows) = 0;
  // The settings a Transmit will write, in write order, with `question`;
  // true for Transmit, false for Cancel.
  virtual bool Review(const QString& title, const QString& question,
                      const std::vector<ReviewLine>& lines) = 0;

  void Critical(const QString& title, const QString& text) { Show(Icon::Critical, title, text); }
  bool Question(const QString& title, const QString& text) { return Ask(Icon::Question, title, text); }
};

// Real dialogs, modal to `parent`.
class QtDialogs final : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  void Show(Icon icon, const QString& title, const QString& text) override;
  bool Ask(Icon icon, const QString& title, const QString& text) override;
  QString OpenFile(const QString& filter) override;
  QString SaveFile(const QString& filter, const QString& suggestedName = {}) override;
  QString AskText(const QString& title, const QString& label, const QString& initial) override;
  void ShowTable(const QString& title, const QStringList& headers,
                 const std::vector<QStringList>& rows) override;
  bool Review(const QString& title, const QString& question,
              const std::vector<ReviewLine>& lines) override;

 private:
  QWidget* parent_;
};

// The maintenance data file filter of the open and save dialogs.
QString MaintenanceFileFilter();

// The suffix the save dialog gives a name typed without one: the filter's
// first pattern ("*.kvd" gives "kvd"); none when it names no suffix.
QString DefaultSuffix(const QString& filter);

}  // namespace kv
