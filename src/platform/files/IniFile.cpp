#include "platform/files/IniFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringList>
#include <stdexcept>

namespace IniFile {

namespace {
QString decode(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

QString unquote(const QString& value) {
    const QString v = value.trimmed();
    if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
        return v.mid(1, v.size() - 2);
    return v;
}
} // namespace

QString valueIn(const QByteArray& contents, const QString& section, const QString& key,
                const QString& fallback) {
    bool inSection = false;
    const QStringList lines = decode(contents).split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            const qsizetype close = line.indexOf(QLatin1Char(']'));
            const QString name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return unquote(line.mid(eq + 1));
    }
    return fallback;
}

QString readString(const QString& path, const QString& section, const QString& key,
                   const QString& fallback) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                                     .arg(path, f.errorString())
                                     .toStdString());
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError)
        throw std::runtime_error(QStringLiteral("Não foi possível ler o arquivo %1: %2")
                                     .arg(path, f.errorString())
                                     .toStdString());
    return valueIn(bytes, section, key, fallback);
}

} // namespace IniFile
