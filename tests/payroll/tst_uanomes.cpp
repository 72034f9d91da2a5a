// The year-month editor driven by real mouse releases on its arrows and real key presses in its
// field, with the messages answered by the dialog script.
#include "DialogScript.h"
#include "payroll/UAnoMes.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(TButtonsEnabled)

namespace {

// The control in a window with a second box to move the focus to.
struct Janela {
    QWidget w;
    TUAnoMes* am;
    QLineEdit* outro;
    DialogScript script;

    Janela() {
        auto* l = new QVBoxLayout(&w);
        am = new TUAnoMes(&w);
        outro = new QLineEdit(&w);
        l->addWidget(am);
        l->addWidget(outro);
        am->setFixedSize(75, 21);
        w.show();
        QApplication::setActiveWindow(&w);
        if (!QTest::qWaitForWindowActive(&w))
            qFatal("window not active");
    }
    void solta(TBtn* b, int y) { QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(6, y)); }
    QString titulo() const { return QStringLiteral("Sistema de captura de cheques"); }
};

} // namespace

class TestUAnoMes : public QObject {
    Q_OBJECT
private slots:
    void construction();
    void steps_data();
    void steps();
    void feedback();
    void leaving_data();
    void leaving();
    void keys_data();
    void keys();
    void disabledFlagTakesTypedValue_data();
    void disabledFlagTakesTypedValue();
    void setters_data();
    void setters();
    void resize();
};

