#include "reports/ufrmRelatorio.h"

#include "platform/data/DateCodec.h"
#include "platform/dialogs/Dialogs.h"
#include "platform/report/ReportDef.h"
#include "platform/widgets/ScreenCursor.h"
#include "reports/LookupBox.h"
#include "reports/udtmRelatorio.h"
#include "reports/ufrmRelCapDevolvido.h"
#include "reports/ufrmRelFuncionario.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <stdexcept>

namespace {

const char* const Kinds[] = {"Cheques capturados (não gerados)", "Cheques depositados (gerados)",
                             "Cheques devolvidos", "Salário de funcionários"};
const char* const PeriodTitles[] = {" Período de captura do lote ", " Período de geração do lote ",
                                    " Período de devolução do lote "};
const char* const TitleSuffixes[] = {" capturados", " depositados", " devolvidos"};
const char* const KindLetters[] = {"C", "E", "D"};
constexpr int EmployeeKind = 3;

QLineEdit* dateBox(QWidget* parent, const char* name) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setInputMask(QStringLiteral("99/99/9999; "));
    e->setFixedWidth(100);
    return e;
}

// The date a box shows; a text that is not a date is an error the operator sees.
QDate dateOf(const QLineEdit* box) {
    const QDate d = DateCodec::fromText(box->displayText());
    if (!d.isValid())
        throw std::runtime_error(
            QStringLiteral("'%1' não é uma data válida.").arg(box->displayText()).toStdString());
    return d;
}

} // namespace

TfrmRelatorio::TfrmRelatorio(Connection* cnx, QWidget* parent)
    : ScreenFrame(QStringLiteral(" Relatórios"), parent), m_cnx(cnx) {
    setObjectName(QStringLiteral("frmRelatorio"));

    auto* top = new QGridLayout;
    top->setContentsMargins(10, 8, 10, 4);
    auto* lblAssociado = new QLabel(QStringLiteral("Associado"), this);
    RxDBLookupCombo1 = new LookupBox(this);
    RxDBLookupCombo1->setObjectName(QStringLiteral("RxDBLookupCombo1"));
    RxDBLookupCombo1->setMinimumWidth(420);
    lblAssociado->setBuddy(RxDBLookupCombo1);
    top->addWidget(lblAssociado, 0, 0);
    top->addWidget(RxDBLookupCombo1, 1, 0);

    RadioGroup1 = new QGroupBox(QStringLiteral(" Relatório desejado "), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1Buttons = new QButtonGroup(this);
    auto* kinds = new QGridLayout(RadioGroup1);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QRadioButton(QString::fromUtf8(Kinds[i]), RadioGroup1);
        b->setObjectName(QStringLiteral("RadioGroup1_%1").arg(i));
        RadioGroup1Buttons->addButton(b, i);
        kinds->addWidget(b, i % 2, i / 2);
    }
    RadioGroup1Buttons->button(0)->setChecked(true);
    top->addWidget(RadioGroup1, 2, 0);

    GroupBox1 = new QGroupBox(QString::fromUtf8(PeriodTitles[0]), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* period = new QGridLayout(GroupBox1);
    DateEdit1 = dateBox(GroupBox1, "DateEdit1");
    DateEdit2 = dateBox(GroupBox1, "DateEdit2");
    CurrencyEdit1 = new QLineEdit(QStringLiteral("0"), GroupBox1);
    CurrencyEdit1->setObjectName(QStringLiteral("CurrencyEdit1"));
    CurrencyEdit1->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,7}")), this));
    CurrencyEdit1->setMaxLength(7);
    CurrencyEdit1->setAlignment(Qt::AlignRight);
    CurrencyEdit1->setFixedWidth(90);
    CurrencyEdit1->setToolTip(QStringLiteral("Nº do lote (0: todos)"));
    connect(CurrencyEdit1, &QLineEdit::editingFinished, this,
            [this] { CurrencyEdit1->setText(QString::number(CurrencyEdit1->text().toInt())); });
    auto* lblInicio = new QLabel(QStringLiteral("Início"), GroupBox1);
    auto* lblTermino = new QLabel(QStringLiteral("Término"), GroupBox1);
    lblInicio->setBuddy(DateEdit1);
    lblTermino->setBuddy(DateEdit2);
    period->addWidget(lblInicio, 0, 0);
    period->addWidget(lblTermino, 0, 1);
    period->addWidget(DateEdit1, 1, 0);
    period->addWidget(DateEdit2, 1, 1);
    period->addWidget(CurrencyEdit1, 1, 2);
    period->setColumnStretch(3, 1);
    top->addWidget(GroupBox1, 3, 0);

    GroupBox2 = new QGroupBox(QStringLiteral(" Informe o  departamento "), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto* dept = new QGridLayout(GroupBox2);
    auto* lblNome = new QLabel(QStringLiteral("Nome"), GroupBox2);
    RxDBLookupCombo2 = new LookupBox(GroupBox2);
    RxDBLookupCombo2->setObjectName(QStringLiteral("RxDBLookupCombo2"));
    RxDBLookupCombo2->setToolTip(QStringLiteral("Delete: todos os departamentos"));
    RxDBLookupCombo2->installEventFilter(this);
    lblNome->setBuddy(RxDBLookupCombo2);
    dept->addWidget(lblNome, 0, 0);
    dept->addWidget(RxDBLookupCombo2, 1, 0);
    top->addWidget(GroupBox2, 4, 0);

    SpeedButton1 = new QPushButton(QStringLiteral("Gerar relatório"), this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setAutoDefault(false);
    top->addWidget(SpeedButton1, 5, 0, Qt::AlignRight);
    body()->addLayout(top);

    connect(RadioGroup1Buttons, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && id != m_kind) {
            m_kind = id;
            RadioGroup1Click();
        }
    });
    connect(RxDBLookupCombo2, &LookupBox::dropDown, this, &TfrmRelatorio::RxDBLookupCombo2DropDown);
    // The departments belong to the member: another member leaves no department chosen.
    connect(RxDBLookupCombo1, &QComboBox::currentIndexChanged, this,
            [this] { RxDBLookupCombo2->clearChoice(); });
    connect(SpeedButton1, &QPushButton::clicked, this, &TfrmRelatorio::SpeedButton1Click);
    setTabOrder(RxDBLookupCombo1, RadioGroup1Buttons->button(0));
}

