#include "bankfiles/VerificaArquivo.h"

#include "core/uBib.h"
#include "platform/data/Money.h"
#include "platform/files/RecordFile.h"

#include <QDate>

namespace VerificaArquivo {

namespace {

constexpr int LarguraDeposito = 100;
constexpr int LarguraSalario = 200;
constexpr int MaxProblemas = 200; // a file of another kind altogether says so soon enough

// The records of a file: each record's bytes without its line end, and the faults of the
// line ends themselves.
struct Registros {
    QList<QByteArray> linhas;
    QList<Problema> problemas;
};

Registros separa(const QByteArray& conteudo) {
    Registros r;
    qsizetype inicio = 0;
    while (inicio < conteudo.size()) {
        const qsizetype lf = conteudo.indexOf('\n', inicio);
        const int numero = int(r.linhas.size()) + 1;
        if (lf < 0) {
            r.linhas << conteudo.mid(inicio);
            r.problemas << Problema{numero, 0, 0,
                                    QStringLiteral("o último registro não termina com CR LF")};
            break;
        }
        QByteArray linha = conteudo.mid(inicio, lf - inicio);
        if (linha.endsWith('\r'))
            linha.chop(1);
        else
            r.problemas << Problema{numero, 0, 0,
                                    QStringLiteral("registro terminado só com LF, sem CR")};
        if (linha.contains('\r'))
            r.problemas << Problema{numero, int(linha.indexOf('\r')) + 1,
                                    int(linha.indexOf('\r')) + 1,
                                    QStringLiteral("CR no meio do registro")};
        r.linhas << linha;
        inicio = lf + 1;
    }
    return r;
}

// The checks of one record, field by field; positions from 1 as the layouts give them.
class Registro {
public:
    Registro(const QByteArray& bytes, int numero, int largura, QList<Problema>& problemas)
        : m_bytes(bytes), m_numero(numero), m_problemas(problemas) {
        if (bytes.size() != largura)
            falha(0, 0,
                  QStringLiteral("o registro tem %1 caracteres em vez de %2")
                      .arg(bytes.size())
                      .arg(largura));
        m_completo = bytes.size() == largura;
    }

    QByteArray campo(int inicio, int fim) const {
        return m_bytes.mid(inicio - 1, fim - inicio + 1);
    }

