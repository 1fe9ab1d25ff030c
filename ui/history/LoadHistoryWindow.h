#pragma once

#include "history/RunHistory.h"

class frmGecmis;

// Fills the window with the latest runs, the summary as of `now` and the last restore test, read on workers;
// the window may be shown at once and fills when they arrive.
void LoadHistoryWindow(frmGecmis &window, const RunHistory &history, const QDateTime &now);
