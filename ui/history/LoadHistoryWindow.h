#pragma once

#include "history/RunHistory.h"

class frmGecmis;

// Fills the window with the latest runs and the summary as of `now`, read on a worker; the window may be
// shown at once and fills when they arrive.
void LoadHistoryWindow(frmGecmis &window, const RunHistory &history, const QDateTime &now);
