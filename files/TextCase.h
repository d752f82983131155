#pragma once

#include <QString>
#include <QStringView>

// Case and blank handling for file fields. Upper and lower case stay within
// the 8-bit character set the files are written in, so a name read from a
// file can always be written back; trimming removes blanks only.
QString Uppered(QStringView text);
QString Lowered(QStringView text);
QString BlankTrimmed(QStringView text);