int TfrmRelatorio::itemIndex() const {
    return m_kind;
}

void TfrmRelatorio::setItemIndex(int index) {
    RadioGroup1Buttons->button(index)->setChecked(true);
}

void TfrmRelatorio::showEvent(QShowEvent* event) {
    ScreenFrame::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmRelatorio::FormShow() {
    if (!dtmRelatorio) {
        dtmRelatorio = new TdtmRelatorio(m_cnx, this);
        RxDBLookupCombo1->setList(dtmRelatorio->qryLkpAssociado, QStringLiteral("cod_associado"),
                                  QStringLiteral("nom_associado"));
        RxDBLookupCombo2->setList(dtmRelatorio->qryLkpDepartamento,
                                  QStringLiteral("cod_departamento"),
                                  QStringLiteral("nom_departamento"));
    }
    dtmRelatorio->qryLkpAssociado->close();
    dtmRelatorio->qryLkpAssociado->open();
    dtmRelatorio->qryLkpDepartamento->close();
    dtmRelatorio->qryLkpDepartamento->setParam(QStringLiteral("pCodAssociado"), associado());
    dtmRelatorio->qryLkpDepartamento->open();

    RxDBLookupCombo1->clearChoice();
    setItemIndex(0);
    // A screen opened again starts from nothing typed.
    LimpaCampos(QStringLiteral("N"));
    RxDBLookupCombo1->setFocus();
    GroupBox1->setEnabled(true);
    GroupBox2->setEnabled(false);
}

bool TfrmRelatorio::eventFilter(QObject* watched, QEvent* event) {
    if (watched == RxDBLookupCombo2 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        RxDBLookupCombo2->clearChoice();
        return true;
    }
    return ScreenFrame::eventFilter(watched, event);
}

void TfrmRelatorio::RadioGroup1Click() {
    const int kind = itemIndex();
    if (kind < EmployeeKind)
        GroupBox1->setTitle(QString::fromUtf8(PeriodTitles[kind]));
    GroupBox1->setEnabled(kind < EmployeeKind);
    GroupBox2->setEnabled(kind == EmployeeKind);
    LimpaCampos(QStringLiteral("N"));
}

void TfrmRelatorio::RxDBLookupCombo2DropDown() {
    Dataset* q = dtmRelatorio->qryLkpDepartamento;
    q->close();
    q->setParam(QStringLiteral("pCodAssociado"), associado());
    q->open();
}

void TfrmRelatorio::LimpaCampos(const QString& todos) {
    if (todos == QLatin1String("S")) {
        RxDBLookupCombo1->clearChoice();
        setItemIndex(0);
    }
    DateEdit1->clear();
    DateEdit2->clear();
    CurrencyEdit1->setText(QStringLiteral("0"));
    RxDBLookupCombo2->clearChoice();
}

QVariant TfrmRelatorio::associado() const {
    const QVariant key = RxDBLookupCombo1->key();
    // No member chosen: a key no member has, so that the department list is empty.
    return key.isNull() ? QVariant(-1) : key;
}

// Opens the listing's query; when it finds nothing, says so and gives false.
bool TfrmRelatorio::abreComDados(Dataset* q) {
    q->open();
    if (!q->isEmpty())
        return true;
    ScreenCursor::normal();
    atencao(QStringLiteral("Nenhuma informação encontrada que atenda aos critérios utilizados!"));
    return false;
}

void TfrmRelatorio::atencao(const QString& text) {
    Dialogs::messageBox(this, text, QStringLiteral("Atenção"));
}

void TfrmRelatorio::SpeedButton1Click() {
    if (RxDBLookupCombo1->currentText().trimmed().isEmpty()) {
        atencao(QStringLiteral("Favor informar o associado!"));
        return;
    }
    if (itemIndex() == EmployeeKind)
        geraRelatorioFuncionario();
    else
        geraRelatorioCheque();
}

void TfrmRelatorio::geraRelatorioCheque() {
    if (DateEdit1->displayText() == DateCodec::EmptyMask) {
        atencao(QStringLiteral("Favor informar a data de início da geração do lote!"));
        return;
    }
    if (DateEdit2->displayText() == DateCodec::EmptyMask) {
        atencao(QStringLiteral("Favor informar a data de término da geração do lote!"));
        return;
    }
    const QDate start = dateOf(DateEdit1);
    const QDate end = dateOf(DateEdit2);
    const int kind = itemIndex();

    Dataset* q = dtmRelatorio->qryRelatorioCheque;
    ScreenCursor::Busy busy;
    q->close();
    q->setParam(QStringLiteral("pCodAssociado"), associado());
    // The period takes its whole last day: up to midnight after it, that midnight excluded.
    const QDateTime from(start, QTime(0, 0));
    const QDateTime until(end.addDays(1), QTime(0, 0));
    for (const char* name : {"Lote", "Envio", "Dev", "Reap", "2Reap"}) {
        q->setParam(QStringLiteral("pDatIni") + QLatin1String(name), from);
        q->setParam(QStringLiteral("pDatFim") + QLatin1String(name), until);
    }
    const int lote = CurrencyEdit1->text().toInt();
    q->setParam(QStringLiteral("pNumLote"), lote == 0 ? 1 : lote);
    q->setParam(QStringLiteral("pIndLote"), lote == 0 ? QStringLiteral("N") : QStringLiteral("S"));
    const QString letter = QLatin1String(KindLetters[kind]);
    for (const char* flag : {"pIdtRelatorioG", "pIdtRelatorioE", "pIdtRelatorioD"})
        q->setParam(QLatin1String(flag), letter);
    if (!abreComDados(q))
        return;

    TfrmRelCapDevolvido rel;
    rel.QRLabel1 += QLatin1String(TitleSuffixes[kind]);
    rel.qrlPeriodo = DateEdit1->displayText() + QStringLiteral("  a  ") + DateEdit2->displayText();
    rel.qrlLote = QString::number(lote);
    const Report::PageModel pages = rel.prepare(Report::DatasetRows(*q));
    ScreenCursor::normal();
    rel.preview(pages, this);
    LimpaCampos(QStringLiteral("S"));
}

void TfrmRelatorio::geraRelatorioFuncionario() {
    Dataset* q = dtmRelatorio->qryRelatorioFuncionario;
    ScreenCursor::Busy busy;
    q->close();
    q->setParam(QStringLiteral("pCodAssociado"), associado());
    const QVariant dept = RxDBLookupCombo2->key();
    if (RxDBLookupCombo2->currentText().trimmed().isEmpty() || dept.isNull()) {
        q->setParam(QStringLiteral("pCodDepartamento"), 1);
        q->setParam(QStringLiteral("pIdtTodos"), QStringLiteral("S"));
    } else {
        q->setParam(QStringLiteral("pCodDepartamento"), dept);
        q->setParam(QStringLiteral("pIdtTodos"), QStringLiteral("N"));
    }
    if (!abreComDados(q))
        return;
    TfrmRelFuncionario rel;
    const Report::PageModel pages = rel.prepare(Report::DatasetRows(*q));
    ScreenCursor::normal();
    rel.preview(pages, this);
}
