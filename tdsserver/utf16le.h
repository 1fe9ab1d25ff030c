#pragma once

#include <QByteArray>
#include <QString>

namespace tdstest {

// Text on the wire is UTF-16LE whatever the host's byte order; reads at most the bytes present.
QString Utf16LeText(const QByteArray &bytes, qsizetype from, qsizetype chars);

} // namespace tdstest
