#pragma once

#include <QTemporaryDir>

// A program folder as the real program reads it, with its settings files pointing at the loopback server
// and a backup folder inside it. The daily hour lies twelve hours away, so no scheduled run falls into a
// measurement.
class BenchFolder {
public:
    explicit BenchFolder(quint16 port);

    bool isValid() const { return valid_; }
    QString path() const { return dir_.path(); }
    // With its trailing separator, as the settings file holds it.
    QString backupFolder() const;

private:
    QTemporaryDir dir_;
    bool valid_ = false;
};
