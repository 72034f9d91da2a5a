// The generation and return screens driven as an operator does: the real grids, the real
// buttons and menus, the scripted dialogs; then the file's bytes and the database.
#include "DialogScript.h"
#include "TestDb.h"
#include "bankfiles/udtmGeraArqDepositoCustodia.h"
#include "bankfiles/ufrmDevolucaoCheque.h"
#include "bankfiles/ufrmGeraArqDepositoCustodia.h"
#include "core/uBib.h"
#include "platform/data/DateCodec.h"
#include "platform/widgets/DbGrid.h"
#include "platform/widgets/SelectionBar.h"

#include "core/uBib.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>

#include <QTest>

using Dialogs::Button;
using Dialogs::Kind;

namespace {

const QString Confirma = "Tem certeza de que deseja gerar o arquivo para este lote?";
const QString Sucesso = "Arquivo gerado com sucesso!!";
const QString ErroGeracao = "Ocorreu um erro inesperado ao gerar o arquivo: ";

struct Telas {
    TestDb db;
    DialogScript script;
    QTemporaryDir dir;
    TfrmGeraArqDepositoCustodia gera;
    TfrmDevolucaoCheque dev;
    int associado = 0;

    explicit Telas(Engine e) : db(e), gera(&db.conn()), dev(&db.conn()) {
        associado = membro("Ana");
    }
    int membro(const QString& nome) {
        return db.conn()
            .insertReturning("INSERT INTO associado (idt_tpo_associado, nom_associado) VALUES "
                             "('F', ?) RETURNING cod_associado",
                             {nome})
            .toInt();
    }
    int lote(const QString& numero, const QString& tipo = "D", int membro = 0) {
        return db.conn()
            .insertReturning("INSERT INTO lote_cheque (cod_associado, num_lote, dat_lote, "
                             "idt_dep_custodia) VALUES (?, ?, ?, ?) RETURNING cod_lote",
                             {membro ? membro : associado, numero,
                              QDateTime(QDate(2026, 12, 1), QTime(9, 0)), tipo})
            .toInt();
    }
    int cheque(int lote, int numero, qint64 centavos) {
        return db.conn()
            .insertReturning(
                "INSERT INTO cheque (cod_lote, num_banco, num_agencia, num_dv2, num_compe, "
                "num_cheque, num_tipificacao, num_dv1, num_conta, num_dv3, vlr_cheque, "
                "ind_devolvido) VALUES (?, '001', '2345', ?, '018', ?, '5', '5', "
                "'0000123456', '6', ?, ?) RETURNING cod_cheque",
                {lote, QString::number(dv2(numero)), QString("%1").arg(numero, 6, 10, QChar('0')),
                 Money::fromCents(centavos).toVariant(), false})
            .toInt();
    }
    // The check digit of the compe, cheque number and type groups, as a captured line has it.
    static int dv2(int numero) {
        return CalculaDVModulo10("018" + QString("%1").arg(numero, 6, 10, QChar('0')) + "5");
    }
    // The record the file must hold for cheque `numero` of `centavos`.
    static QByteArray registro(int numero, qint64 centavos) {
        return "1001" + QByteArray("2345") + QByteArray::number(dv2(numero)) + "01" +
               QString("8%1").arg(numero, 6, 10, QChar('0')).toLatin1() + "550000123456" + "6" +
               QString("%1").arg(centavos, 17, 10, QChar('0')).toLatin1() + "000000000000000000" +
               QByteArray(34, ' ') + "\r\n";
    }
    void mostra(QDialog& d) {
        d.hide();
        d.show();
        QApplication::setActiveWindow(&d);
    }
    QString caminho(const QString& nome) const { return dir.filePath(nome); }
    QByteArray arquivo(const QString& nome) const {
        QFile f(caminho(nome));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<nenhum>");
    }
    // Generates the current lot of the generation screen into `nome`, answering the
    // confirmation and the save dialog; `fim` the message expected afterwards.
    void gerar(const QString& nome) {
        script.dlg(Kind::Confirmation, Confirma, Button::Yes,
                   {Button::Yes, Button::No, Button::Cancel});
        script.save(caminho(nome));
        script.box("Informação", Sucesso);
        QTest::mouseClick(gera.SpeedButton1, Qt::LeftButton);
    }
    QVariant campo(const QString& sql, const QVariantList& p = {}) {
        return db.conn().selectValue(sql, p);
    }
    QDate data(const QString& sql, const QVariantList& p = {}) {
        return DateCodec::fromDb(campo(sql, p)).date();
    }
    // Moves a screen's lot list to lot `numero`.
    static void vaiPara(DbGrid* g, const QString& numero) {
        Dataset* q = g->dataset();
        QVERIFY(q->locate("num_lote", numero));
    }
    // The codes of a cheque grid's rows, in order.
    static QList<int> codigos(DbGrid* g) {
        QList<int> out;
        for (int i = 0; i < g->dataset()->recordCount(); ++i)
            out << g->dataset()->valueAt(i, "cod_cheque").toInt();
        return out;
    }
    // A snapshot of everything the generation may change.
    QString estado() {
        QStringList s;
        for (const QVariantList& r :
             db.conn()
                 .select("select cod_lote, ind_gerado, dat_gerado from lote_cheque order by 1")
                 .rows)
            s << QString("L%1 %2 %3").arg(r[0].toString(), r[1].toString(), r[2].toString());
        for (const QVariantList& r :
             db.conn()
                 .select("select cod_cheque, dat_deposito, ind_devolvido, dat_reapresentacao, "
                         "dat_2reapresentacao from cheque order by 1")
                 .rows)
            s << QString("C%1 %2 %3 %4 %5")
                     .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(),
                          r[4].toString());
        return s.join('\n');
    }
};

} // namespace

