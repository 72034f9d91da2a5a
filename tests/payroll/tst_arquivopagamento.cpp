// The salary payment file's records, byte for byte.
#include "payroll/ArquivoPagamento.h"

#include <QTest>

using namespace ArquivoPagamento;

namespace {

Associado associado() {
    return {"Cooperativa Ana", "756", "1", "1234", "11"};
}

Funcionario funcionario(const QString& nome, qint64 units, const QString& conta = "12345",
                        const QString& cpf = "12345678901") {
    return {conta, nome, cpf, Money::fromUnits(units)};
}

QByteArray espacos(int n) {
    return QByteArray(n, ' ');
}

} // namespace

class TestArquivoPagamento : public QObject {
    Q_OBJECT
private slots:
    void header();
    void detail_data();
    void detail();
    void trailer_data();
    void trailer();
    void refused_data();
    void refused();
    void encoding_data();
    void encoding();
};

void TestArquivoPagamento::header() {
    const QList<QByteArray> r =
        registros(associado(), "01", QDate(2007, 1, 22), {funcionario("Ana", 15000000)});
    QCOMPARE(r.size(), 3);
    QCOMPARE(r.at(0), QByteArray("01") + "756" + "0001" + "0001234" + espacos(10) + "01" + "11" +
                          "20070122" + espacos(162));
    for (const QByteArray& rec : r)
        QCOMPARE(rec.size(), RecordWidth);
}

void TestArquivoPagamento::detail_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QString>("conta");
    QTest::addColumn<QString>("cpf");
    QTest::addColumn<qlonglong>("units");
    QTest::addColumn<QByteArray>("campos"); // positions 3 to 66
    QTest::addColumn<QByteArray>("valor");  // positions 112 to 128
    QTest::newRow("1500.00") << "Ana"
                             << "12345"
                             << "12345678901" << 15000000LL
                             << QByteArray("0000012345Ana" + espacos(37) + "00012345678901")
                             << QByteArray("00000000000150000");
    QTest::newRow("45-character name cut to 40")
        << "ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMNOPQRS"
        << "1"
        << "1" << 10000LL
        << QByteArray("0000000001ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEFGHIJKLMN00000000000001")
        << QByteArray("00000000000000100");
    QTest::newRow("empty account ten zeros")
        << "Bia"
        << ""
        << "123.456.789-01" << 12345600LL
        << QByteArray("0000000000Bia" + espacos(37) + "123.456.789-01")
        << QByteArray("00000000000123456");
    QTest::newRow("account and cpf at full width")
        << "Cid"
        << "1234567890"
        << "12345678901234" << 100LL << QByteArray("1234567890Cid" + espacos(37) + "12345678901234")
        << QByteArray("00000000000000001");
    QTest::newRow("fraction below half a centavo")
        << "Dora"
        << "1"
        << "1" << 12345649LL << QByteArray("0000000001Dora" + espacos(36) + "00000000000001")
        << QByteArray("00000000000123456");
    QTest::newRow("half a centavo rounds up")
        << "Dora"
        << "1"
        << "1" << 12345650LL << QByteArray("0000000001Dora" + espacos(36) + "00000000000001")
        << QByteArray("00000000000123457");
    QTest::newRow("largest amount Money holds")
        << "Eva"
        << "1"
        << "1" << 9223372036854775807LL
        << QByteArray("0000000001Eva" + espacos(37) + "00000000000001")
        << QByteArray("92233720368547758");
}

void TestArquivoPagamento::detail() {
    QFETCH(QString, nome);
    QFETCH(QString, conta);
    QFETCH(QString, cpf);
    QFETCH(qlonglong, units);
    QFETCH(QByteArray, campos);
    QFETCH(QByteArray, valor);
    const QList<QByteArray> r =
        registros(associado(), "01", QDate(2007, 1, 22), {funcionario(nome, units, conta, cpf)});
    const QByteArray d = r.at(1);
    QCOMPARE(d.size(), RecordWidth);
    QCOMPARE(d.left(2), QByteArray("1C"));
    QCOMPARE(d.mid(2, 64), campos);
    QCOMPARE(d.mid(66, 45), espacos(12) + "000" + espacos(30));
    QCOMPARE(d.mid(111, 17), valor);
    QCOMPARE(d.mid(128), espacos(72));
}

void TestArquivoPagamento::trailer_data() {
    QTest::addColumn<QList<qlonglong>>("salarios"); // in units
    QTest::addColumn<QByteArray>("trailer");
    QTest::newRow("one of 1500.00")
        << QList<qlonglong>{15000000}
        << QByteArray("9" + QByteArray(22, '0') + "00001" + "00000000000150000" + espacos(155));
    // Ten times 0.10 and 0.20: a floating-point sum of reals would not be exactly 3.00.
    QList<qlonglong> decimos;
    for (int i = 0; i < 10; ++i)
        decimos << 1000 << 2000;
    QTest::newRow("twenty small amounts")
        << decimos
        << QByteArray("9" + QByteArray(22, '0') + "00020" + "00000000000000300" + espacos(155));
    QTest::newRow("sum of the rounded amounts")
        << QList<qlonglong>{50, 50, 49}
        << QByteArray("9" + QByteArray(22, '0') + "00003" + "00000000000000002" + espacos(155));
    QTest::newRow("large amounts summed exactly")
        << QList<qlonglong>{123456789012340000LL, 100LL}
        << QByteArray("9" + QByteArray(22, '0') + "00002" + "01234567890123401" + espacos(155));
    QTest::newRow("no employee") << QList<qlonglong>{}
                                 << QByteArray("9" + QByteArray(22, '0') + "00000" +
                                               QByteArray(17, '0') + espacos(155));
}