void TestUAnoMes::construction() {
    TUAnoMes am;
    QCOMPARE(am.GetReferencia(), QDate::currentDate().toString("yyyyMM"));
    QCOMPARE(am.edit()->text(), QDate::currentDate().toString("yyyy/MM"));
    QCOMPARE(am.ButtonsEnabled(), TButtonEnabled::beAno | TButtonEnabled::beMes);
    QVERIFY(am.ReadOnly());
    QVERIFY(!am.edit()->isEnabled());
    QCOMPARE(am.ReferenciaMax(), QString());
    QCOMPARE(am.ReferenciaMin(), QString());
    QCOMPARE(am.size(), QSize(75, 21));
    QCOMPARE(am.edit()->maxLength(), 7);
    QCOMPARE(am.focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

void TestUAnoMes::steps_data() {
    QTest::addColumn<QString>("inicial");
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<TButtonsEnabled>("botoes");
    QTest::addColumn<int>("botao"); // 1 year, 2 month
    QTest::addColumn<int>("y");
    QTest::addColumn<QString>("esperado");
    const TButtonsEnabled ambos = TButtonEnabled::beAno | TButtonEnabled::beMes;
    QTest::newRow("month up wraps 12 to 01, same year") << "200712"
                                                        << ""
                                                        << "" << ambos << 2 << 3 << "200701";
    QTest::newRow("month down wraps 01 to 12, same year") << "200701"
                                                          << ""
                                                          << "" << ambos << 2 << 18 << "200712";
    QTest::newRow("exactly half the height steps up") << "200706"
                                                      << ""
                                                      << "" << ambos << 2 << 10 << "200707";
    QTest::newRow("one below half steps down") << "200706"
                                               << ""
                                               << "" << ambos << 2 << 11 << "200705";
    QTest::newRow("year up") << "200706"
                             << ""
                             << "" << ambos << 1 << 0 << "200806";
    QTest::newRow("year down") << "200706"
                               << ""
                               << "" << ambos << 1 << 20 << "200606";
    QTest::newRow("year padded to four digits") << "100003"
                                                << ""
                                                << "" << ambos << 1 << 20 << "099903";
    QTest::newRow("max refuses year up") << "200706"
                                         << ""
                                         << "200712" << ambos << 1 << 2 << "200706";
    QTest::newRow("max reached exactly") << "200711"
                                         << ""
                                         << "200712" << ambos << 2 << 2 << "200712";
    QTest::newRow("min refuses year down") << "200701"
                                           << "200701"
                                           << "" << ambos << 1 << 15 << "200701";
    QTest::newRow("min refuses month down") << "200703"
                                            << "200703"
                                            << "" << ambos << 2 << 15 << "200703";
    QTest::newRow("max takes the month wrapped back to 01")
        << "200712"
        << ""
        << "200712" << ambos << 2 << 1 << "200701";
    QTest::newRow("year flag off")
        << "200706"
        << ""
        << "" << TButtonsEnabled(TButtonEnabled::beMes) << 1 << 2 << "200706";
    QTest::newRow("month flag off")
        << "200706"
        << ""
        << "" << TButtonsEnabled(TButtonEnabled::beAno) << 2 << 2 << "200706";
}

void TestUAnoMes::steps() {
    QFETCH(QString, inicial);
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(TButtonsEnabled, botoes);
    QFETCH(int, botao);
    QFETCH(int, y);
    QFETCH(QString, esperado);
    Janela j;
    j.am->SetReferencia(inicial);
    j.am->SetReferenciaMin(min);
    j.am->SetReferenciaMax(max);
    j.am->SetButtonsEnabled(botoes);
    j.solta(botao == 1 ? j.am->btnAno() : j.am->btnMes(), y);
    VERIFY_SCRIPT(j.script);
    QCOMPARE(j.am->GetReferencia(), esperado);
    QCOMPARE(j.am->edit()->text(), esperado.left(4) + "/" + esperado.mid(4));
    QCOMPARE(j.am->edit()->text().size(), 7);
    QVERIFY(!j.am->edit()->isEnabled()); // read-only: the arrows are the only way
}

void TestUAnoMes::feedback() {
    Janela j;
    j.am->SetReferencia("200706");
    QElapsedTimer t;
    t.start();
    j.solta(j.am->btnMes(), 2);
    // The click returns at once; the half stays sunken until the timer raises it again.
    QVERIFY2(t.elapsed() < TBtn::FeedbackMs / 2, qPrintable(QString::number(t.elapsed())));
    QVERIFY(j.am->btnMes()->isPressed(true));
    QVERIFY(!j.am->btnMes()->isPressed(false));
    QTRY_VERIFY_WITH_TIMEOUT(!j.am->btnMes()->isPressed(true), 1000);
    QVERIFY(t.elapsed() >= TBtn::FeedbackMs);
    j.solta(j.am->btnAno(), 20);
    QVERIFY(j.am->btnAno()->isPressed(false));
    QTRY_VERIFY_WITH_TIMEOUT(!j.am->btnAno()->isPressed(false), 1000);
    QCOMPARE(j.am->GetReferencia(), QString("200607"));
}

void TestUAnoMes::leaving_data() {
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("mensagem"); // empty: accepted
    QTest::newRow("month 13") << "200713"
                              << "Mes inválido!13";
    QTest::newRow("month 00") << "200700"
                              << "Mes inválido!00";
    QTest::newRow("five digits") << "20071"
                                 << "Referência inválida! AAAAMM";
    QTest::newRow("seven digits") << "2007011"
                                  << "Referência inválida! AAAAMM";
    QTest::newRow("empty") << ""
                           << "Referência inválida! AAAAMM";
    QTest::newRow("accepted") << "200803"
                              << "";
    QTest::newRow("accepted december") << "199912"
                                       << "";
}

void TestUAnoMes::leaving() {
    QFETCH(QString, digitado);
    QFETCH(QString, mensagem);
    Janela j;
    j.am->SetReferencia("200701");
    j.am->SetReadOnly(false);
    j.am->edit()->setFocus();
    QCOMPARE(j.am->edit()->text(), QString("200701")); // entered: the slash goes
    j.am->edit()->selectAll();
    QTest::keyClick(j.am->edit(), Qt::Key_Backspace);
    QTest::keyClicks(j.am->edit(), digitado);
    if (!mensagem.isEmpty())
        j.script.box(j.titulo(), mensagem);
    QTest::keyClick(j.am->edit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    VERIFY_SCRIPT(j.script);
    if (mensagem.isEmpty()) {
        QCOMPARE(j.am->GetReferencia(), digitado);
        QCOMPARE(j.am->edit()->text(), digitado.left(4) + "/" + digitado.mid(4));
        QVERIFY(!j.am->invalid());
        QVERIFY(!j.am->edit()->hasFocus());
    } else {
        // The focus is back and the field shows what it held when it was entered.
        QTRY_VERIFY(j.am->edit()->hasFocus());
        QCOMPARE(j.am->edit()->text(), QString("200701"));
        QCOMPARE(j.am->GetReferencia(), QString("200701"));
        QVERIFY(j.am->invalid());
    }
}

void TestUAnoMes::keys_data() {
    QTest::addColumn<QString>("teclas");
    QTest::addColumn<QString>("campo");
    QTest::addColumn<int>("bipes");
    QTest::newRow("digits") << "200805"
                            << "200805" << 0;
    QTest::newRow("letters refused") << "2a0b08"
                                     << "2008" << 2;
    QTest::newRow("slash refused") << "2008/0"
                                   << "20080" << 1;
    QTest::newRow("dot percent quote refused") << "20.%'08"
                                               << "2008" << 3;
    QTest::newRow("space and minus refused") << "2 0-"
                                             << "20" << 2;
    QTest::newRow("no more than seven") << "123456789"
                                        << "1234567" << 0;
}

void TestUAnoMes::keys() {
    QFETCH(QString, teclas);
    QFETCH(QString, campo);
    QFETCH(int, bipes);
    Janela j;
    j.am->SetReadOnly(false);
    j.am->edit()->setFocus();
    j.am->edit()->clear();
    QTest::keyClicks(j.am->edit(), teclas);
    QCOMPARE(j.am->edit()->text(), campo);
    QCOMPARE(j.script.beeps(), bipes);
    QTest::keyClick(j.am->edit(), Qt::Key_Backspace);
    QCOMPARE(j.am->edit()->text(), campo.left(campo.size() - 1));
    QCOMPARE(j.script.beeps(), bipes);
}

void TestUAnoMes::disabledFlagTakesTypedValue_data() {
    QTest::addColumn<bool>("leitura"); // set read-only again before the click
    QTest::newRow("editable") << false;
    QTest::newRow("read-only after typing") << true;
}

void TestUAnoMes::disabledFlagTakesTypedValue() {
    QFETCH(bool, leitura);
    Janela j;
    j.am->SetReferencia("200701");
    j.am->SetReadOnly(false);
    j.am->SetButtonsEnabled(TButtonEnabled::beAno);
    j.am->edit()->setFocus();
    j.am->edit()->selectAll();
    QTest::keyClicks(j.am->edit(), "200805");
    if (leitura) {
        j.am->SetReadOnly(true);
        j.am->edit()->setText("200805");
    }
    j.solta(j.am->btnMes(), 2);
    VERIFY_SCRIPT(j.script);
    QCOMPARE(j.am->GetReferencia(), QString("200805"));
    QCOMPARE(j.am->edit()->text(), QString("2008/05"));
    QCOMPARE(j.am->edit()->isEnabled(), !leitura);
}

void TestUAnoMes::setters_data() {
    QTest::addColumn<QString>("propriedade");
    QTest::addColumn<QString>("valor");
    QTest::addColumn<QString>("mensagem");
    QTest::addColumn<QString>("referencia");
    QTest::newRow("valid reference") << "Referencia"
                                     << "201002"
                                     << ""
                                     << "201002";
    QTest::newRow("invalid reference stored anyway") << "Referencia"
                                                     << "201013"
                                                     << "Mes inválido!13"
                                                     << "201013";
    QTest::newRow("short reference") << "Referencia"
                                     << "20101"
                                     << "Referência inválida! AAAAMM"
                                     << "20101";
    QTest::newRow("invalid max") << "ReferenciaMax"
                                 << "2010"
                                 << "Referência inválida! AAAAMM"
                                 << "200701";
    QTest::newRow("empty min is no limit") << "ReferenciaMin"
                                           << ""
                                           << ""
                                           << "200701";
}

void TestUAnoMes::setters() {
    QFETCH(QString, propriedade);
    QFETCH(QString, valor);
    QFETCH(QString, mensagem);
    QFETCH(QString, referencia);
    Janela j;
    j.am->SetReferencia("200701");
    if (!mensagem.isEmpty())
        j.script.box(j.titulo(), mensagem);
    QVERIFY(j.am->setProperty(qPrintable(propriedade), valor));
    VERIFY_SCRIPT(j.script);
    QCOMPARE(j.am->GetReferencia(), referencia);
    QCOMPARE(j.am->property(qPrintable(propriedade)).toString(), valor);
    QCOMPARE(j.am->invalid(), !mensagem.isEmpty());
}

void TestUAnoMes::resize() {
    TUAnoMes am;
    am.resize(120, 30);
    am.show();
    QCOMPARE(am.btnAno()->geometry(), QRect(0, 0, 12, 30));
    QCOMPARE(am.btnMes()->geometry(), QRect(108, 0, 12, 30));
    QCOMPARE(am.edit()->geometry(), QRect(13, 0, 120 - 24 - 2, 30));
    // Half of the new height decides the direction.
    am.SetReferencia("200706");
    QTest::mouseRelease(am.btnMes(), Qt::LeftButton, {}, QPoint(6, 15));
    QCOMPARE(am.GetReferencia(), QString("200707"));
    QTest::mouseRelease(am.btnMes(), Qt::LeftButton, {}, QPoint(6, 16));
    QCOMPARE(am.GetReferencia(), QString("200706"));
}

QTEST_MAIN(TestUAnoMes)
#include "tst_uanomes.moc"
