#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// Texts from other programs made into texts the receiver takes. Its names and
// descriptions hold the letters "A" to "Z", the digits, the blank and the five
// characters ".", "-", "_", "&" and "'", as the waypoint editor checks them.

bool IsReceiverCharacter(QChar c);
// A waypoint name the receiver takes: 3 to 6 receiver characters.
bool IsReceiverName(QStringView name);

// `text` in receiver characters: accents taken off the letters, upper case,
// every other character a blank, runs of blanks made one, no blanks at either
// end, and at most `maxLength` characters. "Café, Bar" gives "CAFE BAR".
QString ReceiverText(QStringView text, int maxLength);

// `name` in receiver characters and shortened to six sensibly: a number at its
// end is kept, the rest loses its blanks and punctuation, then the vowels
// inside its words from the last word back, then doubled letters, and is cut
// last ("Old Mill Lane" gives "OLDMLL", "Waypoint 123" gives "WYP123"). A name
// of fewer than three characters stays so; see UniqueReceiverNames.
QString ReceiverName(QStringView name);

// A receiver name for each of `names`, no two alike. Names that are receiver
// names already keep them, the first of equal ones winning; every other name
// gets its ReceiverName, or that with a number at its end when it is taken or
// short ("AB" gives "AB1"; a name with nothing left gives "WPT").
QStringList UniqueReceiverNames(const QStringList& names);
