#pragma once

#include <QString>

// Reading a setting of an INI file the way the Windows profile functions do: section and key
// names compared without regard to case, blanks around names and values ignored, one pair of
// quotes around a value removed, lines starting with ';' ignored, the first occurrence winning.
// The file may have CR LF or LF line ends and a UTF-8 byte order mark; text that is not valid
// UTF-8 is read as Latin-1.
namespace IniFile {

// The value of `key` in `section`, or `fallback` when the section or the key is not there.
// Raises std::runtime_error when the file exists but cannot be read.
QString readString(const QString& path, const QString& section, const QString& key,
                   const QString& fallback = {});

// The same, over the file's contents.
QString valueIn(const QByteArray& contents, const QString& section, const QString& key,
                const QString& fallback = {});

} // namespace IniFile