class TestGeracao : public QObject {
    Q_OBJECT
private slots:
    void vidaDoLote_data() { TestDb::addEngineRows(); }
    void vidaDoLote();
    void loteLiberadoNaDevolucao_data() { TestDb::addEngineRows(); }
    void loteLiberadoNaDevolucao();
    void regerarLoteLimpo_data() { TestDb::addEngineRows(); }
    void regerarLoteLimpo();
    void listasETelas_data() { TestDb::addEngineRows(); }
    void listasETelas();
    void falhas_data();
    void falhas();
    void depositoECustodiaIguais_data() { TestDb::addEngineRows(); }
    void depositoECustodiaIguais();
    void devolucaoLimite_data() { TestDb::addEngineRows(); }
    void devolucaoLimite();
    void listaDeLotes_data();
    void listaDeLotes();
};

void TestGeracao::vidaDoLote() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int lote = t.lote("1");
    const int c1 = t.cheque(lote, 1, 123456);
    const int c2 = t.cheque(lote, 2, 29);
    const int c3 = t.cheque(lote, 3, 1000);
    const QDate hoje = QDate::currentDate();

    // First generation: every cheque, in the list's order, the lot marked, all dated.
    t.mostra(t.gera);
    QCOMPARE(t.gera.RxDBGrid1->dataset()->displayText("ind_gerado"), QString("Não"));
    QCOMPARE(Telas::codigos(t.gera.RxDBGrid2), (QList<int>{c1, c2, c3}));
    QVERIFY(!t.gera.RxDBGrid2->multiSelect());
    QVERIFY(!t.gera.chequeMenu());
    QVERIFY(t.gera.SpeedButton1->isEnabled());
    t.gerar("lote1.txt");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.arquivo("lote1.txt"),
             Telas::registro(1, 123456) + Telas::registro(2, 29) + Telas::registro(3, 1000));
    QCOMPARE(t.arquivo("lote1.txt").size(), 306);
    QCOMPARE(t.campo("select ind_gerado from lote_cheque where cod_lote = ?", {lote}).toBool(),
             true);
    QCOMPARE(t.data("select dat_gerado from lote_cheque where cod_lote = ?", {lote}), hoje);
    QCOMPARE(
        t.campo("select count(*) from cheque where cod_lote = ? and dat_deposito = ?", {lote, hoje})
            .toInt(),
        3);
    // Now generated: nothing to re-present yet, the grid in its selecting mode.
    QCOMPARE(t.gera.RxDBGrid1->dataset()->displayText("ind_gerado"), QString("Sim"));
    QCOMPARE(t.gera.RxDBGrid2->dataset()->recordCount(), 0);
    QVERIFY(!t.gera.SpeedButton1->isEnabled());
    QVERIFY(t.gera.RxDBGrid2->multiSelect());
    QCOMPARE(t.gera.chequeMenu(), t.gera.PopupMenu2);
    QCOMPARE(t.gera.bar->lblTotRegistros->text(), QString("0"));
    QCOMPARE(t.gera.bar->lblRegistrosGerados->text(), QString("0"));
    t.gera.hide();

    // Two cheques come back.
    t.mostra(t.dev);
    QCOMPARE(Telas::codigos(t.dev.RxDBGrid2), (QList<int>{c1, c2, c3}));
    QVERIFY(t.dev.RxDBGrid2->multiSelect());
    t.dev.RxDBGrid2->setRowSelected(0, true);
    t.dev.RxDBGrid2->setRowSelected(2, true);
    t.script.box("Informação", "Alteração realizada com sucesso!!");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.dev.RxDBGrid2->dataset()->displayTextAt(0, "ind_devolvido"), QString("Sim"));
    QCOMPARE(t.dev.RxDBGrid2->dataset()->displayTextAt(1, "ind_devolvido"), QString("Não"));
    QCOMPARE(t.dev.RxDBGrid2->selectedCount(), 0);
    QCOMPARE(t.data("select dat_devolucao from cheque where cod_cheque = ?", {c3}), hoje);
    QCOMPARE(t.dev.bar->lblRegistrosGerados->text(), QString("0"));
    t.dev.hide();

    // Re-presentation of one of them: the list holds the two returned, the file the one
    // selected.
    t.mostra(t.gera);
    QCOMPARE(Telas::codigos(t.gera.RxDBGrid2), (QList<int>{c1, c3}));
    // Nothing selected: told so, nothing written.
    t.script.box("Informação", "Por favor selecione os cheques a serem reapresentados!");
    QTest::mouseClick(t.gera.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    t.gera.Selecionartodos1->trigger();
    QCOMPARE(t.gera.RxDBGrid2->selectedCount(), 2);
    t.gera.Desfazerseleo1->trigger();
    QCOMPARE(t.gera.RxDBGrid2->selectedCount(), 0);
    t.gera.RxDBGrid2->setRowSelected(1, true);
    t.gerar("reap1.txt");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.arquivo("reap1.txt"), Telas::registro(3, 1000));
    QCOMPARE(Telas::codigos(t.gera.RxDBGrid2), (QList<int>{c1}));
    QCOMPARE(t.campo("select ind_devolvido from cheque where cod_cheque = ?", {c3}).toBool(),
             false);
    QCOMPARE(t.data("select dat_reapresentacao from cheque where cod_cheque = ?", {c3}), hoje);
    QVERIFY(t.campo("select dat_2reapresentacao from cheque where cod_cheque = ?", {c3}).isNull());
    QCOMPARE(t.data("select dat_deposito from cheque where cod_cheque = ?", {c3}), hoje);

    // The lot had a cheque returned: it can no longer be released.
    t.script.box("Atenção", "Não foi possível disponibilizar este lote para nova\n\rgeração, "
                            "pois o mesmo já possui cheque devolvido!");
    t.gera.Regerarlote1->trigger();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.campo("select ind_gerado from lote_cheque where cod_lote = ?", {lote}).toBool(),
             true);
    t.gera.hide();

    // Returned again and re-presented a second time: it leaves both lists' choices for good.
    t.mostra(t.dev);
    t.dev.RxDBGrid2->setRowSelected(2, true);
    t.script.box("Informação", "Alteração realizada com sucesso!!");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    t.dev.hide();
    t.mostra(t.gera);
    QCOMPARE(Telas::codigos(t.gera.RxDBGrid2), (QList<int>{c1, c3}));
    t.gera.RxDBGrid2->setRowSelected(1, true);
    t.gerar("reap2.txt");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.arquivo("reap2.txt"), Telas::registro(3, 1000));
    QCOMPARE(t.data("select dat_2reapresentacao from cheque where cod_cheque = ?", {c3}), hoje);
    QCOMPARE(Telas::codigos(t.gera.RxDBGrid2), (QList<int>{c1}));
    t.gera.hide();

    // Twice re-presented: selected on its own it is refused; with another, only the other is
    // marked, and the counter counts the accepted rows.
    t.mostra(t.dev);
    t.dev.RxDBGrid2->setRowSelected(2, true);
    t.script.box("Informação", "Os cheques selecionados excederam a\n\rquantidade limite de "
                               "vezes para devolução!");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.dev.RxDBGrid2->selectedCount(), 0);
    QCOMPARE(t.campo("select ind_devolvido from cheque where cod_cheque = ?", {c3}).toBool(),
             false);
    t.script.box("Atenção", "Selecione os cheques a serem devolvidos!");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
}

