#include "platform/data/DateCodec.h"

namespace DateCodec {

QString toSql(const QDateTime& dt) {
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString toSql(const QDate& d) {
    return toSql(QDateTime(d, QTime(0, 0)));
}

QDateTime fromDb(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.metaType().id()) {
    case QMetaType::QDateTime: {
        QDateTime dt = v.toDateTime();
        return QDateTime(dt.date(), dt.time());
    }
    case QMetaType::QDate:
        return QDateTime(v.toDate(), QTime(0, 0));
    default:
        break;
    }
    QString t = v.toString().trimmed();
    // Our own stored form, read digit by digit: it is read for every date a screen shows.
    if (t.size() == 19 && t[4] == QLatin1Char('-') && t[7] == QLatin1Char('-') &&
        t[10] == QLatin1Char(' ') && t[13] == QLatin1Char(':') && t[16] == QLatin1Char(':')) {
        auto num = [&t](int from, int n) {
            int v = 0;
            for (int i = from; i < from + n; ++i) {
                const ushort c = t[i].unicode();
                if (c < '0' || c > '9')
                    return -1;
                v = v * 10 + (c - '0');
            }
            return v;
        };
        const QDate d(num(0, 4), num(5, 2), num(8, 2));
        const QTime tm(num(11, 2), num(14, 2), num(17, 2));
        if (d.isValid() && tm.isValid())
            return QDateTime(d, tm);
        return {};
    }
    t.replace(QLatin1Char('T'), QLatin1Char(' '));
    for (const char* f :
         {"yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm", "yyyy-MM-dd"}) {
        QDateTime dt = QDateTime::fromString(t, QLatin1String(f));
        if (dt.isValid())
            return dt;
    }
    return {};
}

QString toText(const QDate& d) {
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : QString();
}

QDate fromText(const QString& text) {
    if (text.size() != 10 || text[2] != QLatin1Char('/') || text[5] != QLatin1Char('/'))
        return {};
    return QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
}

} // namespace DateCodec
