#include "payroll/ArquivoPagamento.h"

namespace ArquivoPagamento {

namespace {

constexpr int AmountWidth = 17;
constexpr qint64 MaxAmount = 99999999999999999LL;
constexpr int MaxRecords = 99999;

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page has no character.
constexpr char16_t High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                               0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString quem(const Associado& a) {
    return QStringLiteral("O associado \"%1\"").arg(a.nomAssociado);
}

QString quem(const Funcionario& f) {
    return QStringLiteral("O funcionário \"%1\"").arg(f.nomFuncionario);
}

[[noreturn]] void recusa(const QString& quem, const QString& texto) {
    throw CampoInvalido(quem + QLatin1Char(' ') + texto);
}

QByteArray bytes(const QString& quem, const QString& campo, const QString& valor) {
    const std::optional<QByteArray> b = cp1252(valor);
    if (!b)
        recusa(quem, QStringLiteral("tem no campo \"%1\" o valor \"%2\", com um caractere que o "
                                    "arquivo do banco não aceita.")
                         .arg(campo, valor));
    return *b;
}

// The value filled on the left with `fill` to `width`; a wider value is refused.
QByteArray esquerda(const QString& quem, const QString& campo, const QString& valor, int width,
                    char fill) {
    if (valor.size() > width)
        recusa(quem, QStringLiteral("tem no campo \"%1\" o valor \"%2\", mais largo que os %3 "
                                    "caracteres do arquivo.")
                         .arg(campo, valor)
                         .arg(width));
    const QByteArray b = bytes(quem, campo, valor);
    return QByteArray(width - b.size(), fill) + b;
}

// A value that must fill its place exactly.
QByteArray exato(const QString& quem, const QString& campo, const QString& valor, int width) {
    if (valor.size() != width)
        recusa(quem, QStringLiteral("tem no campo \"%1\" o valor \"%2\", que não tem exatamente "
                                    "%3 caracteres.")
                         .arg(campo, valor)
                         .arg(width));
    return bytes(quem, campo, valor);
}

QByteArray valor(const QString& quem, qint64 centavos) {
    const QByteArray t = QByteArray::number(centavos);
    if (centavos < 0 || t.size() > AmountWidth)
        recusa(quem, QStringLiteral("tem um valor que não cabe no arquivo do banco."));
    return QByteArray(AmountWidth - t.size(), '0') + t;
}

// Whole centavos, half a centavo rounded up; without the overflow of adding the half first.
qint64 centavosDe(Money m) {
    constexpr qint64 porCentavo = Money::Scale / 100;
    const qint64 u = m.units();
    if (u < 0)
        return -1; // refused by valor()
    return u / porCentavo + (u % porCentavo >= porCentavo / 2 ? 1 : 0);
}

QByteArray brancos(int n) {
    return QByteArray(n, ' ');
}

} // namespace

std::optional<QByteArray> cp1252(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32 && found < 0; ++i)
            if (High[i] != 0 && High[i] == u)
                found = i;
        if (found < 0)
            return std::nullopt;
        out += char(0x80 + found);
    }
    return out;
}

QList<QByteArray> registros(const Associado& a, const QString& numCodMovimento,
                            const QDate& dataPagamento, const QList<Funcionario>& funcionarios) {
    QList<QByteArray> out;
    out.reserve(funcionarios.size() + 2);

    QByteArray header = "01";
    header += esquerda(quem(a), QStringLiteral("Nº Banco"), a.numBancoob, 3, '0');
    header += esquerda(quem(a), QStringLiteral("Agência"), a.numAgBancoob, 4, '0');
    header += esquerda(quem(a), QStringLiteral("Nº conv."), a.numConvBancoob, 7, '0');
    header += brancos(10);
    header += exato(quem(a), QStringLiteral("Cód. movimento"), numCodMovimento, 2);
    header += exato(quem(a), QStringLiteral("Dest. mov."), a.idtDstMovBancoob, 2);
    header += dataPagamento.toString(QStringLiteral("yyyyMMdd")).toLatin1();
    header += brancos(162);
    out += header;

    qint64 soma = 0;
    for (const Funcionario& f : funcionarios) {
        const QString q = quem(f);
        QByteArray d = "1C";
        d += esquerda(q, QStringLiteral("Nº conta"), f.numCcBancoob, 10, '0');
        // A longer name is cut, as the bank's field holds 40 characters.
        d += bytes(q, QStringLiteral("Funcionário"), f.nomFuncionario.left(40)).leftJustified(40);
        d += esquerda(q, QStringLiteral("Cpf"), f.numCpf, 14, '0');
        d += brancos(12);
        d += "000";
        d += brancos(30);
        const qint64 centavos = centavosDe(f.vlrSalario);
        d += valor(q, centavos);
        d += brancos(72);
        soma += centavos;
        // Each amount has at most 17 digits; the sum is checked before it could overflow.
        if (soma > MaxAmount)
            recusa(QStringLiteral("O total do arquivo"),
                   QStringLiteral("passa de 17 dígitos em centavos."));
        out += d;
    }

    if (funcionarios.size() > MaxRecords)
        recusa(QStringLiteral("O arquivo"),
               QStringLiteral("teria mais de %1 funcionários, que o banco não aceita.")
                   .arg(MaxRecords));
    QByteArray trailer = "9";
    trailer += QByteArray(22, '0');
    trailer += QByteArray::number(funcionarios.size()).rightJustified(5, '0');
    trailer += valor(QStringLiteral("O total do arquivo"), soma);
    trailer += brancos(155);
    out += trailer;
    return out;
}

} // namespace ArquivoPagamento