// The return screen lists a generated lot that another copy then releases for a new
// generation: "Devolver" marks nothing, says why, and the lot leaves the list.
void TestGeracao::loteLiberadoNaDevolucao() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int liberado = t.lote("1");
    const int c1 = t.cheque(liberado, 1, 100);
    t.cheque(liberado, 2, 200);
    const int outro = t.lote("2");
    t.cheque(outro, 3, 300);
    t.db.conn().execute("update lote_cheque set ind_gerado = ?", {true});
    t.mostra(t.dev);
    Dataset* lotes = t.dev.RxDBGrid1->dataset();
    QCOMPARE(lotes->recordCount(), 2);
    QVERIFY(lotes->locate("cod_lote", liberado));
    t.dev.RxDBGrid2->selectAllRows();
    QCOMPARE(t.dev.RxDBGrid2->selectedCount(), 2);

    Connection outraCopia("OutraCopia");
    outraCopia.setConnectionString(t.db.target());
    outraCopia.open();
    QVERIFY(TdtmGeraArqDepositoCustodia(&outraCopia).regeraLote(liberado));

    t.script.box("Atenção", "Este lote foi disponibilizado para nova geração em outra "
                            "estação!\n\rNenhum cheque foi marcado como devolvido.\n\rA relação "
                            "de lotes será atualizada.");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(lotes->recordCount(), 1);
    QCOMPARE(lotes->asInteger("cod_lote"), outro);
    QCOMPARE(t.dev.bar->lblTotRegistros->text(), QString("0"));
    QCOMPARE(t.campo("select count(*) from cheque where ind_devolvido = ? or dat_devolucao is "
                     "not null",
                     {true})
                 .toInt(),
             0);
    QVERIFY(t.campo("select ind_devolvido from cheque where cod_cheque = ?", {c1}).toBool() ==
            false);
}

