#include "backup/BackupJob.h"

BackupJob::BackupJob(Runner runner, QObject *parent)
    : QObject(parent), runner_(std::move(runner)),
      worker_([this](const BackupResult &result) { emit finished(result); })
{}
