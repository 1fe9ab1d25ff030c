#pragma once

#include <QString>

// What the settings window tells the user, each in one place so that tests compare the very text.
QString SavedMessage(bool connectionFieldsUnsaved);
QString SaveFailedMessage(const QString &file);
QString ConnectionSavedMessage();
QString ConnectionNotSavedMessage(const QString &file);
QString ConnectionFailedMessage(const QString &reason);
QString FolderTooLongMessage(qsizetype length);
QString KeepDaysRefusedMessage(const QString &text);
QString RestoreTestDaysRefusedMessage(const QString &text);
