#include "bankfiles/udtmGeraArqDepositoCustodia.h"

#include "bankfiles/Codigos.h"
#include "bankfiles/VerificaArquivo.h"
#include "core/Schema.h"
#include "core/uGlobal.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"
#include "platform/files/RecordFile.h"

#include <QDate>

namespace {

// Every file is checked as the bank will read it before it reaches the operator's folder.
void confereArquivo(const QByteArray& conteudo) {
    VerificaArquivo::exige(conteudo, VerificaArquivo::Tipo::DepositoCustodia);
}

const QString JaGerado = QStringLiteral(
    "O arquivo deste lote já foi gerado em outra estação!\n\rA relação de lotes será atualizada.");
const QString JaReapresentado =
    QStringLiteral("Um ou mais cheques selecionados já foram reapresentados em outra estação!\n\r"
                   "A relação de cheques será atualizada.");

const char* const CamposCheque = "cod_cheque, cod_lote, num_banco, num_agencia, num_dv2, "
                                 "num_compe, num_cheque, num_tipificacao, num_dv1, num_conta, "
                                 "num_dv3, vlr_cheque, dat_deposito";

// The cheques of a lot come with those not yet dated first, then by date, then in the order
// they were captured, on both engines (PostgreSQL would put the undated last).
const char* const OrdemCheques =
    " order by case when dat_deposito is null then 0 else 1 end, dat_deposito, cod_cheque";

// Where the cheque's fields are in the rows of a select, found once for all its rows.
class ColunasCheque {
public:
    explicit ColunasCheque(const QStringList& columns) {
        const char* const names[] = {"num_banco",  "num_agencia",     "num_dv2", "num_compe",
                                     "num_cheque", "num_tipificacao", "num_dv1", "num_conta",
                                     "num_dv3",    "vlr_cheque"};
        for (int i = 0; i < 10; ++i)
            m_at[i] = int(columns.indexOf(QLatin1String(names[i])));
    }
    DepositoCustodia::Cheque cheque(const QVariantList& row) const {
        auto v = [&](int i) { return row.value(m_at[i]); };
        DepositoCustodia::Cheque c;
        c.numBanco = v(0).toString();
        c.numAgencia = v(1).toString();
        c.numDv2 = v(2).toString();
        c.numCompe = v(3).toString();
        c.numCheque = v(4).toString();
        c.numTipificacao = v(5).toString();
        c.numDv1 = v(6).toString();
        c.numConta = v(7).toString();
        c.numDv3 = v(8).toString();
        c.vlrCheque = Money::fromVariant(v(9));
        return c;
    }

private:
    int m_at[10];
};

} // namespace

DepositoCustodia::Cheque chequeDe(const QVariantList& row, const QStringList& columns) {
    return ColunasCheque(columns).cheque(row);
}

void defineCamposCheque(Dataset& q, const QString& tituloCompe, const QString& tituloValor,
                        const QString& tituloDev) {
    q.defineField(QStringLiteral("cod_cheque"), FieldKind::Integer);
    q.defineField(QStringLiteral("cod_lote"), FieldKind::Integer);
    const struct {
        const char* name;
        QString label;
    } grupos[] = {
        {"num_banco", QStringLiteral("Banco")},      {"num_agencia", QStringLiteral("Agência")},
        {"num_dv2", QStringLiteral("Dv2")},          {"num_compe", tituloCompe},
        {"num_cheque", QStringLiteral("Nº cheque")}, {"num_tipificacao", QStringLiteral("Tipif.")},
        {"num_dv1", QStringLiteral("Dv1")},          {"num_conta", QStringLiteral("Nº conta")},
        {"num_dv3", QStringLiteral("Dv3")}};
    for (const auto& g : grupos)
        Schema::textField(q, QStringLiteral("cheque"), QLatin1String(g.name), g.label);
    q.defineField(QStringLiteral("vlr_cheque"), FieldKind::Money, tituloValor);
    q.defineField(QStringLiteral("dat_deposito"), FieldKind::Date, QStringLiteral("Data boa"));
    q.defineField(QStringLiteral("ind_devolvido"), FieldKind::String, tituloDev);
    q.defineField(QStringLiteral("dat_reapresentacao"), FieldKind::Date,
                  QStringLiteral("Data reap."));
    q.defineField(QStringLiteral("dat_2reapresentacao"), FieldKind::Date,
                  QStringLiteral("Data 2ª reap."));
    q.defineField(QStringLiteral("num_alinea"), FieldKind::String, QStringLiteral("Alínea"));
}

