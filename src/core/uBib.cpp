#include "core/uBib.h"

#include <QStringList>

QString LinhaCheque::joined() const {
    return banco + agencia + dv2 + compe + numCheque + tipificacao + dv1 + conta + dv3;
}

QString LinhaCheque::formatted() const {
    const QString line = joined();
    QStringList parts{line.left(8), line.mid(8, 10), line.mid(18)};
    parts.removeAll(QString());
    return parts.join(QLatin1Char(' '));
}

LinhaCheque SeparaLinhaCheque(const QString& line) {
    const QString l = line.left(TamanhoLinhaCheque);
    LinhaCheque c;
    c.banco = l.mid(0, 3);
    c.agencia = l.mid(3, 4);
    c.dv2 = l.mid(7, 1);
    c.compe = l.mid(8, 3);
    c.numCheque = l.mid(11, 6);
    c.tipificacao = l.mid(17, 1);
    c.dv1 = l.mid(18, 1);
    c.conta = l.mid(19, 10);
    c.dv3 = l.mid(29, 1);
    return c;
}

int CalculaDVModulo10(const QString& digits) {
    int sum = 0;
    int weight = 2;
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        const QChar c = digits[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        const int product = (c.unicode() - '0') * weight;
        sum += product / 10 + product % 10;
        weight = 3 - weight;
    }
    return sum % 10 == 0 ? 0 : 10 - sum % 10;
}

namespace {
// Whether the digit at `checkPos` checks the `len` digits from `from` (positions from 1).
bool groupHolds(const QString& line, int from, int len, int checkPos) {
    if (line.size() < checkPos || line.size() < from + len - 1)
        return false;
    const int dv = CalculaDVModulo10(line.mid(from - 1, len));
    return dv >= 0 && line[checkPos - 1] == QChar(u'0' + dv);
}
} // namespace

QChar ValidaLinhaCheque(const QString& line) {
    if (!groupHolds(line, 1, 7, 19))
        return QLatin1Char('2');
    if (!groupHolds(line, 9, 10, 8))
        return QLatin1Char('1');
    if (!groupHolds(line, 20, 10, 30))
        return QLatin1Char('3');
    return QLatin1Char('0');
}

QString MensagemLinhaIncompleta() {
    return QStringLiteral("A Linha do Cheque não é válida!");
}

QString MensagemLinhaCheque(QChar resultado) {
    switch (resultado.unicode()) {
    case u'1':
        return QStringLiteral("DV-1 Inválido. Verifique!!");
    case u'2':
        return QStringLiteral("DV-2 Inválido. Verifique!!");
    case u'3':
        return QStringLiteral("DV-3 Inválido. Verifique!!");
    default:
        return {};
    }
}
