#include "files/ReceiverText.h"

#include <QSet>
#include <algorithm>

namespace {

constexpr int kLongestName = 6;
constexpr int kShortestName = 3;

// Letters that lose nothing but their look when written without accents, and
// do not come apart by Unicode decomposition.
QString WithoutAccent(QChar c)
{
    switch (c.unicode()) {
    case u'ß':
        return QStringLiteral("SS");
    case u'Æ':
    case u'æ':
        return QStringLiteral("AE");
    case u'Œ':
    case u'œ':
        return QStringLiteral("OE");
    case u'Ø':
    case u'ø':
        return QStringLiteral("O");
    case u'Ł':
    case u'ł':
        return QStringLiteral("L");
    case u'Đ':
    case u'đ':
        return QStringLiteral("D");
    case u'Þ':
    case u'þ':
        return QStringLiteral("TH");
    default:
        break;
    }
    QString plain;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD)) {
        if (part.category() != QChar::Mark_NonSpacing)
            plain += part;
    }
    return plain;
}

bool IsVowel(QChar c)
{
    return c == u'A' || c == u'E' || c == u'I' || c == u'O' || c == u'U';
}

bool IsLetterOrDigit(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

int Length(const QStringList& words)
{
    int length = 0;
    for (const QString& word : words)
        length += int(word.size());
    return length;
}

} // namespace

bool IsReceiverCharacter(QChar c)
{
    return IsLetterOrDigit(c) || c == u' ' || c == u'.' || c == u'-' || c == u'_' || c == u'&' ||
           c == u'\'';
}

bool IsReceiverName(QStringView name)
{
    return name.size() >= kShortestName && name.size() <= kLongestName &&
           std::all_of(name.begin(), name.end(), IsReceiverCharacter);
}

QString ReceiverText(QStringView text, int maxLength)
{
    QString result;
    bool blank = false;
    for (const QChar c : text) {
        const QString plain = c.unicode() < 128 ? QString(c) : WithoutAccent(c);
        for (const QChar p : plain) {
            const QChar upper = p.unicode() < 128 ? p.toUpper() : p;
            if (!IsReceiverCharacter(upper) || upper == u' ') {
                blank = true;
                continue;
            }
            if (blank && !result.isEmpty())
                result += u' ';
            blank = false;
            result += upper;
        }
    }
    if (result.size() > maxLength)
        result = result.left(maxLength).trimmed();
    return result;
}

QString ReceiverName(QStringView name)
{
    const QString text = ReceiverText(name, int(name.size()) * 3);
    if (text.size() <= kLongestName)
        return text;

    // The number at the end tells points of a series apart: it stays.
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isDigit())
        --end;
    QString number = text.mid(end);
    QStringList words;
    QString word;
    for (const QChar c : QStringView(text).left(end)) {
        if (IsLetterOrDigit(c)) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty())
        words << word;
    if (words.isEmpty())
        return number.right(kLongestName);
    if (number.size() > kLongestName - 1)
        number = number.right(kLongestName - 1);
    const int room = kLongestName - int(number.size());

    // Vowels inside words go first, from the end, as "MILL" reads well as "MLL".
    for (qsizetype w = words.size() - 1; w >= 0 && Length(words) > room; --w) {
        QString& letters = words[w];
        for (qsizetype i = letters.size() - 1; i > 0 && Length(words) > room; --i) {
            if (IsVowel(letters[i]))
                letters.remove(i, 1);
        }
    }
    for (qsizetype w = words.size() - 1; w >= 0 && Length(words) > room; --w) {
        QString& letters = words[w];
        for (qsizetype i = letters.size() - 1; i > 0 && Length(words) > room; --i) {
            if (letters[i] == letters[i - 1])
                letters.remove(i, 1);
        }
    }
    // Still too long: each word keeps what it can while every later word
    // keeps at least its first letter.
    QString shortened;
    for (qsizetype w = 0; w < words.size() && shortened.size() < room; ++w) {
        const qsizetype later = std::min(words.size() - w - 1, room - shortened.size() - 1);
        shortened += words[w].left(room - shortened.size() - later);
    }
    return shortened + number;
}

QStringList UniqueReceiverNames(const QStringList& names)
{
    QStringList result(names.size());
    QSet<QString> taken;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (IsReceiverName(names[i]) && ReceiverText(names[i], kLongestName) == names[i] &&
            !taken.contains(names[i])) {
            result[i] = names[i];
            taken.insert(names[i]);
        }
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!result[i].isNull())
            continue;
        QString base = ReceiverName(names[i]);
        if (base.isEmpty())
            base = QStringLiteral("WPT");
        QString name = base;
        for (int n = 1; name.size() < kShortestName || taken.contains(name); ++n) {
            QString suffix = QString::number(n);
            if (base.size() + suffix.size() < kShortestName)
                suffix = suffix.rightJustified(kShortestName - base.size(), u'0');
            name = base.left(kLongestName - suffix.size()) + suffix;
        }
        result[i] = name;
        taken.insert(name);
    }
    return result;
}
