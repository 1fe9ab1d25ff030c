#pragma once

#include "backup/ServerMessage.h"

#include <QList>
#include <QString>
#include <optional>

// Which statement of a run failed: the same operating system error means "cannot write" while the server
// writes the file and "cannot read" while it reads it back to verify it.
enum class FailureStep { Backup, Verify };

// One common failure: how its message is recognised, what the shop owner reads, and what the README says.
struct FailureExplanation {
    int number = 0; // the server's message number, or the native error a driver gives its own; 0: any
    int osError =
        0; // the operating system's error the text names, as in "error 5(Access is denied.)"; 0: any
    QString fragment = {}; // a piece of the text, letter case ignored; empty: any
    QString turkish = {};  // what happened and what to do, naming the settings window's fields and buttons
    QString meaning = {};  // in English, for the README
    QString action = {};   // in English, for the README
    std::optional<FailureStep> step = {}; // empty: in either step
    // The SQLSTATE the driver gives with it; empty: any. Microsoft's drivers number their own messages with
    // the system's error (10061, 53, -1 ...), which alone does not tell them from the server's.
    QString state = {};
};

// Every known failure, the more specific before the more general: the first that recognises a message
// explains it.
const QList<FailureExplanation> &FailureExplanations();

// The failure in the shop owner's words: for the message FailureReason picks, the Turkish sentence when the
// table knows it, then the server's own text without the driver's prefixes and its number:
// "<sentence>\n<text> (<number>)". Without a sentence for a failure the table does not know; without a
// number for the driver's messages numbered 0; empty when there is no message at all.
QString ExplainFailure(const ServerMessages &messages, FailureStep step = FailureStep::Backup);