void TestGeracao::regerarLoteLimpo() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int lote = t.lote("1");
    t.cheque(lote, 1, 100);
    t.cheque(lote, 2, 200);
    t.mostra(t.gera);
    t.gerar("a.txt");
    VERIFY_SCRIPT(t.script);
    t.script.box("Informação", "Lote disponibilizado para nova geração de arquivo!!");
    t.gera.Regerarlote1->trigger();
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.campo("select ind_gerado from lote_cheque where cod_lote = ?", {lote}).toBool(),
             false);
    QVERIFY(t.campo("select dat_gerado from lote_cheque where cod_lote = ?", {lote}).isNull());
    // Released: all its cheques again, and a new cheque goes into its next file.
    QCOMPARE(t.gera.RxDBGrid2->dataset()->recordCount(), 2);
    QVERIFY(!t.gera.RxDBGrid2->multiSelect());
    t.cheque(lote, 3, 300);
    t.mostra(t.gera);
    QCOMPARE(t.gera.RxDBGrid2->dataset()->recordCount(), 3);
    t.gerar("b.txt");
    VERIFY_SCRIPT(t.script);
    // The new, undated cheque comes first.
    QCOMPARE(t.arquivo("b.txt"),
             Telas::registro(3, 300) + Telas::registro(1, 100) + Telas::registro(2, 200));
    // A released lot leaves the return screen's list.
    t.script.box("Informação", "Lote disponibilizado para nova geração de arquivo!!");
    t.gera.Regerarlote1->trigger();
    VERIFY_SCRIPT(t.script);
    t.gera.hide();
    t.mostra(t.dev);
    QCOMPARE(t.dev.RxDBGrid1->dataset()->recordCount(), 0);
}