QString sqlCheques(const QString& filtro) {
    return QStringLiteral("select ") + QLatin1String(CamposCheque) +
           QStringLiteral(
               ", case when ind_devolvido = true then 'Sim' else 'Não' end as "
               "ind_devolvido, dat_reapresentacao, dat_2reapresentacao, (select a.num_alinea "
               "from alinea a where a.cod_alinea = cheque.cod_alinea) as num_alinea "
               "from cheque where cod_lote = :pCodLote") +
           filtro + QLatin1String(OrdemCheques);
}

QString sqlLotes(Engine e, bool soGerados) {
    // Within a member, lot numbers in descending text order compared byte by byte (lot 9
    // before lot 10), the same on both engines. PostgreSQL would compare the members' names by
    // ICU's rules once per lot when sorting; there the members are ranked by name first (equal
    // names share a rank, so their lots still mix by number) and the lots sorted by that rank.
    // SQLite walks the name index and each member's lots in the list index instead.
    const bool porPosicao = e == Engine::PostgreSQL;
    QString sql = QStringLiteral("select lc.cod_lote, lc.num_lote, lc.ind_gerado");
    sql += porPosicao ? QStringLiteral(" from (select cod_associado, rank() over (order by ") +
                            Dialect::byName(QStringLiteral("nom_associado")) +
                            QStringLiteral(") as posicao from associado) ac join lote_cheque lc "
                                           "on lc.cod_associado = ac.cod_associado")
                      : QStringLiteral(" from lote_cheque lc join associado ac on "
                                       "ac.cod_associado = lc.cod_associado");
    if (soGerados)
        sql += QStringLiteral(" where lc.ind_gerado = true");
    return sql + QStringLiteral(" order by ") +
           (porPosicao ? QStringLiteral("ac.posicao, lc.num_lote collate \"C\" desc")
                       : Dialect::byName(QStringLiteral("ac.nom_associado")) +
                             QStringLiteral(", lc.num_lote desc")) +
           QStringLiteral(", lc.cod_lote");
}

QString sqlDetalhesLote(bool comTotais) {
    QString sql = QStringLiteral(
        "select lc.cod_lote, case when lc.idt_dep_custodia = 'D' then 'Depósito' else "
        "'Custódia' end as idt_dep_custodia, lc.dat_lote, ac.nom_associado");
    if (comTotais)
        sql += QStringLiteral(", (select sum(c.vlr_cheque) from cheque c where c.cod_lote = "
                              "lc.cod_lote) as vlr_total, (select count(*) from cheque c where "
                              "c.cod_lote = lc.cod_lote) as qtd_total");
    return sql + QStringLiteral(" from lote_cheque lc join associado ac on ac.cod_associado = "
                                "lc.cod_associado where lc.cod_lote in (%1)");
}

void defineCamposLote(Dataset& q, bool comTotais, bool soGerados) {
    q.setSql(sqlLotes(q.connection()->engine(), soGerados));
    // The lists hold every lot of years of work: the members' names, the dates and the
    // totals are read for the lots the operator looks at.
    q.setDeferred(QStringLiteral("cod_lote"), sqlDetalhesLote(comTotais));
    q.defineField(QStringLiteral("cod_lote"), FieldKind::Integer);
    q.defineField(QStringLiteral("num_lote"), FieldKind::String, QStringLiteral("Nº Lote"));
    q.defineField(QStringLiteral("idt_dep_custodia"), FieldKind::String,
                  QStringLiteral("Dep/Cust."));
    // Shown "Sim" or "Não".
    q.defineField(QStringLiteral("ind_gerado"), FieldKind::Boolean, QStringLiteral("Gerado?"));
    q.defineField(QStringLiteral("dat_lote"), FieldKind::Date, QStringLiteral("Data"));
    q.defineField(QStringLiteral("nom_associado"), FieldKind::String, QStringLiteral("Associado"));
    if (comTotais) {
        q.defineField(QStringLiteral("vlr_total"), FieldKind::Money, QStringLiteral("Vlr. Total"));
        q.defineField(QStringLiteral("qtd_total"), FieldKind::Integer,
                      QStringLiteral("Qtde. Total"));
    }
}

