#include "naturalorder.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

int naturalCompare(const QString& a, const QString& b)
{
    qsizetype i = 0, j = 0;
    int tieBreak = 0; // leading zeros, then case: used only when all else is equal
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype startA = i, startB = j;
            while (i < a.size() && a[i] == QLatin1Char('0'))
                ++i;
            while (j < b.size() && b[j] == QLatin1Char('0'))
                ++j;
            const qsizetype digitsA = i, digitsB = j;
            while (i < a.size() && isDigit(a[i]))
                ++i;
            while (j < b.size() && isDigit(b[j]))
                ++j;
            // More significant digits is a larger number; equal lengths
            // compare digit by digit.
            if (i - digitsA != j - digitsB)
                return (i - digitsA) < (j - digitsB) ? -1 : 1;
            const int digits
                = QStringView(a).mid(digitsA, i - digitsA).compare(QStringView(b).mid(digitsB, j - digitsB));
            if (digits != 0)
                return digits;
            if (tieBreak == 0 && (i - startA) != (j - startB))
                tieBreak = (i - startA) < (j - startB) ? -1 : 1;
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (tieBreak == 0 && a[i] != b[j])
            tieBreak = a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return tieBreak;
}