void TestGeracao::listasETelas() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int bruno = t.membro("bruno");
    const int l10 = t.lote("10");
    const int l9 = t.lote("9");
    const int vazio = t.lote("19", "C", bruno);
    t.cheque(l10, 1, 150);
    t.cheque(l10, 2, 250);
    t.cheque(l9, 3, 29);
    t.mostra(t.gera);
    DbGrid* lotes = t.gera.RxDBGrid1;
    QCOMPARE(lotes->dataset()->recordCount(), 3);
    // Ana's lots first, 9 before 10; then bruno's.
    QCOMPARE(lotes->dataset()->valueAt(0, "num_lote").toString(), QString("9"));
    QCOMPARE(lotes->dataset()->valueAt(1, "num_lote").toString(), QString("10"));
    QCOMPARE(lotes->dataset()->valueAt(2, "nom_associado").toString(), QString("bruno"));
    QCOMPARE(lotes->dataset()->displayTextAt(2, "idt_dep_custodia"), QString("Custódia"));
    QCOMPARE(lotes->dataset()->displayTextAt(1, "idt_dep_custodia"), QString("Depósito"));
    QCOMPARE(lotes->dataset()->displayTextAt(1, "qtd_total"), QString("2"));
    QCOMPARE(Money::fromVariant(lotes->dataset()->valueAt(1, "vlr_total")), Money::fromCents(400));
    QCOMPARE(lotes->dataset()->displayTextAt(2, "qtd_total"), QString("0"));
    QCOMPARE(lotes->dataset()->displayTextAt(1, "dat_lote"), QString("01/12/2026"));
    QCOMPARE(lotes->model()->headerData(5, Qt::Horizontal).toString(), QString("Vlr. Total"));
    // An empty lot cannot be generated.
    Telas::vaiPara(lotes, "19");
    QCOMPARE(t.gera.RxDBGrid2->dataset()->recordCount(), 0);
    QVERIFY(!t.gera.SpeedButton1->isEnabled());
    // "Pesquisar" on the generation screen: the exact number.
    t.script.prompt("Digite o número do lote", "1");
    t.gera.Pesquisar1->trigger();
    QCOMPARE(lotes->dataset()->asInteger("cod_lote"), vazio);
    t.script.prompt("Digite o número do lote", "10");
    t.gera.Pesquisar1->trigger();
    QCOMPARE(lotes->dataset()->asInteger("cod_lote"), l10);
    QCOMPARE(t.gera.RxDBGrid2->dataset()->recordCount(), 2);
    QVERIFY(t.gera.SpeedButton1->isEnabled());
    VERIFY_SCRIPT(t.script);

    // Cancelling the confirmation or the save dialog changes nothing and writes nothing.
    const QString antes = t.estado();
    t.script.dlg(Kind::Confirmation, Confirma, Button::No);
    QTest::mouseClick(t.gera.SpeedButton1, Qt::LeftButton);
    t.script.dlg(Kind::Confirmation, Confirma, Button::Yes);
    t.script.save(QString());
    QTest::mouseClick(t.gera.SpeedButton1, Qt::LeftButton);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.estado(), antes);
    QVERIFY(QDir(t.dir.path()).isEmpty());
    QCOMPARE(t.gera.bar->lblTotRegistros->text(), QString("0"));

    // The return screen lists generated lots only; its search takes a prefix in any case.
    t.gerar("10.txt");
    t.gera.RxDBGrid1->dataset()->locate("num_lote", "9");
    t.gerar("9.txt");
    VERIFY_SCRIPT(t.script);
    t.mostra(t.dev);
    QCOMPARE(t.dev.RxDBGrid1->dataset()->recordCount(), 2);
    QCOMPARE(t.dev.RxDBGrid1->dataset()->displayText("ind_gerado"), QString("Sim"));
    t.script.prompt("Digite o número do Lote", "1");
    t.dev.Pesquisar1->trigger();
    QCOMPARE(t.dev.RxDBGrid1->dataset()->asInteger("cod_lote"), l10);
    QCOMPARE(t.dev.RxDBGrid2->dataset()->recordCount(), 2);
    t.script.prompt("Digite o número do Lote", "7");
    t.dev.Pesquisar1->trigger();
    QCOMPARE(t.dev.RxDBGrid1->dataset()->asInteger("cod_lote"), l10);
    VERIFY_SCRIPT(t.script);
}

