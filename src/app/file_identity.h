#pragma once
// The status bar's line naming the instrument of the settings in the grids
// when they came from a file or a history snapshot (a file keeps no serial
// number), made on first use.
#include <QString>

class QStatusBar;

namespace kv {

void ShowFileIdentity(QStatusBar& bar, const QString& text);

}  // namespace kv
