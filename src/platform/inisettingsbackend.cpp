#include "inisettingsbackend.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <unistd.h>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A key or section name as QSettings stores it: "%20" and "%U0041" are
// characters, a backslash is "/".
QString decodedKey(const QByteArray& raw)
{
    QString key;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw.at(i);
        if (c == '\\') {
            key += QLatin1Char('/');
            continue;
        }
        if (c == '%') {
            const bool wide = i + 1 < raw.size() && raw.at(i + 1) == 'U';
            const qsizetype digits = wide ? 4 : 2;
            const qsizetype start = i + (wide ? 2 : 1);
            int code = 0;
            bool ok = start + digits <= raw.size();
            for (qsizetype k = 0; ok && k < digits; ++k) {
                const int v = hexValue(raw.at(start + k));
                ok = v >= 0;
                code = code * 16 + v;
            }
            if (ok) {
                key += QChar(char16_t(code));
                i = start + digits - 1;
                continue;
            }
            key += QLatin1Char('%');
            continue;
        }
        // Names are UTF-8 in the file; decode runs of plain bytes together.
        qsizetype end = i;
        while (end < raw.size() && raw.at(end) != '\\' && raw.at(end) != '%')
            ++end;
        key += QString::fromUtf8(raw.mid(i, end - i));
        i = end - 1;
    }
    return key;
}

} // namespace