void TestGeracao::falhas_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<QString>("caso");
    for (Engine e : TestDb::engines())
        for (const char* caso : {"pasta inexistente", "pai é arquivo", "valor zero", "grupo largo",
                                 "gerado por outra estação"})
            QTest::addRow("%s %s", qPrintable(TestDb::engineName(e)), caso) << e << caso;
}

void TestGeracao::falhas() {
    QFETCH(Engine, engine);
    QFETCH(QString, caso);
    Telas t(engine);
    const int lote = t.lote("1");
    const int c1 = t.cheque(lote, 1, 100);
    t.cheque(lote, 2, 200);
    QString alvo = t.caminho("saida.txt");
    QFile anterior(alvo);
    QVERIFY(anterior.open(QIODevice::WriteOnly));
    anterior.write("arquivo anterior\r\n");
    anterior.close();
    if (caso == "pasta inexistente")
        alvo = t.caminho("nada/saida.txt");
    else if (caso == "pai é arquivo")
        alvo = t.caminho("saida.txt/x.txt");
    else if (caso == "valor zero")
        t.db.conn().execute("update cheque set vlr_cheque = 0 where cod_cheque = ?", {c1});
    else if (caso == "grupo largo")
        t.db.conn().execute("update cheque set num_conta = '123' where cod_cheque = ?", {c1});
    t.mostra(t.gera);
    if (caso == "gerado por outra estação")
        t.db.conn().execute("update lote_cheque set ind_gerado = ? where cod_lote = ?",
                            {true, lote});
    const QString antes = t.estado();
    t.script.allowAny(true);
    t.script.dlg(Kind::Confirmation, Confirma, Button::Yes);
    t.script.save(alvo);
    QTest::mouseClick(t.gera.SpeedButton1, Qt::LeftButton);
    QVERIFY2(t.script.failures().isEmpty(), qPrintable(t.script.report()));
    QCOMPARE(t.script.seen().size(), 3);
    const Dialogs::Request aviso = t.script.seen().last();
    if (caso == "gerado por outra estação") {
        QCOMPARE(aviso.kind, Kind::MessageBox);
        QCOMPARE(aviso.title, QString("Atenção"));
        // The list was read again: the lot now shows as generated.
        QCOMPARE(t.gera.RxDBGrid1->dataset()->displayText("ind_gerado"), QString("Sim"));
    } else {
        QCOMPARE(aviso.kind, Kind::Error);
        QVERIFY2(aviso.text.startsWith(ErroGeracao), qPrintable(aviso.text));
        QVERIFY2(aviso.text.size() > ErroGeracao.size() + 5, qPrintable(aviso.text));
        if (caso == "valor zero" || caso == "grupo largo")
            QVERIFY2(aviso.text.contains("000001"), qPrintable(aviso.text));
    }
    QCOMPARE(t.estado(), antes);
    QCOMPARE(t.arquivo("saida.txt"), QByteArray("arquivo anterior\r\n"));
    QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"saida.txt"});
    QCOMPARE(t.gera.bar->pgCont->value(), 0);
}

