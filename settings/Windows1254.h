#pragma once

#include <QByteArrayView>
#include <QString>

// Settings files brought from a Turkish Windows machine are in its ANSI code page.
QString DecodeWindows1254(QByteArrayView bytes);
