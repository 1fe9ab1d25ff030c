#pragma once

#include "settings/Result.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The whole file: empty when it does not exist, a failure when it exists but cannot be read.
Result<QByteArray> ReadSettingsFile(const QString &file);

// One value of a settings file; the empty text when the file, section or key is missing or unreadable.
QString ReadSetting(const QString &section, const QString &key, const QString &file);

struct SettingValue {
    QString key;
    QString value;
};

// Sets the values in order, in one replacement of the file; a failure says why nothing was stored.
Outcome WriteSettings(const QString &section, const QList<SettingValue> &values, const QString &file);

// Sets one value; a failure says why it was not stored. The file is replaced as a whole (a temporary file,
// then a rename), so a crash or a full disk leaves the old file intact, never half of a new one.
Outcome WriteSetting(const QString &section, const QString &key, const QString &value, const QString &file);
