#include "files/TextCase.h"

namespace {

template <typename Change> QString Changed(QStringView text, Change change)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (const QChar c : text) {
        const QChar changed = change(c);
        *out++ = changed.unicode() <= 0xFF || c.unicode() > 0xFF ? changed : c;
    }
    return result;
}

} // namespace

QString Uppered(QStringView text)
{
    return Changed(text, [](QChar c) { return c.toUpper(); });
}

QString Lowered(QStringView text)
{
    return Changed(text, [](QChar c) { return c.toLower(); });
}

QString BlankTrimmed(QStringView text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first).toString();
}