TdtmGeraArqDepositoCustodia::TdtmGeraArqDepositoCustodia(Connection* cnx, QObject* parent)
    : QObject(parent), qryLoteCheque(cnx), qryCheque(cnx), m_cnx(cnx) {
    setObjectName(QStringLiteral("dtmGeraArqDepositoCustodia"));
    defineCamposLote(qryLoteCheque, true, false);

    qryCheque.setSql(sqlCheques(
        QStringLiteral(" and (:pIndTodos = 'S' or (:pIndDev = 'S' and ind_devolvido = true and "
                       "dat_2reapresentacao is null))")));
    defineCamposCheque(qryCheque, QStringLiteral("Comp."), QStringLiteral("Vlr. cheque"),
                       QStringLiteral("Dev?"));

    dtsLoteCheque.setDataSet(&qryLoteCheque);
    dtsCheque.setDataSet(&qryCheque);

    qryLoteCheque.afterOpen = [this] { qryLoteChequeAfterOpen(); };
    qryLoteCheque.afterClose = [this] { qryLoteChequeAfterClose(); };
    qryLoteCheque.afterScroll = [this] { qryLoteChequeAfterScroll(); };
    qryCheque.beforeOpen = [this] { qryChequeBeforeOpen(); };
}

void TdtmGeraArqDepositoCustodia::avisaCheques() {
    if (onChequesLidos)
        onChequesLidos();
}

void TdtmGeraArqDepositoCustodia::qryLoteChequeAfterOpen() {
    qryCheque.open();
    avisaCheques();
}

void TdtmGeraArqDepositoCustodia::qryLoteChequeAfterClose() {
    qryCheque.close();
    avisaCheques();
}

void TdtmGeraArqDepositoCustodia::qryLoteChequeAfterScroll() {
    qryCheque.close();
    qryCheque.open();
    avisaCheques();
}

void TdtmGeraArqDepositoCustodia::qryChequeBeforeOpen() {
    const bool gerado = loteGerado();
    qryCheque.setParam(QStringLiteral("pCodLote"), codLoteAtual());
    qryCheque.setParam(QStringLiteral("pIndTodos"),
                       gerado ? QStringLiteral("N") : QStringLiteral("S"));
    qryCheque.setParam(QStringLiteral("pIndDev"),
                       gerado ? QStringLiteral("S") : QStringLiteral("N"));
}

bool TdtmGeraArqDepositoCustodia::loteGerado() const {
    return qryLoteCheque.isOpen() && !qryLoteCheque.isEmpty() &&
           qryLoteCheque.asBoolean(QStringLiteral("ind_gerado"));
}

int TdtmGeraArqDepositoCustodia::codLoteAtual() const {
    return qryLoteCheque.isOpen() && !qryLoteCheque.isEmpty()
               ? qryLoteCheque.asInteger(QStringLiteral("cod_lote"))
               : 0;
}

void TdtmGeraArqDepositoCustodia::recarregaLotes(int codLote) {
    qryLoteCheque.close();
    qryLoteCheque.open();
    qryLoteCheque.locate(QStringLiteral("cod_lote"), codLote);
}

DepositoCustodia::Cheque TdtmGeraArqDepositoCustodia::chequeAtual() const {
    QVariantList row;
    const QStringList columns = qryCheque.fieldNames();
    for (const QString& f : columns)
        row << qryCheque.value(f);
    return chequeDe(row, columns);
}

void TdtmGeraArqDepositoCustodia::geraPrimeira(int codLote, const QString& arquivo,
                                               const Progresso& progresso) {
    const QDate hoje = QDate::currentDate();
    RecordFile::writeInTransaction(
        *m_cnx, arquivo,
        [&] {
            // The lot is held first: on PostgreSQL no capture can add a cheque to it until the
            // transaction ends, and a capture in progress is waited for.
            m_cnx->select(QStringLiteral("select cod_lote from lote_cheque where cod_lote = ?") +
                              Dialect::forUpdate(m_cnx->engine()),
                          {codLote});
            // Marked only while still not generated: of two copies generating it at once, the
            // second finds it generated and writes nothing.
            if (m_cnx->execute(
                    QStringLiteral("update lote_cheque set ind_gerado = ?, dat_gerado = ? "
                                   "where cod_lote = ? and ind_gerado = ?"),
                    {true, hoje, codLote, false}) != 1)
                throw AlteradoPorOutraEstacao(JaGerado);
            // The cheques in the list's order, read in the transaction that marks the lot: on
            // PostgreSQL no capture can add one now; one deleted meanwhile is not dated below and
            // the generation is refused rather than writing it.
            const ResultSet rs = m_cnx->select(
                QStringLiteral("select ") + QLatin1String(CamposCheque) +
                    QStringLiteral(" from cheque where cod_lote = ?") + QLatin1String(OrdemCheques),
                {codLote});
            const int datados = m_cnx->execute(
                QStringLiteral("update cheque set dat_deposito = ? where cod_lote = ?"),
                {hoje, codLote});
            if (rs.rows.size() != datados)
                throw AlteradoPorOutraEstacao(JaGerado);
            QList<QByteArray> registros;
            registros.reserve(rs.rows.size());
            const ColunasCheque colunas(rs.columns);
            for (const QVariantList& r : rs.rows) {
                registros << DepositoCustodia::registro(colunas.cheque(r));
                if (progresso)
                    progresso(int(registros.size()));
            }
            return registros;
        },
        confereArquivo);
}