    bool constante(int inicio, int fim, const QByteArray& esperado, const QString& nome) {
        if (campo(inicio, fim) == esperado)
            return true;
        falha(inicio, fim,
              QStringLiteral("%1: esperado \"%2\"").arg(nome, QString::fromLatin1(esperado)));
        return false;
    }
    bool digitos(int inicio, int fim, const QString& nome) {
        const QByteArray c = campo(inicio, fim);
        for (char ch : c)
            if (ch < '0' || ch > '9') {
                falha(inicio, fim, QStringLiteral("%1 com caractere que não é dígito").arg(nome));
                return false;
            }
        if (c.size() != fim - inicio + 1) {
            falha(inicio, fim, QStringLiteral("%1 incompleto").arg(nome));
            return false;
        }
        return true;
    }
    void brancos(int inicio, int fim) {
        const QByteArray c = campo(inicio, fim);
        if (c.size() != fim - inicio + 1 || c.count(' ') != c.size())
            falha(inicio, fim, QStringLiteral("campo que deve ficar em branco"));
    }
    void texto(int inicio, int fim, const QString& nome) {
        // One byte per character; control characters would break the bank's reading.
        for (char ch : campo(inicio, fim))
            if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) {
                falha(inicio, fim, QStringLiteral("%1 com caractere de controle").arg(nome));
                return;
            }
    }
    void falha(int inicio, int fim, const QString& texto) {
        if (m_problemas.size() < MaxProblemas)
            m_problemas << Problema{m_numero, inicio, fim, texto};
    }
    bool completo() const { return m_completo; }

private:
    const QByteArray& m_bytes;
    int m_numero;
    QList<Problema>& m_problemas;
    bool m_completo = false;
};

void verificaDeposito(const QList<QByteArray>& linhas, Resultado& r) {
    for (int i = 0; i < linhas.size(); ++i) {
        Registro reg(linhas[i], i + 1, LarguraDeposito, r.problemas);
        reg.constante(1, 1, "1", QStringLiteral("código do registro"));
        if (reg.digitos(2, 31, QStringLiteral("linha CMC-7"))) {
            const QString linha = QString::fromLatin1(reg.campo(2, 31));
            const QChar dv = ValidaLinhaCheque(linha);
            // The positions in the file of the check digit that failed and of what it checks.
            if (dv == QLatin1Char('2'))
                reg.falha(2, 20,
                          QStringLiteral("dígito verificador da posição 20 não confere com "
                                         "as posições 2 a 8 (linha CMC-7)"));
            else if (dv == QLatin1Char('1'))
                reg.falha(9, 19,
                          QStringLiteral("dígito verificador da posição 9 não confere com "
                                         "as posições 10 a 19 (linha CMC-7)"));
            else if (dv == QLatin1Char('3'))
                reg.falha(21, 31,
                          QStringLiteral("dígito verificador da posição 31 não confere "
                                         "com as posições 21 a 30 (linha CMC-7)"));
        }
        if (reg.digitos(32, 48, QStringLiteral("valor"))) {
            const qint64 centavos = reg.campo(32, 48).toLongLong();
            if (centavos == 0)
                reg.falha(32, 48, QStringLiteral("valor zero"));
            r.totalCentavos += centavos;
        }
        reg.constante(49, 66, QByteArray(18, '0'), QStringLiteral("campos de zeros"));
        reg.brancos(67, 100);
    }
}

void verificaSalario(const QList<QByteArray>& linhas, Resultado& r) {
    const int n = int(linhas.size());
    int detalhes = 0;
    qint64 soma = 0;
    for (int i = 0; i < n; ++i) {
        Registro reg(linhas[i], i + 1, LarguraSalario, r.problemas);
        const QByteArray tipo = linhas[i].left(2);
        const bool primeiro = i == 0;
        const bool ultimo = i == n - 1;
        if (primeiro) {
            if (!reg.constante(1, 2, "01", QStringLiteral("tipo do registro de cabeçalho")))
                continue;
            reg.digitos(3, 5, QStringLiteral("número do banco"));
            reg.digitos(6, 9, QStringLiteral("agência"));
            reg.digitos(10, 16, QStringLiteral("convênio"));
            reg.brancos(17, 26);
            reg.texto(27, 28, QStringLiteral("código de movimento"));
            reg.digitos(29, 30, QStringLiteral("destino do movimento"));
            if (reg.digitos(31, 38, QStringLiteral("data de pagamento")) &&
                !QDate::fromString(QString::fromLatin1(reg.campo(31, 38)),
                                   QStringLiteral("yyyyMMdd"))
                     .isValid())
                reg.falha(31, 38, QStringLiteral("data de pagamento inexistente"));
            reg.brancos(39, 200);
        } else if (ultimo) {
            if (!reg.constante(1, 1, "9", QStringLiteral("tipo do registro final")))
                continue;
            reg.constante(2, 23, QByteArray(22, '0'), QStringLiteral("campo de zeros"));
            if (reg.digitos(24, 28, QStringLiteral("quantidade de registros")) &&
                reg.campo(24, 28).toInt() != detalhes)
                reg.falha(24, 28,
                          QStringLiteral("quantidade %1 diferente dos %2 registros de "
                                         "funcionário")
                              .arg(reg.campo(24, 28).toInt())
                              .arg(detalhes));
            if (reg.digitos(29, 45, QStringLiteral("soma dos valores")) &&
                reg.campo(29, 45).toLongLong() != soma)
                reg.falha(29, 45,
                          QStringLiteral("soma %1 diferente da soma dos registros de "
                                         "funcionário, %2")
                              .arg(Money::fromCents(reg.campo(29, 45).toLongLong()).formatTotal(),
                                   Money::fromCents(soma).formatTotal()));
            reg.brancos(46, 200);
        } else {
            if (tipo != "1C") {
                reg.falha(1, 2,
                          tipo == "01" ? QStringLiteral("cabeçalho fora do primeiro registro")
                          : tipo.startsWith('9')
                              ? QStringLiteral("registro final antes do último registro")
                              : QStringLiteral("tipo de registro desconhecido: esperado \"1C\""));
                continue;
            }
            ++detalhes;
            reg.digitos(3, 12, QStringLiteral("conta corrente"));
            reg.texto(13, 52, QStringLiteral("nome"));
            reg.digitos(53, 66, QStringLiteral("CPF"));
            reg.brancos(67, 78);
            reg.constante(79, 81, "000", QStringLiteral("campo de zeros"));
            reg.brancos(82, 111);
            if (reg.digitos(112, 128, QStringLiteral("valor")))
                soma += reg.campo(112, 128).toLongLong();
            reg.brancos(129, 200);
        }
    }
    if (n < 2)
        r.problemas << Problema{0, 0, 0,
                                QStringLiteral("o arquivo precisa de um cabeçalho e de um "
                                               "registro final")};
    r.totalCentavos = soma;
}

QString nomeDoTipo(Tipo t) {
    switch (t) {
    case Tipo::DepositoCustodia:
        return QStringLiteral("depósito/custódia de cheques");
    case Tipo::PagamentoSalario:
        return QStringLiteral("pagamento de salários");
    case Tipo::Desconhecido:
        break;
    }
    return QStringLiteral("desconhecido");
}

} // namespace

