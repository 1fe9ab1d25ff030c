#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

// The profile ("INI") format of the two settings files, with the rules of the Windows profile-string
// functions: section and key names compared without case, blanks around names and values dropped, the
// first of duplicate sections or keys wins, a value read is cut to kMaxValueLength characters.
namespace ProfileFormat {

inline constexpr qsizetype kMaxValueLength = 254;

struct Value {
    QString text;
    // The stored value is longer than a read can return: `text` holds only its beginning.
    bool cut = false;
};

// The empty text when the section or key is missing.
Value Read(const QByteArray &content, QStringView section, QStringView key);
QString ReadText(const QByteArray &content, QStringView section, QStringView key);

// The file content with the key set to the value; every other line is kept byte for byte. Nothing when the
// names or the value cannot be stored on one line of the format (a line break or NUL in any of them, an
// "=" in the key, a "]" in the section, an empty key or section), so no write can forge another key.
std::optional<QByteArray> WithValue(const QByteArray &content, QStringView section, QStringView key,
                                    QStringView value);

} // namespace ProfileFormat
