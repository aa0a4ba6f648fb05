#pragma once
// The information pane: a running account of the session, one coloured line
// per entry, emptied as a whole once it has grown past 8192 characters.
#include <QColor>
#include <QTextEdit>

class QAction;
class QMenu;

namespace kv {

// The colours of the pane's lines.
namespace info_colour {
inline const QColor kProgress{0, 192, 0};  // progress and success
inline const QColor kFailure{255, 0, 0};   // failure, cancellation, port errors
inline const QColor kConnected{0, 0, 255};
inline const QColor kRelayed{0, 0, 192};  // messages relayed from the link
}  // namespace info_colour

class InfoPane final : public QTextEdit {
  Q_OBJECT

 public:
  // Beyond this many characters the next append empties the pane first.
  static constexpr int kCharacterLimit = 8192;

  explicit InfoPane(QWidget* parent = nullptr);

  // Appends `text` and a line break in `colour` at the end and keeps the
  // newest line in view. CR LF inside `text` is one line break.
  void AppendInfo(const QString& text, const QColor& colour);
  // The pane's length as the limit counts it: every line break is CR LF, two
  // characters.
  int CharacterCount() const;

  QMenu* ContextMenu() const { return mnuCls_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QMenu* mnuCls_;
  QAction* mnuClear_;
};

}  // namespace kv