QString Problema::descricao() const {
    QString onde;
    if (registro > 0)
        onde = QStringLiteral("Registro %1").arg(registro);
    if (inicio > 0)
        onde += inicio == fim ? QStringLiteral(", posição %1").arg(inicio)
                              : QStringLiteral(", posições %1 a %2").arg(inicio).arg(fim);
    return onde.isEmpty() ? texto : onde + QStringLiteral(": ") + texto;
}

QString Resultado::resumo() const {
    return QStringLiteral("Arquivo de %1: %2 registro(s), total %3.")
        .arg(nomeDoTipo(tipo))
        .arg(registros)
        .arg(Money::fromCents(totalCentavos).formatTotal());
}

Resultado verifica(const QByteArray& conteudo) {
    Resultado r;
    Registros regs = separa(conteudo);
    r.problemas = regs.problemas;
    r.registros = int(regs.linhas.size());
    if (regs.linhas.isEmpty()) {
        r.problemas << Problema{0, 0, 0, QStringLiteral("arquivo vazio")};
        return r;
    }
    // A deposit/custody record begins with "1" and the bank number; a salary file with its
    // header "01" (or, out of order, with an employee's "1C").
    const QByteArray& primeira = regs.linhas.first();
    if (primeira.startsWith("01") || primeira.startsWith("1C"))
        r.tipo = Tipo::PagamentoSalario;
    else if (primeira.startsWith('1'))
        r.tipo = Tipo::DepositoCustodia;
    if (r.tipo == Tipo::DepositoCustodia)
        verificaDeposito(regs.linhas, r);
    else if (r.tipo == Tipo::PagamentoSalario)
        verificaSalario(regs.linhas, r);
    else
        r.problemas << Problema{1, 1, 2,
                                QStringLiteral("não é um arquivo de depósito/custódia (registros "
                                               "começados por \"1\") nem de pagamento de salários "
                                               "(cabeçalho \"01\")")};
    std::stable_sort(r.problemas.begin(), r.problemas.end(),
                     [](const Problema& a, const Problema& b) { return a.registro < b.registro; });
    return r;
}

void exige(const QByteArray& conteudo, Tipo esperado) {
    Resultado r = verifica(conteudo);
    if (r.tipo != esperado && r.ok())
        r.problemas << Problema{0, 0, 0,
                                QStringLiteral("o arquivo não é de %1").arg(nomeDoTipo(esperado))};
    if (r.ok())
        return;
    QStringList linhas;
    for (const Problema& p : r.problemas.mid(0, 5))
        linhas << p.descricao();
    if (r.problemas.size() > 5)
        linhas << QStringLiteral("(e mais %1 problema(s))").arg(r.problemas.size() - 5);
    throw FileError(QStringLiteral("O arquivo gerado não passou na conferência e não foi "
                                   "gravado:\n\r") +
                    linhas.join(QStringLiteral("\n\r")));
}

} // namespace VerificaArquivo
