#include "cleanup.h"

#include "settings/preferences.h"
#include "text/texthelpers.h"

namespace {
// Marks a separator position inside the cleanup; a file name cannot hold it.
const QString kMarker = QStringLiteral("/");
} // namespace

CleanupRules cleanupRulesFrom(const Preferences& prefs)
{
    CleanupRules rules;
    rules.removeParens = prefs.options.removeParens;
    rules.removeUnderscores = prefs.options.removeUnderscores;
    rules.separatorString = prefs.options.separatorString;
    rules.enableFilters = isOn(prefs.store.getOption(QStringLiteral("EnableFilters"), QStringLiteral("0")));
    rules.filterCase = isOn(prefs.store.getOption(QStringLiteral("FilterCase"), QStringLiteral("0")));
    rules.filters = prefs.filters;
    return rules;
}

QString cleanupFileName(const QString& text, const CleanupRules& rules)
{
    const QString tilde = QStringLiteral("~");
    const QString space = QStringLiteral(" ");
    QString s = trimSpaces(text);
    s = replaceAll(s, QStringLiteral("%20"), space);
    for (int n = 7; n >= 2; --n)
        s = replaceAll(s, QString(n, QLatin1Char('-')), QStringLiteral(" ~ "));
    s = replaceAll(s, QStringLiteral("-"), tilde);
    s = replaceAll(s, tilde, kMarker);
    for (int n = 5; n >= 1; --n)
        s = replaceAll(s, QString(n, QLatin1Char(' ')), tilde);
    if (rules.removeUnderscores)
        s = replaceAll(s, QStringLiteral("_"), tilde);
    s = replaceAll(s, tilde, space);
    if (rules.removeParens) {
        s = replaceAll(s, QStringLiteral("("), QString());
        s = replaceAll(s, QStringLiteral(")"), QString());
    }
    s = replaceAll(s, kMarker, rules.separatorString);
    s = replaceAll(s, QStringLiteral("  "), space);
    return rules.enableFilters ? applyFilters(s, rules.filters, rules.filterCase) : s;
}

QString applyFilters(const QString& text, const FilterList& filters, bool caseSensitive)
{
    QString s = text;
    for (const FilterRecord& f : filters) {
        if (f.kind == FilterKind::Delete)
            s = filterReplace(s, f.search, QString(), caseSensitive);
        else if (f.kind == FilterKind::Replace)
            s = filterReplace(s, f.search, f.replace, caseSensitive);
    }
    return s;
}

QString applyNameCase(const QString& text, NameCase nameCase)
{
    switch (nameCase) {
    case NameCase::Title:
        return makeTitleCase(text);
    case NameCase::Upper:
        return text.toUpper();
    case NameCase::Lower:
        return text.toLower();
    case NameCase::Unchanged:
        break;
    }
    return text;
}

QString filterReplace(const QString& text, const QString& find, const QString& repl, bool caseSensitive)
{
    if (trimSpaces(find).isEmpty() && trimSpaces(repl).isEmpty())
        return text;
    // An empty search would match at every position, endlessly at the end.
    if (find.isEmpty())
        return text;
    const bool adapt = !caseSensitive && find.toLower() == find && repl.toLower() == repl;
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const QString replUpper = repl.toUpper();
    const QString replCapital = repl.isEmpty() ? repl : repl.left(1).toUpper() + repl.mid(1).toLower();

    QString out = text;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = out.indexOf(find, from, cs);
        if (at < 0)
            return out;
        const QString matched = out.mid(at, find.size());
        QString r = repl;
        if (adapt) {
            if (matched.toUpper() == matched)
                r = replUpper;
            else if (matched == matched.left(1).toUpper() + matched.mid(1).toLower())
                r = replCapital;
        }
        out.replace(at, find.size(), r);
        from = at + r.size();
    }
}

QString makeTitleCase(const QString& text)
{
    QString s = text.toLower();
    if (s.isEmpty())
        return s;
    s[0] = s.at(0).toUpper();
    const qsizetype n = s.size();
    for (qsizetype i = 0; i + 1 < n; ++i) {
        switch (s.at(i).unicode()) {
        case '-':
        case ' ':
        case '.':
        case '_':
        case '(':
            s[i + 1] = s.at(i + 1).toUpper();
            break;
        default:
            break;
        }
    }
    return s;
}