void TestGeracao::depositoECustodiaIguais() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int d = t.lote("1", "D");
    const int c = t.lote("2", "C");
    t.cheque(d, 7, 123456);
    t.cheque(d, 8, 29);
    t.mostra(t.gera);
    Telas::vaiPara(t.gera.RxDBGrid1, "1");
    t.gerar("d.txt");
    // The same cheques (a cheque is stored once) moved to the custody lot, undated again.
    t.db.conn().execute("update cheque set cod_lote = ?, dat_deposito = null", {c});
    t.mostra(t.gera);
    Telas::vaiPara(t.gera.RxDBGrid1, "2");
    QCOMPARE(t.gera.RxDBGrid1->dataset()->displayText("idt_dep_custodia"), QString("Custódia"));
    t.gerar("c.txt");
    VERIFY_SCRIPT(t.script);
    QCOMPARE(t.arquivo("d.txt"), t.arquivo("c.txt"));
    QCOMPARE(t.arquivo("d.txt"), Telas::registro(7, 123456) + Telas::registro(8, 29));
}

void TestGeracao::devolucaoLimite() {
    QFETCH(Engine, engine);
    Telas t(engine);
    const int lote = t.lote("1");
    const int a = t.cheque(lote, 1, 100);
    const int b = t.cheque(lote, 2, 200);
    const int c = t.cheque(lote, 3, 300);
    const QDate ontem = QDate::currentDate().addDays(-1);
    t.db.conn().execute("update lote_cheque set ind_gerado = ? where cod_lote = ?", {true, lote});
    // a was re-presented twice; b returned yesterday; c presented.
    t.db.conn().execute("update cheque set dat_devolucao = ?, dat_reapresentacao = ?, "
                        "dat_2reapresentacao = ? where cod_cheque = ?",
                        {ontem, ontem, ontem, a});
    t.db.conn().execute("update cheque set ind_devolvido = ?, dat_devolucao = ? where "
                        "cod_cheque = ?",
                        {true, ontem, b});
    t.mostra(t.dev);
    for (int i = 0; i < 3; ++i)
        t.dev.RxDBGrid2->setRowSelected(i, true);
    // Shown while the success message is open: two accepted of three.
    QString contador;
    struct Olho : Dialogs::Handler {
        Dialogs::Handler* antes;
        QString* contador;
        SelectionBar* bar;
        Dialogs::Answer handle(const Dialogs::Request& r) override {
            *contador = bar->lblTotRegistros->text() + "/" + bar->lblRegistrosGerados->text();
            return antes->handle(r);
        }
        void beep() override {}
    } olho;
    olho.antes = &t.script;
    olho.contador = &contador;
    olho.bar = t.dev.bar;
    Dialogs::setHandler(&olho);
    t.script.box("Informação", "Alteração realizada com sucesso!!");
    QTest::mouseClick(t.dev.SpeedButton1, Qt::LeftButton);
    Dialogs::setHandler(&t.script);
    VERIFY_SCRIPT(t.script);
    QCOMPARE(contador, QString("3/2"));
    const QDate hoje = QDate::currentDate();
    QCOMPARE(t.campo("select ind_devolvido from cheque where cod_cheque = ?", {a}).toBool(), false);
    QCOMPARE(t.data("select dat_devolucao from cheque where cod_cheque = ?", {a}), ontem);
    QCOMPARE(t.data("select dat_devolucao from cheque where cod_cheque = ?", {b}), hoje);
    QCOMPARE(t.campo("select ind_devolvido from cheque where cod_cheque = ?", {c}).toBool(), true);
}

void TestGeracao::listaDeLotes_data() {
    QTest::addColumn<Engine>("engine");
    QTest::addColumn<bool>("comTotais");
    QTest::addColumn<bool>("soGerados");
    for (Engine e : TestDb::engines()) {
        const QByteArray n = TestDb::engineName(e).toLatin1();
        QTest::newRow(n + " generation") << e << true << false;
        QTest::newRow(n + " return") << e << false << true;
    }
}