void TestArquivoPagamento::trailer() {
    QFETCH(QList<qlonglong>, salarios);
    QFETCH(QByteArray, trailer);
    QList<Funcionario> fs;
    for (qlonglong s : salarios)
        fs << funcionario(QString("F%1").arg(fs.size()), s);
    const QList<QByteArray> r = registros(associado(), "01", QDate(2007, 1, 22), fs);
    QCOMPARE(r.size(), salarios.size() + 2);
    QCOMPARE(r.last(), trailer);
}

void TestArquivoPagamento::refused_data() {
    QTest::addColumn<Associado>("a");
    QTest::addColumn<QString>("mov");
    QTest::addColumn<Funcionario>("f");
    QTest::addColumn<QString>("mensagem");
    const Associado ok = associado();
    const Funcionario fok = funcionario("Ana", 10000);
    Associado a = ok;
    a.numConvBancoob = "12345678";
    QTest::newRow("agreement of 8")
        << a << "01" << fok
        << "O associado \"Cooperativa Ana\" tem no campo \"Nº conv.\" o "
           "valor \"12345678\", mais largo que os 7 caracteres do "
           "arquivo.";
    a = ok;
    a.numBancoob = "7560";
    QTest::newRow("bank of 4")
        << a << "01" << fok
        << "O associado \"Cooperativa Ana\" tem no campo \"Nº Banco\" o valor "
           "\"7560\", mais largo que os 3 caracteres do arquivo.";
    a = ok;
    a.numAgBancoob = "12345";
    QTest::newRow("branch of 5") << a << "01" << fok
                                 << "O associado \"Cooperativa Ana\" tem no campo \"Agência\" o "
                                    "valor \"12345\", mais largo que os 4 caracteres do arquivo.";
    QTest::newRow("movement code of 1")
        << ok << "1" << fok
        << "O associado \"Cooperativa Ana\" tem no campo \"Cód. movimento\" o valor \"1\", que não "
           "tem exatamente 2 caracteres.";
    a = ok;
    a.idtDstMovBancoob = "1";
    QTest::newRow("destination of 1")
        << a << "01" << fok
        << "O associado \"Cooperativa Ana\" tem no campo \"Dest. mov.\" o valor \"1\", que não tem "
           "exatamente 2 caracteres.";
    a.idtDstMovBancoob = "";
    QTest::newRow("empty destination")
        << a << "01" << fok
        << "O associado \"Cooperativa Ana\" tem no campo \"Dest. mov.\" o valor \"\", que não tem "
           "exatamente 2 caracteres.";
    QTest::newRow("account of 11") << ok << "01" << funcionario("Ana", 10000, "12345678901")
                                   << "O funcionário \"Ana\" tem no campo \"Nº conta\" o valor "
                                      "\"12345678901\", mais largo que "
                                      "os 10 caracteres do arquivo.";
    QTest::newRow("cpf of 15")
        << ok << "01" << funcionario("Ana", 10000, "1", "123.456.789-012")
        << "O funcionário \"Ana\" tem no campo \"Cpf\" o valor \"123.456.789-012\", mais largo que "
           "os 14 caracteres do arquivo.";
    QTest::newRow("name outside Windows-1252")
        << ok << "01" << funcionario(QString::fromUtf8("Łukasz"), 10000)
        << QString::fromUtf8("O funcionário \"Łukasz\" tem no campo \"Funcionário\" o valor "
                             "\"Łukasz\", com um caractere que o arquivo do banco não aceita.");
    QTest::newRow("negative salary")
        << ok << "01" << funcionario("Ana", -100)
        << "O funcionário \"Ana\" tem um valor que não cabe no arquivo "
           "do banco.";
}

void TestArquivoPagamento::refused() {
    QFETCH(Associado, a);
    QFETCH(QString, mov);
    QFETCH(Funcionario, f);
    QFETCH(QString, mensagem);
    try {
        registros(a, mov, QDate(2007, 1, 22), {funcionario("Bia", 10000), f});
        QFAIL("not refused");
    } catch (const CampoInvalido& e) {
        QCOMPARE(e.message(), mensagem);
    }
}

void TestArquivoPagamento::encoding_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("accents") << QString::fromUtf8("JOÃO CONCEIÇÃO")
                             << QByteArray("JO\xC3O CONCEI\xC7\xC3O");
    QTest::newRow("lower accents") << QString::fromUtf8("José Lúcia ü")
                                   << QByteArray("Jos\xE9 L\xFA"
                                                 "cia \xFC");
    QTest::newRow("letters of 0x80-0x9F")
        << QString::fromUtf8("Œuvre Šárka €") << QByteArray("\x8Cuvre \x8A\xE1rka \x80");
    // Cut by characters, not bytes: forty accented letters are forty bytes.
    QTest::newRow("forty accented letters") << QString(45, QChar(0xC9)) << QByteArray(40, '\xC9');
}

void TestArquivoPagamento::encoding() {
    QFETCH(QString, nome);
    QFETCH(QByteArray, bytes);
    const QList<QByteArray> r =
        registros(associado(), "01", QDate(2007, 1, 22), {funcionario(nome, 10000)});
    const QByteArray d = r.at(1);
    QCOMPARE(d.size(), RecordWidth);
    QCOMPARE(d.mid(12, 40), bytes.leftJustified(40));
    QCOMPARE(d.mid(111, 17), QByteArray("00000000000000100"));
}

QTEST_MAIN(TestArquivoPagamento)
#include "tst_arquivopagamento.moc"
