#pragma once

#include <QString>

// A size as the shop owner reads it: with one decimal in the largest unit that keeps it at least 1
// ("1,5 GB"), in bytes below a kilobyte ("512 bayt"); empty when unknown (below 0).
QString SizeText(qint64 bytes);
