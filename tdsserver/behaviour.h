#pragma once

#include <QString>

namespace tdstest {

// Where in the login the server hangs up.
enum class LoginDrop : quint8 { None, AfterPrelogin, OnLogin7 };

// The answer a fault replaces or corrupts.
enum class Answer : quint8 { None, Login, Backup };

// How the length in a packet header lies about the bytes that follow it.
enum class LengthLie : quint8 { None, Longer, Shorter };

// The kind of token a message of the longest length TDS allows travels in.
enum class LongMessage : quint8 { None, Info, Error };

// What ends a stalled backup or a connection held open without an answer.
enum class Release : quint8 { Resume, Drop };

// What DBCC CHECKDB finds in a restored database.
enum class Damage : quint8 { None, Consistency, Allocation };

// The switches a test flips to make the server misbehave on purpose.
struct Behaviour {
    int backupDurationMs = 50;
    int loginDelayMs = 0;
    bool silent = false;
    bool dropDuringBackup = false;
    bool errorAfterProgress = false;
    bool moreResultsOnDone = false;
    LoginDrop loginDrop = LoginDrop::None;
    Answer garbageInstead = Answer::None;
    LengthLie lengthLie = LengthLie::None;
    Answer lengthLieIn = Answer::None;
    LongMessage longMessage = LongMessage::None;
    bool stallDuringBackup = false;
    bool damagedBackups = false;
    bool backupAccessDenied = false;
    bool emptyBackups = false;
    bool verifyAccessDenied = false;
    // SERVERPROPERTY's default data and log folder; NULL when empty, as an instance set up without one.
    QString dataFolder;
    qint64 volumeFreeBytes = qint64(1) << 40;
    bool volumeStatsDenied = false;
    bool createDatabaseDenied = false;
    bool restoreReadFails = false;
    Damage damage = Damage::None;
    bool dropFails = false;
};

} // namespace tdstest
