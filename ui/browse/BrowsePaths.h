#pragma once

#include <QStringList>

// The folder as the settings window receives it: one trailing separator, never two.
QString WithSeparator(const QString &folder);

// The root among roots that holds folder (the longest one, since volumes mount inside each other);
// empty when none does.
QString VolumeRootOf(const QString &folder, const QStringList &roots);

// The folder a drive opens at: the working folder on the working folder's own drive, else its root,
// as each drive kept its own current folder where the browser was first written.
QString DriveFolder(const QString &root, const QString &workingFolder, const QStringList &roots);

// folder made absolute against the working folder, without "." and ".." parts or a trailing separator
// (a root keeps its own).
QString AbsoluteFolder(const QString &folder);

// Whether the folder exists and its entries can be listed.
bool CanList(const QString &folder);