QByteArray rawIniValue(const QByteArray& content, const QString& section, const QString& key)
{
    QByteArray found;
    QString current = QStringLiteral("General");
    qsizetype pos = 0;
    while (pos < content.size()) {
        // One logical line: a backslash joins the next line, ";" outside
        // quotes starts a comment.
        qsizetype i = pos;
        qsizetype comment = -1;
        bool quoted = false;
        while (i < content.size()) {
            const char c = content.at(i);
            if (c == '\n' || c == '\r')
                break;
            if (c == '\\') {
                i += (i + 2 < content.size() && content.at(i + 1) == '\r' && content.at(i + 2) == '\n') ? 3 : 2;
                continue;
            }
            if (c == '"')
                quoted = !quoted;
            else if (c == ';' && !quoted && comment < 0)
                comment = i;
            ++i;
        }
        const QByteArray line = content.mid(pos, (comment >= 0 ? comment : qMin(i, content.size())) - pos).trimmed();
        pos = i + 1;
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            current = decodedKey(line.mid(1, (close < 0 ? line.size() : close) - 1).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        if (current == section && decodedKey(line.left(eq).trimmed()) == key)
            found = line.mid(eq + 1); // the last of repeated keys counts, as in QSettings
    }
    return found;
}

QString iniValueAsWritten(const QByteArray& raw)
{
    QString text;
    QByteArray plain; // bytes not yet decoded from UTF-8
    qsizetype keep = 0; // blanks before this point of text are never dropped
    auto flush = [&] {
        text += QString::fromUtf8(plain);
        plain.clear();
    };
    auto mark = [&] {
        flush();
        keep = text.size();
    };
    qsizetype i = 0;
    while (i < raw.size() && isBlank(raw.at(i)))
        ++i;
    while (i < raw.size()) {
        const char c = raw.at(i++);
        if (c == '"') {
            mark();
            continue;
        }
        if (c != '\\') {
            plain += c;
            continue;
        }
        flush();
        if (i >= raw.size())
            break;
        const char e = raw.at(i++);
        static const char simple[][2] = { { 'a', '\a' }, { 'b', '\b' }, { 'f', '\f' }, { 'n', '\n' }, { 'r', '\r' },
            { 't', '\t' }, { 'v', '\v' }, { '"', '"' }, { '?', '?' }, { '\'', '\'' }, { '\\', '\\' } };
        bool done = false;
        for (const auto& s : simple)
            if (e == s[0]) {
                text += QLatin1Char(s[1]);
                done = true;
            }
        if (!done && e == 'x') {
            char16_t code = 0;
            for (int v; i < raw.size() && (v = hexValue(raw.at(i))) >= 0; ++i)
                code = char16_t(code * 16 + v);
            text += QChar(code);
        } else if (!done && e >= '0' && e <= '7') {
            char16_t code = char16_t(e - '0');
            for (; i < raw.size() && raw.at(i) >= '0' && raw.at(i) <= '7'; ++i)
                code = char16_t(code * 8 + (raw.at(i) - '0'));
            text += QChar(code);
        } else if (!done && (e == '\n' || e == '\r')) {
            if (i < raw.size() && (raw.at(i) == '\n' || raw.at(i) == '\r') && raw.at(i) != e)
                ++i; // a line continued after CR LF
        }
        // Any other escaped character is dropped, as QSettings does.
        mark();
    }
    flush();
    qsizetype end = text.size();
    while (end > keep && (text.at(end - 1) == QLatin1Char(' ') || text.at(end - 1) == QLatin1Char('\t')))
        --end;
    text.truncate(end);
    return text;
}

FileError settingsWriteObstacle(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    if (::access(file.constData(), F_OK) == 0) {
        if (::access(file.constData(), W_OK) != 0)
            return fileErrorFromErrno(errno);
    } else if (errno != ENOENT) {
        return fileErrorFromErrno(errno); // ENOTDIR: a folder on the way is a file
    }
    // The folder takes the lock file and the new copy, so it must be
    // writable too; when it is missing, the nearest folder that exists.
    QString dir = QFileInfo(path).absolutePath();
    while (!QFileInfo::exists(dir) && dir != QLatin1String("/"))
        dir = QFileInfo(dir).absolutePath();
    if (::access(QFile::encodeName(dir).constData(), W_OK | X_OK) != 0)
        return fileErrorFromErrno(errno);
    return {};
}

IniSettingsBackend::IniSettingsBackend()
    : m_settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"), QStringLiteral("Velmora"))
{
    keepCommaValuesAsWritten();
}

IniSettingsBackend::IniSettingsBackend(const QString& filePath)
    : m_settings(filePath, QSettings::IniFormat)
{
    keepCommaValuesAsWritten();
}

void IniSettingsBackend::keepCommaValuesAsWritten()
{
    QByteArray content;
    for (const QString& key : m_settings.allKeys()) {
        const QVariant v = m_settings.value(key);
        if (v.typeId() == QMetaType::QString)
            continue;
        if (content.isNull()) {
            QFile file(m_settings.fileName());
            content = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("");
        }
        const qsizetype slash = key.indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QStringLiteral("General") : key.left(slash);
        const QByteArray raw = rawIniValue(content, section, key.mid(slash + 1));
        // Held as one text from now on, so that the next save quotes it.
        if (!raw.isNull())
            m_settings.setValue(key, iniValueAsWritten(raw));
        else if (v.typeId() == QMetaType::QStringList)
            m_settings.setValue(key, v.toStringList().join(QStringLiteral(", ")));
    }
}

QString IniSettingsBackend::value(const QString& section, const QString& key, const QString& defaultValue) const
{
    return m_settings.value(section + QLatin1Char('/') + key, defaultValue).toString();
}

void IniSettingsBackend::setValue(const QString& section, const QString& key, const QString& value)
{
    m_settings.setValue(section + QLatin1Char('/') + key, value);
}

void IniSettingsBackend::removeSection(const QString& section)
{
    m_settings.remove(section);
}

bool IniSettingsBackend::sync()
{
    const bool failedBefore = m_settings.status() == QSettings::AccessError;
    m_settings.sync();
    m_lastError = {};
    if (m_settings.status() != QSettings::AccessError)
        return true;
    // QSettings keeps its first error for good, so after one failure the
    // file and its folder tell whether this save could have worked.
    m_lastError = { m_settings.fileName(), settingsWriteObstacle(m_settings.fileName()) };
    if (m_lastError.ok()) {
        if (failedBefore)
            return true;
        m_lastError.error = { 51, QStringLiteral("The file could not be written") };
    }
    return false;
}
