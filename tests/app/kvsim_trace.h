#pragma once
// The window against kvsim with its trace of every line it received, and
// the window's menu entries by name.
#include <QAction>
#include <QFile>

#include "window_on_kvsim.h"

namespace kv::test {

class TracedWindowOnKvsim : public WindowOnKvsim {
 protected:
  // Completion polls are answered "finished" at once.
  void StartTraced() {
    tracePath_ = dataDir_.filePath(QStringLiteral("trace.txt"));
    ASSERT_NO_FATAL_FAILURE(Start({QStringLiteral("--trace"), tracePath_,
                                   QStringLiteral("--busy-polls"), QStringLiteral("0")}));
  }

  QString Trace() const {
    QFile file(tracePath_);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readAll());
  }

  QAction* Action(const char* name) const {
    return window_->findChild<QAction*>(QString::fromLatin1(name));
  }

  QString tracePath_;
};

}  // namespace kv::test