void TdtmGeraArqDepositoCustodia::reapresenta(const QList<int>& codigos,
                                              const QList<DepositoCustodia::Cheque>& cheques,
                                              const QString& arquivo, const Progresso& progresso) {
    const QDate hoje = QDate::currentDate();
    RecordFile::writeInTransaction(
        *m_cnx, arquivo,
        [&] {
            // Only cheques still returned and not re-presented twice are re-presented: one that
            // another copy re-presented in between is not touched, and the whole file is refused.
            // Every condition of the assignments reads the row as it was before the statement.
            // A reason recorded meanwhile by another copy is judged in the transaction too.
            const QStringList recusados = recusadosPelaAlinea(codigos);
            if (!recusados.isEmpty())
                throw AlteradoPorOutraEstacao(mensagemRecusa(recusados));
            const int marcados = Codigos::executa(
                *m_cnx,
                QStringLiteral(
                    "update cheque set ind_devolvido = ?, dat_reapresentacao = case when "
                    "dat_reapresentacao is null and dat_devolucao is not null then ? else "
                    "dat_reapresentacao end, dat_2reapresentacao = case when dat_2reapresentacao "
                    "is "
                    "null and dat_devolucao is not null and dat_reapresentacao is not null then ? "
                    "else dat_2reapresentacao end where ind_devolvido = ? and dat_2reapresentacao "
                    "is "
                    "null and cod_cheque in (%1)"),
                {false, hoje, hoje, true}, codigos);
            if (marcados != codigos.size())
                throw AlteradoPorOutraEstacao(JaReapresentado);
            QList<QByteArray> registros;
            registros.reserve(cheques.size());
            for (const DepositoCustodia::Cheque& c : cheques) {
                registros << DepositoCustodia::registro(c);
                if (progresso)
                    progresso(int(registros.size()));
            }
            return registros;
        },
        confereArquivo);
}

QStringList TdtmGeraArqDepositoCustodia::recusadosPelaAlinea(const QList<int>& codigos) const {
    QStringList out;
    const QList<QVariantList> linhas = Codigos::seleciona(
        *m_cnx,
        QStringLiteral("select c.num_banco, c.num_agencia, c.num_conta, c.num_cheque, "
                       "a.num_alinea, a.dsc_alinea from cheque c join alinea a on a.cod_alinea = "
                       "c.cod_alinea where a.ind_reapresenta = ? and c.cod_cheque in (%1) order "
                       "by c.cod_cheque"),
        {false}, codigos);
    for (const QVariantList& r : linhas)
        out << QStringLiteral("Cheque %1 (banco %2, agência %3, conta %4): alínea %5 - %6")
                   .arg(r[3].toString(), r[0].toString(), r[1].toString(), r[2].toString(),
                        r[4].toString(), r[5].toString());
    return out;
}

QString TdtmGeraArqDepositoCustodia::mensagemRecusa(const QStringList& recusados) {
    return QStringLiteral("Os cheques abaixo foram devolvidos por alínea que não permite nova "
                          "apresentação!\n\r") +
           recusados.join(QStringLiteral("\n\r")) +
           QStringLiteral("\n\rRetire-os da seleção. Nenhum arquivo foi gerado.");
}

bool TdtmGeraArqDepositoCustodia::regeraLote(int codLote) {
    // The count and the release are one transaction holding the lot, so that a return being
    // recorded by another copy (which holds the lot too) is either counted or waits.
    TransactionGuard tx(*m_cnx);
    m_cnx->select(QStringLiteral("select cod_lote from lote_cheque where cod_lote = ?") +
                      Dialect::forUpdate(m_cnx->engine()),
                  {codLote});
    const int devolvidos =
        ConsultaCampo(QStringLiteral("select count(*) from cheque where cod_lote = ? and "
                                     "(ind_devolvido = ? or dat_reapresentacao is not null or "
                                     "dat_2reapresentacao is not null)"),
                      *m_cnx, 0, {codLote, true})
            .toInt();
    if (devolvidos != 0)
        return false;
    ExecutaSQL(QStringLiteral(
                   "update lote_cheque set ind_gerado = ?, dat_gerado = null where cod_lote = ?"),
               *m_cnx, {false, codLote});
    tx.commit();
    return true;
}