// The lot lists read exactly what the plain group-by ordered by name gives: the same rows,
// totals, counts and order, with members of the same name whose lots mix by number, names that
// differ in accents or case, an empty lot and cheques returned and re-presented.
void TestGeracao::listaDeLotes() {
    QFETCH(Engine, engine);
    QFETCH(bool, comTotais);
    QFETCH(bool, soGerados);
    Telas t(engine);
    const int outraAna = t.membro("Ana");
    const int ana = t.membro("ana");
    const int alvaro = t.membro("Álvaro");
    const int bruno = t.membro("bruno");
    const int l9 = t.lote("9");
    const int l10 = t.lote("10", "C", outraAna);
    const int l2 = t.lote("2", "D", outraAna);
    t.lote("3", "D", ana); // empty
    const int l7 = t.lote("7", "C", alvaro);
    const int l11 = t.lote("11", "D", bruno);
    t.cheque(l9, 1, 150);
    t.cheque(l9, 2, 250);
    t.cheque(l10, 3, 29);
    const int devolvido = t.cheque(l2, 4, 1000);
    const int reapresentado = t.cheque(l7, 5, 99999999);
    t.cheque(l11, 6, 1);
    const QDate hoje = QDate::currentDate();
    t.db.conn().execute("update lote_cheque set ind_gerado = ? where cod_lote in (?, ?, ?)",
                        {true, l9, l2, l7});
    t.db.conn().execute("update cheque set ind_devolvido = ?, dat_devolucao = ? where "
                        "cod_cheque = ?",
                        {true, hoje, devolvido});
    t.db.conn().execute("update cheque set dat_devolucao = ?, dat_reapresentacao = ?, "
                        "dat_2reapresentacao = ? where cod_cheque = ?",
                        {hoje, hoje, hoje, reapresentado});

    QString plano = "select lc.cod_lote, lc.num_lote, case when lc.idt_dep_custodia = 'D' then "
                    "'Depósito' else 'Custódia' end, case when lc.ind_gerado = true then 'Sim' "
                    "else 'Não' end, lc.dat_lote, ac.nom_associado";
    if (comTotais)
        plano += ", (select sum(vlr_cheque) from cheque c where c.cod_lote = lc.cod_lote), "
                 "(select count(*) from cheque c where c.cod_lote = lc.cod_lote)";
    plano += " from lote_cheque lc join associado ac on ac.cod_associado = lc.cod_associado";
    if (soGerados)
        plano += " where lc.ind_gerado = true";
    plano += " order by ac.nom_associado collate nome_br, lc.num_lote desc, lc.cod_lote";
    const QList<QVariantList> esperado = t.db.conn().select(plano).rows;
    QCOMPARE(esperado.size(), soGerados ? 3 : 6);
    // The screens read it: the list's own columns and those read for the rows in view.
    comTotais ? t.mostra(t.gera) : t.mostra(t.dev);
    Dataset& lotes = comTotais ? t.gera.dtmGeraArqDepositoCustodia->qryLoteCheque
                               : t.dev.dtmDevolucaoCheque->qryLoteCheque;
    QStringList campos{"cod_lote",   "num_lote", "idt_dep_custodia",
                       "ind_gerado", "dat_lote", "nom_associado"};
    if (comTotais)
        campos << "vlr_total"
               << "qtd_total";
    QCOMPARE(lotes.recordCount(), esperado.size());
    for (int i = 0; i < esperado.size(); ++i)
        for (int c = 0; c < campos.size(); ++c) {
            QVariant v = esperado[i][c];
            QString texto = v.toString();
            if (campos[c] == "dat_lote")
                texto = DateCodec::fromDb(v).date().toString("dd/MM/yyyy");
            else if (campos[c] == "vlr_total")
                texto = v.isNull() ? QString() : Money::fromVariant(v).format(2);
            QVERIFY2(lotes.displayTextAt(i, campos[c]) == texto,
                     qPrintable(QString("row %1 %2: %3, expected %4")
                                    .arg(i)
                                    .arg(campos[c], lotes.displayTextAt(i, campos[c]), texto)));
        }
    if (comTotais) {
        // The empty lot's count is 0.
        QVERIFY(lotes.locate("num_lote", "3"));
        QCOMPARE(lotes.displayText("qtd_total"), QString("0"));
    }
}

QTEST_MAIN(TestGeracao)
#include "tst_geracao.moc"
